// dialogs.cpp -- dialogs.dat: the texts of the dialog box, read one record at a time.
#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::map<uint32_t, Dialog> dialogTable;

LoadResult loadDialogs() {
  using namespace layout::dialog;
  datafile::OpenFile file{FileOpenRead(datafile::pathOf(layout::kDialogsFile))};
  if (!file.handle) {
    LogWrite("\nFailed to open %s", layout::kDialogsFile);
    return LoadOther;
  }
  uint8_t countBytes[kCountSize] = {};
  uint32_t done = 0;
  // No count at all (a failed read, an empty file) means no dialogs; it is not an error.
  if (!FileRead(file.handle, countBytes, kCountSize, &done) || done == 0) {
    LogWrite("\nLoaded %d dialogs.", 0);
    return LoadOk;
  }
  // The count is checked against the size before the first record is read, so a short file is
  // refused whole rather than loaded halfway.
  const uint32_t size = FileSize(file.handle);
  uint32_t count = 0;
  if (size == 0xFFFFFFFFu) {
    datafile::reportBad(layout::kDialogsFile, "cannot tell the file's size");
    return LoadReadFailed;
  }
  if (!datafile::checkRecords(layout::kDialogsFile, countBytes, done < kCountSize ? done : size, kRecordSize, &count)) {
    return LoadReadFailed;
  }
  std::map<uint32_t, Dialog> loaded;
  for (uint32_t i = 0; i < count; ++i) {
    uint8_t record[kRecordSize] = {};
    if (!FileRead(file.handle, record, kRecordSize, &done)) return LoadReadFailed;
    if (done != kRecordSize) {
      datafile::reportBad(layout::kDialogsFile, "record %u is cut short: %u of %u bytes", i, done, kRecordSize);
      return LoadReadFailed;
    }
    Dialog dialog;
    dialog.id = layout::read32(record + kId);
    if (datafile::copyText(dialog.text, record + kText, kTextSize)) {
      datafile::reportBad(layout::kDialogsFile, "record %u (dialog %u): the text has no ending 0; cut to %u characters",
                          i, dialog.id, kTextSize - 1);
    }
    loaded.try_emplace(dialog.id, dialog);
  }
  // Dialogs already in the table (an earlier load) keep their text, as a first record does.
  for (const auto& [id, dialog] : loaded) dialogTable.try_emplace(id, dialog);
  LogWrite("\nLoaded %d dialogs.", static_cast<int>(count));
  return LoadOk;
}
