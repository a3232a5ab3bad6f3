// rules_test.cpp -- the desktop device's pure rules: screen layout, key codes, SDL events as messages, the single copy.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <tuple>

#include "platform/keys.h"
#include "platform/sdl/events.h"
#include "platform/sdl/instance.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/view.h"
#include "support/testing.h"

using namespace desktop;

TEST(DesktopRules, LayoutScaleBarsDevicePointsVolumeNamesAndSizes) {
  EXPECT_EQ(FitScale(200, 200, 240, 320), 1);  // never below 1, even when nothing fits
  EXPECT_EQ(FitScale(1000, 1000, 0, 320), 1);
  for (const auto& [window, screen, expected] : {std::tuple{std::pair(960, 1280), std::pair(240, 320), std::vector{4, 0, 0}},
                                                 {{1024, 768}, {240, 320}, {2, 272, 64}}, {{500, 1300}, {240, 320}, {2, 10, 330}},
                                                 {{241, 321}, {240, 320}, {1, 0, 0}}, {{1000, 1000}, {320, 240}, {3, 20, 140}}}) {
    const ViewLayout layout = LayoutScreen(window.first, window.second, screen.first, screen.second);
    EXPECT_EQ(std::vector({layout.scale, layout.x, layout.y, layout.width, layout.height}),
              std::vector({expected[0], expected[1], expected[2], screen.first * expected[0], screen.second * expected[0]}));
  }
  // Scale 3 in 800x1000: the screen at (40, 20); every window pixel of a device pixel touches it,
  // the bars touch nothing and leave the point alone.
  const ViewLayout layout = LayoutScreen(800, 1000, 240, 320);
  for (const auto& [wx, wy, x, y] : {std::array{39, 20, -1, 0}, {40, 19, -1, 0}, {40, 20, 0, 0}, {42, 22, 0, 0}, {43, 23, 1, 1},
                                     {759, 979, 239, 319}, {760, 500, -1, 0}, {400, 980, -1, 0}}) {
    int px = -1, py = 0;
    EXPECT_EQ(WindowToDevice(layout, wx, wy, &px, &py), x >= 0) << wx << "," << wy;
    EXPECT_EQ(std::pair(px, py), std::pair(x, y)) << wx << "," << wy;
  }
  int x = -1, y = -1;
  EXPECT_FALSE(WindowToDevice(LayoutScreen(240, 320, 240, 320), -1, 0, &x, &y));  // rounds down, not to 0
  EXPECT_EQ(std::vector({MixerVolume(1), MixerVolume(64), MixerVolume(0xFFFFFFFFu)}), std::vector({2, 128, 128}));
  EXPECT_EQ(ScreenshotName(42), "zelvo-shot-042.png");
  ASSERT_TRUE(ParseScreenSize("480X640", &x, &y));
  EXPECT_EQ(std::pair(x, y), std::pair(480, 640));
  EXPECT_TRUE(ParseScreenSize("4096x1", &x, &y));
  for (const char* bad : {"", "240", "x320", "240x", "240x320x2", "-240x320", "0x320", "240x0", "4097x320", "240x4097",
                          "240 x320", "240x320 ", "99999999999x1"})
    EXPECT_FALSE(ParseScreenSize(bad, &x, &y)) << bad;
  EXPECT_EQ(x, 4096);
}

TEST(DesktopRules, KeysAreTheHandheldsVirtualKeyCodes) {
  const std::pair<SDL_Keycode, uint32_t> keys[] = {
      {SDLK_LEFT, 37},  {SDLK_UP, 38},     {SDLK_RIGHT, 39},     {SDLK_DOWN, 40},     {SDLK_RETURN, 13},
      {SDLK_KP_ENTER, 13}, {SDLK_SPACE, 32}, {SDLK_ESCAPE, 27},  {SDLK_BACKSPACE, 8}, {SDLK_TAB, 9},
      {SDLK_LSHIFT, 16}, {SDLK_RCTRL, 17},  {SDLK_LALT, 18},     {SDLK_HOME, 36},     {SDLK_DELETE, 46},
      {SDLK_a, 'A'},    {SDLK_z, 'Z'},     {SDLK_0, '0'},        {SDLK_9, '9'},       {SDLK_F1, 0x70},
      {SDLK_F12, 0x7B}, {SDLK_F13, 0x7C},  {SDLK_F24, 0x87},     {SDLK_KP_0, 0x60},   {SDLK_KP_9, 0x69},
      {SDLK_KP_PLUS, 0x6B}, {SDLK_SEMICOLON, 0xBA}, {SDLK_QUOTE, 0xDE}, {SDLK_UNKNOWN, 0}, {SDLK_MODE, 0},
      {SDLK_AUDIOPLAY, 0}};
  for (const auto& [key, code] : keys) EXPECT_EQ(VirtualKeyFromSdl(key), code) << SDL_GetKeyName(key);
  const KeyList list = DesktopDefaultKeys();
  EXPECT_EQ(std::vector<int>({list.up.vkCode, list.down.vkCode, list.left.vkCode, list.right.vkCode, list.a.vkCode,
                              list.b.vkCode, list.c.vkCode, list.start.vkCode}),
            std::vector<int>({38, 40, 37, 39, 32, 'X', 'C', 13}));
}

