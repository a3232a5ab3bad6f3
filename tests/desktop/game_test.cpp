// game_test.cpp -- zelvo itself under a private Xvfb: the default world's pictures, taps, keys and music,
// closing, a second copy, and its command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "desktop/harness.h"

using namespace desktop_testing;
using testing_support::LogLines;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

class DesktopGame : public ZelvoTest {
 protected:
  // Wait until the window shows a golden picture of the headless device, every pixel at the window's scale.
  void expectScreen(const std::string& golden) {
    const Picture expected = LoadPicture(ZELVO_GOLDEN_DIR "/" + golden + ".png");
    ASSERT_EQ(expected.width, 240) << "no golden picture " << golden;
    if (window_.WaitForShot(shot(), [&](const Picture& p) { return ScreenDifference(p, expected) == 0; }, &last_)) return;
    std::string first;
    const int pixels = ScreenDifference(last_, expected, &first);
    const std::string kept = (std::filesystem::temp_directory_path() / ("zelvo-desktop-" + golden + ".png")).string();
    std::filesystem::copy_file(shot(), kept, std::filesystem::copy_options::overwrite_existing);
    FAIL() << golden << " is not shown: " << pixels << " window pixels differ (" << first << "), kept at " << kept;
  }
  // Wait until the window shows something else than in the last photograph.
  bool changes() {
    const Picture before = last_;
    return window_.WaitForShot(shot(), [&](const Picture& p) { return p.rgb != before.rgb; }, &last_);
  }
  void tap(int x, int y) { ASSERT_TRUE(window_.ClickDevice(x, y + 40)); }  // the view starts 40 rows down
  // The window of this zelvo, given the keyboard.
  void focus(ZelvoRun& zelvo) {
    auto window = zelvo.Window();
    ASSERT_TRUE(window) << zelvo.Err();
    window_ = *window;
    ASSERT_TRUE(window_.Do("windowfocus --sync %"));
  }
  // From the title to the volume screen, the level down to 0 and back. From 64 a tap makes 22, which
  // shows the same level, the next 0, which shows another. A tap made before the game took the one
  // before is lost, as on the handheld: tap again.
  void volumeOff(const std::function<void()>& atZero = [] {}) {
    ASSERT_NO_FATAL_FAILURE(tap(112, 125));  // Volume
    ASSERT_NO_FATAL_FAILURE(expectScreen("volume"));
    bool off = false;
    for (int taps = 0; !off && taps < 4; ++taps) {
      ASSERT_NO_FATAL_FAILURE(tap(70, 105));
      off = taps > 0 && changes();
    }
    ASSERT_TRUE(off) << "the level did not change";
    atZero();
    ASSERT_NO_FATAL_FAILURE(tap(120, 145));  // Back
    ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  }
  // Hold a key down as a finger would, long enough for a frame to see and short of the half second
  // after; one xdotool run, so that starting a second program cannot stretch the hold.
  bool press(const std::string& key) { return window_.Do("keydown " + key + " sleep 0.25 keyup " + key); }
  std::string shot() const { return dir_.file("window.png"); }

  XWindow window_;
  Picture last_;
};

}  // namespace

// The Windows release, when scripts/windows --test names its folder in ZELVO_WINDOWS_RELEASE:
// zelvo.exe under Wine, installed in a folder whose name is not ASCII.
using WindowsRelease = DesktopGame;

