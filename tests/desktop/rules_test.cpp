// rules_test.cpp -- the desktop device's pure rules: screen layout, key codes, SDL events as messages, the single copy.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <sstream>

#include "platform/keys.h"
#include "platform/sdl/events.h"
#include "platform/sdl/instance.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/view.h"
#include "support/golden.h"

using namespace desktop;

// The pure rules' answers over grids of cases, a line each, against their golden text.
TEST(DesktopRules, LayoutsDevicePointsVolumesNamesScreenSizesAndKeysAreTheirGoldenText) {
  std::ostringstream out;
  out << "window, screen: scale, screen at, size\n";
  for (int w : {0, 200, 240, 241, 480, 500, 800, 960, 1024})
    for (int h : {0, 300, 320, 321, 640, 768, 1000, 1280, 1300})
      for (auto [sw, sh] : {std::pair(240, 320), {320, 240}, {0, 320}, {240, 0}}) {
        const ViewLayout l = LayoutScreen(w, h, sw, sh);
        out << w << "x" << h << ", " << sw << "x" << sh << ": " << l.scale << ", " << l.x << "," << l.y << ", "
            << l.width << "x" << l.height << "\n";
      }
  // Scale 3 in 800x1000 puts the screen at (40, 20): each window point's device pixel (none on the
  // bars), and that pixel's middle.
  const ViewLayout layout = LayoutScreen(800, 1000, 240, 320);
  for (int wx : {0, 38, 39, 40, 41, 42, 43, 400, 759, 760, 799})
    for (int wy : {19, 20, 22, 23, 500, 979, 980}) {
      int x = -1, y = -1, cx = 0, cy = 0;
      out << wx << "," << wy << ": " << WindowToDevice(layout, wx, wy, &x, &y) << " " << x << "," << y;
      DeviceToWindow(layout, x, y, &cx, &cy);
      out << (x < 0 ? "" : " middle " + std::to_string(cx) + "," + std::to_string(cy)) << "\n";
    }
  // The game's square, and where window points touch the screen when only the square is shown.
  for (auto [sw, sh, x, y] : {std::tuple(240, 320, 0, 20), {320, 240, 719, 739}, {200, 100, 0, 0}}) {
    const ViewLayout l = LayoutArea(720, 760, GameSquare(sw, sh));
    out << "square of " << sw << "x" << sh << " in 720x760: " << l.scale << ", " << l.x << "," << l.y << ", " << l.width
        << "x" << l.height << " from " << l.left << "," << l.top << "; " << x << "," << y << " is "
        << WindowToDevice(l, x, y, &x, &y) << " " << x << "," << y << "\n";
  }
  for (uint32_t v : {0u, 1u, 63u, 64u, 65u, 0xFFFFFFFFu}) out << "volume " << v << ": " << MixerVolume(v) << "\n";
  for (int n : {1, 42, 999, 1000}) out << ScreenshotName(n) << "\n";
  for (const char* size : {"240x320", "480X640", "1x1", "4096x4096", "", "240", "x320", "240x", "240x320x2", "-240x320",
                           "0x320", "240x0", "4097x320", "240x4097", "240 x320", "240x320 ", "99999999999x1"}) {
    int w = -1, h = -1;
    out << "size '" << size << "': " << ParseScreenSize(size, &w, &h) << " " << w << "x" << h << "\n";
  }
  // Every key SDL names (the characters and the keys named by their scancodes) that has a code.
  std::set<SDL_Keycode> keys;
  for (int code = 0; code < 128; ++code) keys.insert(code);
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) keys.insert(SDL_SCANCODE_TO_KEYCODE(scancode));
  for (SDL_Keycode key : keys)
    if (const uint32_t code = VirtualKeyFromSdl(key)) out << "key " << SDL_GetKeyName(key) << ": " << code << "\n";
  const KeyList list = DesktopDefaultKeys();
  for (const auto* key : {&list.up, &list.down, &list.left, &list.right, &list.a, &list.b, &list.c, &list.start})
    out << "default key " << key->vkCode << "\n";
  testing_support::ExpectGoldenText(out.str(), "desktop/rules.txt");
}

