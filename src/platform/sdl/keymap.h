// keymap.h -- desktop keys as the handheld's virtual-key codes, and the device's default key list.
#pragma once

#include <SDL_keycode.h>

#include <cstdint>

#include "platform/display.h"

namespace desktop {

// Windows virtual-key code of a desktop key (arrows 37..40, Return 13, letters 'A'..'Z', ...), 0 for
// keys the handheld could not have reported.
uint32_t VirtualKeyFromSdl(SDL_Keycode key);

// The eight handheld keys on the keyboard: arrows, Space for A, X for B, C for C, Return for Start.
KeyList DesktopDefaultKeys();

}  // namespace desktop
