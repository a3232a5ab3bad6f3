// device_test.cpp -- the desktop device in this process under a private Xvfb: pixels, stylus, keys, controllers, focus, close.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>
#include <tuple>

#include "desktop/harness.h"
#include "desktop/virtual_pad.h"
#include "platform/common/winqueue.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/sdl/desktop.h"
#include "platform/sdl/internal.h"
#include "platform/system.h"
#include "support/testing.h"

using namespace desktop_testing;
using testing_support::TempDir;

namespace {

std::vector<Message> received;
std::vector<std::string> reports;  // the device's news

intptr_t recordingProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  received.push_back(Message{window, message, wParam, lParam});
  return WinDefaultProc(window, message, wParam, lParam);
}

constexpr int kWidth = 240;
constexpr int kHeight = 320;

class DesktopDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!VirtualDisplay::Available()) GTEST_SKIP() << "Xvfb and xdotool are not installed";
    display_ = std::make_unique<VirtualDisplay>();
    ASSERT_TRUE(display_->ok()) << "Xvfb did not start";
    desktop::Options options;
    options.appDirectory = dir_.path();
    options.scale = 2;
    options.fullscreen = fullscreen_;
    options.report = [](const std::string& line) { reports.push_back(line); };
    std::string problem;
    ASSERT_TRUE(StartDeviceHere(*display_, options, &problem)) << problem;
    WinQueueReset();
    received.clear();
    reports.clear();
    WindowClass windowClass;
    windowClass.proc = recordingProc;
    windowClass.className = "ZelvoClass";
    ASSERT_TRUE(WinRegisterClass(windowClass));
    handle_ = WinCreateWindow("ZelvoClass", "Zelvo", WS_VISIBLE, 0, 0, 0, 0, 1);
    ASSERT_NE(handle_, 0u);
    WinShowWindow(handle_, SW_SHOW);
    auto window = FindWindow(*display_, "Zelvo", 20);
    ASSERT_TRUE(window) << "no window titled Zelvo";
    window_ = *window;
  }

  void TearDown() override {
    desktop::Stop();
    WinQueueReset();
  }

  // Dispatch messages until one with this number arrives; false when none did in time.
  bool pumpUntil(uint32_t message, double seconds = 10) {
    return WaitFor(
        [&] {
          Message next;
          while (WinPeekMessage(&next, true)) {
            WinDispatchMessage(&next);
            if (next.message == message) return true;
          }
          return false;
        },
        seconds);
  }

  // Dispatch whatever arrives for a moment (expose and resize events are handled by the device itself).
  void pumpFor(double seconds) {
    WaitFor(
        [&] {
          Message next;
          while (WinPeekMessage(&next, true)) WinDispatchMessage(&next);
          return false;
        },
        seconds);
  }

  bool pumpUntilReport(const std::string& line) {
    return WaitFor(
        [&] {
          pumpFor(0.02);
          return std::find(reports.begin(), reports.end(), line) != reports.end();
        },
        10);
  }

  bool pumpUntilFile(const std::string& path) {
    return WaitFor(
        [&] {
          pumpFor(0.02);
          return testing_support::FileExists(path);
        },
        10);
  }

  const Message* find(uint32_t message) const {
    for (const Message& m : received)
      if (m.message == message) return &m;
    return nullptr;
  }

  // A picture anyone can check: colour bands, and single pixels in the corners.
  static uint16_t pattern(int x, int y) {
    if (x == 0 && y == 0) return 0xFFFF;
    if (x == kWidth - 1 && y == kHeight - 1) return 0x07E0;
    if (y < 40) return 0xF800;
    if (y >= 280) return 0x001F;
    return static_cast<uint16_t>(((x / 8) & 1) ? 0xCE5F : 0x0000);
  }

  void drawPattern() {
    auto* pixels = static_cast<uint16_t*>(DispBeginDraw());
    ASSERT_NE(pixels, nullptr);
    const DisplayProperties properties = DispGetProperties();
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        pixels[(y * properties.cbyPitch + x * properties.cbxPitch) / 2] = pattern(x, y);
    DispEndDraw();
  }

  void expectPatternOnScreen(const Picture& screen) {
    int wrong = 0;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (screen.At565(x, y) != pattern(x, y) && ++wrong <= 5)
          ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << screen.At565(x, y) << ", not "
                        << pattern(x, y);
      }
    }
    EXPECT_EQ(wrong, 0);
  }

  bool fullscreen_ = false;
  TempDir dir_;
  std::unique_ptr<VirtualDisplay> display_;
  WindowHandle handle_ = 0;
  XWindow window_;
};

