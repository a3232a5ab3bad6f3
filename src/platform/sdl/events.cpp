// events.cpp -- keyboard, mouse and window events become key, stylus, focus and close messages.
#include "platform/sdl/events.h"

#include <algorithm>

#include "platform/sdl/keymap.h"

namespace desktop {

namespace {

// Key message lParam bits: repeat count 1, bit 30 the key was down before, bit 31 it is going up.
constexpr intptr_t kRepeatOne = 1;
constexpr intptr_t kWasDown = intptr_t{1} << 30;
constexpr intptr_t kGoingUp = intptr_t{1} << 31;

intptr_t pointParam(int x, int y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(x) & 0xFFFF) | ((static_cast<uint32_t>(y) & 0xFFFF) << 16));
}

bool post(Translation& out, const EventState& state, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  if (!state.window) return false;
  out.messages.push_back(Message{state.window, message, wParam, lParam});
  return true;
}

// Alt+Enter and F11 switch full screen, F12 takes a screenshot: the game never sees these keys.
DeviceAction shortcut(const SDL_KeyboardEvent& key) {
  const SDL_Keycode code = key.keysym.sym;
  if (code == SDLK_F11 || ((code == SDLK_RETURN || code == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT)))
    return DeviceAction::ToggleFullscreen;
  if (code == SDLK_F12) return DeviceAction::Screenshot;
  return DeviceAction::None;
}

void keyDown(Translation& out, EventState& state, const SDL_KeyboardEvent& key) {
  const uint32_t virtualKey = VirtualKeyFromSdl(key.keysym.sym);
  if (DeviceAction action = shortcut(key); action != DeviceAction::None) {
    if (virtualKey < 256) state.swallowed[virtualKey] = true;
    if (!key.repeat) out.action = action;
    return;
  }
  if (virtualKey == 0) return;
  post(out, state, WM_KEYDOWN, virtualKey, kRepeatOne | (key.repeat ? kWasDown : 0));
}

void keyUp(Translation& out, EventState& state, const SDL_KeyboardEvent& key) {
  const uint32_t virtualKey = VirtualKeyFromSdl(key.keysym.sym);
  if (virtualKey == 0) return;
  if (virtualKey < 256 && state.swallowed[virtualKey]) {
    state.swallowed[virtualKey] = false;
    return;
  }
  post(out, state, WM_KEYUP, virtualKey, kRepeatOne | kWasDown | kGoingUp);
}

void buttonDown(Translation& out, EventState& state, const SDL_MouseButtonEvent& button) {
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
  const int x = std::clamp((button.x - layout.x) / scale, 0, std::max(layout.width / scale - 1, 0));
  const int y = std::clamp((button.y - layout.y) / scale, 0, std::max(layout.height / scale - 1, 0));
  post(out, state, WM_LBUTTONUP, 0, pointParam(x, y));
}

void windowEvent(Translation& out, EventState& state, const SDL_WindowEvent& window) {
  switch (window.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED:
      if (!state.focusReported) {
        state.focusReported = true;
        post(out, state, WM_SETFOCUS, 0, 0);
      }
      break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      if (state.focusReported) {
        state.focusReported = false;
        post(out, state, WM_KILLFOCUS, 0, 0);
      }
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
  return out;
}

}  // namespace desktop
