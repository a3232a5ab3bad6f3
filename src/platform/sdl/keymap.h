// keymap.h -- desktop keys and game controllers as the handheld's virtual-key codes, and the default key list.
#pragma once

#include <SDL_keycode.h>

#include <bitset>
#include <cstdint>

#include "platform/display.h"

namespace desktop {

// Windows virtual-key code of a desktop key (arrows 37..40, Return 13, letters 'A'..'Z', ...), 0 for
// keys the handheld could not have reported.
uint32_t VirtualKeyFromSdl(SDL_Keycode key);

// The eight handheld keys on the keyboard: arrows, Space for A, X for B, C for C, Return for Start.
KeyList DesktopDefaultKeys();

// A game controller as it stands: its buttons down (bit n = SDL_GameControllerButton n) and its left stick.
struct PadInput {
  uint32_t buttons = 0;
  int16_t stickX = 0;  // -32768 (left) .. 32767 (right)
  int16_t stickY = 0;  // -32768 (up) .. 32767 (down)
};

// Stick readings this close to the middle are the stick at rest: worn sticks never quite centre.
constexpr int kStickDeadZone = 8000;

// The default keys a controller holds down: D-pad and left stick as the arrows, south A, east B,
// west and north C, Start Start.
std::bitset<256> PadKeys(const PadInput& pad);

}  // namespace desktop