TEST_F(WindowsRelease, ZelvoExeShowsTheTitleQuitSavesTheSettingsAndStartPlays) {
  const char* release = std::getenv("ZELVO_WINDOWS_RELEASE");
  if (!release) GTEST_SKIP() << "no Windows release to play (scripts/windows --test makes one and plays it)";
  ASSERT_EQ(std::system("command -v wine >/dev/null"), 0) << "Wine is not installed (scripts/setup-deps --windows)";
  const std::string folder = dir_.file("Zelvo \xC3\xA4 \xE6\x97\xA5\xE6\x9C\xAC");  // "Zelvo ä 日本"
  std::filesystem::copy(release, folder, std::filesystem::copy_options::recursive);
  const Environment wine{{"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
  {
    ZelvoRun zelvo(*display_, folder, {"--scale", "2"}, wine, {"wine", folder + "/zelvo.exe"});
    ASSERT_NO_FATAL_FAILURE(focus(zelvo));
    ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
    ASSERT_NO_FATAL_FAILURE(volumeOff());
    ASSERT_NO_FATAL_FAILURE(tap(110, 185));  // Quit
    ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(zelvo, folder));
    const std::string settings = ReadFile(folder + "/settings.dat");
    ASSERT_EQ(settings.size(), 17u);
    EXPECT_EQ(settings.back(), 0) << "the volume was not saved";
  }
  // Again: Start, then walk right; the view changes as the player goes. A text box soon waits for a
  // key and lets no close through, so the harness ends this copy.
  ZelvoRun zelvo(*display_, folder, {"--scale", "2"}, wine, {"wine", folder + "/zelvo.exe"});
  ASSERT_NO_FATAL_FAILURE(focus(zelvo));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  ASSERT_NO_FATAL_FAILURE(tap(110, 65));  // Start
  ASSERT_TRUE(changes()) << "Start did not start";
  ASSERT_TRUE(window_.Do("keydown Right sleep 1 keyup Right"));
  EXPECT_TRUE(changes()) << "the player did not walk";
}

TEST_F(DesktopGame, TheFrontEndShowsItsPicturesTakesTapsKeysAndVolumeAndQuitSavesThem) {
  const std::string speaker = dir_.file("speaker.raw");
  ZelvoRun zelvo(*display_, dir_.path(), {"--scale", "2"}, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", speaker}});
  ASSERT_NO_FATAL_FAILURE(focus(zelvo));
  ASSERT_EQ(window_.Size("WIDTH"), 480);
  // The splash and then the title, exactly as the headless device shows them, at twice the size.
  ASSERT_NO_FATAL_FAILURE(expectScreen("splash"));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  EXPECT_GT(LoudestFromNowOn(speaker), 100) << "the title music is not heard";
  ASSERT_NO_FATAL_FAILURE(
      volumeOff([&] { EXPECT_EQ(LoudestFromNowOn(speaker), 0) << "the music is still heard at 0"; }));
  ASSERT_NO_FATAL_FAILURE(tap(112, 95));  // Keys
  ASSERT_NO_FATAL_FAILURE(expectScreen("keys"));
  // Only the handheld's eight keys can be defined: Q is not one of them. Left, Right, Up and Action
  // take B, C, Start and Down; each shows the next slot's prompt.
  ASSERT_TRUE(press("q"));
  for (const char* key : {"x", "c", "Return"}) {
    ASSERT_TRUE(press(key));
    ASSERT_TRUE(changes()) << key << " was not taken";
  }
  ASSERT_TRUE(press("Down"));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  // Quit with the stylus still down when the game ends, so that the last message it took is the
  // press: the program ends with 0 all the same.
  ASSERT_TRUE(window_.ClickDevice(110, 185 + 40, "mousedown"));
  ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(zelvo));
  EXPECT_EQ(ReadFile(dir_.file("settings.dat")), std::string("X\0\0\0C\0\0\0\r\0\0\0\x28\0\0\0\0", 17));
  const auto lines = LogLines(ReadFile(dir_.file("log.txt")));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Saved settings."), lines.end());
}

TEST_F(DesktopGame, ASecondCopyExitsAndBringsTheFirstForwardAndClosingTheWindowEndsTheGame) {
  ZelvoRun first(*display_, dir_.path(), {"--screen", "320x240"});
  auto window = first.Window();
  ASSERT_TRUE(window) << first.Err();
  // The largest scale that fits 1024x768 with no window manager, so no frame: three times.
  EXPECT_EQ(std::pair(window->Size("WIDTH"), window->Size("HEIGHT")), std::pair(960, 720));
  const std::string log = ReadFile(dir_.file("log.txt"));
  ASSERT_FALSE(log.empty());
  CoverWindow cover(*display_);
  ASSERT_TRUE(WaitFor([&] { return StackedAbove(*display_, cover.id, window->id); }, 10));
  ZelvoRun second(*display_, dir_.path(), {});
  ASSERT_EQ(second.process->Wait(20), 0) << second.Err();
  EXPECT_TRUE(first.process->Running());
  // The running copy's log goes on where it was; the second copy neither truncated nor wrote it.
  const std::string after = ReadFile(dir_.file("log.txt"));
  EXPECT_EQ(after.substr(0, log.size()), log);
  EXPECT_EQ(after.find("Starting up"), after.rfind("Starting up")) << after;
  EXPECT_TRUE(WaitFor([&] { return StackedAbove(*display_, window->id, cover.id); }, 20))
      << "the first copy stayed behind";
  ASSERT_TRUE(window->RequestClose());
  ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(first));
  EXPECT_EQ(LogLines(after)[1], "Starting up");
  EXPECT_FALSE(testing_support::FileExists(dir_.file("zelvo.fifo")));  // nobody listens any more
}

