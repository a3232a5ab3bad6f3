// events.cpp -- keyboard, controller, mouse and window events become key, stylus, focus and close messages.
#include "platform/sdl/events.h"

#include <SDL_timer.h>

#include <algorithm>

#include "platform/sdl/keymap.h"

namespace desktop {

namespace {

// Key message lParam bits: repeat count 1, bit 30 the key was down before, bit 31 it is going up.
constexpr intptr_t kRepeatOne = 1;
constexpr intptr_t kWasDown = intptr_t{1} << 30;
constexpr intptr_t kGoingUp = intptr_t{1} << 31;

// A held controller button repeats like a key with the usual keyboard settings: after half a
// second, then thirty times a second.
constexpr uint32_t kRepeatDelayMs = 500;
constexpr uint32_t kRepeatIntervalMs = 33;

intptr_t pointParam(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

bool post(Translation& out, const EventState& state, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!state.window) return false;
  out.messages.push_back(Message{state.window, message, wParam, lParam});
  return true;
}

// Alt+Enter and F11 switch full screen, F10 the view, F12 takes a screenshot: the game never sees these keys.
DeviceAction shortcut(const SDL_KeyboardEvent& key) {
  const SDL_Keycode code = key.keysym.sym;
  if (code == SDLK_F11 || ((code == SDLK_RETURN || code == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT)))
    return DeviceAction::ToggleFullscreen;
  if (code == SDLK_F10) return DeviceAction::ToggleView;
  if (code == SDLK_F12) return DeviceAction::Screenshot;
  return DeviceAction::None;
}

// The focus the game is to believe in: the window's, unless the player paused.
void reportFocus(Translation& out, EventState& state) {
  const bool focus = state.focused && !state.paused;
  if (focus == state.focusReported) return;
  state.focusReported = focus;
  post(out, state, focus ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
}

void setPaused(Translation& out, EventState& state, bool paused) {
  state.paused = paused;
  reportFocus(out, state);
  out.action = DeviceAction::Redraw;  // the "Paused" picture comes or goes
}

void keyDown(Translation& out, EventState& state, const SDL_KeyboardEvent& key) {
  const SDL_Keycode code = key.keysym.sym;
  const uint32_t virtualKey = GameKeyFromSdl(state.keys, code);
  const bool pause = code == SDLK_ESCAPE || code == SDLK_PAUSE;
  if (DeviceAction action = shortcut(key); pause || action != DeviceAction::None) {
    if (virtualKey < 256) state.swallowed[virtualKey] = true;
    if (key.repeat) return;
    if (pause)
      setPaused(out, state, !state.paused);
    else
      out.action = action;
    return;
  }
  if (virtualKey == 0 || virtualKey > 255) return;
  const bool fresh = state.keyboardDown.emplace(code, virtualKey).second;
  if (fresh) ++state.keyboardHeld[virtualKey];
  // Down before: held by this key (a repeat), another keyboard key or a controller.
  const bool wasDown = key.repeat || state.keyboardHeld[virtualKey] > 1 || state.padHeld[virtualKey];
  post(out, state, WM_KEYDOWN, virtualKey, kRepeatOne | (wasDown ? kWasDown : 0));
}

void keyUp(Translation& out, EventState& state, const SDL_KeyboardEvent& key) {
  const uint32_t virtualKey = GameKeyFromSdl(state.keys, key.keysym.sym);
  if (virtualKey < 256 && state.swallowed[virtualKey]) {
    state.swallowed[virtualKey] = false;
    return;
  }
  // Only a key seen going down goes up, with the code it went down with.
  const auto down = state.keyboardDown.find(key.keysym.sym);
  if (down == state.keyboardDown.end()) return;
  const uint32_t sent = down->second;
  state.keyboardDown.erase(down);
  if (--state.keyboardHeld[sent] > 0 || state.padHeld[sent]) return;  // another key or a controller still holds it
  post(out, state, WM_KEYUP, sent, kRepeatOne | kWasDown | kGoingUp);
}

// A controller changed (or went away): the keys that came down or went up because of it.
void padsChanged(Translation& out, EventState& state, uint32_t time) {
  std::bitset<256> held;
  for (const auto& [id, pad] : state.pads) held |= PadKeys(pad);
  for (uint32_t key = 1; key < held.size(); ++key) {
    if (held[key] == state.padHeld[key]) continue;
    state.padHeld[key] = held[key];
    state.padRepeatAt[key] = time + kRepeatDelayMs;
    if (state.keyboardHeld[key]) continue;  // down before, and still down
    if (held[key]) post(out, state, WM_KEYDOWN, key, kRepeatOne);
    else post(out, state, WM_KEYUP, key, kRepeatOne | kWasDown | kGoingUp);
  }
}

void padButton(Translation& out, EventState& state, const SDL_ControllerButtonEvent& button) {
  if (button.button >= 32) return;
  // Back (or the button in the middle) pauses, as Escape does.
  if (button.button == SDL_CONTROLLER_BUTTON_BACK || button.button == SDL_CONTROLLER_BUTTON_GUIDE) {
    if (button.state == SDL_PRESSED) setPaused(out, state, !state.paused);
    return;
  }
  uint32_t& buttons = state.pads[button.which].buttons;
  const uint32_t bit = 1u << button.button;
  buttons = button.state == SDL_PRESSED ? (buttons | bit) : (buttons & ~bit);
  padsChanged(out, state, button.timestamp);
}

void padAxis(Translation& out, EventState& state, const SDL_ControllerAxisEvent& axis) {
  if (axis.axis == SDL_CONTROLLER_AXIS_LEFTX) state.pads[axis.which].stickX = axis.value;
  else if (axis.axis == SDL_CONTROLLER_AXIS_LEFTY) state.pads[axis.which].stickY = axis.value;
  else return;
  padsChanged(out, state, axis.timestamp);
}

void buttonDown(Translation& out, EventState& state, const SDL_MouseButtonEvent& button) {
  if (state.paused) {  // a click on the window ends the pause, and touches nothing
    setPaused(out, state, false);
    return;
  }
  int x = 0, y = 0;
  // A press on the black bars is outside the handheld's screen: there is nothing to touch.
  if (button.button != SDL_BUTTON_LEFT || !WindowToDevice(state.layout, button.x, button.y, &x, &y)) return;
  state.stylusDown = true;
  post(out, state, WM_LBUTTONDOWN, MK_LBUTTON, pointParam(x, y));
}

void buttonUp(Translation& out, EventState& state, const SDL_MouseButtonEvent& button) {
  if (button.button != SDL_BUTTON_LEFT || !state.stylusDown) return;
  state.stylusDown = false;
  // The stylus leaves the glass where it last was on it, even if the pointer went onto the bars.
  const ViewLayout& layout = state.layout;
  const int scale = std::max(layout.scale, 1);
  const int x = layout.left + std::clamp((button.x - layout.x) / scale, 0, std::max(layout.width / scale - 1, 0));
  const int y = layout.top + std::clamp((button.y - layout.y) / scale, 0, std::max(layout.height / scale - 1, 0));
  post(out, state, WM_LBUTTONUP, 0, pointParam(x, y));
}

void windowEvent(Translation& out, EventState& state, const SDL_WindowEvent& window) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
    case SDL_WINDOWEVENT_FOCUS_LOST:
      state.focused = window.event == SDL_WINDOWEVENT_FOCUS_GAINED;
      reportFocus(out, state);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      state.closePosted = post(out, state, WM_CLOSE, 0, 0);
      break;
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_MAXIMIZED:
      out.action = DeviceAction::Repaint;
      break;
    default:
      break;
  }
}

}  // namespace

