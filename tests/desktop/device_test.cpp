// device_test.cpp -- the desktop device in this process under a private Xvfb: pixels, stylus, keys, focus,
// close, message boxes, controllers (SDL's virtual joysticks) and the speaker (SDL's disk audio driver).
#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "desktop/harness.h"
#include "platform/audio.h"
#include "platform/common/winqueue.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/sdl/desktop.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/view.h"
#include "platform/system.h"
#include "support/golden.h"

using namespace desktop_testing;

namespace {

std::vector<Message> received;
std::vector<std::string> reports;  // the device's news

intptr_t recordingProc(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  received.push_back(Message{window, message, wParam, lParam});
  return WinDefaultProc(window, message, wParam, lParam);
}

// A picture anyone can check: colour bands, and single pixels in the corners.
uint16_t pattern(int x, int y) {
  if (x == 0 && y == 0) return 0xFFFF;
  if (x == 239 && y == 319) return 0x07E0;
  return y < 40 ? 0xF800 : y >= 280 ? 0x001F : ((x / 8) & 1) ? 0xCE5F : 0x0000;
}

class DesktopDevice : public ZelvoTest {
 protected:
  void SetUp() override {
    // A mapping for a controller SDL does not know, read at start from the app directory.
    testing_support::WriteFile(dir_.file("gamecontrollerdb.txt"), "03000000450000005a00000000000000,Odd,a:b0,platform:Linux,\n");
    testing_support::WriteFile(dir_.file("keys.txt"), "# B moves to Q\nb = Q\n");
    ASSERT_NO_FATAL_FAILURE(ZelvoTest::SetUp());
    if (IsSkipped()) return;
    for (const auto& [name, value] : ZelvoEnvironment(*display_))
      value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", dir_.file("speaker.raw").c_str(), 1);
    received.clear();
    reports.clear();
    const auto report = [](const std::string& line) { reports.push_back(line); };
    std::string problem;
    ASSERT_TRUE(desktop::Start({.appDirectory = dir_.path(), .scale = 2, .report = report}, &problem)) << problem;
    WinQueueReset();
    ASSERT_TRUE(WinRegisterClass(WindowClass{.proc = recordingProc, .className = "ZelvoClass"}));
    handle_ = WinCreateWindow("ZelvoClass", "Zelvo", WS_VISIBLE, 0, 0, 0, 0, 1);
    WinShowWindow(handle_, SW_SHOW);
    auto window = FindWindow(*display_, "Zelvo");
    ASSERT_TRUE(window) << "no window titled Zelvo";
    window_ = *window;
    ASSERT_TRUE(window_.Do("windowfocus --sync %"));  // SDL passes keys and controllers on only to the focused program
  }

  void TearDown() override { desktop::Stop(); }

  // Dispatch messages until done holds (checked after each batch); false when it did not in time.
  bool pumpUntil(const std::function<bool()>& done) {
    return WaitFor(
        [&] {
          Message next;
          while (WinPeekMessage(&next, true)) WinDispatchMessage(&next);
          return done();
        },
        10);
  }
  static const Message* find(uint32_t message) {
    for (const Message& m : received)
      if (m.message == message) return &m;
    return nullptr;
  }
  // The first message with this number, once it came (null when none did in time).
  const Message* await(uint32_t message) {
    pumpUntil([&] { return find(message) != nullptr; });
    return find(message);
  }

  WindowHandle handle_ = 0;
  XWindow window_;
};

}  // namespace

