// layout.h -- the byte layout of the seven data files, shared by the game's loaders and zelvo-data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "services/bytes.h"

namespace layout {

// All integers are little-endian and unaligned (services/bytes.h reads and writes them).
using bytes::put16;
using bytes::put32;
using bytes::put8;
using bytes::read16;
using bytes::read32;
using bytes::write16;
using bytes::write32;

// File names, opened in the app directory.
constexpr const char* kMapFile = "map.dat";
constexpr const char* kImagesFile = "images.dat";
constexpr const char* kFontsFile = "fonts.dat";
constexpr const char* kSpritesFile = "sprites.dat";
constexpr const char* kArtifactsFile = "art.dat";
constexpr const char* kDialogsFile = "dialogs.dat";
constexpr const char* kEventsFile = "events.dat";
constexpr const char* kTitleMusicFile = "main.wav";
constexpr const char* kGameMusicFile = "ingame.wav";

// Indexed layout (images, fonts, sprites, events): u32 count N, N index entries, data area.
namespace index {
constexpr uint32_t kCountSize = 4;
constexpr uint32_t kEntrySize = 8;  // u32 offset from the start of the data area, u32 size
constexpr uint32_t kOffset = 0;
constexpr uint32_t kSize = 4;
// File offset of the data area for N records (64-bit: N comes from the file).
constexpr uint64_t dataStart(uint64_t count) { return kCountSize + kEntrySize * count; }
}  // namespace index

// map.dat: exactly 100 screen records of 900 bytes, no header.
namespace map {
constexpr uint32_t kScreens = 100;
constexpr uint32_t kRecordSize = 900;
constexpr uint32_t kFileSize = kScreens * kRecordSize;  // 90000
constexpr uint32_t kScreenNumber = 0;
constexpr uint32_t kObjects = 4;  // 64 object placements
constexpr uint32_t kObjectCount = 64;
constexpr uint32_t kObjectSize = 12;
constexpr uint32_t kObjectSprite = 0;
constexpr uint32_t kObjectX = 4;
constexpr uint32_t kObjectY = 6;
constexpr uint32_t kObjectLayer = 8;
constexpr uint32_t kEvents = 772;  // 16 event placements
constexpr uint32_t kEventCount = 16;
constexpr uint32_t kEventSize = 8;
constexpr uint32_t kEventId = 0;
constexpr uint32_t kEventX = 4;
constexpr uint32_t kEventY = 6;
constexpr uint32_t kFirstBackgroundId = 1000;  // sprites screenNumber + 1000 and + 2000
constexpr uint32_t kSecondBackgroundId = 2000;
}  // namespace map

// images.dat record: 10-byte header, then `size` bytes of run-length pixel words.
namespace image {
constexpr uint32_t kHeaderSize = 10;
constexpr uint32_t kId = 0;
constexpr uint32_t kSaveUnder = 4;  // 1 = the image gets a save buffer
constexpr uint32_t kReserved = 5;
constexpr uint32_t kWidth = 6;
constexpr uint32_t kHeight = 8;
}  // namespace image

// fonts.dat record: 8-byte header, then `size` bytes of glyph sheet (u16 pixels, 32 cells across).
namespace font {
constexpr uint32_t kHeaderSize = 8;
constexpr uint32_t kId = 0;
constexpr uint32_t kGlyphWidth = 4;
constexpr uint32_t kGlyphHeight = 6;
constexpr uint32_t kCellsAcross = 32;
constexpr uint32_t kCellRows = 3;  // codes 32..127
constexpr uint32_t kFirstCode = 32;
constexpr uint32_t kLastCode = 127;
}  // namespace font

// sprites.dat record: 49-byte header, then `size` bytes of frame data (frame offset table, frames).
namespace sprite {
constexpr uint32_t kHeaderSize = 49;
constexpr uint32_t kId = 0;
constexpr uint32_t kReservedA = 4;  // 32 bytes, not read by the game
constexpr uint32_t kReservedASize = 32;
constexpr uint32_t kKind = 36;
constexpr uint32_t kFrameCount = 37;
constexpr uint32_t kAnimRate = 38;
constexpr uint32_t kReservedB = 39;  // copied into the template
constexpr uint32_t kWidth = 40;
constexpr uint32_t kHeight = 41;
constexpr uint32_t kReservedC = 42;  // copied into the template
constexpr uint32_t kMotion = 43;
constexpr uint32_t kMoveRate = 44;
constexpr uint32_t kReservedD = 45;  // 4 bytes, not read by the game
constexpr uint32_t kReservedDSize = 4;
constexpr uint32_t kFrameOffsetSize = 4;   // u32 per frame, counted from the end of the table
constexpr uint8_t kMotionRandomStart = 1;  // bit 0
constexpr uint8_t kMotionPatrol = 2;       // exactly 2
constexpr uint32_t kPlayerId = 3;
}  // namespace sprite

// Sprite kinds and the layer each gives.
enum class SpriteKind : uint8_t {
  Player = 0,
  Scenery = 1,
  Foreground = 2,
  Solid = 3,
  Background = 4,
  Front = 5,
  Hazard = 6
};
constexpr uint8_t kKindCount = 7;
constexpr uint8_t kKindLayer[kKindCount] = {16, 2, 30, 1, 0, 20, 25};

// art.dat: u32 count N, then N records of 43 bytes.
namespace artifact {
constexpr uint32_t kCountSize = 4;
constexpr uint32_t kRecordSize = 43;
constexpr uint32_t kId = 0;
constexpr uint32_t kName = 4;
constexpr uint32_t kNameSize = 32;
constexpr uint32_t kScreen = 36;
constexpr uint32_t kX = 38;
constexpr uint32_t kY = 40;
constexpr uint32_t kState = 42;
}  // namespace artifact

// dialogs.dat: u32 count N, then N records of 132 bytes.
namespace dialog {
constexpr uint32_t kCountSize = 4;
constexpr uint32_t kRecordSize = 132;
constexpr uint32_t kId = 0;
constexpr uint32_t kText = 4;
constexpr uint32_t kTextSize = 128;
}  // namespace dialog

// events.dat record: 19-byte header, then action count x 9-byte actions.
namespace event {
constexpr uint32_t kHeaderSize = 19;
constexpr uint32_t kId = 0;
constexpr uint32_t kWidth = 4;
constexpr uint32_t kHeight = 6;
constexpr uint32_t kTrigger = 8;
constexpr uint32_t kArmState = 9;
constexpr uint32_t kReserved = 10;
constexpr uint32_t kReservedSize = 4;
constexpr uint32_t kTriggerParam = 14;
constexpr uint32_t kActionCount = 18;
constexpr uint32_t kActionSize = 9;
constexpr uint32_t kActionOpcode = 0;
constexpr uint32_t kActionArgument = 1;
constexpr uint32_t kActionX = 5;
constexpr uint32_t kActionY = 7;
}  // namespace event

}  // namespace layout

// Values stored in the files, shared by the game and the tool.

enum ArtifactState : uint8_t { Hidden = 0, Lying = 1, Placed = 2, Carried = 3, Spent = 4 };

enum EventTrigger : uint8_t { Touch = 1, ActionKey = 2, UseArtifact = 3 };

enum EventArmState : uint8_t { Armed = 1, Disarmed = 2 };

enum EventOpcode : uint8_t {
  GoToScreen = 1,
  PlaceArtifact = 2,
  SpendArtifact = 3,
  ShowDialog = 4,
  DisarmEvent = 5,
  ArmEvent = 6,
  RemoveSprite = 7,
  KillPlayer = 8,
  FinishGame = 9,
  NoAction = 10,
  AddScore = 11,
  AddEnergy = 12,
};
