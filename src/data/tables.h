// tables.h -- the content tables the data files fill, and their records.
#pragma once

#include <array>
#include <cstdint>
#include <list>
#include <map>
#include <vector>

#include "data/layout.h"

// Result of a loader; anything but LoadOk is a failure.
enum LoadResult : int {
  LoadOk = 0,
  LoadCannotOpen = 2,
  LoadReadFailed = 3,
  LoadOutOfMemory = 7,
  LoadOther = 255,
};

// map.dat: one screen of the 10 x 10 grid (900 bytes, the same in the file and in memory).
struct ObjectPlacement {
  uint32_t spriteId;  // 0 ends the list; 1000 and above are skipped
  uint16_t x;
  uint16_t y;
  uint32_t layerOverride;  // 0 keeps the template's layer, else its low byte is the layer
};
struct EventPlacement {
  uint32_t eventId;  // 0 ends the list
  uint16_t x;
  uint16_t y;
};
struct ScreenRecord {
  uint32_t screenNumber;  // 1..100; 0 = the slot holds no screen
  ObjectPlacement objects[layout::map::kObjectCount];
  EventPlacement events[layout::map::kEventCount];
};
static_assert(sizeof(ScreenRecord) == layout::map::kRecordSize);

// Slot s is grid column s / 10, row s % 10.
extern std::array<ScreenRecord, layout::map::kScreens> screenMap;

// images.dat: a picture kept in its run-length form.
struct ImageRecord {
  uint32_t id = 0;
  uint8_t saveUnder = 0;
  uint8_t reserved = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  const uint8_t* pixelData = nullptr;  // run-length words, owned by imageTable
  uint32_t pixelDataSize = 0;          // bytes in pixelData (the index entry's size)
  uint16_t* saveBuffer = nullptr;      // width x height pixels when saveUnder is 1, owned by imageTable
};
extern std::map<uint32_t, ImageRecord> imageTable;

// fonts.dat: a fixed-width bitmap font.
struct FontRecord {
  uint32_t id = 0;
  uint16_t glyphWidth = 0;
  uint16_t glyphHeight = 0;
  const uint16_t* glyphSheet = nullptr;  // pixels, 32 cells across, owned by fontTable
  uint32_t sheetPixels = 0;              // pixels in glyphSheet
};
extern std::map<uint32_t, FontRecord> fontTable;

// art.dat: an artifact's place and state (the live state during play).
struct Artifact {
  uint32_t id = 0;  // also the id of the sprite that shows it
  char name[layout::artifact::kNameSize] = {};
  uint16_t screenNumber = 0;
  uint16_t x = 0;
  uint16_t y = 0;
  uint8_t state = 0;  // ArtifactState
};
extern std::list<Artifact> artifactList;

// dialogs.dat: one text of the dialog box.
struct Dialog {
  uint32_t id = 0;
  char text[layout::dialog::kTextSize] = {};  // always ends with a 0 byte
};
extern std::map<uint32_t, Dialog> dialogTable;

// events.dat: an event's rectangle size, trigger, arming and actions.
struct EventAction {
  uint8_t opcode = 0;
  uint32_t argument = 0;
  uint16_t x = 0;
  uint16_t y = 0;
};
struct Event {
  uint32_t id = 0;
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t trigger = 0;   // EventTrigger
  uint8_t armState = 0;  // EventArmState
  uint8_t reserved[layout::event::kReservedSize] = {};
  uint32_t triggerParam = 0;
  uint8_t actionCount = 0;
  std::vector<EventAction> actions;
};
extern std::map<uint32_t, Event> eventTable;

// sprites.dat: one record for sprite templates and live objects. A live object is a plain copy of its
// template and borrows the template's frame buffers; it never owns memory.
struct Sprite {
  uint32_t id = 0;
  double speedX = 0.0;  // pixels per movement step (patrolling objects)
  double x = 0.0;       // playfield pixels
  double y = 0.0;
  double prevX = 0.0;  // position before the last move, 0.0 = none
  double prevY = 0.0;
  int16_t width = 0;
  int16_t height = 0;
  uint8_t animRate = 0;  // frames per second
  uint8_t motion = 0;    // bit 0: random start; exactly 2: horizontal patrol
  uint8_t moveRate = 0;  // movement steps per second
  uint64_t animTime = 0;  // counter ticks of the last frame change
  uint64_t moveTime = 0;  // counter ticks of the last movement step
  uint8_t frameCount = 0;
  uint8_t firstFrame = 0;  // 1-based animation range
  uint8_t lastFrame = 0;
  uint8_t frame = 0;
  uint8_t kind = 0;
  uint8_t flags = 0;  // SpriteEnabled | SpriteDrawn | SpriteAnimated
  uint8_t layer = 0;  // 0..31: depth and collision bit
  uint8_t reservedB = 0;  // the file's two reserved header bytes, carried along
  uint8_t reservedC = 0;
  uint16_t* pixels = nullptr;  // frameCount x height x width decoded pixels, 0 = transparent
  uint8_t pixelsReady = 0;
  uint8_t* frameData = nullptr;  // the frame data as read from the file
  uint32_t frameDataSize = 0;    // bytes in frameData
};

constexpr uint8_t SpriteEnabled = 1;
constexpr uint8_t SpriteDrawn = 2;
constexpr uint8_t SpriteAnimated = 4;

constexpr uint8_t PlayerLayer = 16;
constexpr uint8_t SolidLayer = 1;
constexpr uint8_t HazardLayer = 25;

// Templates by sprite id (filled by the sprite loader).
extern std::map<uint32_t, Sprite> spriteTable;

// Live objects of the current screen, kept sorted by descending layer. They borrow the templates'
// buffers, so the list lives beside the templates and a sprite reload empties it.
extern std::list<Sprite> objectList;
