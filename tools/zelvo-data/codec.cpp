// codec.cpp -- writing the seven data files, and reading them back the way the game's loaders do.
#include "codec.h"

#include <fstream>
#include <map>
#include <set>

namespace zdata {

using namespace layout;
namespace fs = std::filesystem;

// ---- writing ----

namespace {

struct Record {
  Bytes bytes;         // header and payload
  uint32_t size = 0;   // what the index entry's size says
};

Bytes indexedFile(const std::vector<Record>& records) {
  Bytes out;
  put32(out, static_cast<uint32_t>(records.size()));
  uint32_t offset = 0;
  for (const auto& r : records) {
    put32(out, offset);
    put32(out, r.size);
    offset += static_cast<uint32_t>(r.bytes.size());
  }
  for (const auto& r : records) out.insert(out.end(), r.bytes.begin(), r.bytes.end());
  return out;
}

Record withPayload(Bytes header, const Bytes& payload) {
  Record r;
  r.size = static_cast<uint32_t>(payload.size());
  r.bytes = std::move(header);
  r.bytes.insert(r.bytes.end(), payload.begin(), payload.end());
  return r;
}

}  // namespace

Bytes writeMap(const std::vector<ScreenRecord>& screens) {
  Bytes out(map::kFileSize, 0);
  for (const auto& s : screens) {
    if (s.screenNumber < 1 || s.screenNumber > map::kScreens) continue;
    uint8_t* rec = &out[(s.screenNumber - 1) * map::kRecordSize];
    write32(rec + map::kScreenNumber, s.screenNumber);
    for (uint32_t k = 0; k < map::kObjectCount; ++k) {
      uint8_t* p = rec + map::kObjects + k * map::kObjectSize;
      write32(p + map::kObjectSprite, s.objects[k].spriteId);
      write16(p + map::kObjectX, s.objects[k].x);
      write16(p + map::kObjectY, s.objects[k].y);
      write32(p + map::kObjectLayer, s.objects[k].layerOverride);
    }
    for (uint32_t k = 0; k < map::kEventCount; ++k) {
      uint8_t* p = rec + map::kEvents + k * map::kEventSize;
      write32(p + map::kEventId, s.events[k].eventId);
      write16(p + map::kEventX, s.events[k].x);
      write16(p + map::kEventY, s.events[k].y);
    }
  }
  return out;
}

// An indexed file: `fill` writes a record's header and returns the payload that follows it.
template <class T, class Fill>
Bytes writeIndexed(const std::vector<T>& items, uint32_t headerSize, Fill fill) {
  std::vector<Record> records;
  for (const auto& item : items) {
    Bytes h(headerSize, 0);
    const Bytes& payload = fill(h.data(), item);
    records.push_back(withPayload(std::move(h), payload));
  }
  return indexedFile(records);
}

Bytes writeImages(const std::vector<Image>& images) {
  return writeIndexed(images, image::kHeaderSize, [](uint8_t* h, const Image& im) -> const Bytes& {
    write32(h + image::kId, im.id);
    h[image::kSaveUnder] = im.saveUnder;
    h[image::kReserved] = im.reserved;
    write16(h + image::kWidth, im.width);
    write16(h + image::kHeight, im.height);
    return im.data;
  });
}

Bytes writeFonts(const std::vector<Font>& fonts) {
  return writeIndexed(fonts, font::kHeaderSize, [](uint8_t* h, const Font& f) -> const Bytes& {
    write32(h + font::kId, f.id);
    write16(h + font::kGlyphWidth, f.glyphWidth);
    write16(h + font::kGlyphHeight, f.glyphHeight);
    return f.sheet;
  });
}

Bytes writeSprites(const std::vector<Sprite>& sprites) {
  return writeIndexed(sprites, sprite::kHeaderSize, [](uint8_t* h, const Sprite& s) -> const Bytes& {
    write32(h + sprite::kId, s.id);
    std::copy(s.reservedA.begin(), s.reservedA.end(), h + sprite::kReservedA);
    h[sprite::kKind] = s.kind;
    h[sprite::kFrameCount] = s.frameCount;
    h[sprite::kAnimRate] = s.animRate;
    h[sprite::kReservedB] = s.reservedB;
    h[sprite::kWidth] = s.width;
    h[sprite::kHeight] = s.height;
    h[sprite::kReservedC] = s.reservedC;
    h[sprite::kMotion] = s.motion;
    h[sprite::kMoveRate] = s.moveRate;
    std::copy(s.reservedD.begin(), s.reservedD.end(), h + sprite::kReservedD);
    return s.frameData;
  });
}

Bytes writeArtifacts(const std::vector<Artifact>& artifacts) {
  Bytes out;
  put32(out, static_cast<uint32_t>(artifacts.size()));
  for (const auto& a : artifacts) {
    Bytes r(artifact::kRecordSize, 0);
    write32(&r[artifact::kId], a.id);
    std::copy(a.name, a.name + artifact::kNameSize, r.begin() + artifact::kName);
    write16(&r[artifact::kScreen], a.screenNumber);
    write16(&r[artifact::kX], a.x);
    write16(&r[artifact::kY], a.y);
    r[artifact::kState] = a.state;
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

Bytes writeDialogs(const std::vector<Dialog>& dialogs) {
  Bytes out;
  put32(out, static_cast<uint32_t>(dialogs.size()));
  for (const auto& d : dialogs) {
    Bytes r(dialog::kRecordSize, 0);
    write32(&r[dialog::kId], d.id);
    std::copy(d.text, d.text + dialog::kTextSize, r.begin() + dialog::kText);
    out.insert(out.end(), r.begin(), r.end());
  }
  return out;
}

Bytes writeEvents(const std::vector<Event>& events) {
  std::vector<Bytes> actionBytes;  // kept alive for the index
  actionBytes.reserve(events.size());
  // The game does not read an event's size; like the other files it counts the bytes after the header.
  return writeIndexed(events, event::kHeaderSize, [&actionBytes](uint8_t* h, const Event& e) -> const Bytes& {
    write32(h + event::kId, e.id);
    write16(h + event::kWidth, e.width);
    write16(h + event::kHeight, e.height);
    h[event::kTrigger] = e.trigger;
    h[event::kArmState] = e.armState;
    std::copy(e.reserved, e.reserved + event::kReservedSize, h + event::kReserved);
    write32(h + event::kTriggerParam, e.triggerParam);
    h[event::kActionCount] = static_cast<uint8_t>(e.actions.size());
    Bytes& actions = actionBytes.emplace_back(e.actions.size() * event::kActionSize, 0);
    for (std::size_t i = 0; i < e.actions.size(); ++i) {
      uint8_t* p = &actions[i * event::kActionSize];
      p[event::kActionOpcode] = e.actions[i].opcode;
      write32(p + event::kActionArgument, e.actions[i].argument);
      write16(p + event::kActionX, e.actions[i].x);
      write16(p + event::kActionY, e.actions[i].y);
    }
    return actions;
  });
}

std::vector<std::pair<std::string, Bytes>> writeDataFiles(const DataSet& data) {
  return {{kSpritesFile, writeSprites(data.sprites)},     {kEventsFile, writeEvents(data.events)},
          {kArtifactsFile, writeArtifacts(data.artifacts)}, {kFontsFile, writeFonts(data.fonts)},
          {kImagesFile, writeImages(data.images)},         {kMapFile, writeMap(data.screens)},
          {kDialogsFile, writeDialogs(data.dialogs)}};
}

// ---- reading ----

namespace {

struct IndexEntry {
  uint32_t offset = 0;
  uint32_t size = 0;
};

std::string entryName(uint32_t i) { return "index entry " + std::to_string(i); }

enum class CountRead { Present, NoRecords, Failed };

// The 4-byte record count at the start of a file. `shortCountLoads`: the loader takes an empty
// file as no records (images, fonts, dialogs); a count cut short is a failed read everywhere.
CountRead readCount(const Bytes& f, const char* file, const char* things, bool shortCountLoads, const char* field,
                    Report& report) {
  if (f.size() >= 4) return CountRead::Present;
  std::string what = "the file has " + std::to_string(f.size()) + " bytes, too few for its " + field;
  if (shortCountLoads && f.empty()) {
    report.warning(file, "", "count", what + "; the game loads no " + things);
    return CountRead::NoRecords;
  }
  report.error(file, "", "count", what);
  return CountRead::Failed;
}

// The count and the index of an indexed file. `shortCountLoads`: the loader takes a count it cannot
// read as 0 (images, fonts) instead of failing.
bool readIndex(const Bytes& f, const char* file, const char* things, bool shortCountLoads,
               std::vector<IndexEntry>& entries, Report& report) {
  if (CountRead read = readCount(f, file, things, shortCountLoads, "4-byte count", report); read != CountRead::Present) {
    return read == CountRead::NoRecords;
  }
  uint32_t n = read32(f.data());
  if (index::dataStart(n) > f.size()) {
    report.error(file, "", "count",
                 "count " + std::to_string(n) + " needs an index of " + std::to_string(uint64_t{n} * 8) +
                     " bytes, but the file has only " + std::to_string(f.size()) + " bytes");
    return false;
  }
  for (uint32_t i = 0; i < n; ++i) {
    const uint8_t* p = &f[index::kCountSize + i * index::kEntrySize];
    entries.push_back({read32(p + index::kOffset), read32(p + index::kSize)});
  }
  return true;
}

// Checks that `length` bytes at data-area offset `offset` lie inside the file; returns the file offset.
bool recordInFile(const Bytes& f, std::size_t count, uint64_t offset, uint64_t length, const char* file,
                  uint32_t entry, const std::string& what, uint64_t& start, Report& report) {
  start = index::dataStart(count) + offset;
  if (start + length > f.size()) {
    report.error(file, entryName(entry), "offset",
                 what + " at file offset " + std::to_string(start) + " needs " + std::to_string(length) +
                     " bytes, but the file ends at " + std::to_string(f.size()));
    return false;
  }
  return true;
}

bool emptyFails(const Bytes& f, const char* file, Report& report) {
  if (!f.empty()) return false;
  report.error(file, "", "", "the file is empty; the game refuses it");
  return true;
}

void trailingBytes(const Bytes& f, uint64_t used, const char* file, Report& report) {
  if (f.size() > used) {
    uint64_t n = f.size() - used;
    report.warning(file, "", "", n == 1 ? "1 byte after the last record is never read"
                                        : std::to_string(n) + " bytes after the last record are never read");
  }
}

}  // namespace

bool readMap(const Bytes& f, std::vector<ScreenRecord>& records, Report& report) {
  if (f.size() != map::kFileSize) {
    report.error(kMapFile, "", "", "the file has " + std::to_string(f.size()) + " bytes; the game needs exactly " +
                                       std::to_string(map::kFileSize));
    return false;
  }
  for (uint32_t r = 0; r < map::kScreens; ++r) {
    const uint8_t* rec = &f[r * map::kRecordSize];
    ScreenRecord s{};
    s.screenNumber = read32(rec + map::kScreenNumber);
    for (uint32_t k = 0; k < map::kObjectCount; ++k) {
      const uint8_t* p = rec + map::kObjects + k * map::kObjectSize;
      s.objects[k] = {read32(p + map::kObjectSprite), read16(p + map::kObjectX), read16(p + map::kObjectY),
                      read32(p + map::kObjectLayer)};
    }
    for (uint32_t k = 0; k < map::kEventCount; ++k) {
      const uint8_t* p = rec + map::kEvents + k * map::kEventSize;
      s.events[k] = {read32(p + map::kEventId), read16(p + map::kEventX), read16(p + map::kEventY)};
    }
    records.push_back(s);
  }
  return true;
}

// Every record of an indexed file with a fixed header and `size` bytes after it.
template <class T, class Build>
bool readRecords(const Bytes& f, const char* file, const char* things, bool shortCountLoads, uint32_t headerSize,
                 std::vector<T>& out, std::vector<uint32_t>& entries, Report& report, Build build) {
  std::vector<IndexEntry> index;
  if (!readIndex(f, file, things, shortCountLoads, index, report)) return false;
  for (uint32_t i = 0; i < index.size(); ++i) {
    uint64_t start = 0;
    if (!recordInFile(f, index.size(), index[i].offset, uint64_t{headerSize} + index[i].size, file, i, "the record",
                      start, report)) {
      return false;
    }
    const uint8_t* p = &f[start];
    out.push_back(build(p, Bytes(p + headerSize, p + headerSize + index[i].size)));
    entries.push_back(i);
  }
  return true;
}

bool readImages(const Bytes& f, std::vector<Image>& images, std::vector<uint32_t>& entries, Report& report) {
  return readRecords(f, kImagesFile, "images", true, image::kHeaderSize, images, entries, report,
                     [](const uint8_t* p, Bytes data) {
                       return Image{read32(p + image::kId), p[image::kSaveUnder], p[image::kReserved],
                                    read16(p + image::kWidth), read16(p + image::kHeight), std::move(data)};
                     });
}

bool readFonts(const Bytes& f, std::vector<Font>& fonts, std::vector<uint32_t>& entries, Report& report) {
  return readRecords(f, kFontsFile, "fonts", true, font::kHeaderSize, fonts, entries, report,
                     [](const uint8_t* p, Bytes sheet) {
                       return Font{read32(p + font::kId), read16(p + font::kGlyphWidth), read16(p + font::kGlyphHeight),
                                   std::move(sheet)};
                     });
}

bool readSprites(const Bytes& f, std::vector<Sprite>& sprites, std::vector<uint32_t>& entries, Report& report) {
  if (emptyFails(f, kSpritesFile, report)) return false;
  return readRecords(f, kSpritesFile, "sprites", false, sprite::kHeaderSize, sprites, entries, report,
                     [](const uint8_t* p, Bytes frameData) {
                       Sprite s;
                       s.id = read32(p + sprite::kId);
                       std::copy(p + sprite::kReservedA, p + sprite::kReservedA + sprite::kReservedASize,
                                 s.reservedA.begin());
                       s.kind = p[sprite::kKind];
                       s.frameCount = p[sprite::kFrameCount];
                       s.animRate = p[sprite::kAnimRate];
                       s.reservedB = p[sprite::kReservedB];
                       s.width = p[sprite::kWidth];
                       s.height = p[sprite::kHeight];
                       s.reservedC = p[sprite::kReservedC];
                       s.motion = p[sprite::kMotion];
                       s.moveRate = p[sprite::kMoveRate];
                       std::copy(p + sprite::kReservedD, p + sprite::kReservedD + sprite::kReservedDSize,
                                 s.reservedD.begin());
                       s.frameData = std::move(frameData);
                       return s;
                     });
}

// A count, then that many records of one size (art.dat, dialogs.dat). `shortCountLoads`: a count the
// loader cannot read means no records rather than a failure (dialogs).
template <class T, class Build>
bool readCounted(const Bytes& f, const char* file, const char* things, bool shortCountLoads, uint32_t recordSize,
                 std::vector<T>& out, Report& report, Build build) {
  constexpr uint32_t kCountSize = 4;
  if (CountRead read = readCount(f, file, things, shortCountLoads, "count", report); read != CountRead::Present) {
    return read == CountRead::NoRecords;
  }
  uint32_t n = read32(f.data());
  uint64_t used = kCountSize + uint64_t{n} * recordSize;
  if (used > f.size()) {
    report.error(file, "", "count",
                 "count " + std::to_string(n) + " needs " + std::to_string(used) + " bytes, but the file has only " +
                     std::to_string(f.size()));
    return false;
  }
  for (uint32_t i = 0; i < n; ++i) out.push_back(build(&f[kCountSize + i * recordSize]));
  trailingBytes(f, used, file, report);
  return true;
}

bool readArtifacts(const Bytes& f, std::vector<Artifact>& artifacts, Report& report) {
  static_assert(artifact::kCountSize == 4);
  if (emptyFails(f, kArtifactsFile, report)) return false;
  return readCounted(f, kArtifactsFile, "artifacts", false, artifact::kRecordSize, artifacts, report,
                     [](const uint8_t* p) {
                       Artifact a;
                       a.id = read32(p + artifact::kId);
                       std::copy(p + artifact::kName, p + artifact::kName + artifact::kNameSize, fieldBytes(a.name));
                       a.screenNumber = read16(p + artifact::kScreen);
                       a.x = read16(p + artifact::kX);
                       a.y = read16(p + artifact::kY);
                       a.state = p[artifact::kState];
                       return a;
                     });
}

bool readDialogs(const Bytes& f, std::vector<Dialog>& dialogs, Report& report) {
  static_assert(dialog::kCountSize == 4);
  return readCounted(f, kDialogsFile, "dialogs", true, dialog::kRecordSize, dialogs, report, [](const uint8_t* p) {
    Dialog d;
    d.id = read32(p + dialog::kId);
    std::copy(p + dialog::kText, p + dialog::kText + dialog::kTextSize, fieldBytes(d.text));
    return d;
  });
}

bool readEvents(const Bytes& f, std::vector<Event>& events, std::vector<uint32_t>& entries, Report& report) {
  if (emptyFails(f, kEventsFile, report)) return false;
  std::vector<IndexEntry> index;
  if (!readIndex(f, kEventsFile, "events", false, index, report)) return false;
  for (uint32_t i = 0; i < index.size(); ++i) {
    uint64_t start = 0;
    if (!recordInFile(f, index.size(), index[i].offset, event::kHeaderSize, kEventsFile, i, "the header", start,
                      report)) {
      return false;
    }
    uint8_t count = f[start + event::kActionCount];
    uint64_t actionsLength = uint64_t{count} * event::kActionSize;
    if (start + event::kHeaderSize + actionsLength > f.size()) {
      report.error(kEventsFile, entryName(i), "actionCount",
                   std::to_string(count) + " actions need " + std::to_string(actionsLength) +
                       " bytes after the header, but the file ends at " + std::to_string(f.size()));
      return false;
    }
    const uint8_t* p = &f[start];
    Event e;
    e.id = read32(p + event::kId);
    e.width = read16(p + event::kWidth);
    e.height = read16(p + event::kHeight);
    e.trigger = p[event::kTrigger];
    e.armState = p[event::kArmState];
    std::copy(p + event::kReserved, p + event::kReserved + event::kReservedSize, e.reserved);
    e.actionCount = count;
    e.triggerParam = read32(p + event::kTriggerParam);
    for (uint32_t k = 0; k < count; ++k) {
      const uint8_t* a = p + event::kHeaderSize + k * event::kActionSize;
      e.actions.push_back({a[event::kActionOpcode], read32(a + event::kActionArgument), read16(a + event::kActionX),
                           read16(a + event::kActionY)});
    }
    events.push_back(std::move(e));
    entries.push_back(i);
  }
  return true;
}

bool LoadedSet::allLoad() const {
  for (const auto& f : files) {
    if (!f.loads) return false;
  }
  return true;
}

const FileState& LoadedSet::file(const std::string& name) const {
  for (const auto& f : files) {
    if (f.name == name) return f;
  }
  static const FileState none;
  return none;
}

static bool readWhole(const fs::path& path, Bytes& out) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

LoadedSet loadDataSet(const fs::path& dir, Report& report) {
  LoadedSet set;
  set.dir = dir;
  DataSet& d = set.records;
  for (const char* name : {kSpritesFile, kEventsFile, kArtifactsFile, kFontsFile, kImagesFile, kMapFile, kDialogsFile}) {
    FileState state;
    state.name = name;
    Bytes bytes;
    if (!readWhole(dir / name, bytes)) {
      report.error(name, "", "", "cannot be opened in " + dir.string() + "; the game does not start without it");
      set.files.push_back(state);
      continue;
    }
    state.present = true;
    state.size = bytes.size();
    std::string file = name;
    if (file == kSpritesFile) state.loads = readSprites(bytes, d.sprites, set.spriteEntries, report);
    if (file == kEventsFile) state.loads = readEvents(bytes, d.events, set.eventEntries, report);
    if (file == kArtifactsFile) state.loads = readArtifacts(bytes, d.artifacts, report);
    if (file == kFontsFile) state.loads = readFonts(bytes, d.fonts, set.fontEntries, report);
    if (file == kImagesFile) state.loads = readImages(bytes, d.images, set.imageEntries, report);
    if (file == kMapFile) state.loads = readMap(bytes, d.screens, report);
    if (file == kDialogsFile) state.loads = readDialogs(bytes, d.dialogs, report);
    if (file == kMapFile) {
      state.count = map::kScreens;
    } else if (bytes.size() >= 4) {
      state.count = read32(bytes.data());
    }
    set.files.push_back(state);
  }
  std::error_code ec;
  if (fs::is_regular_file(dir / kTitleMusicFile, ec)) d.titleMusic = (dir / kTitleMusicFile).string();
  if (fs::is_regular_file(dir / kGameMusicFile, ec)) d.gameMusic = (dir / kGameMusicFile).string();
  return set;
}

template <class T>
static std::vector<T> firstOfEachId(const std::vector<T>& records) {
  std::vector<T> out;
  std::set<uint32_t> seen;
  for (const auto& r : records) {
    if (seen.insert(r.id).second) out.push_back(r);
  }
  return out;
}

std::vector<ScreenRecord> mapSlots(const std::vector<ScreenRecord>& records) {
  std::vector<ScreenRecord> slots(map::kScreens);
  for (const auto& r : records) {
    if (r.screenNumber >= 1 && r.screenNumber <= map::kScreens) slots[r.screenNumber - 1] = r;
  }
  return slots;
}

DataSet tableView(const DataSet& records) {
  DataSet t;
  t.images = firstOfEachId(records.images);
  t.fonts = firstOfEachId(records.fonts);
  t.sprites = firstOfEachId(records.sprites);
  t.events = firstOfEachId(records.events);
  t.dialogs = firstOfEachId(records.dialogs);
  t.artifacts = records.artifacts;
  for (const auto& s : mapSlots(records.screens)) {
    if (s.screenNumber != 0) t.screens.push_back(s);
  }
  t.titleMusic = records.titleMusic;
  t.gameMusic = records.gameMusic;
  return t;
}

}  // namespace zdata
