// author_test.cpp -- zelvo-sim for a world's author: sources played as their packed files are, pack's own
// errors, new games started on a chosen screen, and sources packed again while the game runs (--watch).
#include <gtest/gtest.h>

#include <filesystem>

#include "support/golden.h"
#include "support/testing.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::RunProgram;
using testing_support::RunSim;

const std::string kTutorial = std::string(ZELVO_SOURCE_DIR) + "/content/tutorial";

// Each test packs into a cache of its own; world() is a copy of the tutorial's sources to change.
struct Author : testing::Test {
  testing_support::TempDir cache, dir;
  void SetUp() override { testing_support::UseCacheFolder(cache.path()); }
  std::string world() {
    fs::copy(kTutorial, dir.file("world"), fs::copy_options::recursive | fs::copy_options::skip_existing);
    return dir.file("world");
  }
  // Start pressed: the trace's first frame of play, from its mode on (mode state x y column row ...).
  std::string startOn(std::vector<std::string> args) {
    args.insert(args.end(), {"--seconds", "5", "--trace", dir.file("trace")});
    EXPECT_EQ(RunSim(args, "4.0 tap 110 105\n").exitCode, 0);
    const std::string text = ReadFile(dir.file("trace"));
    const size_t line = text.find('\n', text.find('\n') + 1) + 1;  // after the header and the set-up frame
    const size_t fields = text.find(' ', text.find(' ', line) + 1);
    return text.substr(fields, text.find('\n', line) - fields);
  }
};

TEST_F(Author, SourcesPlayAsTheirPackedFilesAndTheirErrorsAreThoseOfPack) {
  ASSERT_EQ(RunProgram(ZELVO_DATA_PATH, {"pack", kTutorial, "-o", dir.file("data")}).exitCode, 0);
  const std::string script = kTutorial + "/walkthrough.txt";
  ASSERT_EQ(RunSim({"--app-dir", dir.file("data"), "--script", script, "--trace", dir.file("packed")}).exitCode, 0);
  ASSERT_EQ(RunSim({"--world", kTutorial, "--script", script, "--trace", dir.file("sources")}).exitCode, 0);
  EXPECT_EQ(ReadFile(dir.file("sources")), ReadFile(dir.file("packed")));

  testing_support::WriteFile(world() + "/story.json", "{ \"sprites\": [ { \"id\": 10 } ] }");
  const auto sim = RunSim({"--world", world()});
  EXPECT_EQ(sim.exitCode, 1);
  EXPECT_EQ(sim.err, RunProgram(ZELVO_DATA_PATH, {"pack", world(), "-o", dir.file("nothing")}).err);
  EXPECT_NE(sim.err.find("pack: 2 errors; nothing written"), std::string::npos) << sim.err;
}

TEST_F(Author, NewGamesStartOnTheChosenScreenByNumberOrTiledMapAndAMissingOneIsRefused) {
  EXPECT_EQ(startOn({"--world", kTutorial, "--start-at", "12,100,60"}), " 3 1 100 60 1 1 3 50 0");
  ASSERT_EQ(RunProgram(ZELVO_DATA_PATH, {"tiled", world(), "-o", world() + "/maps"}).exitCode, 0);
  EXPECT_EQ(startOn({"--world", world(), "--start-screen", world() + "/maps/screen-011.tmj"}), " 3 1 20 1 1 0 3 50 0");
  const auto missing = RunSim({"--world", kTutorial, "--start-screen", "13"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "zelvo-sim: the world has no screen 13 to start on\n");
}

TEST_F(Author, WatchPacksChangedSourcesAgainAndRestartsWherePlayEnteredTheScreen) {
  // The owl moves left; a broken story is reported and the old world plays on until it packs again.
  std::string moved = ReadFile(world() + "/story.json");
  moved.replace(moved.find("\"sprite\": 30, \"x\": 120"), 22, "\"sprite\": 30, \"x\": 60");
  testing_support::WriteFile(dir.file("moved.json"), moved);
  testing_support::WriteFile(dir.file("broken.json"), "{");
  const std::string story = " " + world() + "/story.json\n";
  const auto run = RunSim({"--world", world(), "--watch", "--seconds", "10", "--trace", dir.file("trace")},
                          "4.0 tap 110 105\n5.0 key down right\n5.5 key up right\n6.0 copy " + dir.file("broken.json") +
                              story + "7.0 shot " + dir.file("broken.png") + "\n8.0 copy " + dir.file("moved.json") +
                              story + "9.0 shot " + dir.file("watch.png") + "\n");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("pack: 1 error; nothing written"), std::string::npos) << run.err;
  // Between the two edits the player walked on; after the second it stands where the game began.
  const std::string trace = ReadFile(dir.file("trace"));
  EXPECT_NE(trace.find(" 3 1 20 1 0 0 3 50 0\n", trace.find(" 8.0")), std::string::npos);
  testing_support::ExpectGoldenPictures(dir, {"broken", "watch"}, "author");
}

}  // namespace
