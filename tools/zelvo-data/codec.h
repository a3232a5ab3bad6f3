// codec.h -- the seven data files to and from records, read by the same rules as the game's loaders.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model.h"
#include "report.h"

namespace zdata {

// What pack writes. Indexed files keep the records' order and lay them out one after the other.
Bytes writeMap(const std::vector<ScreenRecord>& screens);  // screen n in record n - 1; other records are zero
Bytes writeImages(const std::vector<Image>& images);
Bytes writeFonts(const std::vector<Font>& fonts);
Bytes writeSprites(const std::vector<Sprite>& sprites);
Bytes writeArtifacts(const std::vector<Artifact>& artifacts);
Bytes writeDialogs(const std::vector<Dialog>& dialogs);
Bytes writeEvents(const std::vector<Event>& events);
// All seven, by file name, in the game's loading order.
std::vector<std::pair<std::string, Bytes>> writeDataFiles(const DataSet& data);

// Readers take every record in file order. They return false when the game's loader would fail, with
// an error in the report; a count, offset or size that reaches past the end of the file is such a
// failure. Each index entry's position (or record number) is kept in `entries`.
bool readMap(const Bytes& file, std::vector<ScreenRecord>& records, Report& report);  // all 100 records
bool readImages(const Bytes& file, std::vector<Image>& images, std::vector<uint32_t>& entries, Report& report);
bool readFonts(const Bytes& file, std::vector<Font>& fonts, std::vector<uint32_t>& entries, Report& report);
bool readSprites(const Bytes& file, std::vector<Sprite>& sprites, std::vector<uint32_t>& entries, Report& report);
bool readArtifacts(const Bytes& file, std::vector<Artifact>& artifacts, Report& report);
bool readDialogs(const Bytes& file, std::vector<Dialog>& dialogs, Report& report);
bool readEvents(const Bytes& file, std::vector<Event>& events, std::vector<uint32_t>& entries, Report& report);

struct FileState {
  std::string name;
  bool present = false;  // the file could be opened
  bool loads = false;    // the game's loader would succeed
  uint64_t size = 0;
  uint32_t count = 0;    // the count stored in the file (records for map.dat)
};

// A data set as read from a folder: every record as stored (map: all 100 records), per-file state.
struct LoadedSet {
  std::filesystem::path dir;  // where it was read from
  DataSet records;
  std::vector<uint32_t> imageEntries, fontEntries, spriteEntries, eventEntries;
  std::vector<FileState> files;  // the seven files in loading order
  bool allLoad() const;
  const FileState& file(const std::string& name) const;
};
LoadedSet loadDataSet(const std::filesystem::path& dir, Report& report);

// What the game's tables hold: the first record of each id (artifacts: all, in order) and the map's
// slots that hold a screen, in slot order.
DataSet tableView(const DataSet& records);

// The 100 slots the map records fill (the last record of a number wins; 0 and above 100 are skipped).
std::vector<ScreenRecord> mapSlots(const std::vector<ScreenRecord>& records);

}  // namespace zdata