class DesktopDeviceFullScreen : public DesktopDevice {
 protected:
  DesktopDeviceFullScreen() { fullscreen_ = true; }
};

// Controllers: SDL's virtual joysticks, one that SDL knows and one only gamecontrollerdb.txt maps.
class DesktopPads : public DesktopDevice {
 protected:
  void SetUp() override {
    std::ofstream(dir_.file("gamecontrollerdb.txt")) << "# made by the test\n" << UnknownPadMapping() << "\n";
    ASSERT_NO_FATAL_FAILURE(DesktopDevice::SetUp());
    ASSERT_TRUE(window_.Focus());  // SDL passes controllers on only to the focused program
  }

  // The key messages so far, as (message, key, was down before).
  using Trace = std::vector<std::tuple<uint32_t, uintptr_t, bool>>;
  Trace keyTrace() const {
    Trace trace;
    for (const Message& m : received)
      if (m.message == WM_KEYDOWN || m.message == WM_KEYUP)
        trace.emplace_back(m.message, m.wParam, (m.lParam & (intptr_t{1} << 30)) != 0);
    return trace;
  }
};

}  // namespace

TEST_F(DesktopDevice, OffersTheDisplayLibraryWith565PixelsAndTheScreenSize) {
  RawFrameBufferInfo raw;
  EXPECT_FALSE(DispQueryRawFrameBuffer(handle_, &raw));
  const DisplayProperties properties = DispGetProperties();
  EXPECT_EQ(properties.cxWidth, 240u);
  EXPECT_EQ(properties.cyHeight, 320u);
  EXPECT_EQ(properties.cbxPitch, 2);
  EXPECT_EQ(properties.cbyPitch, 480);
  EXPECT_EQ(properties.cBPP, 16);
  EXPECT_NE(properties.ffFormat & kfDirect565, 0u);
  EXPECT_EQ(DispIsDRAMBuffer(), 0);
  EXPECT_EQ(WinScreenWidth(), 240);
  EXPECT_EQ(WinScreenHeight(), 320);
  const Geometry geometry = window_.GetGeometry();
  EXPECT_EQ(geometry.width, 480);
  EXPECT_EQ(geometry.height, 640);
}

TEST_F(DesktopDevice, EndOfDrawShowsThePixelsExactlyAtTheScale) {
  drawPattern();
  Picture shot;
  ASSERT_TRUE(window_.Shoot(dir_.file("window.png"), &shot));
  ASSERT_EQ(shot.width, 480);
  ASSERT_EQ(shot.height, 640);
  expectPatternOnScreen(window_.CropScreen(shot, kWidth, kHeight));
  // Pixel-exact: all four window pixels of a device pixel are the same.
  EXPECT_EQ(shot.At565(0, 0), 0xFFFF);
  EXPECT_EQ(shot.At565(1, 1), 0xFFFF);
  EXPECT_EQ(shot.At565(2, 0), 0xF800);
  EXPECT_EQ(shot.At565(1, 2), 0xF800);
  EXPECT_EQ(shot.At565(478, 638), 0x07E0);
  EXPECT_EQ(shot.At565(479, 639), 0x07E0);
  EXPECT_EQ(shot.At565(477, 639), 0x001F);
}

