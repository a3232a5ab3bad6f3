// model.h -- the records of a data set as zelvo-data holds them between sources and data files.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "data/layout.h"
#include "data/tables.h"

namespace zdata {

using Bytes = std::vector<uint8_t>;

// Every field of every record is kept, reserved bytes included, so any loadable file can be rebuilt.
struct Image {
  uint32_t id = 0;
  uint8_t saveUnder = 0;
  uint8_t reserved = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  Bytes data;  // run-length pixel words
};

struct Font {
  uint32_t id = 0;
  uint16_t glyphWidth = 0;
  uint16_t glyphHeight = 0;
  Bytes sheet;  // u16 pixels, 32 cells across
};

struct Sprite {
  uint32_t id = 0;
  std::array<uint8_t, layout::sprite::kReservedASize> reservedA{};
  uint8_t kind = 0;
  uint8_t frameCount = 0;
  uint8_t animRate = 0;
  uint8_t reservedB = 0;
  uint8_t width = 0;
  uint8_t height = 0;
  uint8_t reservedC = 0;
  uint8_t motion = 0;
  uint8_t moveRate = 0;
  std::array<uint8_t, layout::sprite::kReservedDSize> reservedD{};
  Bytes frameData;  // frame offset table, then the frames' run-length words
};

// Screens (ScreenRecord), artifacts, dialogs and events (Event, EventAction) are the game's own
// records from data/tables.h; an Event's actionCount always equals its actions' size here.

// A whole world. Records keep their order; screens are the map's slots that hold a screen.
struct DataSet {
  std::vector<Image> images;
  std::vector<Font> fonts;
  std::vector<Sprite> sprites;
  std::vector<ScreenRecord> screens;
  std::vector<Event> events;
  std::vector<Artifact> artifacts;
  std::vector<Dialog> dialogs;
  std::string titleMusic;  // paths of the music files, empty when there is none
  std::string gameMusic;
};

// Names of the numbers the files hold; index = value.
inline constexpr const char* kKindNames[] = {"player", "scenery", "foreground", "solid", "background", "front", "hazard"};
inline constexpr const char* kMotionNames[] = {"still", "random", "patrol"};
inline constexpr const char* kTriggerNames[] = {nullptr, "touch", "action", "useArtifact"};
inline constexpr const char* kStateNames[] = {"hidden", "lying", "placed", "carried", "spent"};
inline constexpr const char* kActionNames[] = {nullptr,        "goToScreen", "placeArtifact", "spendArtifact",
                                               "showDialog",   "disarmEvent", "armEvent",     "removeSprite",
                                               "killPlayer",   "finishGame",  "nothing",      "addScore",
                                               "addEnergy"};
// The named argument of each action (the u32 argument), or null when the action reads none.
inline constexpr const char* kActionArgNames[] = {nullptr,  "screen", "artifact", "artifact", "dialog",
                                                  "event",  "event",  "sprite",   nullptr,    nullptr,
                                                  nullptr,  "points", "energy"};

// Look a name up in one of the tables above; -1 when it is not there.
template <std::size_t N>
int nameIndex(const char* const (&names)[N], const std::string& name) {
  for (std::size_t i = 0; i < N; ++i) {
    if (names[i] && name == names[i]) return static_cast<int>(i);
  }
  return -1;
}
template <std::size_t N>
const char* nameOf(const char* const (&names)[N], unsigned value) {
  return value < N ? names[value] : nullptr;
}

// Fixed text fields (char arrays of the game's records, byte arrays of ours) seen as bytes.
template <std::size_t N>
const uint8_t* fieldBytes(const char (&field)[N]) { return reinterpret_cast<const uint8_t*>(field); }
template <std::size_t N>
uint8_t* fieldBytes(char (&field)[N]) { return reinterpret_cast<uint8_t*>(field); }
template <std::size_t N>
const uint8_t* fieldBytes(const uint8_t (&field)[N]) { return field; }
template <std::size_t N>
uint8_t* fieldBytes(uint8_t (&field)[N]) { return field; }
template <std::size_t N>
const uint8_t* fieldBytes(const std::array<uint8_t, N>& field) { return field.data(); }
template <std::size_t N>
uint8_t* fieldBytes(std::array<uint8_t, N>& field) { return field.data(); }

// Text fields hold bytes up to a 0.
std::string fieldText(const uint8_t* field, std::size_t size);
// True when the field is a text of at most size - 1 bytes followed by zeros only (pack's form).
bool fieldIsPlainText(const uint8_t* field, std::size_t size);
bool allZero(const uint8_t* bytes, std::size_t size);

}  // namespace zdata
