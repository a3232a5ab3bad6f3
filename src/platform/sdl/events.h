// events.h -- SDL events as the window messages the game expects, without touching SDL's state.
#pragma once

#include <SDL_events.h>

#include <bitset>
#include <map>
#include <vector>

#include "platform/sdl/keymap.h"
#include "platform/sdl/view.h"
#include "platform/window.h"

namespace desktop {

// What the translation remembers between events.
struct EventState {
  WindowHandle window = 0;  // the game's main window, 0 before it exists
  ViewLayout layout;        // the screen in the window, in window coordinates
  // The shared window code tells the game it has the focus as soon as the window shows, so the
  // device starts out having reported focus and only passes on real changes.
  bool focusReported = true;
  bool focused = true;  // the window has the focus, as far as SDL told
  // Paused by the player: the game is told the focus went, and hears nothing more until the pause ends.
  bool paused = false;
  KeySets keys = DefaultKeySets();  // the keyboard keys that stand for the handheld's
  bool stylusDown = false;     // a stylus-down was sent and its lift is still due
  bool closePosted = false;    // a close request was sent (SDL follows a window close with a quit)
  bool swallowed[256] = {};    // keys that made a device shortcut: their lift is not passed on
  // A key is down while the keyboard or any controller holds it; its messages follow that. More
  // than one keyboard key may stand for it.
  std::map<SDL_Keycode, uint32_t> keyboardDown;  // keyboard keys held, and the codes they sent
  uint8_t keyboardHeld[256] = {};                // how many keyboard keys hold each code
  std::map<SDL_JoystickID, PadInput> pads;  // the open controllers, as their events told
  std::bitset<256> padHeld;                 // keys some controller holds
  uint32_t padRepeatAt[256] = {};           // SDL ticks when a key only controllers hold repeats next
};

// Things the device does itself instead of telling the game.
// Repaint answers the window system (the game is asked to paint too); Redraw is the device's own
// change of picture (the pause), which the game is not told about.
enum class DeviceAction { None, Repaint, ToggleFullscreen, Screenshot, ToggleView, Redraw };

struct Translation {
  std::vector<Message> messages;  // for the queue, in order
  DeviceAction action = DeviceAction::None;
};

// One SDL event: the messages it makes (keys, stylus, focus, close) and what the device must do.
Translation TranslateEvent(EventState& state, const SDL_Event& event);

// Controllers do not repeat by themselves: the key-downs a held key owes by now (SDL ticks), as a
// keyboard would send them.
Translation RepeatPadKeys(EventState& state, uint32_t now);

}  // namespace desktop
