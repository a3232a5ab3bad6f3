// events_test.cpp -- SDL events become the messages the game knows: keys, controllers, stylus, focus, close.
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/sdl/events.h"

using namespace desktop;

namespace {

constexpr WindowHandle kWindow = 0x1000;

EventState freshState(int windowWidth = 1024, int windowHeight = 768) {
  EventState state;
  state.window = kWindow;
  state.layout = LayoutScreen(windowWidth, windowHeight, 240, 320);
  return state;
}

SDL_Event key(Uint32 type, SDL_Keycode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.sym = code;
  event.key.keysym.mod = mod;
  event.key.repeat = repeat;
  event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
  return event;
}

SDL_Event padButton(Uint32 type, Uint8 which, Uint32 time) {
  SDL_Event event{};
  event.type = type;
  event.cbutton.which = 1;
  event.cbutton.button = which;
  event.cbutton.state = type == SDL_CONTROLLERBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.cbutton.timestamp = time;
  return event;
}

SDL_Event button(Uint32 type, int x, int y, Uint8 which = SDL_BUTTON_LEFT) {
  SDL_Event event{};
  event.type = type;
  event.button.button = which;
  event.button.x = x;
  event.button.y = y;
  return event;
}

SDL_Event windowEvent(Uint8 kind) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = kind;
  return event;
}

uint32_t lowWord(intptr_t value) { return static_cast<uint32_t>(value) & 0xFFFF; }
uint32_t highWord(intptr_t value) { return (static_cast<uint32_t>(value) >> 16) & 0xFFFF; }

}  // namespace

TEST(DesktopEvents, KeysBecomeKeyMessagesWithVirtualKeyCodes) {
  EventState state = freshState();
  Translation down = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_LEFT));
  ASSERT_EQ(down.messages.size(), 1u);
  EXPECT_EQ(down.messages[0].window, kWindow);
  EXPECT_EQ(down.messages[0].message, WM_KEYDOWN);
  EXPECT_EQ(down.messages[0].wParam, 37u);
  EXPECT_EQ(down.messages[0].lParam & 0xFFFF, 1);      // one press
  EXPECT_EQ(down.messages[0].lParam & (1 << 30), 0);   // not held before
  EXPECT_EQ(down.action, DeviceAction::None);

  Translation held = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_LEFT, KMOD_NONE, 1));
  ASSERT_EQ(held.messages.size(), 1u);
  EXPECT_NE(held.messages[0].lParam & (1 << 30), 0);  // auto-repeat: it was down already

  Translation up = TranslateEvent(state, key(SDL_KEYUP, SDLK_LEFT));
  ASSERT_EQ(up.messages.size(), 1u);
  EXPECT_EQ(up.messages[0].message, WM_KEYUP);
  EXPECT_EQ(up.messages[0].wParam, 37u);

  Translation letter = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_q));
  ASSERT_EQ(letter.messages.size(), 1u);
  EXPECT_EQ(letter.messages[0].wParam, static_cast<uintptr_t>('Q'));
}

TEST(DesktopEvents, KeysWithoutACodeMakeNoMessage) {
  EventState state = freshState();
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYDOWN, SDLK_AUDIOPLAY)).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYUP, SDLK_AUDIOPLAY)).messages.empty());
}

