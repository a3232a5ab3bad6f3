// window_test.cpp -- zelvo itself under a private Xvfb: the window, closing, a second copy, no data, no display, options.
#include <gtest/gtest.h>

#include <algorithm>

#include "desktop/harness.h"
#include "support/testing.h"

using namespace desktop_testing;
using testing_support::LogLines;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

class DesktopWindow : public ZelvoTest {
 protected:
  // Close zelvo's window as a window manager would and expect a clean end.
  void closeAndExpectCleanExit(ZelvoRun& zelvo, const XWindow& window) {
    ASSERT_TRUE(window.RequestClose());
    ExpectCleanExit(zelvo, dir_.path());
  }
};

// The whole output of a short-lived zelvo run without a display of its own.
struct Finished {
  int exitCode = -1;
  std::string out, err;
};

Finished runToEnd(const std::vector<std::string>& args, const std::map<std::string, std::optional<std::string>>& env) {
  TempDir scratch;
  std::vector<std::string> argv{ZELVO_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  Finished finished;
  {
    Process process(argv, env, scratch.file("out"), scratch.file("err"));
    EXPECT_TRUE(process.Wait(30, &finished.exitCode)) << "zelvo did not end";
  }
  finished.out = ReadFile(scratch.file("out"));
  finished.err = ReadFile(scratch.file("err"));
  return finished;
}

}  // namespace

TEST_F(DesktopWindow, OpensTitledZelvoAtTheScaleAskedForOrTheLargestThatFits) {
  // The copies run side by side, each in an app directory of its own, so their splash holds pass together.
  struct Case {
    std::vector<std::string> options;
    int width, height;
    TempDir dir;
    std::unique_ptr<ZelvoRun> zelvo;
    std::optional<XWindow> window;
  } cases[] = {
      {{"--scale", "1"}, 240, 320, {}, {}, {}},
      {{"--scale", "2"}, 480, 640, {}, {}, {}},
      {{}, 480, 640, {}, {}, {}},  // 1024x768: 320 rows fit twice, not three times
      {{"--screen", "320x240", "--scale", "1"}, 320, 240, {}, {}, {}},
  };
  for (Case& c : cases) {
    std::string problem;
    ASSERT_TRUE(InstallDefaultWorld(c.dir.path(), &problem)) << problem;
    c.zelvo = std::make_unique<ZelvoRun>(*display_, c.dir.path(), c.options);
  }
  for (Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    c.window = c.zelvo->Window();
    ASSERT_TRUE(c.window) << c.zelvo->Err();
    const Geometry geometry = c.window->GetGeometry();
    EXPECT_EQ(geometry.width, c.width);
    EXPECT_EQ(geometry.height, c.height);
  }
  for (Case& c : cases) ASSERT_TRUE(c.window->RequestClose());
  for (Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.options));
    ExpectCleanExit(*c.zelvo, c.dir.path());
  }
}

TEST_F(DesktopWindow, ClosingTheWindowEndsTheGameTheWayItSays) {
  ZelvoRun zelvo(*display_, dir_.path(), {"--scale", "1"});
  auto window = zelvo.Window();
  ASSERT_TRUE(window) << zelvo.Err();
  closeAndExpectCleanExit(zelvo, *window);
  const auto lines = LogLines(ReadFile(dir_.file("log.txt")));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Starting up");
  EXPECT_EQ(zelvo.Out(), "");
  // The copy is gone: nobody listens any more, and the next copy may run.
  EXPECT_FALSE(testing_support::FileExists(dir_.file("zelvo.fifo")));
}

TEST_F(DesktopWindow, ASecondCopyExitsAndBringsTheFirstForward) {
  ZelvoRun first(*display_, dir_.path(), {"--scale", "1"});
  auto window = first.Window();
  ASSERT_TRUE(window) << first.Err();
  const Geometry geometry = window->GetGeometry();
  const std::string log = ReadFile(dir_.file("log.txt"));
  ASSERT_FALSE(log.empty());
  CoverWindow cover(*display_, geometry);
  auto onTop = [&](unsigned long id) {
    const auto order = StackingOrder(*display_);
    auto mine = std::find(order.begin(), order.end(), window->id);
    auto theirs = std::find(order.begin(), order.end(), cover.id());
    return mine != order.end() && theirs != order.end() && ((id == window->id) == (mine > theirs));
  };
  ASSERT_TRUE(WaitFor([&] { return onTop(cover.id()); }, 10));

  ZelvoRun second(*display_, dir_.path(), {"--scale", "1"});
  int exitCode = -1;
  ASSERT_TRUE(second.Wait(20, &exitCode)) << "the second copy did not end";
  EXPECT_EQ(exitCode, 0) << second.Err();
  EXPECT_TRUE(first.Running());
  // The running copy's log goes on where it was; the second copy neither truncated nor wrote it.
  const std::string after = ReadFile(dir_.file("log.txt"));
  EXPECT_EQ(after.substr(0, log.size()), log);
  EXPECT_EQ(after.find("Starting up"), after.rfind("Starting up")) << after;
  EXPECT_TRUE(WaitFor([&] { return onTop(window->id); }, 20)) << "the first copy was not brought forward";
  closeAndExpectCleanExit(first, *window);
}