// On an 800x660 desktop the window opens at twice the size, unless a window manager's frame
// (openbox's) leaves too little room; full screen and back gives it its size and picture again.
TEST_F(DesktopGame, TheFirstWindowFitsTheDesktopLessItsFrameAndComesBackFromFullScreen) {
  for (const bool manager : {false, true}) {
    SCOPED_TRACE(manager ? "under openbox" : "without a window manager");
    VirtualDisplay display("800x660");
    std::optional<Process> openbox;                        // scripts/setup-deps --test installs it
    const std::string ready = dir_.file("openbox-ready");  // only then does it take windows on
    if (manager)
      openbox.emplace(std::vector<std::string>{"openbox", "--startup", "touch " + ready},
                      Environment{{"DISPLAY", display.name}});
    ASSERT_TRUE(!manager || WaitFor([&] { return testing_support::FileExists(ready); }, 20));
    ZelvoRun zelvo(display, dir_.path(), {});
    ASSERT_NO_FATAL_FAILURE(focus(zelvo));
    const int scale = manager ? 1 : 2;
    ASSERT_TRUE(
        WaitFor([&] { return window_.Size("WIDTH") == 240 * scale && window_.Size("HEIGHT") == 320 * scale; }, 20))
        << manager;
    ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
    // Without a window manager the window keeps its size, but SDL draws for the screen's, and back.
    for (const int width : {800, 240 * scale}) {
      ASSERT_TRUE(window_.Do("key F11"));
      ASSERT_TRUE(!manager || WaitFor([&] { return window_.Size("WIDTH") == width; }, 20)) << width;
      ASSERT_TRUE(manager || width != 800 || changes());
      if (manager || width != 800) {
        ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
      }
    }
    ASSERT_TRUE(window_.RequestClose());
    ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(zelvo));
  }
}

// --view game shows the game's square three times over on 1024x768, F10 the whole screen twice over,
// and the next start what F10 chose.
TEST_F(DesktopGame, TheGameViewIsLargerAndRemembered) {
  Picture square = LoadPicture(ZELVO_GOLDEN_DIR "/title.png");  // the title's rows 40 to 279
  square.rgb = std::vector<uint8_t>(square.rgb.begin() + 40 * 240 * 3, square.rgb.begin() + 280 * 240 * 3),
  square.height = 240;
  for (const bool first : {true, false}) {
    ZelvoRun zelvo(*display_, dir_.path(),
                   first ? std::vector<std::string>{"--view", "game"} : std::vector<std::string>{});
    ASSERT_NO_FATAL_FAILURE(focus(zelvo));
    if (first) {
      ASSERT_TRUE(WaitFor([&] { return window_.Size("WIDTH") == 720 && window_.Size("HEIGHT") == 720; }, 20));
      ASSERT_TRUE(window_.WaitForShot(
          shot(), [&](const Picture& p) { return ScreenDifference(p, square) == 0; }, &last_));
      ASSERT_TRUE(window_.Do("key F10"));
    }
    ASSERT_TRUE(WaitFor([&] { return window_.Size("HEIGHT") == 640; }, 20));
    ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
    ASSERT_TRUE(window_.RequestClose());
    ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(zelvo));
  }
}

TEST(DesktopStart, HelpNamesEveryOptionAndBadOptionsOrNoDisplayAreRefusedBeforeAnyLog) {
  TempDir dir;
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) unsetenv(name);
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::vector<std::string> says;
  } runs[] = {{{"--help"}, 0, {"--app-dir", "--screen", "--scale", "--fullscreen", "--view", "--help"}},
              {{"--view", "big"}, 2, {"--view"}},
              {{"--app-dir", dir.file("nowhere")}, 2, {"--app-dir"}},
              {{"--app-dir", dir.path(), "--screen", "big"}, 2, {"--screen big"}},
              {{"--app-dir", dir.path(), "--scale", "0"}, 2, {"--scale"}},
              {{"--volume", "3"}, 2, {"--volume"}},
              {{"--app-dir", dir.path()}, 1, {"no display", "zelvo-sim"}}};  // in one line
  for (const auto& run : runs) {
    const testing_support::SimResult result = testing_support::RunProgram(ZELVO_PATH, run.args);
    EXPECT_EQ(result.exitCode, run.exitCode) << run.says[0];
    const std::string& said = run.exitCode ? result.err : result.out;
    for (const std::string& words : run.says) EXPECT_NE(said.find(words), std::string::npos) << said;
    if (run.exitCode == 1) {
      EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    }
  }
  EXPECT_FALSE(testing_support::FileExists(dir.file("log.txt")));
}