TEST(DesktopEvents, AHeldControllerButtonRepeatsAsAKeyboardKeyWould) {
  EventState state = freshState();
  Translation down = TranslateEvent(state, padButton(SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLER_BUTTON_A, 1000));
  ASSERT_EQ(down.messages.size(), 1u);
  // Nothing for half a second, then key-downs of a key held before, thirty times a second.
  std::vector<uint32_t> repeated;
  for (uint32_t now = 1000; now <= 1600; ++now) {
    for (const Message& m : RepeatPadKeys(state, now).messages) {
      EXPECT_EQ(m.message, WM_KEYDOWN);
      EXPECT_EQ(m.wParam, VK_SPACE);
      EXPECT_NE(m.lParam & (1 << 30), 0);
      repeated.push_back(now);
    }
  }
  EXPECT_EQ(repeated, (std::vector<uint32_t>{1500, 1533, 1566, 1599}));
  // While the keyboard holds the key too, the keyboard's own repeats are the key's.
  EXPECT_EQ(TranslateEvent(state, key(SDL_KEYDOWN, SDLK_SPACE)).messages.size(), 1u);
  EXPECT_TRUE(RepeatPadKeys(state, 2000).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYUP, SDLK_SPACE)).messages.empty());  // the controller holds it
  EXPECT_EQ(RepeatPadKeys(state, 2000).messages.size(), 1u);
  Translation up = TranslateEvent(state, padButton(SDL_CONTROLLERBUTTONUP, SDL_CONTROLLER_BUTTON_A, 2010));
  ASSERT_EQ(up.messages.size(), 1u);
  EXPECT_EQ(up.messages[0].message, WM_KEYUP);
  EXPECT_TRUE(RepeatPadKeys(state, 5000).messages.empty());
}

TEST(DesktopEvents, FullScreenAndScreenshotKeysStayWithTheDevice) {
  EventState state = freshState();
  Translation f11 = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_F11));
  EXPECT_TRUE(f11.messages.empty());
  EXPECT_EQ(f11.action, DeviceAction::ToggleFullscreen);
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYUP, SDLK_F11)).messages.empty());

  Translation altEnter = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_RETURN, KMOD_LALT));
  EXPECT_TRUE(altEnter.messages.empty());
  EXPECT_EQ(altEnter.action, DeviceAction::ToggleFullscreen);
  EXPECT_TRUE(state.swallowed[13]);
  // Return let go after Alt+Enter is no key-up for the game; the next Return is an ordinary key again.
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYUP, SDLK_RETURN)).messages.empty());
  EXPECT_FALSE(state.swallowed[13]);
  Translation plainReturn = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_RETURN));
  ASSERT_EQ(plainReturn.messages.size(), 1u);
  EXPECT_EQ(plainReturn.messages[0].wParam, 13u);
  EXPECT_EQ(plainReturn.action, DeviceAction::None);

  Translation f12 = TranslateEvent(state, key(SDL_KEYDOWN, SDLK_F12));
  EXPECT_TRUE(f12.messages.empty());
  EXPECT_EQ(f12.action, DeviceAction::Screenshot);
  // Holding F12 takes one screenshot, not one per repeat.
  EXPECT_EQ(TranslateEvent(state, key(SDL_KEYDOWN, SDLK_F12, KMOD_NONE, 1)).action, DeviceAction::None);
}

TEST(DesktopEvents, TheLeftButtonIsTheStylusAtTheDevicePoint) {
  EventState state = freshState();  // 1024x768: the screen at (272, 64), scale 2
  Translation down = TranslateEvent(state, button(SDL_MOUSEBUTTONDOWN, 272 + 2 * 120, 64 + 2 * 41 + 1));
  ASSERT_EQ(down.messages.size(), 1u);
  EXPECT_EQ(down.messages[0].message, WM_LBUTTONDOWN);
  EXPECT_EQ(down.messages[0].wParam, MK_LBUTTON);
  EXPECT_EQ(lowWord(down.messages[0].lParam), 120u);
  EXPECT_EQ(highWord(down.messages[0].lParam), 41u);

  Translation up = TranslateEvent(state, button(SDL_MOUSEBUTTONUP, 272 + 2 * 121, 64 + 2 * 42));
  ASSERT_EQ(up.messages.size(), 1u);
  EXPECT_EQ(up.messages[0].message, WM_LBUTTONUP);
  EXPECT_EQ(lowWord(up.messages[0].lParam), 121u);
  EXPECT_EQ(highWord(up.messages[0].lParam), 42u);
}

