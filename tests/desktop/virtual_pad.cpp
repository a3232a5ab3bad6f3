// virtual_pad.cpp -- virtual controllers for the desktop device's tests.
#include "desktop/virtual_pad.h"

#include <cstdlib>

namespace desktop_testing {

namespace {

constexpr const char* kKnownName = "Zelvo Test Pad";
constexpr const char* kUnknownName = "Zelvo Odd Stick";
constexpr int kButtons = SDL_CONTROLLER_BUTTON_DPAD_RIGHT + 1;  // A .. D-pad, in SDL's order

SDL_VirtualJoystickDesc describe(bool known) {
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.naxes = 2;
  desc.nbuttons = kButtons;
  desc.vendor_id = 0x5A45;
  desc.product_id = known ? 0x0001 : 0x0002;
  desc.name = known ? kKnownName : kUnknownName;
  // SDL maps a controller-typed virtual joystick from its masks: button n is SDL's button n.
  desc.type = known ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
  desc.button_mask = known ? (1u << kButtons) - 1 : 0;
  desc.axis_mask = known ? (1u << SDL_CONTROLLER_AXIS_LEFTX) | (1u << SDL_CONTROLLER_AXIS_LEFTY) : 0;
  return desc;
}

// The unknown pad's buttons are wired backwards.
int rawButton(bool known, SDL_GameControllerButton button) { return known ? button : kButtons - 1 - button; }

}  // namespace

bool StartDeviceHere(const VirtualDisplay& display, const desktop::Options& options, std::string* problem) {
  for (const auto& [name, value] : ZelvoEnvironment(display)) {
    if (value) setenv(name.c_str(), value->c_str(), 1);
    else unsetenv(name.c_str());
  }
  return desktop::Start(options, problem);
}

VirtualPad::VirtualPad(bool known) : known_(known) {
  const SDL_VirtualJoystickDesc desc = describe(known);
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index >= 0) joystick_ = SDL_JoystickOpen(index);
}

VirtualPad::~VirtualPad() { Unplug(); }

void VirtualPad::Press(SDL_GameControllerButton button, bool down) {
  SDL_JoystickSetVirtualButton(joystick_, rawButton(known_, button), down ? SDL_PRESSED : SDL_RELEASED);
}

void VirtualPad::Stick(int16_t x, int16_t y) {
  SDL_JoystickSetVirtualAxis(joystick_, 0, x);
  SDL_JoystickSetVirtualAxis(joystick_, 1, y);
}

void VirtualPad::Unplug() {
  if (!joystick_) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
  SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
  for (int index = 0; index < SDL_NumJoysticks(); ++index)
    if (SDL_JoystickGetDeviceInstanceID(index) == id) SDL_JoystickDetachVirtual(index);
}

std::string UnknownPadMapping() {
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  const SDL_VirtualJoystickDesc desc = describe(false);
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  char guid[33] = {};
  SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(index), guid, sizeof guid);
  SDL_JoystickDetachVirtual(index);
  SDL_Quit();
  std::string line = std::string(guid) + "," + kUnknownName + ",";
  for (int button = 0; button < kButtons; ++button) {
    const auto named = static_cast<SDL_GameControllerButton>(button);
    line += SDL_GameControllerGetStringForButton(named);
    line += ":b" + std::to_string(rawButton(false, named)) + ",";
  }
  return line + "leftx:a0,lefty:a1,platform:" + SDL_GetPlatform() + ",";
}

}  // namespace desktop_testing
