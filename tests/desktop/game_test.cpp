// game_test.cpp -- zelvo playing the default world under a private Xvfb: its pictures, taps, keys, controllers, music, focus.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <iostream>

#include "desktop/harness.h"
#include "desktop/virtual_pad.h"
#include "services/log.h"
#include "shell/shell.h"
#include "support/testing.h"

using namespace desktop_testing;
using testing_support::LogLines;
using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 320;
constexpr int kViewTop = 40;            // the game's 240x240 view starts 40 rows down the screen
constexpr int kBufferBytes = 1024 * 4;  // one mixer buffer: 1024 stereo 16-bit frames
constexpr double kKeyHold = 0.25;       // long enough for a frame to see, short of the half second after

// The middle of a button, in the view's coordinates (the game's own).
struct ViewPoint {
  int x, y;
};
constexpr ViewPoint kTitleStart{110, 65};    // Start
constexpr ViewPoint kTitleKeys{112, 95};     // x 45..180, y 85..105
constexpr ViewPoint kTitleVolume{112, 125};  // x 30..195, y 115..135
constexpr ViewPoint kTitleQuit{110, 185};    // x 80..140, y 175..195
constexpr ViewPoint kVolumeDown{70, 105};    // x 60..80, y 90..120
constexpr ViewPoint kVolumeBack{120, 145};   // x 90..150, y 130..160
// The volume screen's level picture, 76x21 at view (68, 100), in screen pixels.
constexpr Geometry kVolumeLevel{68, 100 + kViewTop, 76, 21};

// settings.dat as the game writes it: the four key slots, then the volume.
std::string settingsFile(const std::vector<uint32_t>& slots, uint8_t volume) {
  std::string bytes;
  for (uint32_t slot : slots)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((slot >> shift) & 0xFF));
  bytes.push_back(static_cast<char>(volume));
  return bytes;
}

class DesktopGame : public ZelvoTest {
 protected:
  // Start zelvo on the default world, find its window and give it the keyboard.
  void start(const std::vector<std::string>& options,
             const std::map<std::string, std::optional<std::string>>& environment = {}) {
    zelvo_ = std::make_unique<ZelvoRun>(*display_, appDirectory_, options, environment, program_);
    auto window = zelvo_->Window();
    ASSERT_TRUE(window) << zelvo_->Err();
    window_ = *window;
    ASSERT_TRUE(window_.Focus());
  }

  void tap(ViewPoint point) { ASSERT_TRUE(window_.ClickDevice(point.x, point.y + kViewTop, kWidth, kHeight)); }

  // Photograph the window until accept takes a photograph; true when one was taken in time.
  bool waitForShot(const std::function<bool(const Picture&)>& accept, double seconds = 20) {
    return window_.WaitForShot(shotPath(), accept, seconds, &shot_);
  }

  // Wait until the window shows a golden picture, every pixel of the screen area at the window's scale.
  void expectScreen(const std::string& golden) {
    const Picture expected = GoldenPicture(golden);
    ASSERT_EQ(expected.width, kWidth) << "no golden picture " << golden;
    if (!waitForShot([&](const Picture& shot) { return CompareScreen(shot, expected).pixels == 0; }))
      FAIL() << golden << " is not shown: " << describe(expected, golden);
  }

  // How the last photograph differs from a picture, keeping the photograph for a look.
  std::string describe(const Picture& expected, const std::string& name) const {
    const ScreenDifference difference = CompareScreen(shot_, expected);
    const std::string kept = (std::filesystem::temp_directory_path() / ("zelvo-desktop-" + name + ".png")).string();
    std::error_code ignored;
    std::filesystem::copy_file(shotPath(), kept, std::filesystem::copy_options::overwrite_existing, ignored);
    return std::to_string(difference.pixels) + " window pixels differ (" + difference.first +
           "); the photograph is kept at " + kept;
  }

  // The emulated screen in the last photograph.
  Picture lastScreen() const { return window_.CropScreen(shot_, kWidth, kHeight); }

  std::string shotPath() const { return shots_.file("window.png"); }

  bool focusElsewhere(const CoverWindow& other) {
    return display_->Run("xdotool windowfocus --sync " + std::to_string(other.id())).has_value();
  }

