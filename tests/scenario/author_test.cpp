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
using testing_support::TempDir;

const std::string kTutorial = std::string(ZELVO_SOURCE_DIR) + "/content/tutorial";

// Each test packs into a cache of its own.
struct Author : testing::Test {
  TempDir cache, dir;
  void SetUp() override { testing_support::UseCacheFolder(cache.path()); }
  // The tutorial world's sources, to change.
  std::string world() {
    fs::copy(kTutorial, dir.file("world"), fs::copy_options::recursive | fs::copy_options::skip_existing);
    return dir.file("world");
  }
  // The first line of play of a trace: frame time mode state x y column row ...
  std::string firstPlay(const std::string& trace) {
    const std::string text = ReadFile(trace);
    const size_t line = text.find("\n", text.find("\n") + 1) + 1;  // after the header and the set-up frame
    const size_t fields = text.find(' ', text.find(' ', line) + 1);  // past the frame and the time
    return text.substr(fields, text.find('\n', line) - fields);
  }
};

TEST_F(Author, SourcesPlayAsTheirPackedFilesAndTheirErrorsAreThoseOfPack) {
  ASSERT_EQ(RunProgram(ZELVO_DATA_PATH, {"pack", kTutorial, "-o", dir.file("data")}).exitCode, 0);
  const std::string script = kTutorial + "/walkthrough.txt";
  ASSERT_EQ(RunSim({"--app-dir", dir.file("data"), "--script", script, "--trace", dir.file("packed")}).exitCode, 0);
  ASSERT_EQ(RunSim({"--world", kTutorial, "--script", script, "--trace", dir.file("sources")}).exitCode, 0);
  EXPECT_EQ(ReadFile(dir.file("sources")), ReadFile(dir.file("packed")));

  const std::string broken = world();
  testing_support::WriteFile(broken + "/story.json", "{ \"sprites\": [ { \"id\": 10 } ] }");
  const auto sim = RunSim({"--world", broken});
  EXPECT_EQ(sim.exitCode, 1);
  EXPECT_EQ(sim.err, RunProgram(ZELVO_DATA_PATH, {"pack", broken, "-o", dir.file("nothing")}).err);
  EXPECT_NE(sim.err.find("pack: 2 errors; nothing written"), std::string::npos) << sim.err;
}

TEST_F(Author, NewGamesStartOnTheChosenScreenByNumberOrTiledMapAndAMissingOneIsRefused) {
  const std::string start = "4.0 tap 110 105\n";
  ASSERT_EQ(RunSim({"--world", kTutorial, "--start-at", "12,100,60", "--seconds", "5", "--trace", dir.file("at")}, start)
                .exitCode,
            0);
  EXPECT_EQ(firstPlay(dir.file("at")), " 3 1 100 60 1 1 3 50 0");
  const std::string sources = world();
  ASSERT_EQ(RunProgram(ZELVO_DATA_PATH, {"tiled", sources, "-o", sources + "/maps"}).exitCode, 0);
  ASSERT_EQ(RunSim({"--world", sources, "--start-screen", sources + "/maps/screen-011.tmj", "--seconds", "5", "--trace",
                    dir.file("map")},
                   start)
                .exitCode,
            0);
  EXPECT_EQ(firstPlay(dir.file("map")), " 3 1 20 1 1 0 3 50 0");

  const auto missing = RunSim({"--world", kTutorial, "--start-screen", "13"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.err, "zelvo-sim: the world has no screen 13 to start on\n");
}

TEST_F(Author, WatchPacksChangedSourcesAgainAndRestartsWherePlayEnteredTheScreen) {
  // The owl moves left; a broken story is reported and the old world plays on until it packs again.
  const std::string sources = world(), story = ReadFile(sources + "/story.json");
  std::string moved = story;
  moved.replace(moved.find("\"sprite\": 30, \"x\": 120"), 22, "\"sprite\": 30, \"x\": 60");
  testing_support::WriteFile(dir.file("moved.json"), moved);
  testing_support::WriteFile(dir.file("broken.json"), "{");
  const std::string target = sources + "/story.json";
  const std::string script = "4.0 tap 110 105\n5.0 key down right\n5.5 key up right\n6.0 copy " + dir.file("broken.json") +
                             " " + target + "\n7.0 shot " + dir.file("broken.png") + "\n8.0 copy " + dir.file("moved.json") +
                             " " + target + "\n9.0 shot " + dir.file("watch.png") + "\n";
  const auto run = RunSim({"--world", sources, "--watch", "--seconds", "10", "--trace", dir.file("trace")}, script);
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("pack: 1 error; nothing written"), std::string::npos) << run.err;
  // Between the two edits the player walked on; after the second it stands where the game began.
  const std::string trace = ReadFile(dir.file("trace"));
  EXPECT_NE(trace.find(" 3 1 20 1 0 0 3 50 0\n", trace.find(" 8.0")), std::string::npos);
  testing_support::ExpectGoldenPictures(dir, {"broken", "watch"}, "author");
}

}  // namespace