TEST(DesktopEvents, PressesOnTheBarsAndOtherButtonsTouchNothing) {
  EventState state = freshState();
  EXPECT_TRUE(TranslateEvent(state, button(SDL_MOUSEBUTTONDOWN, 100, 300)).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, button(SDL_MOUSEBUTTONUP, 100, 300)).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, button(SDL_MOUSEBUTTONDOWN, 500, 10)).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, button(SDL_MOUSEBUTTONDOWN, 500, 300, SDL_BUTTON_RIGHT)).messages.empty());
  EXPECT_TRUE(TranslateEvent(state, button(SDL_MOUSEBUTTONUP, 500, 300, SDL_BUTTON_RIGHT)).messages.empty());
}

TEST(DesktopEvents, AStylusDraggedOntoTheBarsLiftsAtTheScreensEdge) {
  EventState state = freshState();
  ASSERT_EQ(TranslateEvent(state, button(SDL_MOUSEBUTTONDOWN, 300, 100)).messages.size(), 1u);
  Translation up = TranslateEvent(state, button(SDL_MOUSEBUTTONUP, 1000, 760));
  ASSERT_EQ(up.messages.size(), 1u);
  EXPECT_EQ(lowWord(up.messages[0].lParam), 239u);
  EXPECT_EQ(highWord(up.messages[0].lParam), 319u);
}

TEST(DesktopEvents, FocusChangesArePassedOnOnlyWhenTheyChangeSomething) {
  EventState state = freshState();
  // The window came up with the focus the shared window code already announced.
  EXPECT_TRUE(TranslateEvent(state, windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED)).messages.empty());
  Translation lost = TranslateEvent(state, windowEvent(SDL_WINDOWEVENT_FOCUS_LOST));
  ASSERT_EQ(lost.messages.size(), 1u);
  EXPECT_EQ(lost.messages[0].message, WM_KILLFOCUS);
  EXPECT_TRUE(TranslateEvent(state, windowEvent(SDL_WINDOWEVENT_FOCUS_LOST)).messages.empty());
  Translation gained = TranslateEvent(state, windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED));
  ASSERT_EQ(gained.messages.size(), 1u);
  EXPECT_EQ(gained.messages[0].message, WM_SETFOCUS);
}

TEST(DesktopEvents, ClosingTheWindowIsOneCloseRequest) {
  EventState state = freshState();
  Translation close = TranslateEvent(state, windowEvent(SDL_WINDOWEVENT_CLOSE));
  ASSERT_EQ(close.messages.size(), 1u);
  EXPECT_EQ(close.messages[0].message, WM_CLOSE);
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_TRUE(TranslateEvent(state, quit).messages.empty());  // SDL's quit after the last window closed

  EventState interrupted = freshState();  // Ctrl+C in the terminal
  Translation fromQuit = TranslateEvent(interrupted, quit);
  ASSERT_EQ(fromQuit.messages.size(), 1u);
  EXPECT_EQ(fromQuit.messages[0].message, WM_CLOSE);
}

TEST(DesktopEvents, ExposingOrResizingRepaintsWithoutAMessage) {
  EventState state = freshState();
  for (Uint8 kind : {SDL_WINDOWEVENT_EXPOSED, SDL_WINDOWEVENT_SIZE_CHANGED, SDL_WINDOWEVENT_SHOWN,
                     SDL_WINDOWEVENT_RESTORED}) {
    Translation repaint = TranslateEvent(state, windowEvent(kind));
    EXPECT_TRUE(repaint.messages.empty());
    EXPECT_EQ(repaint.action, DeviceAction::Repaint);
  }
  EXPECT_EQ(TranslateEvent(state, windowEvent(SDL_WINDOWEVENT_MOVED)).action, DeviceAction::None);
}

TEST(DesktopEvents, NothingIsSentBeforeTheWindowExists) {
  EventState state;
  EXPECT_TRUE(TranslateEvent(state, key(SDL_KEYDOWN, SDLK_LEFT)).messages.empty());
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  EXPECT_TRUE(TranslateEvent(state, quit).messages.empty());
  EXPECT_FALSE(state.closePosted);
}