TEST_F(DesktopDevice, AResizedWindowLetterboxesTheScreenAndStaysPixelExact) {
  drawPattern();
  ASSERT_TRUE(display_->Run("xdotool windowsize --sync " + std::to_string(window_.id) + " 700 700"));
  Picture shot;
  ASSERT_TRUE(WaitFor(
      [&] {
        pumpFor(0.05);
        return window_.Shoot(dir_.file("resized.png"), &shot) && shot.width == 700 && shot.height == 700 &&
               shot.At565(110, 30) == 0xFFFF;
      },
      10));
  // Scale 2 in 700x700: the screen at (110, 30), black bars beside, above and below it.
  EXPECT_EQ(shot.At(109, 300), 0u);
  EXPECT_EQ(shot.At(590, 300), 0u);
  EXPECT_EQ(shot.At(300, 29), 0u);
  EXPECT_EQ(shot.At(300, 670), 0u);
  expectPatternOnScreen(window_.CropScreen(shot, kWidth, kHeight));

  // The stylus follows the picture: a click on the bar touches nothing, one on the screen its pixel.
  received.clear();
  ASSERT_TRUE(window_.ClickWindow(50, 300));
  ASSERT_TRUE(window_.ClickDevice(17, 33, kWidth, kHeight));
  ASSERT_TRUE(pumpUntil(WM_LBUTTONUP));
  const Message* down = find(WM_LBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(static_cast<uint32_t>(down->lParam) & 0xFFFF, 17u);
  EXPECT_EQ(static_cast<uint32_t>(down->lParam) >> 16, 33u);
  int downs = 0;
  for (const Message& m : received) downs += m.message == WM_LBUTTONDOWN;
  EXPECT_EQ(downs, 1);
}

TEST_F(DesktopDevice, AClickIsAStylusDownAndUpAtTheDevicePoint) {
  received.clear();
  ASSERT_TRUE(window_.ClickDevice(120, 41, kWidth, kHeight));
  ASSERT_TRUE(pumpUntil(WM_LBUTTONUP));
  const Message* down = find(WM_LBUTTONDOWN);
  ASSERT_NE(down, nullptr);
  EXPECT_EQ(down->window, handle_);
  EXPECT_EQ(down->wParam, MK_LBUTTON);
  EXPECT_EQ(static_cast<uint32_t>(down->lParam) & 0xFFFF, 120u);
  EXPECT_EQ(static_cast<uint32_t>(down->lParam) >> 16, 41u);
}

TEST_F(DesktopDevice, KeysArriveAsMessagesAndReadAsDownWhileHeld) {
  ASSERT_TRUE(window_.Focus());
  received.clear();
  ASSERT_TRUE(display_->Run("xdotool keydown space"));
  ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
  EXPECT_EQ(find(WM_KEYDOWN)->wParam, VK_SPACE);
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0x8000);
  EXPECT_EQ(KeyAsyncState(VK_LEFT), 0);
  ASSERT_TRUE(display_->Run("xdotool keyup space"));
  ASSERT_TRUE(pumpUntil(WM_KEYUP));
  EXPECT_EQ(find(WM_KEYUP)->wParam, VK_SPACE);
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0);
  EXPECT_EQ(KeyAsyncState(0), 0);
  EXPECT_EQ(KeyAsyncState(256), 0);
}

TEST_F(DesktopDevice, TheKeyboardIsReadEvenWhileNoMessagesArePolled) {
  ASSERT_TRUE(window_.Focus());
  ASSERT_TRUE(display_->Run("xdotool keydown Left"));
  // The game's dialog box waits for a key without looking at its messages.
  EXPECT_TRUE(WaitFor([] { return KeyAsyncState(VK_LEFT) == 0x8000; }, 10));
  ASSERT_TRUE(display_->Run("xdotool keyup Left"));
  EXPECT_TRUE(WaitFor([] { return KeyAsyncState(VK_LEFT) == 0; }, 10));
}

TEST_F(DesktopDevice, LosingAndRegainingTheFocusAreFocusMessages) {
  // The window announced the focus when it appeared.
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.front().message, WM_SETFOCUS);
  ASSERT_TRUE(window_.Focus());
  pumpFor(0.2);
  received.clear();
  CoverWindow other(*display_, Geometry{0, 0, 100, 100});
  ASSERT_TRUE(display_->Run("xdotool windowfocus --sync " + std::to_string(other.id())));
  ASSERT_TRUE(pumpUntil(WM_KILLFOCUS));
  EXPECT_EQ(find(WM_SETFOCUS), nullptr);
  received.clear();
  ASSERT_TRUE(window_.Focus());
  ASSERT_TRUE(pumpUntil(WM_SETFOCUS));
  EXPECT_EQ(find(WM_KILLFOCUS), nullptr);
}

TEST_F(DesktopDevice, ClosingTheWindowIsACloseRequest) {
  received.clear();
  ASSERT_TRUE(window_.RequestClose());
  ASSERT_TRUE(pumpUntil(WM_CLOSE));
  // The default handling destroys the window and tells its procedure.
  EXPECT_NE(find(WM_DESTROY), nullptr);
  EXPECT_FALSE(WinIsWindow(handle_));
}

TEST_F(DesktopDevice, F12SavesTheScreenAsAPictureInTheAppDirectory) {
  drawPattern();
  ASSERT_TRUE(window_.Focus());
  received.clear();
  ASSERT_TRUE(window_.Key("F12"));
  ASSERT_TRUE(pumpUntilFile(dir_.file("zelvo-shot-001.png")));
  EXPECT_EQ(find(WM_KEYDOWN), nullptr);  // the game never hears F12
  Picture saved;
  ASSERT_TRUE(LoadPicture(dir_.file("zelvo-shot-001.png"), &saved));
  ASSERT_EQ(saved.width, kWidth);
  ASSERT_EQ(saved.height, kHeight);
  expectPatternOnScreen(saved);
  ASSERT_TRUE(window_.Key("F12"));
  EXPECT_TRUE(pumpUntilFile(dir_.file("zelvo-shot-002.png")));
}