TEST_F(DesktopWindow, F12TakesAScreenshotAndTheLogDoesNotSaySo) {
  ZelvoRun zelvo(*display_, dir_.path(), {"--scale", "1"});
  auto window = zelvo.Window();
  ASSERT_TRUE(window) << zelvo.Err();
  ASSERT_TRUE(window->Focus());
  ASSERT_TRUE(window->Key("F12"));
  ASSERT_TRUE(WaitFor([&] { return testing_support::FileExists(dir_.file("zelvo-shot-001.png")); }, 20));
  Picture shot;
  ASSERT_TRUE(WaitFor([&] { return LoadPicture(dir_.file("zelvo-shot-001.png"), &shot); }, 10));
  EXPECT_EQ(shot.width, 240);
  EXPECT_EQ(shot.height, 320);
  closeAndExpectCleanExit(zelvo, *window);
  EXPECT_EQ(ReadFile(dir_.file("log.txt")).find("shot"), std::string::npos);
}

TEST_F(DesktopWindow, WithoutGameDataABoxSaysSoAndTheGameEndsQuietly) {
  ASSERT_TRUE(MessageBoxesCanShow(*display_));
  TempDir empty;
  ZelvoRun zelvo(*display_, empty.path(), {"--scale", "1"});
  auto box = FindWindow(*display_, "Error", 20);
  ASSERT_TRUE(box) << "no box titled Error: " << zelvo.Err();
  EXPECT_TRUE(zelvo.Running()) << "zelvo did not wait for the box to be answered";
  ASSERT_TRUE(box->Focus());
  ASSERT_TRUE(box->Key("Return"));
  int exitCode = -1;
  ASSERT_TRUE(zelvo.Wait(20, &exitCode)) << "zelvo did not end once the box was answered";
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(zelvo.Err().find("game data"), std::string::npos) << "the box's text went to standard error";
  const auto lines = LogLines(ReadFile(empty.file("log.txt")));
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[1], "Starting up");
  EXPECT_EQ(lines.back(), "Failed to load game data");
}

TEST(DesktopStart, WithoutADisplayItSaysSoInOneLineAndFails) {
  TempDir dir;
  Finished run = runToEnd({"--app-dir", dir.path()}, {{"DISPLAY", std::nullopt},
                                                      {"WAYLAND_DISPLAY", std::nullopt},
                                                      {"SDL_VIDEODRIVER", std::nullopt},
                                                      {"SDL_AUDIODRIVER", "dummy"}});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_NE(run.err.find("no display"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("zelvo-sim"), std::string::npos) << run.err;
  EXPECT_FALSE(testing_support::FileExists(dir.file("log.txt")));
}

TEST(DesktopStart, HelpNamesEveryOption) {
  Finished run = runToEnd({"--help"}, {});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* option : {"--app-dir", "--screen", "--scale", "--fullscreen", "--help"})
    EXPECT_NE(run.out.find(option), std::string::npos) << option;
}

TEST(DesktopStart, BadOptionsAreNamedAndRefused) {
  TempDir dir;
  const std::map<std::string, std::optional<std::string>> env{{"DISPLAY", std::nullopt}};
  Finished missing = runToEnd({"--app-dir", dir.file("nowhere")}, env);
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("--app-dir"), std::string::npos) << missing.err;
  Finished screen = runToEnd({"--app-dir", dir.path(), "--screen", "big"}, env);
  EXPECT_EQ(screen.exitCode, 2);
  EXPECT_NE(screen.err.find("--screen big"), std::string::npos) << screen.err;
  Finished scale = runToEnd({"--app-dir", dir.path(), "--scale", "0"}, env);
  EXPECT_EQ(scale.exitCode, 2);
  EXPECT_NE(scale.err.find("--scale"), std::string::npos) << scale.err;
  Finished unknown = runToEnd({"--volume", "3"}, env);
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_FALSE(testing_support::FileExists(dir.file("log.txt")));
}
