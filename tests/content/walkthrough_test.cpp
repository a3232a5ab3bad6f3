// walkthrough_test.cpp -- the default world is won by its walkthrough and lost by its game-over
// script, and the tutorial's world (played from its sources, which check finds no error in) by its
// walkthrough: each plays in zelvo-sim from the title, and its trace ends where the script's header
// says (the screen of the last frame of play, the score and the lives), with the title after it.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "support/testing.h"

namespace {

class DefaultWorldScript : public testing::TestWithParam<const char*> {};

TEST_P(DefaultWorldScript, PlaysFromTheTitleToTheEndItsHeaderNames) {
  const std::string script = std::string(ZELVO_SOURCE_DIR) + "/content/" + GetParam();
  int screen = 0, score = -1, lives = -1;
  std::ifstream header(script);
  for (std::string line; std::getline(header, line) && line.rfind("#", 0) == 0;)
    std::sscanf(line.c_str(), "# expect: screen %d score %d lives %d", &screen, &score, &lives);
  ASSERT_GT(screen, 0) << script << " names no end";

  testing_support::TempDir dir;
  std::vector<std::string> world = {"--app-dir", dir.path()};
  if (std::string(GetParam()).starts_with("tutorial/")) {  // its sources, packed in the test's folder
    world = {"--world", script.substr(0, script.rfind('/'))};
    testing_support::UseCacheFolder(dir.path());
    EXPECT_EQ(testing_support::RunProgram(ZELVO_DATA_PATH, {"check", world[1]}).exitCode, 0);
  } else {
    ASSERT_EQ(testing_support::CopyDataFiles(ZELVO_BINARY_DIR, dir.path()), "") << "the default world is not packed";
  }
  world.insert(world.end(), {"--script", script, "--trace", dir.file("trace")});
  const auto result = testing_support::RunSim(world);
  ASSERT_EQ(result.exitCode, 0) << result.err;

  // frame time mode state x y column row lives energy score: the game ends on the last line
  // (play gives way to the title), and not before it.
  std::vector<std::vector<double>> frames;
  std::istringstream trace(testing_support::ReadFile(dir.file("trace")));
  for (std::string line; std::getline(trace, line);) {
    std::istringstream fields(line);
    std::vector<double> f;
    for (double v; fields >> v;) f.push_back(v);
    if (line.rfind("#", 0) != 0 && f.size() == 11) frames.push_back(f);
  }
  ASSERT_GE(frames.size(), 2u);
  const auto& end = frames.back();
  EXPECT_NE(frames[frames.size() - 2][2], 1) << "the game ended before the script did";
  EXPECT_EQ(end[2], 1) << "the game did not end in the title";
  EXPECT_EQ(end[6] * 10 + end[7] + 1, screen);
  EXPECT_EQ(end[10], score);
  EXPECT_EQ(end[8], lives);
}

INSTANTIATE_TEST_SUITE_P(Walkthrough, DefaultWorldScript,
                         testing::Values("default/walkthrough.txt", "default/gameover.txt", "tutorial/walkthrough.txt"));

}  // namespace