  TempDir shots_;
  std::string appDirectory_ = dir_.path();
  std::vector<std::string> program_{ZELVO_PATH};
  std::unique_ptr<ZelvoRun> zelvo_;
  XWindow window_;
  Picture shot_;  // the last photograph of the window
};

// The game on the desktop device in this process, where SDL's virtual joysticks can be plugged in: the
// game loop has the main thread, and a player thread looks, taps and presses from outside it.
class DesktopGameHere : public DesktopGame {
 protected:
  void play(const std::function<void()>& player) {
    desktop::Options options;
    options.appDirectory = dir_.path();
    options.scale = 1;
    options.report = [](const std::string& line) { LogWrite("%s", line.c_str()); };
    std::string problem;
    ASSERT_TRUE(StartDeviceHere(*display_, options, &problem)) << problem;
    std::atomic<bool> ended = false;
    std::thread thread([&] {
      player();
      // However the player left it, the game is asked to close until it has ended.
      WaitFor(
          [&] {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            return ended.load();
          },
          60);
    });
    WinMain(1, 0, "", SW_SHOW);
    ended = true;
    thread.join();
    desktop::Stop();
  }

  // Wait for the game's log to have this line.
  bool logShows(const std::string& line) const {
    return WaitFor(
        [&] {
          const auto lines = LogLines(ReadFile(dir_.file("log.txt")));
          return std::find(lines.begin(), lines.end(), line) != lines.end();
        },
        10);
  }
};

}  // namespace

TEST_F(DesktopGame, TheFrontEndShowsItsPicturesTakesTapsKeysAndVolumeAndQuitSavesThem) {
  SpeakerFile speaker(shots_.file("speaker.raw"));
  ASSERT_NO_FATAL_FAILURE(
      start({"--scale", "2"}, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", speaker.path()}}));
  ASSERT_EQ(window_.GetGeometry().width, 2 * kWidth);

  // The splash and then the title, exactly as the headless device shows them, at twice the size.
  ASSERT_NO_FATAL_FAILURE(expectScreen("splash"));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  EXPECT_GT(speaker.LoudestFromNowOn(kBufferBytes), 100) << "the title music is not heard";

  // A click on the title's Volume button where the doubled window shows it.
  ASSERT_NO_FATAL_FAILURE(tap(kTitleVolume));
  ASSERT_NO_FATAL_FAILURE(expectScreen("volume"));

  // Down twice: from 64 to 22, which shows the same level, then to 0, which shows another, and is
  // silence. A tap made before the game took the one before is lost, as on the handheld: tap again.
  const Picture volume = GoldenPicture("volume");
  auto muted = [&](const Picture& shot) {
    const ScreenDifference difference = CompareScreen(shot, volume);
    return difference.pixels > 0 && difference.Inside(kVolumeLevel);
  };
  ASSERT_NO_FATAL_FAILURE(tap(kVolumeDown));
  ASSERT_NO_FATAL_FAILURE(tap(kVolumeDown));
  bool off = waitForShot(muted, 3);
  for (int more = 0; !off && more < 2; ++more) {
    ASSERT_NO_FATAL_FAILURE(tap(kVolumeDown));
    off = waitForShot(muted, 5);
  }
  ASSERT_TRUE(off) << "the level did not change alone: " << describe(volume, "volume-off");
  EXPECT_EQ(speaker.LoudestFromNowOn(kBufferBytes), 0) << "the music is still heard at volume 0";

  ASSERT_NO_FATAL_FAILURE(tap(kVolumeBack));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  ASSERT_NO_FATAL_FAILURE(tap(kTitleKeys));
  ASSERT_NO_FATAL_FAILURE(expectScreen("keys"));

  // Only the handheld's eight keys can be defined: Q is not one of them.
  ASSERT_TRUE(window_.Press("q", kKeyHold));
  // Left, Right, Up and Action take B, C, Start and Down; each shows the next slot's prompt.
  Picture prompt = lastScreen();
  for (const char* key : {"x", "c", "Return"}) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(window_.Press(key, kKeyHold));
    ASSERT_TRUE(waitForShot([&](const Picture& shot) { return CompareScreen(shot, prompt).pixels > 0; }))
        << "the key was not taken";
    prompt = lastScreen();
  }
  ASSERT_TRUE(window_.Press("Down", kKeyHold));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));

  // Quit with the stylus still down when the game ends, so that the last message it took is the
  // press: the program ends with 0 all the same.
  ASSERT_TRUE(window_.TouchDevice(kTitleQuit.x, kTitleQuit.y + kViewTop, kWidth, kHeight));
  ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(*zelvo_, dir_.path()));
  EXPECT_EQ(ReadFile(dir_.file("settings.dat")), settingsFile({'X', 'C', 13, 40}, 0));
  const auto lines = LogLines(ReadFile(dir_.file("log.txt")));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Saved settings."), lines.end());
}

