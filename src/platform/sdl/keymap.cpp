// keymap.cpp -- SDL keycodes and controller buttons to virtual-key codes: tables where there is no simple rule.
#include "platform/sdl/keymap.h"

#include <SDL_gamecontroller.h>

#include "platform/keys.h"

namespace desktop {

namespace {

struct KeyPair {
  SDL_Keycode key;
  uint32_t virtualKey;
};

// Keys whose codes follow no range. Shift, Control and Alt give the generic codes, as the handheld's
// key messages did.
constexpr KeyPair kSingleKeys[] = {
    {SDLK_BACKSPACE, 0x08},  {SDLK_TAB, 0x09},        {SDLK_RETURN, VK_RETURN},   {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_LSHIFT, 0x10},     {SDLK_RSHIFT, 0x10},     {SDLK_LCTRL, 0x11},         {SDLK_RCTRL, 0x11},
    {SDLK_LALT, 0x12},       {SDLK_RALT, 0x12},       {SDLK_PAUSE, 0x13},         {SDLK_CAPSLOCK, 0x14},
    {SDLK_ESCAPE, 0x1B},     {SDLK_SPACE, VK_SPACE},  {SDLK_PAGEUP, 0x21},        {SDLK_PAGEDOWN, 0x22},
    {SDLK_END, 0x23},        {SDLK_HOME, 0x24},       {SDLK_LEFT, VK_LEFT},       {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},  {SDLK_DOWN, VK_DOWN},    {SDLK_PRINTSCREEN, 0x2C},   {SDLK_INSERT, 0x2D},
    {SDLK_DELETE, 0x2E},     {SDLK_LGUI, 0x5B},       {SDLK_RGUI, 0x5C},          {SDLK_APPLICATION, 0x5D},
    {SDLK_KP_0, 0x60},       {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},      {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},  {SDLK_KP_DIVIDE, 0x6F},  {SDLK_NUMLOCKCLEAR, 0x90},  {SDLK_SCROLLLOCK, 0x91},
    {SDLK_SEMICOLON, 0xBA},  {SDLK_EQUALS, 0xBB},     {SDLK_COMMA, 0xBC},         {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},     {SDLK_SLASH, 0xBF},      {SDLK_BACKQUOTE, 0xC0},     {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC},  {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},
};

}  // namespace

uint32_t VirtualKeyFromSdl(SDL_Keycode key) {
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + static_cast<uint32_t>(key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + static_cast<uint32_t>(key - SDLK_0);
  if (key >= SDLK_F1 && key <= SDLK_F12) return 0x70 + static_cast<uint32_t>(key - SDLK_F1);
  if (key >= SDLK_F13 && key <= SDLK_F24) return 0x7C + static_cast<uint32_t>(key - SDLK_F13);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + static_cast<uint32_t>(key - SDLK_KP_1);
  for (const KeyPair& pair : kSingleKeys)
    if (pair.key == key) return pair.virtualKey;
  return 0;
}

KeyList DesktopDefaultKeys() {
  KeyList keys;
  keys.up.vkCode = static_cast<int16_t>(VK_UP);
  keys.down.vkCode = static_cast<int16_t>(VK_DOWN);
  keys.left.vkCode = static_cast<int16_t>(VK_LEFT);
  keys.right.vkCode = static_cast<int16_t>(VK_RIGHT);
  // A is the game's Action key until the player defines another, so it must be the obvious one.
  keys.a.vkCode = static_cast<int16_t>(VK_SPACE);
  keys.b.vkCode = 'X';
  keys.c.vkCode = 'C';
  keys.start.vkCode = static_cast<int16_t>(VK_RETURN);
  return keys;
}

std::bitset<256> PadKeys(const PadInput& pad) {
  // The keys a controller presses are the default list's, so the key-definition screen, which offers
  // only that list, takes a controller button as the key it stands for.
  const KeyList keys = DesktopDefaultKeys();
  const struct {
    SDL_GameControllerButton button;
    int16_t virtualKey;
  } buttons[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, keys.left.vkCode}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, keys.right.vkCode},
      {SDL_CONTROLLER_BUTTON_DPAD_UP, keys.up.vkCode},     {SDL_CONTROLLER_BUTTON_DPAD_DOWN, keys.down.vkCode},
      {SDL_CONTROLLER_BUTTON_A, keys.a.vkCode},            {SDL_CONTROLLER_BUTTON_B, keys.b.vkCode},
      {SDL_CONTROLLER_BUTTON_X, keys.c.vkCode},            {SDL_CONTROLLER_BUTTON_Y, keys.c.vkCode},
      {SDL_CONTROLLER_BUTTON_START, keys.start.vkCode},
  };
  std::bitset<256> held;
  for (const auto& entry : buttons)
    if (pad.buttons & (1u << entry.button)) held.set(static_cast<size_t>(entry.virtualKey));
  if (pad.stickX < -kStickDeadZone) held.set(static_cast<size_t>(keys.left.vkCode));
  if (pad.stickX > kStickDeadZone) held.set(static_cast<size_t>(keys.right.vkCode));
  if (pad.stickY < -kStickDeadZone) held.set(static_cast<size_t>(keys.up.vkCode));
  if (pad.stickY > kStickDeadZone) held.set(static_cast<size_t>(keys.down.vkCode));
  return held;
}

}  // namespace desktop