Translation TranslateEvent(EventState& state, const SDL_Event& event) {
  Translation out;
  switch (event.type) {
    case SDL_KEYDOWN:
      keyDown(out, state, event.key);
      break;
    case SDL_KEYUP:
      keyUp(out, state, event.key);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      padButton(out, state, event.cbutton);
      break;
    case SDL_CONTROLLERAXISMOTION:
      padAxis(out, state, event.caxis);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      // What a controller held when it went away is let go.
      if (state.pads.erase(event.cdevice.which)) padsChanged(out, state, event.cdevice.timestamp);
      break;
    case SDL_MOUSEBUTTONDOWN:
      buttonDown(out, state, event.button);
      break;
    case SDL_MOUSEBUTTONUP:
      buttonUp(out, state, event.button);
      break;
    case SDL_WINDOWEVENT:
      windowEvent(out, state, event.window);
      break;
    case SDL_QUIT:
      // Ctrl+C in the terminal, or the quit that follows closing the window (already passed on).
      if (!state.closePosted) state.closePosted = post(out, state, WM_CLOSE, 0, 0);
      break;
    default:
      break;
  }
  // Paused, the game hears as much as without the focus: of focus and closing only.
  if (state.paused)
    std::erase_if(out.messages, [](const Message& m) { return m.message != WM_KILLFOCUS && m.message != WM_CLOSE; });
  return out;
}

Translation RepeatPadKeys(EventState& state, uint32_t now) {
  Translation out;
  if (state.paused) return out;
  for (uint32_t key = 1; key < state.padHeld.size(); ++key) {
    // A key the keyboard holds too repeats by the keyboard's own repeats.
    if (!state.padHeld[key] || state.keyboardHeld[key] || !SDL_TICKS_PASSED(now, state.padRepeatAt[key])) continue;
    state.padRepeatAt[key] = now + kRepeatIntervalMs;
    post(out, state, WM_KEYDOWN, key, kRepeatOne | kWasDown);
  }
  return out;
}

}  // namespace desktop