TEST_F(DesktopDevice, ShowsThePixelsExactlyAtEveryWindowSizeAndTakesTheStylusThere) {
  const DisplayProperties properties = DispGetProperties();
  EXPECT_EQ(std::vector<int>({static_cast<int>(properties.cxWidth), static_cast<int>(properties.cyHeight),
                              properties.cbxPitch, properties.cbyPitch, properties.cBPP, WinScreenWidth(), WinScreenHeight()}),
            std::vector<int>({240, 320, 2, 480, 16, 240, 320}));
  auto* pixels = static_cast<uint16_t*>(DispBeginDraw());
  ASSERT_NE(pixels, nullptr);
  Picture expected{240, 320, {}};
  for (int y = 0; y < 320; ++y)
    for (int x = 0; x < 240; ++x) {
      pixels[y * 240 + x] = pattern(x, y);
      const std::array<uint8_t, 3> rgb = desktop::Expand565(pattern(x, y));
      expected.rgb.insert(expected.rgb.end(), rgb.begin(), rgb.end());
    }
  DispEndDraw();  // shows the span that changed, here all of it: the corner pixels test its edges
  std::string first;
  Picture shot = window_.Shoot(dir_.file("shot.png"));
  ASSERT_EQ(std::pair(shot.width, shot.height), std::pair(480, 640));
  EXPECT_EQ(ScreenDifference(shot, expected, &first), 0) << first;
  // Resized, the screen sits between black bars at scale 2, pixel-exact, and F12 saves it as it is.
  ASSERT_TRUE(window_.Do("windowsize --sync % 700 700"));
  ASSERT_TRUE(pumpUntil(
      [&] { return (shot = window_.Shoot(dir_.file("shot.png"))).width == 700 && shot.At565(110, 30) == 0xFFFF; }));
  for (auto [x, y] : {std::pair{109, 300}, {590, 300}, {300, 29}, {300, 670}}) EXPECT_EQ(shot.At565(x, y), 0) << x;
  EXPECT_EQ(ScreenDifference(shot, expected, &first), 0) << first;
  ASSERT_TRUE(window_.Do("key F12"));
  ASSERT_TRUE(pumpUntil([&] { return testing_support::FileExists(dir_.file("zelvo-shot-001.png")); }));
  EXPECT_EQ(LoadPicture(dir_.file("zelvo-shot-001.png")).rgb, expected.rgb);
  // The stylus follows the picture: a click on the bar touches nothing, one on the screen its pixel.
  received.clear();
  ASSERT_TRUE(window_.ClickWindow(50, 300));
  ASSERT_TRUE(window_.ClickDevice(17, 33));
  ASSERT_NE(await(WM_LBUTTONUP), nullptr);
  EXPECT_EQ(std::count_if(received.begin(), received.end(), [](const Message& m) { return m.message == WM_LBUTTONDOWN; }), 1);
  EXPECT_EQ(await(WM_LBUTTONDOWN)->lParam, 33 << 16 | 17);
  EXPECT_EQ(find(WM_KEYDOWN), nullptr);  // the game never heard F12
}

TEST_F(DesktopDevice, PausedTheGameHearsOfALostFocusOnlyUnderADimmedPausedAndTheGameViewHidesNothing) {
  Picture expected{240, 320, {}}, shot;
  auto draw = [&](const std::function<uint16_t(int, int)>& pixel) {
    auto* pixels = static_cast<uint16_t*>(DispBeginDraw());
    expected = Picture{240, 320, {}};
    for (int y = 0; y < 320; ++y)
      for (int x = 0; x < 240; ++x) {
        const std::array<uint8_t, 3> rgb = desktop::Expand565(pixels[y * 240 + x] = pixel(x, y));
        expected.rgb.insert(expected.rgb.end(), rgb.begin(), rgb.end());
      }
    DispEndDraw();
  };
  draw(pattern);
  received.clear();
  ASSERT_TRUE(window_.Do("key Escape"));
  ASSERT_NE(await(WM_KILLFOCUS), nullptr);
  ASSERT_TRUE(window_.Do("keydown j"));  // A, which the game cannot read now
  window_.Shoot(dir_.file("paused.png"));
  EXPECT_EQ(KeyAsyncState(VK_SPACE), 0);
  ASSERT_TRUE(window_.Do("keyup j"));
  testing_support::ExpectGoldenPictures(dir_, {"paused"}, "desktop");
  ASSERT_TRUE(window_.ClickDevice(17, 33));  // ends the pause, touching nothing
  ASSERT_NE(await(WM_SETFOCUS), nullptr);
  ASSERT_TRUE(window_.Do("key q"));  // B, as keys.txt says
  ASSERT_NE(await(WM_KEYUP), nullptr);
  std::vector<std::pair<uint32_t, uintptr_t>> trace;
  for (const Message& m : received)
    if (m.message != WM_PAINT) trace.emplace_back(m.message, m.wParam);  // the photographs uncover the window
  EXPECT_EQ(trace, (decltype(trace){{WM_KILLFOCUS, 0}, {WM_SETFOCUS, 0}, {WM_KEYDOWN, 'X'}, {WM_KEYUP, 'X'}}));
  EXPECT_EQ(ScreenDifference(window_.Shoot(dir_.file("shot.png")), expected), 0);
  // The game view, remembered, shows the whole screen while the bands hold anything, else the square.
  ASSERT_TRUE(window_.Do("key F10"));
  ASSERT_TRUE(pumpUntil([&] { return testing_support::ReadFile(dir_.file("view.txt")) == "game\n"; }));
  EXPECT_EQ(ScreenDifference(window_.Shoot(dir_.file("shot.png")), expected), 0);
  for (const bool bands : {false, true}) {
    draw([&](int x, int y) { return y >= 40 && y < 280 ? pattern(x, y) : bands && x + y == 0 ? 0xFFFF : 0; });
    if (!bands)
      expected = {240, 240, std::vector<uint8_t>(expected.rgb.begin() + 40 * 720, expected.rgb.end() - 40 * 720)};
    EXPECT_TRUE(window_.WaitForShot(
        dir_.file("shot.png"), [&](const Picture& p) { return ScreenDifference(p, expected) == 0; }, &shot));
  }
}

