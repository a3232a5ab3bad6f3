// frontend_test.cpp -- scenarios: zelvo-sim shows the splash and walks the front end, of a data set made
// here and of the packed default world; every screen matches its golden picture.
#include <gtest/gtest.h>

#include <array>

#include "data/layout.h"
#include "support/data_builder.h"
#include "support/golden.h"
#include "support/testing.h"

using testing_support::ReadFile;
using testing_support::ReadPngRgb;
using testing_support::RunSim;
using testing_support::TempDir;

namespace {

// The walk through the front end, as script lines around the screenshots; taps are screen pixels
// (the view starts 40 rows down on the 240x320 screen).
std::string walk(const TempDir& dir, const std::vector<std::pair<double, std::string>>& steps) {
  std::string script;
  for (const auto& [time, step] : steps) {
    script += std::to_string(time) + (step.find(' ') == std::string::npos ? " shot " + dir.file(step + ".png") : " " + step) + "\n";
  }
  return script;
}

// A picture with something different in every corner: red across, green down, blue squares; never 0.
uint16_t splashAt(uint32_t x, uint32_t y) {
  const uint32_t blue = (x / 30 + y / 30) % 2 ? 31 : 8;
  return static_cast<uint16_t>(((x * 31 / 239) << 11) | ((y * 63 / 239) << 5) | blue);
}

// A block of one colour with a darker one-pixel rim, so that the pictures' edges show.
data_builder::ImageDef block(uint32_t id, uint16_t width, uint16_t height, uint16_t colour) {
  std::vector<uint16_t> words;
  for (uint16_t y = 0; y < height; ++y)
    for (uint16_t x = 0; x < width; ++x) {
      const bool rim = x == 0 || y == 0 || x + 1 == width || y + 1 == height;
      words.push_back(rim ? static_cast<uint16_t>(((colour >> 1) & 0x7BEF) | 0x0001) : colour);
    }
  return {.id = id, .width = width, .height = height, .words = words};
}

}  // namespace

TEST(SplashScenario, TheSplashShowsAtViewOriginBetweenBlackBands) {
  TempDir dir;
  auto files = data_builder::SmallWorld();
  std::vector<uint16_t> words;
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < 240; ++x) words.push_back(splashAt(x, y));
  files[layout::kImagesFile] =
      data_builder::Indexed({data_builder::ImageEntry({.id = 6, .width = 240, .height = 240, .words = words})});
  data_builder::WriteAll(dir.path(), files);

  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "4", "--screenshot", "1:" + dir.file("splash.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  int width = 0, height = 0;
  const std::vector<uint8_t> rgb = ReadPngRgb(dir.file("splash.png"), &width, &height);
  ASSERT_EQ(width, 240);
  ASSERT_EQ(height, 320);
  int wrong = 0;
  for (uint32_t y = 0; y < 320; ++y)
    for (uint32_t x = 0; x < 240; ++x) {
      // The picture's last position is never drawn (the decoder stops one short of it).
      if (x == 239 && y == 279) continue;
      // The colour the screenshot gives a 5-6-5 pixel.
      const uint16_t p = y >= 40 && y < 280 ? splashAt(x, y - 40) : 0;
      const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
      const std::array<uint32_t, 3> expected = {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2};
      const uint8_t* at = &rgb[3 * (y * 240 + x)];
      if (std::array<uint32_t, 3>{at[0], at[1], at[2]} != expected && ++wrong <= 5)
        ADD_FAILURE() << "screen pixel " << x << "," << y;
    }
  EXPECT_EQ(wrong, 0);
}

TEST(FrontEndScenario, EveryScreenMatchesItsGoldenPictureAndQuitSavesTheVolume) {
  // Pictures for every front-end id at the sizes the default world uses, each its own colour.
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
    for (uint32_t y = 1; y < 7; ++y)
      for (uint32_t x = 1; x < 5; ++x)
        if (y == 1 || y == 6 || x == 1 || x == 4) sheet[(cell / 32) * 8 * 192 + y * 192 + (cell % 32) * 6 + x] = 0x8410;
  files[layout::kFontsFile] =
      data_builder::Indexed({data_builder::FontEntry({.id = 1, .glyphWidth = 6, .glyphHeight = 8, .sheet = sheet})});
  TempDir dir;
  data_builder::WriteAll(dir.path(), files);
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60"},
                       walk(dir, {{1.0, "splash"}, {3.5, "title"}, {4.0, "tap 110 135"},  // Keys
                                  {5.0, "keys"}, {5.5, "tap 120 240"},                     // back to the title
                                  {6.5, "tap 110 165"}, {7.5, "volume"},                   // Volume
                                  {8.0, "tap 165 145"}, {8.5, "tap 165 145"},              // Up twice
                                  {9.0, "volume-up-twice"}, {9.5, "tap 120 185"},          // Back
                                  {10.5, "tap 110 195"}, {11.5, "info"},                   // Info
                                  {12.0, "tap 120 120"}, {13.0, "tap 110 225"}}));         // back, Quit
  ASSERT_EQ(result.exitCode, 0) << result.err;
  // Quit saved the volume chosen on the way: 64 and two steps of 42.
  const std::string settings = ReadFile(dir.file("settings.dat"));
  ASSERT_EQ(settings.size(), 17u);
  EXPECT_EQ(static_cast<uint8_t>(settings[16]), 148);
  auto log = testing_support::LogLines(ReadFile(dir.file("log.txt")));
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()), (std::vector<std::string>{"Saved settings.", "GfxUninit", "", "Exiting"}));
  testing_support::ExpectGoldenPictures(dir, {"splash", "title", "keys", "volume", "volume-up-twice", "info"}, "frontend");
}

TEST(DefaultWorldScenario, EveryFrontEndScreenMatchesItsGoldenPicture) {
  // The world packed beside the programs, installed in a folder of its own.
  TempDir dir;
  ASSERT_EQ(testing_support::CopyDataFiles(ZELVO_BINARY_DIR, dir.path()), "") << "the default world is not packed";
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60"},
                       walk(dir, {{1.0, "splash"}, {3.5, "title"}, {4.0, "tap 110 135"},    // Keys
                                  {4.2, "title-keys-pressed"}, {5.0, "keys"},               //
                                  {5.5, "tap 120 240"}, {6.5, "tap 110 165"},               // back, Volume
                                  {7.5, "volume"}, {8.0, "tap 165 145"}, {8.5, "volume-up"},  // Up
                                  {9.0, "tap 120 185"}, {10.0, "tap 110 195"},              // Back, Info
                                  {11.0, "info"}, {11.5, "tap 120 120"}, {12.5, "tap 110 105"},  // back, Start
                                  {15.5, "play-start"},  // the first of Heron's three texts
                                  {16.0, "key down a-button"}, {16.2, "key up a-button"},
                                  {17.6, "key down a-button"}, {17.8, "key up a-button"},
                                  {19.2, "key down a-button"}, {19.4, "key up a-button"}}));
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  testing_support::ExpectGoldenPictures(
      dir, {"splash", "title", "title-keys-pressed", "keys", "volume", "volume-up", "info", "play-start"}, "default-world");
}