TEST_F(DesktopDevice, F11AndAltEnterSwitchFullScreenWithoutTheGameHearingThem) {
  ASSERT_TRUE(window_.Focus());
  pumpFor(0.1);
  received.clear();
  // A bare X server has no window manager to make the window cover the screen, so what is checked is
  // that the device asked for it, and asked to leave it again.
  auto fullScreen = [] { return (SDL_GetWindowFlags(desktop::device.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0; };
  ASSERT_FALSE(fullScreen());
  ASSERT_TRUE(window_.Key("F11"));
  ASSERT_TRUE(WaitFor(
      [&] {
        pumpFor(0.02);
        return fullScreen();
      },
      10));
  ASSERT_TRUE(window_.Key("alt+Return"));
  ASSERT_TRUE(WaitFor(
      [&] {
        pumpFor(0.02);
        return !fullScreen();
      },
      10));
  pumpFor(0.1);
  for (const Message& m : received) {
    if (m.message == WM_KEYDOWN || m.message == WM_KEYUP) {
      EXPECT_NE(m.wParam, 0x7Au) << "F11 reached the game";
      EXPECT_NE(m.wParam, VK_RETURN) << "Return of Alt+Enter reached the game";
    }
  }
}

TEST_F(DesktopDeviceFullScreen, StartsInFullScreenWhenAskedTo) {
  EXPECT_NE(SDL_GetWindowFlags(desktop::device.window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

TEST_F(DesktopDevice, SystemServicesComeFromTheDesktop) {
  EXPECT_EQ(SysModuleFileName(), dir_.file("zelvo"));
  EXPECT_GE(SysAvailableVirtualMemory(), 10u << 20);
  uint64_t frequency = 0, before = 0, after = 0;
  ASSERT_TRUE(SysCounterFrequency(&frequency));
  EXPECT_GT(frequency, 0u);
  ASSERT_TRUE(SysCounterValue(&before));
  SysSleep(20);  // a real sleep: the counter moves on by at least as much
  ASSERT_TRUE(SysCounterValue(&after));
  EXPECT_GE(after - before, frequency / 50);
  const uint32_t first = SysRandom();
  bool varies = false;
  for (int i = 0; i < 8 && !varies; ++i) varies = SysRandom() != first;
  EXPECT_TRUE(varies);
}

TEST_F(DesktopDevice, AMessageBoxShowsItsTextUntilItIsAnswered) {
  ASSERT_TRUE(MessageBoxesCanShow(*display_));
  // Someone has to answer the box: a shell finds it by its caption (xwininfo reads the UTF-8 title
  // that xdotool's search misses) and presses Return. It runs as a process of its own, started
  // before the box: SDL shows the box from a forked child, and a thread of ours busy in Xlib at that
  // moment could leave the child's locks held for ever. A box still up 5 s later is killed, so the
  // test fails instead of hanging.
  const char* answerer =
      "for i in $(seq 200); do id=$(xwininfo -root -children | awk '/\"Error\"/ {print $1; exit}'); "
      "[ -n \"$id\" ] && break; sleep 0.1; done; [ -n \"$id\" ] || exit 2; "
      "xdotool windowfocus --sync $id key Return; "
      "for i in $(seq 50); do xwininfo -id $id >/dev/null 2>&1 || exit 0; sleep 0.1; done; "
      "xdotool windowkill $id; exit 3";
  Process answer({"sh", "-c", answerer}, {{"DISPLAY", display_->name()}});
  SysMessageBox("Failed to load game data.\nReinstall the application.", "Error", MB_ICONERROR);
  int exitCode = -1;
  ASSERT_TRUE(answer.Wait(30, &exitCode));
  EXPECT_EQ(exitCode, 0) << (exitCode == 2 ? "no box titled Error showed" : "the box did not go on Return");
}

TEST(DesktopMessageBox, WithoutADisplayTheTextGoesToStandardError) {
  ::testing::internal::CaptureStderr();
  SysMessageBox("Not enough free memory.\nFree up some memory.", "Error", MB_ICONERROR);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "zelvo: Error: Not enough free memory. Free up some memory.\n");
}

TEST_F(DesktopPads, ButtonsDPadAndStickAreTheHandheldKeys) {
  VirtualPad pad;
  ASSERT_TRUE(pad.ok()) << SDL_GetError();
  ASSERT_TRUE(pumpUntilReport("Controller connected: Zelvo Test Pad"));
  const struct {
    SDL_GameControllerButton button;
    uint32_t key;
  } buttons[] = {
      {SDL_CONTROLLER_BUTTON_A, VK_SPACE},          {SDL_CONTROLLER_BUTTON_B, 'X'},
      {SDL_CONTROLLER_BUTTON_X, 'C'},               {SDL_CONTROLLER_BUTTON_Y, 'C'},
      {SDL_CONTROLLER_BUTTON_START, VK_RETURN},     {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT}, {SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},
      {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN},
  };
  for (const auto& [button, key] : buttons) {
    SCOPED_TRACE(SDL_GameControllerGetStringForButton(button));
    received.clear();
    pad.Press(button, true);
    ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
    EXPECT_EQ(KeyAsyncState(key), 0x8000);
    pad.Press(button, false);
    ASSERT_TRUE(pumpUntil(WM_KEYUP));
    EXPECT_EQ(KeyAsyncState(key), 0);
    EXPECT_EQ(keyTrace(), (Trace{{WM_KEYDOWN, key, false}, {WM_KEYUP, key, true}}));
  }
  // Past the dead zone the stick is an arrow; back inside it, at rest, whichever way it leans.
  const struct {
    int16_t x, y;
    uint32_t key;
  } sticks[] = {{-20000, 3000, VK_LEFT}, {20000, -3000, VK_RIGHT}, {-3000, -20000, VK_UP}, {3000, 20000, VK_DOWN}};
  for (const auto& [x, y, key] : sticks) {
    SCOPED_TRACE(key);
    received.clear();
    pad.Stick(x, y);
    ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
    EXPECT_EQ(find(WM_KEYDOWN)->wParam, key);
    pad.Stick(static_cast<int16_t>(x / 3), static_cast<int16_t>(y / 3));
    ASSERT_TRUE(pumpUntil(WM_KEYUP));
    EXPECT_EQ(find(WM_KEYUP)->wParam, key);
    for (uint32_t arrow : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN}) EXPECT_EQ(KeyAsyncState(arrow), 0);
  }
  // Buttons the handheld has no key for press nothing: the first message is the A button's.
  received.clear();
  pad.Press(SDL_CONTROLLER_BUTTON_LEFTSHOULDER, true);
  pad.Press(SDL_CONTROLLER_BUTTON_BACK, true);
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0);
  pad.Press(SDL_CONTROLLER_BUTTON_A, true);
  ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
  EXPECT_EQ(keyTrace().size(), 1u);
  EXPECT_EQ(find(WM_KEYDOWN)->wParam, VK_SPACE);
}

TEST_F(DesktopPads, AKeyIsDownWhileTheKeyboardOrAnyControllerHoldsIt) {
  // The second pad is a controller only through gamecontrollerdb.txt in the app directory.
  VirtualPad known, mapped(false);
  ASSERT_TRUE(known.ok() && mapped.ok()) << SDL_GetError();
  ASSERT_TRUE(pumpUntilReport("Controller connected: Zelvo Test Pad"));
  ASSERT_TRUE(pumpUntilReport("Controller connected: Zelvo Odd Stick"));
  EXPECT_EQ(reports.front(), "gamecontrollerdb.txt: controller mappings added for Linux: 1");
  received.clear();

  known.Press(SDL_CONTROLLER_BUTTON_A, true);
  ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
  // Each change is read (KeyAsyncState pumps SDL) before the next, so their events keep this order.
  mapped.Press(SDL_CONTROLLER_BUTTON_A, true);
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0x8000);
  known.Press(SDL_CONTROLLER_BUTTON_A, false);
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0x8000);  // the mapped pad holds it on
  // The keyboard joins in: its press finds the key down already.
  ASSERT_TRUE(display_->Run("xdotool keydown space"));
  ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
  // The mapped pad is pulled out while holding the key: the keyboard still holds it.
  mapped.Unplug();
  ASSERT_TRUE(pumpUntilReport("Controller removed: Zelvo Odd Stick"));
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0x8000);
  ASSERT_TRUE(display_->Run("xdotool keyup space"));
  ASSERT_TRUE(pumpUntil(WM_KEYUP));
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0);
  EXPECT_EQ(keyTrace(),
            (Trace{{WM_KEYDOWN, VK_SPACE, false}, {WM_KEYDOWN, VK_SPACE, true}, {WM_KEYUP, VK_SPACE, true}}));

  // A pad pulled out while it holds a key lets it go.
  received.clear();
  known.Press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  ASSERT_TRUE(pumpUntil(WM_KEYDOWN));
  known.Unplug();
  ASSERT_TRUE(pumpUntil(WM_KEYUP));
  EXPECT_EQ(find(WM_KEYUP)->wParam, VK_LEFT);
  EXPECT_NE(std::find(reports.begin(), reports.end(), "Controller removed: Zelvo Test Pad"), reports.end());
}