// Keys files (tests/desktop/keys-files.txt, one after each "--- NAME" line): their errors, or the
// keyboard keys that stand for each handheld key and what some others send.
TEST(DesktopRules, KeysFilesGiveTheirGoldenKeySetsOrErrors) {
  const std::string cases = testing_support::ReadFile(ZELVO_SOURCE_DIR "/tests/desktop/keys-files.txt");
  std::ostringstream out;
  for (size_t at = cases.find("--- "); at != std::string::npos;) {
    const size_t body = cases.find('\n', at) + 1, next = cases.find("\n--- ", body - 1);
    const std::string name = cases.substr(at + 4, body - at - 5);
    std::vector<std::string> errors;
    const KeySets sets =
        ReadKeySets(cases.substr(body, next == std::string::npos ? next : next + 1 - body), name, &errors);
    out << "--- " << name << "\n";
    for (const std::string& error : errors) out << error << "\n";
    for (const auto& [key, code] : sets) out << SDL_GetKeyName(key) << "=" << code << " ";
    out << "| X sends " << GameKeyFromSdl(sets, SDLK_x) << ", Q " << GameKeyFromSdl(sets, SDLK_q) << "\n";
    at = next == std::string::npos ? next : next + 1;
  }
  testing_support::ExpectGoldenText(out.str(), "desktop/keys-files.txt");
}

namespace {

constexpr WindowHandle kWindow = 0x1000;

SDL_Event key(Uint32 type, SDL_Keycode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event e{type};
  e.key.keysym.sym = code, e.key.keysym.mod = mod, e.key.repeat = repeat;
  return e;
}
SDL_Event mouse(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT) {
  SDL_Event e{type};
  e.button.button = button, e.button.x = x, e.button.y = y;
  return e;
}
SDL_Event window(Uint8 kind) {
  SDL_Event e{SDL_WINDOWEVENT};
  e.window.event = kind;
  return e;
}
SDL_Event pad(Uint32 type, Uint8 button, Uint32 time) {
  SDL_Event e{type};
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
      {mouse(SDL_MOUSEBUTTONDOWN, 272 + 240, 64 + 82 + 1), "513 1 " + std::to_string(41 << 16 | 120) + "; action 0"},
      {mouse(SDL_MOUSEBUTTONUP, 272 + 242, 64 + 84), "514 0 " + std::to_string(42 << 16 | 121) + "; action 0"},
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
      {SDL_Event{SDL_QUIT}, "action 0"},  // SDL's quit after the last window closed
      // W and the Up arrow both stand for Up: it is down while either is.
      {key(SDL_KEYDOWN, SDLK_w), "256 38 1; action 0"},
      {key(SDL_KEYDOWN, SDLK_UP), "256 38 " + std::to_string(kHeld | 1) + "; action 0"},
      {key(SDL_KEYUP, SDLK_w), "action 0"},
      {key(SDL_KEYUP, SDLK_UP), "257 38 " + std::to_string(0xC0000001) + "; action 0"},
      // Escape pauses as a lost focus; paused, the game hears nothing more (a lost focus included),
      // until a click, which touches nothing, gives the focus back; so do Pause and a pad's Back.
      {key(SDL_KEYDOWN, SDLK_ESCAPE), "8 0 0; action 5"},
      {key(SDL_KEYDOWN, SDLK_LEFT), "action 0"},
      {window(SDL_WINDOWEVENT_FOCUS_LOST), "action 0"},
      {mouse(SDL_MOUSEBUTTONDOWN, 300, 100), "action 5"},  // the window's focus is still away
      {window(SDL_WINDOWEVENT_FOCUS_GAINED), "7 0 0; action 0"},
      {mouse(SDL_MOUSEBUTTONUP, 300, 100), "action 0"},
      {key(SDL_KEYDOWN, SDLK_PAUSE), "8 0 0; action 5"},
      {pad(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_BACK, 0), "7 0 0; action 5"},
      {window(SDL_WINDOWEVENT_CLOSE), "16 0 0; action 0"},
  };
  for (const auto& [sdl, expected] : steps) EXPECT_EQ(text(TranslateEvent(state, sdl)), expected) << expected;
  EventState interrupted;  // Ctrl+C in the terminal
  interrupted.window = kWindow;
  EXPECT_EQ(text(TranslateEvent(interrupted, SDL_Event{SDL_QUIT})), "16 0 0; action 0");
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
