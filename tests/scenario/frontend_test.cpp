// frontend_test.cpp -- scenarios: zelvo-sim shows the splash and walks the front end of the packed default
// world into its first text; every screen matches its golden picture.
#include <gtest/gtest.h>

#include "data/layout.h"
#include "support/data_builder.h"
#include "support/device.h"
#include "support/golden.h"
#include "support/play_world.h"
#include "support/testing.h"

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

TEST(FrontEndScenario, TheDefaultWorldsScreensMatchTheirGoldenPictures) {
  TempDir dir;
  ASSERT_EQ(testing_support::CopyDataFiles(ZELVO_BINARY_DIR, dir.path()), "") << "the default world is not packed";
  // Taps are screen pixels (the view starts 40 rows down on the 240x320 screen); a word alone is a screenshot.
  const std::pair<double, std::string> steps[] = {
      {1.0, "splash"},       {3.5, "title"},       {4.0, "tap 110 135"}, {4.2, "title-keys-pressed"},  // Keys
      {5.0, "keys"},         {5.5, "tap 120 240"}, {6.5, "tap 110 165"}, {7.5, "volume"},  // back, Volume
      {8.0, "tap 165 145"},  {8.5, "volume-up"},   {9.0, "tap 120 185"}, {10.0, "tap 110 195"},  // Up, Back, Info
      {11.0, "info"},        {11.5, "tap 120 120"}, {12.5, "tap 110 105"},  // back, Start
      {15.5, "play-start"},  // the first of Heron's three texts
      {16.0, "key down a-button"}, {16.2, "key up a-button"}, {17.6, "key down a-button"}, {17.8, "key up a-button"},
      {19.2, "key down a-button"}, {19.4, "key up a-button"}};
  std::string script;
  for (const auto& [time, step] : steps)
    script += std::to_string(time) + (step.find(' ') == std::string::npos ? " shot " + dir.file(step + ".png") : " " + step) + "\n";
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60"}, script);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  testing_support::ExpectGoldenPictures(
      dir, {"splash", "title", "title-keys-pressed", "keys", "volume", "volume-up", "info", "play-start"}, "default-world");
}

// The front end with every picture a block of its own colour, so that each screenshot tells which
// picture shows where: the title's buttons on their inclusive corners (shot while pressed), Start
// and Menu, the keys defined in order and again with a held key, the volume in steps of 42 within
// its limits, the information; Quit saves it all, and the music follows.
TEST(FrontEndScenario, EveryButtonOnItsCornersInPicturesOfOneColour) {
  auto files = data_builder::SmallWorld();
  files[layout::kImagesFile] = play_world::Packed(play_world::kBlocks, layout::kImagesFile);
  files[layout::kSpritesFile] = data_builder::Indexed({});  // no player: the game is played without one
  TempDir dir;
  data_builder::WriteAll(dir.path(), files);
  for (const char* music : {"main.wav", "ingame.wav"})
    testing_support::WriteFile(dir.file(music), testing_support::kSilentWav);
  testing_support::WriteFile(dir.file("settings.dat"), std::string("\x25\0\0\0\x27\0\0\0\x26\0\0\0\xC1\0\0\0\x2B", 17));  // volume 43
  // Taps are screen pixels, 40 rows below the view's; a word alone is a screenshot.
  const std::pair<double, std::string> steps[] = {
      {3.5, "title"}, {4.0, "tap 49 95"}, {4.5, "tap 170 115"}, {4.53, "start-pressed"},  // outside Start, Start
      {6.0, "tap 10 50"}, {7.0, "tap 45 125"}, {7.03, "keys-pressed"},                   // Menu, Keys
      {7.5, "key down b-button"}, {7.55, "key up b-button"}, {8.2, "key down c-button"}, {8.25, "key up c-button"},
      {8.9, "key down start-button"}, {8.95, "key up start-button"}, {9.6, "key down down"}, {9.65, "key up down"},
      {10.5, "tap 195 175"}, {10.53, "volume-pressed"}, {11.0, "volume-43"},              // Volume
      {11.5, "tap 60 130"}, {12.0, "volume-1"}, {12.5, "tap 80 160"}, {13.0, "volume-0"},  // Down, Down
      {13.5, "tap 145 130"}, {14.0, "tap 145 130"}, {14.5, "tap 145 130"}, {15.0, "tap 145 130"}, {15.5, "tap 145 130"},
      {16.0, "volume-210"}, {16.5, "tap 185 160"}, {17.0, "tap 185 160"}, {17.5, "volume-252"},  // Up to 210, 252, no more
      {18.0, "tap 90 170"}, {18.03, "volume-back-pressed"}, {19.0, "tap 155 204"}, {19.03, "info-pressed"},
      {20.0, "tap 5 45"}, {20.03, "info-back-pressed"}, {21.0, "title-again"},            // any tap goes back
      {21.5, "tap 180 145"}, {22.0, "key down b-button"}, {22.65, "key up b-button"}, {23.0, "keys-up-prompt"},
      {23.5, "tap 200 240"}, {23.53, "keys-back-pressed"}, {24.5, "tap 140 235"}, {24.53, "quit-pressed"}};
  std::string script;
  std::vector<std::string> shots;
  for (const auto& [time, step] : steps) {
    const bool shot = step.find(' ') == std::string::npos;
    script += std::to_string(time) + (shot ? " shot " + dir.file("blocks-" + step + ".png") : " " + step) + "\n";
    if (shot) shots.push_back("blocks-" + step);
  }
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "60", "--audio-log", dir.file("audio.txt")}, script);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  testing_support::ExpectGoldenPictures(dir, shots, "frontend");
  EXPECT_NE(ReadFile(dir.file("log.txt")).find("\nNo player sprite (sprite 3); playing without a player.\n"), std::string::npos);
  std::string audio = ReadFile(dir.file("audio.txt"));
  for (size_t at; (at = audio.find(dir.path())) != std::string::npos;) audio.replace(at, dir.path().size(), "APP");
  const std::string settings = ReadFile(dir.file("settings.dat"));
  std::string text = "settings.dat:";
  for (unsigned char byte : settings) text += " " + std::to_string(byte);
  testing_support::ExpectGoldenText(text + "\n" + audio, "frontend/blocks.txt");
}
