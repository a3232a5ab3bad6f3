// recording_test.cpp -- the default world's walkthrough and game over, kept as recordings, replay
// without desync, whole or cut at a random byte; a world with one sprite changed is caught.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>

#include "platform/common/recorder.h"
#include "support/testing.h"

using namespace testing_support;

namespace {

const std::string kGolden = std::string(ZELVO_SOURCE_DIR) + "/tests/golden/recordings/";

// ZELVO_UPDATE_GOLDEN=1 records the scripts again (the world or the game changed on purpose).
TEST(Recording, TheDefaultWorldsScriptsReplayWithoutDesyncWholeAndCutAtARandomByte) {
  for (const std::string name : {"walkthrough", "gameover"}) {
    TempDir dir;
    ASSERT_EQ(CopyDataFiles(ZELVO_BINARY_DIR, dir.path()), "") << "the default world is not packed";
    const std::string recording = kGolden + name + ".zrec";
    if (std::getenv("ZELVO_UPDATE_GOLDEN")) {
      ASSERT_EQ(RunSim({"--app-dir", dir.path(), "--script", ZELVO_SOURCE_DIR "/content/default/" + name + ".txt",
                        "--record", recording}).exitCode, 0);
    }
    auto result = RunSim({"--app-dir", dir.path(), "--replay", recording});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_NE(result.out.find(", no desync"), std::string::npos) << result.out;

    const std::string bytes = ReadFile(recording);
    std::random_device random;
    const size_t cut = std::uniform_int_distribution<size_t>(1, bytes.size() - 1)(random);
    WriteFile(dir.file("cut.zrec"), bytes.substr(0, cut));
    RecFile file;
    std::string problem;
    const bool readable = RecParse({bytes.begin(), bytes.begin() + cut}, "cut", &file, &problem);
    result = RunSim({"--app-dir", dir.path(), "--replay", dir.file("cut.zrec")});
    EXPECT_EQ(result.exitCode, readable ? 0 : 2) << name << " cut at byte " << cut << ": " << result.out << result.err;
    if (readable) {
      EXPECT_EQ(result.out.substr(0, result.out.find(',')), "replay: " + std::to_string(file.frames) + " frames")
          << name << " cut at byte " << cut;
    }
  }
}

TEST(Recording, AWorldWithOneSpriteChangedIsRefusedThenGoesOutOfStepAtACheckpoint) {
  if (kCrossBuilt) GTEST_SKIP() << "packs a world with zelvo-data";
  TempDir dir;
  std::filesystem::copy(ZELVO_SOURCE_DIR "/content/default", dir.file("world"), std::filesystem::copy_options::recursive);
  // The player's animation rate, one step slower.
  std::string manifest = ReadFile(dir.file("world/world.json"));
  std::smatch rate;
  ASSERT_TRUE(std::regex_search(manifest, rate, std::regex(R"("kind": "player"[\s\S]*?"animRate": (\d+))")));
  manifest.replace(rate.position(1), rate.length(1), std::to_string(std::stoi(rate[1]) - 1));
  WriteFile(dir.file("world/world.json"), manifest);
  ASSERT_EQ(RunProgram(ZELVO_DATA_PATH, {"pack", dir.file("world"), "-o", dir.file("app"), "--quiet"}).exitCode, 0);

  auto result = RunSim({"--app-dir", dir.file("app"), "--replay", kGolden + "walkthrough.zrec"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("sprites.dat in " + dir.file("app") + " differs from the one recorded"), std::string::npos)
      << result.out;
  result = RunSim({"--app-dir", dir.file("app"), "--replay", kGolden + "walkthrough.zrec", "--force"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(std::regex_search(result.out, std::regex(R"(\ndesync at frame \d+ \(t = [0-9.]+ s\): object \d+ expected sprite)")))
      << result.out;
}

}  // namespace
