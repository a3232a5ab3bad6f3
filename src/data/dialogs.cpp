// dialogs.cpp -- dialogs.dat: the texts of the dialog box, read in one go and taken a record at a time.
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
  // The whole file in one read. What a read of the count alone would have seen decides as before:
  // no count at all (a failed read, an empty file) means no dialogs; it is not an error.
  const uint32_t size = FileSize(file.handle);
  uint8_t countBytes[kCountSize] = {};
  std::unique_ptr<uint8_t[]> bytes;
  uint32_t done = 0;
  const bool sizeKnown = size != 0xFFFFFFFFu;
  if (sizeKnown && !datafile::allocate(size, bytes)) return LoadOutOfMemory;
  if (!FileRead(file.handle, sizeKnown ? bytes.get() : countBytes, sizeKnown ? size : kCountSize, &done) || done == 0) {
    LogWrite("\nLoaded %d dialogs.", 0);
    return LoadOk;
  }
  if (!sizeKnown) {
    datafile::reportBad(layout::kDialogsFile, "cannot tell the file's size");
    return LoadReadFailed;
  }
  // The count is checked against the size before the first record is looked at, so a short file
  // is refused whole rather than loaded halfway.
  uint32_t count = 0;
  if (!datafile::checkRecords(layout::kDialogsFile, bytes.get(), done < kCountSize ? done : size, kRecordSize,
                              &count)) {
    return LoadReadFailed;
  }
  // Records the read did not bring whole (the file shrank meanwhile) refuse the file at the first.
  const uint64_t whole = (done - kCountSize) / kRecordSize;
  const bool allThere = whole >= count;
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* record = bytes.get() + kCountSize + static_cast<uint64_t>(i) * kRecordSize;
    if (i == whole) {
      datafile::reportBad(layout::kDialogsFile, "record %u is cut short: %u of %u bytes", i,
                          done - kCountSize - i * kRecordSize, kRecordSize);
      return LoadReadFailed;
    }
    Dialog dialog;
    dialog.id = layout::read32(record + kId);
    if (datafile::copyText(dialog.text, record + kText, kTextSize)) {
      datafile::reportBad(layout::kDialogsFile, "record %u (dialog %u): the text has no ending 0; cut to %u characters",
                          i, dialog.id, kTextSize - 1);
    }
    // Dialogs already in the table (an earlier load) keep their text, as a first record does. A file
    // that will be refused puts none in.
    if (allThere) dialogTable.try_emplace(dialog.id, dialog);
  }
  LogWrite("\nLoaded %d dialogs.", static_cast<int>(count));
  return LoadOk;
}