TEST_F(DesktopGame, WithoutTheFocusNoFrameRunsAndRegainingItRedraws) {
  ASSERT_NO_FATAL_FAILURE(start({"--scale", "1"}));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  const Picture title = GoldenPicture("title");
  // Another window takes the focus, beside zelvo's so that it hides nothing.
  ASSERT_GE(window_.GetGeometry().x, 100);
  CoverWindow other(*display_, Geometry{0, 0, 100, 100});
  ASSERT_TRUE(focusElsewhere(other));

  // Another program paints over the window; regaining the focus puts the whole screen back.
  const Geometry paint{20, 60, 40, 20};
  ASSERT_TRUE(window_.Fill(paint, 0x5A5A5A));
  ASSERT_TRUE(waitForShot(
      [&](const Picture& shot) {
        const ScreenDifference difference = CompareScreen(shot, title);
        return difference.pixels > 0 && difference.Inside(paint);
      },
      10))
      << "the paint did not show: " << describe(title, "painted");
  ASSERT_TRUE(window_.Focus());
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));

  // A click while another window has the focus is kept, but no frame runs to act on it.
  ASSERT_TRUE(focusElsewhere(other));
  ASSERT_NO_FATAL_FAILURE(tap(kTitleVolume));
  EXPECT_FALSE(waitForShot([&](const Picture& shot) { return CompareScreen(shot, title).pixels > 0; }, 1))
      << "a frame ran without the focus: " << describe(title, "unfocused");
  // With the focus back, the next frames take the tap: Volume is pressed and its screen comes.
  ASSERT_TRUE(window_.Focus());
  ASSERT_NO_FATAL_FAILURE(expectScreen("volume"));

  ASSERT_TRUE(window_.RequestClose());
  ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(*zelvo_, dir_.path()));
}

TEST_F(DesktopGameHere, AControllerPluggedInOnTheTitleDefinesKeysAndIsLetGoWhenPulledOut) {
  play([&] {
    auto window = FindWindow(*display_, "Zelvo", 20, getpid());
    ASSERT_TRUE(window) << "no window titled Zelvo";
    window_ = *window;
    ASSERT_TRUE(window_.Focus());
    ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
    VirtualPad pad;
    ASSERT_TRUE(pad.ok()) << SDL_GetError();
    ASSERT_TRUE(logShows("Controller connected: Zelvo Test Pad"));
    ASSERT_NO_FATAL_FAILURE(tap(kTitleKeys));
    ASSERT_NO_FATAL_FAILURE(expectScreen("keys"));

    // Left, Right, Up and Action take B, C, Start and Down as the keyboard test does, from the east
    // and north buttons, Start and the stick.
    const std::function<void(bool)> presses[] = {
        [&](bool down) { pad.Press(SDL_CONTROLLER_BUTTON_B, down); },
        [&](bool down) { pad.Press(SDL_CONTROLLER_BUTTON_Y, down); },
        [&](bool down) { pad.Press(SDL_CONTROLLER_BUTTON_START, down); },
        [&](bool down) { pad.Stick(0, down ? 30000 : 0); },
    };
    Picture prompt = lastScreen();
    for (size_t slot = 0; slot < std::size(presses); ++slot) {
      SCOPED_TRACE(slot);
      presses[slot](true);
      std::this_thread::sleep_for(std::chrono::duration<double>(kKeyHold));  // held as a finger holds it
      presses[slot](false);
      if (slot + 1 == std::size(presses)) break;
      ASSERT_TRUE(waitForShot([&](const Picture& shot) { return CompareScreen(shot, prompt).pixels > 0; }))
          << "the button was not taken";
      prompt = lastScreen();
    }
    ASSERT_NO_FATAL_FAILURE(expectScreen("title"));

    pad.Unplug();
    ASSERT_TRUE(logShows("Controller removed: Zelvo Test Pad"));
    ASSERT_NO_FATAL_FAILURE(tap(kTitleQuit));
  });
  EXPECT_EQ(ReadFile(dir_.file("settings.dat")).substr(0, 16), settingsFile({'X', 'C', 13, 40}, 0).substr(0, 16));
  const auto lines = LogLines(ReadFile(dir_.file("log.txt")));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "Exiting");
}

