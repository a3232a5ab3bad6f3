// events.cpp -- events.dat: every event's rectangle size, trigger, arming and action list.
#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::map<uint32_t, Event> eventTable;

LoadResult loadEvents() {
  using namespace layout::event;
  // A new game reloads this file to re-arm what the last game disarmed, so the table starts empty.
  eventTable.clear();
  datafile::WholeFile file;
  if (LoadResult result = datafile::readWholeFile(layout::kEventsFile, 0, &file); result != LoadOk) return result;
  const uint8_t* bytes = file.bytes.get();
  uint32_t count = 0;
  if (!datafile::checkIndex(layout::kEventsFile, bytes, file.size, &count)) return LoadReadFailed;
  const uint8_t* index = bytes + layout::index::kCountSize;
  std::map<uint32_t, Event> loaded;
  for (uint32_t entry = 0; entry < count; ++entry) {
    // The index entry's size is not used by this file: the action count says how long a record is.
    const uint64_t start = datafile::recordStart(index, count, entry);
    if (!datafile::checkHeader(layout::kEventsFile, entry, start, kHeaderSize, file.size)) return LoadReadFailed;
    const uint8_t* header = bytes + start;
    Event event;
    event.id = layout::read32(header + kId);
    event.width = layout::read16(header + kWidth);
    event.height = layout::read16(header + kHeight);
    event.trigger = header[kTrigger];
    event.armState = header[kArmState];
    for (uint32_t k = 0; k < kReservedSize; ++k) event.reserved[k] = header[kReserved + k];
    event.triggerParam = layout::read32(header + kTriggerParam);
    event.actionCount = header[kActionCount];
    // An action count past the end refuses the file rather than cutting the event's list short.
    if (!datafile::fits(start + kHeaderSize, static_cast<uint64_t>(event.actionCount) * kActionSize, file.size)) {
      datafile::reportBad(layout::kEventsFile, "index entry %u (event %u): its %u actions run past the end of the file",
                          entry, event.id, event.actionCount);
      return LoadReadFailed;
    }
    event.actions.reserve(event.actionCount);
    for (uint32_t a = 0; a < event.actionCount; ++a) {
      const uint8_t* action = header + kHeaderSize + a * kActionSize;
      event.actions.push_back(EventAction{action[kActionOpcode], layout::read32(action + kActionArgument),
                                          layout::read16(action + kActionX), layout::read16(action + kActionY)});
    }
    // Two entries may point at one record; either way the first event of an id stays.
    loaded.try_emplace(event.id, std::move(event));
  }
  eventTable = std::move(loaded);
  LogWrite("\nLoaded %d events.", static_cast<int>(count));
  return LoadOk;
}