TEST_F(DesktopDevice, KeysFocusFullScreenAndCloseReachTheGameAsItsMessages) {
  ASSERT_FALSE(received.empty());
  EXPECT_EQ(received.front().message, WM_SETFOCUS);  // announced as the window appeared
  received.clear();
  // Keys are read even while nobody polls the messages, as the game's dialog box waits for one.
  ASSERT_TRUE(window_.Do("keydown space"));
  EXPECT_TRUE(WaitFor([] { return KeyAsyncState(VK_SPACE) == 0x8000; }, 10));
  ASSERT_TRUE(window_.Do("keyup space"));
  EXPECT_TRUE(WaitFor([] { return KeyAsyncState(VK_SPACE) == 0; }, 10));
  EXPECT_EQ(KeyAsyncState(256), 0);
  ASSERT_NE(await(WM_KEYUP), nullptr);
  EXPECT_EQ(await(WM_KEYDOWN)->wParam, VK_SPACE);
  EXPECT_EQ(await(WM_KEYUP)->wParam, VK_SPACE);
  // F11 asks for full screen and back (a bare X server has no window manager to make the window
  // cover the screen); the game does not hear it.
  received.clear();
  auto fullScreen = [] { return (SDL_GetWindowFlags(desktop::device.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0; };
  ASSERT_TRUE(window_.Do("key F11"));
  ASSERT_TRUE(pumpUntil(fullScreen));
  ASSERT_TRUE(window_.Do("key F11"));
  ASSERT_TRUE(pumpUntil([&] { return !fullScreen(); }));
  EXPECT_EQ(find(WM_KEYDOWN), nullptr);
  CoverWindow other(*display_);
  ASSERT_TRUE(display_->Run("xdotool windowfocus --sync " + std::to_string(other.id)));
  ASSERT_NE(await(WM_KILLFOCUS), nullptr);
  ASSERT_TRUE(window_.Do("windowfocus --sync %"));
  ASSERT_NE(await(WM_SETFOCUS), nullptr);
  ASSERT_TRUE(window_.RequestClose());
  ASSERT_NE(await(WM_CLOSE), nullptr);
  EXPECT_NE(await(WM_DESTROY), nullptr);  // the default handling destroys the window
  EXPECT_FALSE(WinIsWindow(handle_));
}

TEST_F(DesktopDevice, AMessageBoxShowsItsTextUntilItIsAnsweredAndWithoutADisplayGoesToStandardError) {
  EXPECT_EQ(SysModuleFileName(), dir_.file("zelvo"));
  EXPECT_EQ(reports.front(), "gamecontrollerdb.txt: controller mappings added for Linux: 1");
  const uint32_t random = SysRandom();
  EXPECT_TRUE(SysRandom() != random || SysRandom() != random);
  ASSERT_TRUE(display_->Run("xlsfonts -fn '-*-*-medium-r-normal--*-120-*-*-*-*-*-*' | grep -q ."))
      << "SDL's message boxes draw with the X core fonts: install xfonts-base (scripts/setup-deps --test)";
  // A shell answers the box: finds it by its UTF-8 caption (which xwininfo reads, xdotool not) and
  // presses Return; a box still up 5 s later is killed. It starts before the box, which SDL shows from
  // a forked child: a thread of ours in Xlib at that moment could leave the child's locks held.
  const char* answerer =
      "for i in $(seq 200); do id=$(xwininfo -root -children | awk '/\"Error\"/ {print $1; exit}'); "
      "[ -n \"$id\" ] && break; sleep 0.1; done; [ -n \"$id\" ] || exit 2; "
      "xdotool windowfocus --sync $id key Return; "
      "for i in $(seq 50); do xwininfo -id $id >/dev/null 2>&1 || exit 0; sleep 0.1; done; "
      "xdotool windowkill $id; exit 3";
  Process answer({"sh", "-c", answerer}, {{"DISPLAY", display_->name}});
  SysMessageBox("Failed to load game data.\nReinstall the application.", "Error", MB_ICONERROR);
  EXPECT_EQ(answer.Wait(30), 0) << "2: no box titled Error showed, 3: the box did not go on Return";
  desktop::Stop();
  ::testing::internal::CaptureStderr();
  SysMessageBox("Not enough free memory.\nFree up some memory.", "Error", MB_ICONERROR);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "zelvo: Error: Not enough free memory. Free up some memory.\n");
}

TEST_F(DesktopDevice, AControllersButtonsAndStickAreTheHandheldKeysUntilItIsPulledOut) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;  // SDL maps it from its masks: button n is SDL's button n
  desc.naxes = 2, desc.nbuttons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1, desc.button_mask = (1u << desc.nbuttons) - 1;
  desc.axis_mask = 3, desc.vendor_id = 0x5A45, desc.product_id = 1, desc.name = "Zelvo Test Pad";
  SDL_Joystick* pad = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  ASSERT_TRUE(pumpUntil([] { return !reports.empty() && reports.back() == "Controller connected: Zelvo Test Pad"; }));
  // Each holds its key down while pressed, and only that; a button with no handheld key (the left shoulder) held
  // all along presses nothing. The stick past the dead zone is an arrow; back inside it, at rest.
  auto expectKey = [&](const std::function<void(bool)>& hold, uint32_t key) {
    received.clear();
    hold(true);
    ASSERT_TRUE(pumpUntil([&] { return KeyAsyncState(key) == 0x8000; })) << key;
    hold(false);
    ASSERT_TRUE(pumpUntil([&] { return KeyAsyncState(key) == 0 && find(WM_KEYUP); })) << key;
    std::vector<std::pair<uint32_t, uintptr_t>> trace;
    for (const Message& m : received) trace.emplace_back(m.message, m.wParam);
    EXPECT_EQ(trace, (decltype(trace){{WM_KEYDOWN, key}, {WM_KEYUP, key}}));
  };
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER, SDL_PRESSED);
  const std::pair<int, uint32_t> buttons[] = {
      {SDL_CONTROLLER_BUTTON_A, VK_SPACE},        {SDL_CONTROLLER_BUTTON_B, 'X'},      {SDL_CONTROLLER_BUTTON_X, 'C'},
      {SDL_CONTROLLER_BUTTON_Y, 'C'},             {SDL_CONTROLLER_BUTTON_START, VK_RETURN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, VK_LEFT}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, VK_RIGHT},
      {SDL_CONTROLLER_BUTTON_DPAD_UP, VK_UP},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, VK_DOWN}};
  for (const auto& [button, key] : buttons)
    expectKey([&](bool down) { SDL_JoystickSetVirtualButton(pad, button, down ? SDL_PRESSED : SDL_RELEASED); }, key);
  for (auto [x, y, key] : {std::tuple<int16_t, int16_t, uint32_t>{-20000, 3000, VK_LEFT}, {20000, -3000, VK_RIGHT},
                           {-3000, -20000, VK_UP}, {3000, 20000, VK_DOWN}})
    expectKey(
        [&](bool down) {
          SDL_JoystickSetVirtualAxis(pad, 0, static_cast<int16_t>(down ? x : x / 3));
          SDL_JoystickSetVirtualAxis(pad, 1, static_cast<int16_t>(down ? y : y / 3));
        },
        key);
  // A pad pulled out while it holds a key lets it go.
  received.clear();
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_PRESSED);
  ASSERT_NE(await(WM_KEYDOWN), nullptr);
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(0);
  ASSERT_NE(await(WM_KEYUP), nullptr);
  EXPECT_EQ(await(WM_KEYUP)->wParam, VK_LEFT);
  EXPECT_TRUE(pumpUntil([] { return reports.back() == "Controller removed: Zelvo Test Pad"; }));
}

