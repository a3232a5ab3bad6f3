// map.cpp -- map.dat: the 100 screen records, each placed in the slot its own number names.
#include <cstring>

#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::array<ScreenRecord, layout::map::kScreens> screenMap;

namespace {

// Field by field, so the slot does not depend on the host's byte order or padding.
void copyScreen(const uint8_t* in, ScreenRecord* out) {
  using namespace layout::map;
  out->screenNumber = layout::read32(in + kScreenNumber);
  for (uint32_t k = 0; k < kObjectCount; ++k) {
    const uint8_t* at = in + kObjects + k * kObjectSize;
    out->objects[k] = ObjectPlacement{layout::read32(at + kObjectSprite), layout::read16(at + kObjectX),
                                      layout::read16(at + kObjectY), layout::read32(at + kObjectLayer)};
  }
  for (uint32_t k = 0; k < kEventCount; ++k) {
    const uint8_t* at = in + kEvents + k * kEventSize;
    out->events[k] = EventPlacement{layout::read32(at + kEventId), layout::read16(at + kEventX),
                                    layout::read16(at + kEventY)};
  }
}

}  // namespace

LoadResult loadScreenMap() {
  using namespace layout::map;
  // Cleared before anything else, so a map that fails to load leaves no screen behind.
  std::memset(static_cast<void*>(screenMap.data()), 0, sizeof screenMap);
  datafile::WholeFile file;
  // The exact size is the only check needed: 100 fixed records can point nowhere else.
  if (LoadResult result = datafile::readWholeFile(layout::kMapFile, kFileSize, &file); result != LoadOk) return result;
  int placed = 0;
  for (uint32_t r = 0; r < kScreens; ++r) {
    const uint8_t* record = file.bytes.get() + r * kRecordSize;
    const uint32_t number = layout::read32(record + kScreenNumber);
    // 0 holds no screen and numbers above 100 have no slot; a later record of a number wins.
    if (number == 0 || number > kScreens) continue;
    copyScreen(record, &screenMap[number - 1]);
    ++placed;
  }
  LogWrite("\nLoaded %d screens.", placed);
  return LoadOk;
}
