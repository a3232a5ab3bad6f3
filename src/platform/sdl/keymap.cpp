// keymap.cpp -- SDL keycodes and controller buttons to virtual-key codes: tables where there is no simple rule.
#include "platform/sdl/keymap.h"

#include <SDL_gamecontroller.h>
#include <SDL_keyboard.h>

#include <algorithm>
#include <cctype>
#include <utility>

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

namespace {

// The handheld's keys by the names the keys file gives them, with their codes.
std::vector<std::pair<std::string, uint32_t>> handheldKeys() {
  const KeyList k = DesktopDefaultKeys();
  const KeyListEntry* entries[] = {&k.up, &k.down, &k.left, &k.right, &k.a, &k.b, &k.c, &k.start};
  const char* names[] = {"up", "down", "left", "right", "a", "b", "c", "start"};
  std::vector<std::pair<std::string, uint32_t>> keys;
  for (int i = 0; i < 8; ++i) keys.emplace_back(names[i], static_cast<uint32_t>(entries[i]->vkCode));
  return keys;
}

std::string trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  return first == std::string::npos ? "" : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Words of the file as they may go into the log: printable, and not too long.
std::string quoted(const std::string& text) {
  std::string out = text.substr(0, 40);
  for (char& c : out)
    if (!std::isprint(static_cast<unsigned char>(c))) c = '?';
  return "'" + out + (text.size() > 40 ? "...'" : "'");
}

}  // namespace

KeySets DefaultKeySets() {
  const KeyList k = DesktopDefaultKeys();
  const auto code = [](const KeyListEntry& entry) { return static_cast<uint32_t>(entry.vkCode); };
  return {
      {SDLK_UP, code(k.up)},     {SDLK_w, code(k.up)},   {SDLK_DOWN, code(k.down)},    {SDLK_s, code(k.down)},
      {SDLK_LEFT, code(k.left)}, {SDLK_a, code(k.left)}, {SDLK_RIGHT, code(k.right)},  {SDLK_d, code(k.right)},
      {SDLK_SPACE, code(k.a)},   {SDLK_j, code(k.a)},    {SDLK_x, code(k.b)},          {SDLK_k, code(k.b)},
      {SDLK_c, code(k.c)},       {SDLK_l, code(k.c)},    {SDLK_RETURN, code(k.start)}, {SDLK_KP_ENTER, code(k.start)},
      {SDLK_h, code(k.start)}};
}

uint32_t GameKeyFromSdl(const KeySets& sets, SDL_Keycode key) {
  if (auto found = sets.find(key); found != sets.end()) return found->second;
  const uint32_t own = VirtualKeyFromSdl(key);
  for (const auto& [name, code] : handheldKeys())
    if (own == code) return 0;
  return own;
}

bool IsDeviceKey(SDL_Keycode key) {
  return key == SDLK_ESCAPE || key == SDLK_PAUSE || key == SDLK_F10 || key == SDLK_F11 || key == SDLK_F12;
}

KeySets ReadKeySets(const std::string& text, const std::string& name, std::vector<std::string>* errors) {
  const auto handheld = handheldKeys();
  std::map<std::string, int> givenOn;                          // handheld key: the line that gave its keys
  std::map<SDL_Keycode, std::pair<int, std::string>> boundOn;  // keyboard key: its line and handheld key
  std::vector<std::pair<SDL_Keycode, uint32_t>> bindings;
  const size_t before = errors->size();
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = trim(text.substr(start, end - start));
    start = end + 1;
    ++number;
    const auto fail = [&](const std::string& what) {
      errors->push_back(name + ":" + std::to_string(number) + ": " + what);
    };
    if (line.empty() || line[0] == '#') continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      fail("expected a handheld key, '=' and keyboard keys, as in 'up = Up, W'; found " + quoted(line));
      continue;
    }
    std::string key = trim(line.substr(0, equals));
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto found =
        std::find_if(handheld.begin(), handheld.end(), [&](const auto& entry) { return entry.first == key; });
    if (found == handheld.end()) {
      fail(quoted(key) + " is not a handheld key (up, down, left, right, a, b, c, start)");
      continue;
    }
    if (givenOn.count(key)) {
      fail(key + " has its keys on line " + std::to_string(givenOn[key]) + " already");
      continue;
    }
    givenOn[key] = number;
    if (trim(line.substr(equals + 1)).empty()) {
      fail("no keyboard keys for " + key);
      continue;
    }
    const std::string list = line.substr(equals + 1) + ",";
    int keys = 0;
    for (size_t from = 0, comma; (comma = list.find(',', from)) != std::string::npos; from = comma + 1) {
      const std::string word = trim(list.substr(from, comma - from));
      if (word.empty() && comma + 1 == list.size() && keys > 0) break;  // a comma at the end
      const SDL_Keycode code = word.empty() ? SDLK_UNKNOWN : SDL_GetKeyFromName(word.c_str());
      if (code == SDLK_UNKNOWN) {
        fail(quoted(word) + " is not a key name (names are SDL's: Up, Space, Return, W, Left Shift, Keypad 8, ...)");
      } else if (IsDeviceKey(code)) {
        fail(word +
             " is the window's own key (Escape and Pause pause, F10 the view, F11 full screen, F12 screenshots)");
      } else if (auto bound = boundOn.find(code); bound != boundOn.end()) {
        fail(word + " stands for " + bound->second.second + " on line " + std::to_string(bound->second.first) +
             " already");
      } else {
        boundOn[code] = {number, key};
        bindings.emplace_back(code, found->second);
      }
      ++keys;
    }
  }
  KeySets sets = DefaultKeySets();
  if (errors->size() != before) return sets;
  // A handheld key the file names has the file's keys only; a keyboard key the file gives to one
  // handheld key leaves the default set it was in.
  for (auto it = sets.begin(); it != sets.end();) {
    const bool renamed = std::any_of(givenOn.begin(), givenOn.end(), [&](const auto& given) {
      return std::find(handheld.begin(), handheld.end(), std::pair(given.first, it->second)) != handheld.end();
    });
    it = renamed ? sets.erase(it) : std::next(it);
  }
  for (const auto& [code, virtualKey] : bindings) sets[code] = virtualKey;
  return sets;
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