TEST_F(DesktopDevice, ALoopingSoundReachesTheSpeakerAtTheGamesRateAndVolumeAndNoWavIsRefused) {
  constexpr int kRate = 24000, kAmplitude = 8000;
  std::vector<int16_t> samples;  // a quarter second of a 440 Hz tone, 16-bit stereo at the game's rate
  for (int i = 0; i < kRate / 4; ++i)
    samples.insert(samples.end(), 2, static_cast<int16_t>(std::lround(kAmplitude * std::sin(2 * M_PI * 440.0 * i / kRate))));
  const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);  // RIFF, WAVE, fmt: PCM, 2 channels, 16 bits; data
  const uint32_t header[] = {0x46464952, 36 + bytes, 0x45564157, 0x20746d66, 16, 0x00020001, kRate, kRate * 4, 0x00100004,
                             0x61746164, bytes};
  testing_support::WriteFile(dir_.file("tone.wav"), std::string(reinterpret_cast<const char*>(header), sizeof header) +
                                                        std::string(reinterpret_cast<const char*>(samples.data()), bytes));
  testing_support::WriteFile(dir_.file("text.wav"), "RIFF but not really");
  ASSERT_EQ(SpeakerOpen(24000, 16, true, 1, 8), 0);
  SoundHandle tone = SoundCreate(), text = SoundCreate();
  EXPECT_NE(SoundLoad(text, dir_.file("missing.wav")), 0);
  EXPECT_NE(SoundLoad(text, dir_.file("text.wav")), 0);
  EXPECT_NE(SpeakerPlaySound(text, 0), 0);
  EXPECT_NE(SpeakerPlaySound(nullptr, 0), 0);
  ASSERT_EQ(SoundLoad(tone, dir_.file("tone.wav")), 0);
  SoundSetLoop(tone, true);
  SpeakerSetVolume(64);
  ASSERT_EQ(SpeakerPlaySound(tone, 0x10000000), 0);
  // A second and a half: far past the quarter second the tone lasts, so it must have looped.
  const std::string output = dir_.file("speaker.raw");
  ASSERT_TRUE(WaitFor([&] { return testing_support::ReadFile(output).size() >= kRate * 4 * 3 / 2; }, 10));
  std::vector<int16_t> late(kRate);  // half a second of stereo, from the second second on
  std::memcpy(late.data(), testing_support::ReadFile(output).data() + kRate * 4 / 2, late.size() * 2);
  int changes = 0;  // 440 Hz at 24 kHz: about 440 sign changes in half a second
  for (size_t i = 2; i < late.size(); i += 2) changes += (late[i - 2] < 0) != (late[i] < 0);
  EXPECT_NEAR(changes, 440, 30);
  EXPECT_GT(*std::max_element(late.begin(), late.end()), kAmplitude * 9 / 10);
  SpeakerSetVolume(32);
  EXPECT_NEAR(LoudestFromNowOn(output), kAmplitude / 2, kAmplitude / 20);
  SpeakerStopSounds();
  EXPECT_EQ(LoudestFromNowOn(output), 0);
  // Without an audio device the speaker stays closed and all is quiet; the music is still there.
  desktop::Stop();
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_NE(SpeakerOpen(24000, 16, true, 1, 8), 0);
  SoundHandle quiet = SoundCreate();
  EXPECT_EQ(SoundLoad(quiet, dir_.file("tone.wav")), 0);
  EXPECT_NE(SoundLoad(quiet, dir_.file("missing.wav")), 0);
  EXPECT_NE(SpeakerPlaySound(quiet, 0x10000000), 0);
}
