// data_builder.h -- test-only builders of the seven data files' bytes, written from the shared byte layout.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace data_builder {

using Bytes = std::vector<uint8_t>;

// One record of an indexed file (images, fonts, sprites, events) and what its index entry says.
struct IndexedRecord {
  Bytes bytes = {};
  uint32_t size = 0;                    // the index entry's size field
  std::optional<uint32_t> offset = {};  // the index entry's offset; by default where the record lies
};

// Count, index and data area. The records lie in the data area in dataOrder (a permutation of
// their positions; empty = file order); the index always lists them in the given order.
Bytes Indexed(const std::vector<IndexedRecord>& records, const std::vector<size_t>& dataOrder = {});
Bytes Words(const std::vector<uint16_t>& words);  // run-length words as little-endian bytes

struct ImageDef {
  uint32_t id = 0;
  uint8_t saveUnder = 0, reserved = 0;
  uint16_t width = 0, height = 0;
  std::vector<uint16_t> words = {};  // run-length pixel data
};
IndexedRecord ImageEntry(const ImageDef& image);

struct FontDef {
  uint32_t id = 0;
  uint16_t glyphWidth = 0, glyphHeight = 0;
  std::vector<uint16_t> sheet = {};  // pixels, 32 cells across
};
IndexedRecord FontEntry(const FontDef& font);
// A sheet of exactly three cell rows whose pixel i holds (i % 0xFFFF) + 1.
std::vector<uint16_t> FullSheet(uint16_t glyphWidth, uint16_t glyphHeight);

struct SpriteDef {
  uint32_t id = 0;
  uint8_t kind = 1;
  std::optional<uint8_t> frameCount = {};  // by default the number of frames
  uint8_t animRate = 0, reservedB = 0, width = 1, height = 1, reservedC = 0, motion = 0, moveRate = 0;
  std::vector<std::vector<uint16_t>> frames = {};  // each frame's run-length words
};
// The 49-byte header, then the frame data (the index size): the frame offset table, then the frames.
IndexedRecord SpriteEntry(const SpriteDef& sprite);

struct ActionDef {
  uint8_t opcode = 0;
  uint32_t argument = 0;
  uint16_t x = 0, y = 0;
};
struct EventDef {
  uint32_t id = 0;
  uint16_t width = 0, height = 0;
  uint8_t trigger = 1, armState = 1;
  std::array<uint8_t, 4> reserved = {};
  uint32_t triggerParam = 0;
  std::optional<uint8_t> actionCount = {};  // by default the number of actions
  std::vector<ActionDef> actions = {};
};
IndexedRecord EventEntry(const EventDef& event);

struct ArtifactDef {
  uint32_t id = 0;
  std::string name = {};  // cut or padded to the 32-byte field (no ending 0 when it fills it)
  uint16_t screenNumber = 0, x = 0, y = 0;
  uint8_t state = 0;
};
// The count (by default the number of records) then the 43-byte records.
Bytes Artifacts(const std::vector<ArtifactDef>& artifacts, std::optional<uint32_t> count = {});

struct DialogDef {
  uint32_t id = 0;
  std::string text = {};  // cut or padded to the 128-byte field
};
Bytes Dialogs(const std::vector<DialogDef>& dialogs, std::optional<uint32_t> count = {});

struct PlacementDef {
  uint32_t id = 0;  // sprite or event id
  uint16_t x = 0, y = 0;
  uint32_t layerOverride = 0;  // object placements only
};
struct ScreenDef {
  uint32_t number = 0;
  std::vector<PlacementDef> objects = {};  // at most 64
  std::vector<PlacementDef> events = {};   // at most 16
};
// 100 records of 900 bytes: the given screens in file order, then zero records.
Bytes Map(const std::vector<ScreenDef>& screens);

// A small well-formed world: every file holds a record or two. Keyed by file name.
std::map<std::string, Bytes> SmallWorld();

// Write files into a folder.
void WriteAll(const std::string& folder, const std::map<std::string, Bytes>& files);

}  // namespace data_builder
