// frontend_test.cpp -- scenario: zelvo-sim walks the front end; every screen matches its golden picture.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>
#include <filesystem>

#include "data/layout.h"
#include "support/data_builder.h"
#include "support/testing.h"

using testing_support::ReadFile;
using testing_support::RunSim;
using testing_support::TempDir;

namespace {

// A block of one colour with a darker one-pixel rim, so that the pictures' edges show.
data_builder::ImageDef block(uint32_t id, uint16_t width, uint16_t height, uint16_t colour, uint8_t saveUnder = 0) {
  std::vector<uint16_t> words;
  for (uint16_t y = 0; y < height; ++y)
    for (uint16_t x = 0; x < width; ++x) {
      const bool rim = x == 0 || y == 0 || x + 1 == width || y + 1 == height;
      words.push_back(rim ? static_cast<uint16_t>(((colour >> 1) & 0x7BEF) | 0x0001) : colour);
    }
  return {.id = id, .saveUnder = saveUnder, .width = width, .height = height, .words = words};
}

// Pictures for every front-end id at the sizes the default world uses, each its own colour.
std::map<std::string, data_builder::Bytes> frontEndWorld() {
  struct Picture {
    uint32_t id;
    uint16_t width, height, colour;
  };
  const Picture pictures[] = {
      {6, 240, 240, 0x4A69},   {1, 15, 190, 0x8A22},    {2, 240, 26, 0xA3A6},    {4, 210, 190, 0x2B1F},
      {100, 150, 33, 0x3DE7},  {110, 121, 21, 0xDEB2},  {111, 122, 22, 0x9A85},  {120, 131, 23, 0xDEB2},
      {121, 131, 23, 0x9A85},  {130, 161, 21, 0xDEB2},  {131, 163, 19, 0x9A85},  {140, 86, 20, 0xDEB2},
      {141, 82, 18, 0x9A85},   {150, 46, 21, 0xDEB2},   {151, 45, 19, 0x9A85},   {122, 210, 190, 0x1926},
      {123, 172, 20, 0xFD20},  {124, 176, 23, 0x07FF},  {125, 180, 23, 0xF81F},  {126, 178, 23, 0xFFE0},
      {127, 188, 24, 0x07E0},  {139, 210, 190, 0x18C8}, {132, 58, 15, 0xFD20},   {133, 76, 21, 0x4208},
      {134, 76, 21, 0x0410},   {135, 76, 21, 0x0618},   {136, 76, 21, 0x041F},   {137, 76, 21, 0x801F},
      {138, 76, 21, 0xF800},   {500, 210, 190, 0x2124}, {501, 46, 12, 0xFD20}};
  std::vector<data_builder::IndexedRecord> images;
  for (const Picture& p : pictures) images.push_back(data_builder::ImageEntry(block(p.id, p.width, p.height, p.colour)));
  auto files = data_builder::SmallWorld();
  files[layout::kImagesFile] = data_builder::Indexed(images);
  // Font 1 for the version text: every glyph a box outline.
  std::vector<uint16_t> sheet(96 * 6 * 8, 0);
  for (uint32_t cell = 0; cell < 96; ++cell)
    for (uint32_t y = 0; y < 8; ++y)
      for (uint32_t x = 0; x < 6; ++x)
        if ((y == 1 || y == 6 || x == 1 || x == 4) && x < 5 && y < 7 && x > 0 && y > 0)
          sheet[(cell / 32) * 8 * 192 + y * 192 + (cell % 32) * 6 + x] = 0x8410;
  files[layout::kFontsFile] = data_builder::Indexed({data_builder::FontEntry({.id = 1, .glyphWidth = 6, .glyphHeight = 8, .sheet = sheet})});
  return files;
}

std::vector<uint8_t> pixelsOf(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  uint8_t* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (!rgb) return {};
  std::vector<uint8_t> pixels(rgb, rgb + static_cast<size_t>(width) * height * 3);
  stbi_image_free(rgb);
  return pixels;
}

}  // namespace

TEST(FrontEndScenario, EveryScreenMatchesItsGoldenPicture) {
  TempDir dir;
  data_builder::WriteAll(dir.path(), frontEndWorld());
  const std::vector<std::string> shots = {"splash", "title", "keys", "volume", "volume-up-twice", "info"};
  // Taps are screen pixels: the view starts 40 rows down on the 240x320 screen.
  const std::string script =
      "1.0 shot " + dir.file("splash.png") + "\n"
      "3.5 shot " + dir.file("title.png") + "\n"
      "4.0 tap 110 135\n"  // Keys
      "5.0 shot " + dir.file("keys.png") + "\n"
      "5.5 tap 120 240\n"  // back to the title
      "6.5 tap 110 165\n"  // Volume
      "7.5 shot " + dir.file("volume.png") + "\n"
      "8.0 tap 165 145\n"  // Up
      "8.5 tap 165 145\n"  // Up
      "9.0 shot " + dir.file("volume-up-twice.png") + "\n"
      "9.5 tap 120 185\n"   // Back
      "10.5 tap 110 195\n"  // Info
      "11.5 shot " + dir.file("info.png") + "\n"
      "12.0 tap 120 120\n"  // back to the title
      "13.0 tap 110 225\n";  // Quit
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60"}, script);
  ASSERT_EQ(result.exitCode, 0) << result.err;

  // Quit saved the volume chosen on the way: 64 and two steps of 42.
  const std::string settings = ReadFile(dir.file("settings.dat"));
  ASSERT_EQ(settings.size(), 17u);
  EXPECT_EQ(static_cast<uint8_t>(settings[16]), 148);
  auto log = testing_support::LogLines(ReadFile(dir.file("log.txt")));
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(log[log.size() - 4], "Saved settings.");
  EXPECT_EQ(log[log.size() - 3], "GfxUninit");
  EXPECT_EQ(log.back(), "Exiting");

  const std::string golden = std::string(ZELVO_SOURCE_DIR) + "/tests/golden/frontend/";
  const bool update = std::getenv("ZELVO_UPDATE_GOLDEN") != nullptr;
  for (const std::string& shot : shots) {
    const std::string taken = dir.file(shot + ".png");
    if (update) std::filesystem::copy_file(taken, golden + shot + ".png", std::filesystem::copy_options::overwrite_existing);
    const std::vector<uint8_t> expected = pixelsOf(golden + shot + ".png");
    ASSERT_FALSE(expected.empty()) << "missing golden picture " << golden << shot << ".png";
    if (pixelsOf(taken) != expected) {
      const std::string kept = (std::filesystem::temp_directory_path() / ("zelvo-frontend-" + shot + ".png")).string();
      std::filesystem::copy_file(taken, kept, std::filesystem::copy_options::overwrite_existing);
      ADD_FAILURE() << shot << " differs from its golden picture; the screenshot is kept at " << kept;
    }
  }
}
