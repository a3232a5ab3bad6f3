// virtual_pad.h -- the desktop device started in this process, and SDL's virtual joysticks plugged into it as controllers.
#pragma once

#include <SDL.h>

#include <string>

#include "desktop/harness.h"
#include "platform/sdl/desktop.h"

namespace desktop_testing {

// Point this process at the display with zelvo's test environment and start the desktop device on it.
bool StartDeviceHere(const VirtualDisplay& display, const desktop::Options& options, std::string* problem);

// A controller plugged in while it lives (SDL must be started). A known pad is one SDL maps by
// itself; an unknown one is a joystick whose buttons sit in another order, which becomes a
// controller only through the line of UnknownPadMapping. Safe to use from any thread.
class VirtualPad {
 public:
  explicit VirtualPad(bool known = true);
  ~VirtualPad();
  VirtualPad(const VirtualPad&) = delete;
  VirtualPad& operator=(const VirtualPad&) = delete;

  bool ok() const { return joystick_ != nullptr; }
  void Press(SDL_GameControllerButton button, bool down);
  void Stick(int16_t x, int16_t y);
  void Unplug();

 private:
  bool known_;
  SDL_Joystick* joystick_ = nullptr;
};

// The gamecontrollerdb.txt line that maps the unknown pad, as SDL names its GUID (SDL must not be started).
std::string UnknownPadMapping();

}  // namespace desktop_testing