namespace {

constexpr WindowHandle kWindow = 0x1000;

SDL_Event event(Uint32 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}
SDL_Event key(Uint32 type, SDL_Keycode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event e = event(type);
  e.key.keysym.sym = code, e.key.keysym.mod = mod, e.key.repeat = repeat;
  return e;
}
SDL_Event mouse(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event e = event(type);
  e.button.button = button, e.button.x = x, e.button.y = y;
  return e;
}
SDL_Event window(Uint8 kind) {
  SDL_Event e = event(SDL_WINDOWEVENT);
  e.window.event = kind;
  return e;
}
SDL_Event pad(Uint32 type, Uint8 button, Uint32 time) {
  SDL_Event e = event(type);
  e.cbutton.which = 1, e.cbutton.button = button, e.cbutton.timestamp = time;
  e.cbutton.state = type == SDL_CONTROLLERBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  return e;
}

// The messages as "message wParam lParam" words, and the device's own action.
std::string text(const Translation& t) {
  std::string out;
  for (const Message& m : t.messages) {
    EXPECT_EQ(m.window, kWindow);
    out += std::to_string(m.message) + " " + std::to_string(m.wParam) + " " + std::to_string(m.lParam) + "; ";
  }
  return out + "action " + std::to_string(static_cast<int>(t.action));
}

}  // namespace

TEST(DesktopRules, SdlEventsBecomeTheGamesMessages) {
  EventState state;
  EXPECT_EQ(text(TranslateEvent(state, key(SDL_KEYDOWN, SDLK_LEFT))), "action 0");  // before the window exists
  state.window = kWindow;
  state.layout = LayoutScreen(1024, 768, 240, 320);  // the screen at (272, 64), scale 2
  const int kHeld = 1 << 30;
  const std::pair<SDL_Event, std::string> steps[] = {
      {key(SDL_KEYDOWN, SDLK_LEFT), "256 37 1; action 0"},
      {key(SDL_KEYDOWN, SDLK_LEFT, KMOD_NONE, 1), "256 37 " + std::to_string(kHeld | 1) + "; action 0"},
      {key(SDL_KEYUP, SDLK_LEFT), "257 37 " + std::to_string(0xC0000001) + "; action 0"},
      {key(SDL_KEYDOWN, SDLK_AUDIOPLAY), "action 0"},
      {key(SDL_KEYDOWN, SDLK_F11), "action 2"},
      {key(SDL_KEYUP, SDLK_F11), "action 0"},
      {key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT), "action 2"},
      {key(SDL_KEYUP, SDLK_RETURN), "action 0"},  // the lift of a shortcut's key is not the game's
      {key(SDL_KEYDOWN, SDLK_RETURN), "256 13 1; action 0"},
      {key(SDL_KEYDOWN, SDLK_F12), "action 3"},
      {key(SDL_KEYDOWN, SDLK_F12, KMOD_NONE, 1), "action 0"},  // held: one screenshot
      {mouse(SDL_MOUSEBUTTONDOWN, 272 + 2 * 120, 64 + 2 * 41 + 1), "513 1 " + std::to_string(41 << 16 | 120) + "; action 0"},
      {mouse(SDL_MOUSEBUTTONUP, 272 + 2 * 121, 64 + 2 * 42), "514 0 " + std::to_string(42 << 16 | 121) + "; action 0"},
      {mouse(SDL_MOUSEBUTTONDOWN, 100, 300), "action 0"},  // on a bar
      {mouse(SDL_MOUSEBUTTONUP, 100, 300), "action 0"},
      {mouse(SDL_MOUSEBUTTONDOWN, 500, 300, SDL_BUTTON_RIGHT), "action 0"},
      {mouse(SDL_MOUSEBUTTONDOWN, 300, 100), "513 1 " + std::to_string(18 << 16 | 14) + "; action 0"},
      {mouse(SDL_MOUSEBUTTONUP, 1000, 760), "514 0 " + std::to_string(319 << 16 | 239) + "; action 0"},  // dragged off
      {window(SDL_WINDOWEVENT_FOCUS_GAINED), "action 0"},  // the window came up with the focus announced
      {window(SDL_WINDOWEVENT_FOCUS_LOST), "8 0 0; action 0"},
      {window(SDL_WINDOWEVENT_FOCUS_LOST), "action 0"},
      {window(SDL_WINDOWEVENT_FOCUS_GAINED), "7 0 0; action 0"},
      {window(SDL_WINDOWEVENT_EXPOSED), "action 1"},
      {window(SDL_WINDOWEVENT_SIZE_CHANGED), "action 1"},
      {window(SDL_WINDOWEVENT_MOVED), "action 0"},
      {window(SDL_WINDOWEVENT_CLOSE), "16 0 0; action 0"},
      {event(SDL_QUIT), "action 0"},  // SDL's quit after the last window closed
  };
  for (const auto& [sdl, expected] : steps) EXPECT_EQ(text(TranslateEvent(state, sdl)), expected) << expected;
  EventState interrupted;  // Ctrl+C in the terminal
  interrupted.window = kWindow;
  EXPECT_EQ(text(TranslateEvent(interrupted, event(SDL_QUIT))), "16 0 0; action 0");
}

