// keymap.h -- desktop keys and game controllers as the handheld's virtual-key codes, and the default key list.
#pragma once

#include <SDL_keycode.h>

#include <bitset>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/display.h"

namespace desktop {

// Windows virtual-key code of a desktop key (arrows 37..40, Return 13, letters 'A'..'Z', ...), 0 for
// keys the handheld could not have reported.
uint32_t VirtualKeyFromSdl(SDL_Keycode key);

// The eight handheld keys as the game knows them: the codes of the arrows, Space for A, X for B, C
// for C, Return for Start. Whatever keyboard key stands for a handheld key sends its code.
KeyList DesktopDefaultKeys();

// Which keyboard keys stand for the handheld's keys: a keyboard key to the handheld key's code.
using KeySets = std::map<SDL_Keycode, uint32_t>;

// The arrows, Space, X, C and Return, and beside them W, S, A, D, J, K, L and H.
KeySets DefaultKeySets();

// The code the game hears for a keyboard key: its handheld key's where it stands for one; 0 for a
// key that only a handheld key's code could name (the X key when B has moved elsewhere); else its own.
uint32_t GameKeyFromSdl(const KeySets& sets, SDL_Keycode key);

// The keys of the keys file (see the README) over the default sets. Every problem goes to *errors
// as "NAME:LINE: what"; the sets are the defaults then.
KeySets ReadKeySets(const std::string& text, const std::string& name, std::vector<std::string>* errors);

// The device's own keys, which the keys file cannot give away: Escape and Pause pause, F10 switches
// the view, F11 full screen, F12 takes a screenshot.
bool IsDeviceKey(SDL_Keycode key);

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