// The Windows release, when scripts/windows --test names its folder in ZELVO_WINDOWS_RELEASE:
// zelvo.exe under Wine, installed in a folder whose name is not ASCII.
class WindowsRelease : public DesktopGame {
 protected:
  void SetUp() override {
    const char* release = std::getenv("ZELVO_WINDOWS_RELEASE");
    if (!release) GTEST_SKIP() << "no Windows release to play (scripts/windows --test makes one and plays it)";
    ASSERT_TRUE(OnPath("wine")) << "Wine is not installed (scripts/setup-deps --windows)";
    ASSERT_NO_FATAL_FAILURE(DesktopGame::SetUp());
    appDirectory_ = dir_.file("Zelvo \xC3\xA4 \xE6\x97\xA5\xE6\x9C\xAC");  // "Zelvo ä 日本"
    std::filesystem::copy(release, appDirectory_, std::filesystem::copy_options::recursive);
    program_ = {"wine", appDirectory_ + "/zelvo.exe"};
  }

  // Wine's own windows come and go beside the game's; the game's is the one titled Zelvo.
  std::map<std::string, std::optional<std::string>> wine() const {
    return {{"WINEDEBUG", "-all"}, {"WINEDLLOVERRIDES", "mscoree,mshtml="}};
  }
};

TEST_F(WindowsRelease, ZelvoExeShowsTheTitleQuitSavesTheSettingsAndStartPlays) {
  ASSERT_NO_FATAL_FAILURE(start({"--scale", "2"}, wine()));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  ASSERT_NO_FATAL_FAILURE(tap(kTitleVolume));
  ASSERT_NO_FATAL_FAILURE(expectScreen("volume"));
  // Down until the level shows silence (a tap before the game took the last one is lost).
  const Picture volume = GoldenPicture("volume");
  bool off = false;
  for (int taps = 0; !off && taps < 4; ++taps) {
    ASSERT_NO_FATAL_FAILURE(tap(kVolumeDown));
    off = waitForShot(
        [&](const Picture& shot) {
          const ScreenDifference difference = CompareScreen(shot, volume);
          return difference.pixels > 0 && difference.Inside(kVolumeLevel);
        },
        3);
  }
  ASSERT_TRUE(off) << describe(volume, "windows-volume");
  ASSERT_NO_FATAL_FAILURE(tap(kVolumeBack));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  ASSERT_NO_FATAL_FAILURE(tap(kTitleQuit));
  ASSERT_NO_FATAL_FAILURE(ExpectCleanExit(*zelvo_, appDirectory_));
  const std::string settings = ReadFile(appDirectory_ + "/settings.dat");
  ASSERT_EQ(settings.size(), 17u);
  EXPECT_EQ(settings.back(), 0) << "the volume was not saved";

  // Again: Start, then walk right for a second; the view changes as the player goes (the photograph
  // is kept for a look). A text box soon waits for a key and lets no close through, so the harness
  // ends this copy.
  ASSERT_NO_FATAL_FAILURE(start({"--scale", "2"}, wine()));
  ASSERT_NO_FATAL_FAILURE(expectScreen("title"));
  ASSERT_NO_FATAL_FAILURE(tap(kTitleStart));
  const Picture title = GoldenPicture("title");
  ASSERT_TRUE(waitForShot([&](const Picture& shot) { return CompareScreen(shot, title).pixels > 0; }));
  const Picture started = lastScreen();
  ASSERT_TRUE(window_.Press("Right", 1.0));
  EXPECT_TRUE(waitForShot([&](const Picture& shot) { return CompareScreen(shot, started).pixels > 0; }, 5));
  std::cout << "walked: " << describe(started, "windows-walked") << "\n";
}
