// default_world_test.cpp -- scenario: the packed default world's front end, screen by screen, against golden pictures.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cstdlib>
#include <filesystem>

#include "support/testing.h"

namespace fs = std::filesystem;
using testing_support::RunSim;
using testing_support::TempDir;

namespace {

std::vector<uint8_t> pixelsOf(const std::string& path) {
  int width = 0, height = 0, channels = 0;
  uint8_t* rgb = stbi_load(path.c_str(), &width, &height, &channels, 3);
  if (!rgb) return {};
  std::vector<uint8_t> pixels(rgb, rgb + static_cast<size_t>(width) * height * 3);
  stbi_image_free(rgb);
  return pixels;
}

}  // namespace

TEST(DefaultWorldScenario, EveryFrontEndScreenMatchesItsGoldenPicture) {
  // The world packed beside the programs, installed in a folder of its own.
  TempDir dir;
  for (const char* name : {"map.dat", "images.dat", "fonts.dat", "sprites.dat", "art.dat", "dialogs.dat", "events.dat"}) {
    ASSERT_TRUE(fs::exists(fs::path(ZELVO_BINARY_DIR) / name)) << "the default world is not packed: " << name;
    fs::copy_file(fs::path(ZELVO_BINARY_DIR) / name, dir.file(name));
  }
  const std::vector<std::string> shots = {"splash", "title", "title-keys-pressed", "keys", "volume",
                                          "volume-up", "info"};
  // Taps are screen pixels: the view starts 40 rows down on the 240x320 screen.
  const std::string script =
      "1.0 shot " + dir.file("splash.png") + "\n"
      "3.5 shot " + dir.file("title.png") + "\n"
      "4.0 tap 110 135\n"  // Keys
      "4.2 shot " + dir.file("title-keys-pressed.png") + "\n"
      "5.0 shot " + dir.file("keys.png") + "\n"
      "5.5 tap 120 240\n"  // back
      "6.5 tap 110 165\n"  // Volume
      "7.5 shot " + dir.file("volume.png") + "\n"
      "8.0 tap 165 145\n"  // Up
      "8.5 shot " + dir.file("volume-up.png") + "\n"
      "9.0 tap 120 185\n"   // Back
      "10.0 tap 110 195\n"  // Info
      "11.0 shot " + dir.file("info.png") + "\n"
      "11.5 tap 120 120\n"   // back
      "12.5 tap 110 225\n";  // Quit
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60"}, script);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");

  const std::string golden = std::string(ZELVO_SOURCE_DIR) + "/tests/golden/default-world/";
  const bool update = std::getenv("ZELVO_UPDATE_GOLDEN") != nullptr;
  for (const std::string& shot : shots) {
    const std::string taken = dir.file(shot + ".png");
    if (update) fs::copy_file(taken, golden + shot + ".png", fs::copy_options::overwrite_existing);
    const std::vector<uint8_t> expected = pixelsOf(golden + shot + ".png");
    ASSERT_FALSE(expected.empty()) << "missing golden picture " << golden << shot << ".png";
    if (pixelsOf(taken) != expected) {
      const std::string kept = (fs::temp_directory_path() / ("zelvo-default-world-" + shot + ".png")).string();
      fs::copy_file(taken, kept, fs::copy_options::overwrite_existing);
      ADD_FAILURE() << shot << " differs from its golden picture; the screenshot is kept at " << kept;
    }
  }
}