TEST(DesktopRules, AHeldControllerButtonRepeatsAsAKeyboardKeyWould) {
  EventState state;
  state.window = kWindow;
  ASSERT_EQ(TranslateEvent(state, pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, 1000)).messages.size(), 1u);
  // Nothing for half a second, then key-downs of a key held before, thirty times a second.
  std::vector<uint32_t> repeated;
  for (uint32_t now = 1000; now <= 1600; ++now)
    for (const Message& m : RepeatPadKeys(state, now).messages) {
      EXPECT_EQ(std::pair(m.message, m.wParam), std::pair(uint32_t{WM_KEYDOWN}, uintptr_t{VK_SPACE}));
      EXPECT_NE(m.lParam & (1 << 30), 0);
      repeated.push_back(now);
    }
  EXPECT_EQ(repeated, (std::vector<uint32_t>{1500, 1533, 1566, 1599}));
  // While the keyboard holds the key too, the keyboard's own repeats are the key's.
  EXPECT_EQ(TranslateEvent(state, key(SDL_KEYDOWN, SDLK_SPACE)).messages.size(), 1u);
  EXPECT_TRUE(RepeatPadKeys(state, 2000).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYUP, SDLK_SPACE)).messages.empty());  // the controller holds it
  EXPECT_EQ(RepeatPadKeys(state, 2000).messages.size(), 1u);
  EXPECT_EQ(text(TranslateEvent(state, pad(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A, 2010))),
            "257 32 " + std::to_string(0xC0000001) + "; action 0");
  EXPECT_TRUE(RepeatPadKeys(state, 5000).messages.empty());
}

TEST(DesktopRules, OneRunningCopyPerFolderHearsTheKnocksOfLaterOnes) {
  testing_support::TempDir dir, other;
  EXPECT_FALSE(AskRunningCopyToRaise(dir.path()));  // nobody listens
  testing_support::WriteFile(dir.file("zelvo.fifo"), "left by a crash");
  InstanceLock first, second, elsewhere, nowhere;
  ASSERT_TRUE(first.Acquire(dir.path()));
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("zelvo.fifo").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));  // the leftover was replaced
  EXPECT_FALSE(second.Acquire(dir.path()));
  EXPECT_TRUE(elsewhere.Acquire(other.path()));
  EXPECT_FALSE(first.RaiseRequested());
  EXPECT_TRUE(AskRunningCopyToRaise(dir.path()));
  EXPECT_TRUE(AskRunningCopyToRaise(dir.path()));
  EXPECT_TRUE(first.RaiseRequested());  // two knocks before a look are one request
  EXPECT_FALSE(first.RaiseRequested());
  first.Release();
  EXPECT_FALSE(AskRunningCopyToRaise(dir.path()));
  EXPECT_TRUE(second.Acquire(dir.path()));  // free again once the first copy is gone
  EXPECT_TRUE(nowhere.Acquire(dir.file("no-such-folder")));  // a folder that cannot hold the lock lets the game run
  EXPECT_FALSE(nowhere.RaiseRequested());
}
