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
