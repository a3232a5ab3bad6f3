// recording_test.cpp -- zelvo's flight recorder: a game played in the window (xdotool's click and keys)
// replays in zelvo-sim without desync, and after a kill --continue shows the picture it was killed at.
#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>

#include "desktop/harness.h"

using namespace desktop_testing;

TEST_F(ZelvoTest, AGameInTheWindowReplaysInZelvoSimAndContinuesAtThePictureItWasKilledAt) {
  const std::string shot = dir_.file("window.png");
  Picture before;
  {
    ZelvoRun zelvo(*display_, dir_.path(), {"--scale", "1"});
    auto window = zelvo.Window();
    ASSERT_TRUE(window) << zelvo.Err();
    ASSERT_TRUE(window->Do("windowfocus --sync %"));
    const Picture title = LoadPicture(ZELVO_GOLDEN_DIR "/title.png");
    ASSERT_TRUE(window->WaitForShot(shot, [&](const Picture& p) { return ScreenDifference(p, title) == 0; }, &before));
    ASSERT_TRUE(window->ClickDevice(110, 105));  // Start
    ASSERT_TRUE(window->Do("keydown Right sleep 0.5 keyup Right"));
    // Then Heron's greeting waits for a key (its panel is black there), and the picture holds still:
    // two photographs alike.
    Picture last = before;
    ASSERT_TRUE(window->WaitForShot(shot, [&](const Picture& p) {
      const bool still = p.rgb == last.rgb && p.At565(200, 180) <= 1;
      last = p;
      return still;
    }, &before));
    ::kill(zelvo.process->pid(), SIGKILL);
    zelvo.process->Wait(10);
  }
  std::string recording;
  for (const auto& entry : std::filesystem::directory_iterator(dir_.file("recordings"))) recording = entry.path();
  testing_support::TempDir sim;
  ASSERT_EQ(testing_support::CopyDataFiles(ZELVO_WORLD_DIR, sim.path()), "");
  const auto replay = testing_support::RunProgram(ZELVO_SIM_PATH, {"--app-dir", sim.path(), "--replay", recording});
  EXPECT_EQ(replay.exitCode, 0) << replay.out << replay.err;
  EXPECT_NE(replay.out.find(" frames, "), std::string::npos);
  EXPECT_NE(replay.out.find(", no desync"), std::string::npos) << replay.out;

  ZelvoRun zelvo(*display_, dir_.path(), {"--scale", "1", "--continue"});
  auto window = zelvo.Window();
  ASSERT_TRUE(window) << zelvo.Err();
  Picture resumed;
  EXPECT_TRUE(window->WaitForShot(shot, [&](const Picture& p) { return p.rgb == before.rgb; }, &resumed))
      << "the game did not go on where it was killed";
  EXPECT_NE(testing_support::ReadFile(dir_.file("log.txt")).find("\nResumed the last session after "), std::string::npos);
}
