// frontend_test.cpp -- scenarios: zelvo-sim shows the splash and walks the front end of the packed default
// world; every screen matches its golden picture, and Quit saves what was chosen on the way.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/layout.h"
#include "support/data_builder.h"
#include "support/golden.h"
#include "support/testing.h"

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunSim;
using testing_support::TempDir;

// A splash with something different in every pixel shows at the view's origin, centred between
// black bands, the same through every display path and frame-buffer layout the device may have.
TEST(FrontEndScenario, ASplashOfEveryColourShowsCentredOnEveryScreenAndFrameBufferLayout) {
  std::vector<uint16_t> words;  // red across, green down, blue squares; never 0
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < 240; ++x)
      words.push_back(static_cast<uint16_t>(((x * 31 / 239) << 11) | ((y * 63 / 239) << 5) | ((x / 30 + y / 30) % 2 ? 31 : 8)));
  auto files = data_builder::SmallWorld();
  files[layout::kImagesFile] = data_builder::Indexed({data_builder::ImageEntry({6, 0, 0, 240, 240, words})});
  TempDir dir;
  data_builder::WriteAll(dir.path(), files);
  const std::pair<std::vector<std::string>, std::string> devices[] = {
      {{}, "splash"}, {{"--display", "gapi555"}, "splash-555"}, {{"--display", "gapi565", "--layout", "rot90"}, "splash"},
      {{"--layout", "rot180"}, "splash"}, {{"--display", "gapi565", "--layout", "rot270"}, "splash"},
      {{"--layout", "mirror"}, "splash"}, {{"--screen", "320x240"}, "splash-320x240"}, {{"--screen", "480x640"}, "splash-480x640"}};
  for (const auto& [options, golden] : devices) {
    std::vector<std::string> args = {"--app-dir", dir.path(), "--seconds", "4", "--screenshot", "1:" + dir.file(golden + ".png")};
    args.insert(args.end(), options.begin(), options.end());
    SCOPED_TRACE(testing::PrintToString(options));
    auto result = RunSim(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    testing_support::ExpectGoldenPictures(dir, {golden}, "frontend");
  }
}

TEST(FrontEndScenario, TheDefaultWorldsScreensMatchTheirGoldenPicturesAndQuitSavesTheVolume) {
  TempDir dir;
  for (const char* name : {"map.dat", "images.dat", "fonts.dat", "sprites.dat", "art.dat", "dialogs.dat", "events.dat"}) {
    ASSERT_TRUE(fs::exists(fs::path(ZELVO_BINARY_DIR) / name)) << "the default world is not packed: " << name;
    fs::copy_file(fs::path(ZELVO_BINARY_DIR) / name, dir.file(name));
  }
  // Taps are screen pixels (the view starts 40 rows down on the 240x320 screen); a word alone is a screenshot.
  const std::pair<double, std::string> steps[] = {
      {1.0, "splash"},       {3.5, "title"},       {4.0, "tap 110 135"}, {4.2, "title-keys-pressed"},  // Keys
      {5.0, "keys"},         {5.5, "tap 120 240"}, {6.5, "tap 110 165"}, {7.5, "volume"},  // back, Volume
      {8.0, "tap 165 145"},  {8.5, "volume-up"},   {9.0, "tap 120 185"}, {10.0, "tap 110 195"},  // Up, Back, Info
      {11.0, "info"},        {11.5, "tap 120 120"}, {12.5, "tap 110 225"}};  // back, Quit
  std::string script;
  for (const auto& [time, step] : steps)
    script += std::to_string(time) + (step.find(' ') == std::string::npos ? " shot " + dir.file(step + ".png") : " " + step) + "\n";
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60"}, script);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  testing_support::ExpectGoldenPictures(dir, {"splash", "title", "title-keys-pressed", "keys", "volume", "volume-up", "info"},
                                        "default-world");
  // Quit saved the volume chosen on the way: 64 and a step of 42.
  const std::string settings = ReadFile(dir.file("settings.dat"));
  ASSERT_EQ(settings.size(), 17u);
  EXPECT_EQ(static_cast<uint8_t>(settings[16]), 106);
  const auto log = testing_support::LogLines(ReadFile(dir.file("log.txt")));
  ASSERT_GE(log.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(log.end() - 4, log.end()),
            (std::vector<std::string>{"Saved settings.", "GfxUninit", "", "Exiting"}));
}
