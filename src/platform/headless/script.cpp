// script.cpp -- reading input scripts for the headless device.
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "platform/headless/headless.h"
#include "platform/keys.h"

namespace headless {

namespace {

[[noreturn]] void fail(const std::string& name, int line, const std::string& problem) {
  throw ScriptError(name + ":" + std::to_string(line) + ": " + problem);
}

bool parseUnsigned(const std::string& word, uint32_t limit, uint32_t* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  unsigned long long value = std::strtoull(word.c_str(), &end, 0);
  if (*end != '\0' || errno != 0 || word[0] == '-' || value > limit) return false;
  *out = static_cast<uint32_t>(value);
  return true;
}

// A key is a virtual-key code (decimal or 0x hex), a name, or a single letter or digit.
bool parseKey(std::string word, uint32_t* out) {
  if (parseUnsigned(word, 255, out)) return true;
  for (char& c : word) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  static const struct {
    const char* name;
    uint32_t code;
  } names[] = {{"left", VK_LEFT}, {"right", VK_RIGHT}, {"up", VK_UP},          {"down", VK_DOWN},
               {"return", VK_RETURN}, {"enter", VK_RETURN}, {"space", VK_SPACE}, {"a-button", 0xC1},
               {"b-button", 0xC2}, {"c-button", 0xC3}, {"start-button", 0xC4}};
  for (const auto& entry : names) {
    if (word == entry.name) {
      *out = entry.code;
      return true;
    }
  }
  if (word.size() == 1 && std::isalnum(static_cast<unsigned char>(word[0]))) {
    *out = static_cast<uint32_t>(std::toupper(static_cast<unsigned char>(word[0])));
    return true;
  }
  return false;
}

}  // namespace

std::vector<ScriptEvent> ParseScript(const std::string& text, const std::string& name) {
  std::vector<ScriptEvent> events;
  std::istringstream lines(text);
  std::string raw;
  int number = 0;
  while (std::getline(lines, raw)) {
    ++number;
    if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
    std::istringstream in(raw);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty()) continue;

    ScriptEvent event;
    event.line = number;
    char* end = nullptr;
    event.time = std::strtod(words[0].c_str(), &end);
    if (*end != '\0' || !std::isfinite(event.time) || event.time < 0.0)
      fail(name, number, "'" + words[0] + "' is not a time in seconds");
    if (words.size() < 2) fail(name, number, "missing event after the time");

    const std::string& verb = words[1];
    auto need = [&](size_t count, const char* usage) {
      if (words.size() != count) fail(name, number, std::string("expected '") + usage + "'");
    };
    if (verb == "key") {
      need(4, "T key down|up KEY");
      if (words[2] == "down") event.kind = EventKind::KeyDown;
      else if (words[2] == "up") event.kind = EventKind::KeyUp;
      else fail(name, number, "key events are 'down' or 'up', not '" + words[2] + "'");
      if (!parseKey(words[3], &event.a)) fail(name, number, "'" + words[3] + "' is not a key");
    } else if (verb == "tap") {
      need(4, "T tap X Y");
      event.kind = EventKind::Tap;
      if (!parseUnsigned(words[2], 0xFFFF, &event.a) || !parseUnsigned(words[3], 0xFFFF, &event.b))
        fail(name, number, "tap positions are screen pixels 0..65535");
    } else if (verb == "focus") {
      need(3, "T focus lost|gained");
      if (words[2] == "lost") event.kind = EventKind::FocusLost;
      else if (words[2] == "gained") event.kind = EventKind::FocusGained;
      else fail(name, number, "focus events are 'lost' or 'gained', not '" + words[2] + "'");
    } else if (verb == "close") {
      need(2, "T close");
      event.kind = EventKind::Close;
    } else if (verb == "shot") {
      need(3, "T shot FILE");
      event.kind = EventKind::Shot;
      event.file = words[2];
    } else {
      fail(name, number, "unknown event '" + verb + "' (key, tap, focus, close, shot)");
    }
    events.push_back(event);
  }
  return events;
}

}  // namespace headless
