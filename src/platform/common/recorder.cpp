// recorder.cpp -- the recording format, its writer, its checked reader and the replay feed.
#include "platform/common/recorder.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/common/process.h"

namespace {

constexpr char kMagic[8] = {'Z', 'E', 'L', 'V', 'O', 'R', 'E', 'C'};
constexpr size_t kMaxField = 1u << 20;
constexpr uint64_t kMaxFields = 1000;
constexpr uint64_t kMaxObjects = 100000;

// Record tags (docs/recording.md).
constexpr uint8_t TagShortRun = 0x80;  // 0x80 + n - 1: a run of n = 1..128 readings in one byte
constexpr uint8_t TagRun = 'r', TagMessage = 'm', TagCounter = 'c', TagNoCounter = 'C', TagFrequency = 'h',
                  TagKey = 'k', TagRandom = 'n', TagFrame = 'f', TagCheckpoint = 's', TagEnd = 'e';

// The answer each reading is expected to give, so that only surprises are written: no message,
// the counter where it was, a key as it was.
struct Prediction {
  uint64_t counter = 0;
  uint64_t step = 0;  // the last step the counter made; a counter record holds how far the next differs
  bool counterOk = true;
  uint16_t keys[256] = {};
};

uint64_t zigzag(int64_t v) { return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63); }
int64_t unzigzag(uint64_t v) { return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1); }

void putVarint(std::string& out, uint64_t v) {
  while (v >= 0x80) {
    out += static_cast<char>((v & 0x7F) | 0x80);
    v >>= 7;
  }
  out += static_cast<char>(v);
}
void putDouble(std::string& out, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  for (int i = 0; i < 8; ++i) out += static_cast<char>(bits >> (8 * i));
}
void putBytes(std::string& out, const std::string& bytes) {
  putVarint(out, bytes.size());
  out += bytes;
}

void putState(std::string& out, const RecState& s) {
  for (uint32_t v : {s.mode, s.playerState, s.playerFrame, s.column, s.row, s.lives, s.score}) putVarint(out, v);
  for (double d : {s.x, s.y, s.energy}) putDouble(out, d);
  for (uint32_t v : {s.events, s.artifacts, s.inventory}) putVarint(out, v);
  putVarint(out, s.objects.size());
  for (const RecObject& o : s.objects) {
    putVarint(out, o.id);
    putDouble(out, o.x);
    putDouble(out, o.y);
    putVarint(out, o.frame);
    putVarint(out, o.rest);
  }
}

// Reads within [pos, end); any read past the end or out of range clears ok and gives 0.
struct Cursor {
  const uint8_t* data;
  size_t pos;
  size_t end;
  bool ok = true;

  uint8_t byte() {
    if (pos >= end) return ok = false, 0;
    return data[pos++];
  }
  uint64_t varint(uint64_t max = UINT64_MAX) {
    uint64_t v = 0;
    for (int shift = 0; shift < 64 && ok; shift += 7) {
      const uint8_t b = byte();
      v |= static_cast<uint64_t>(b & 0x7F) << shift;
      if (!(b & 0x80)) {
        if (v > max) ok = false;
        return ok ? v : 0;
      }
    }
    return ok = false, 0;
  }
  uint32_t u32() { return static_cast<uint32_t>(varint(UINT32_MAX)); }
  double f64() {
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<uint64_t>(byte()) << (8 * i);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
  }
  std::string bytes() {
    const uint64_t n = varint(kMaxField);
    if (!ok || n > end - pos) return ok = false, std::string();
    std::string s(reinterpret_cast<const char*>(data + pos), n);
    pos += n;
    return s;
  }
};

bool getState(Cursor& in, RecState* s) {
  for (uint32_t* v : {&s->mode, &s->playerState, &s->playerFrame, &s->column, &s->row, &s->lives, &s->score})
    *v = in.u32();
  for (double* d : {&s->x, &s->y, &s->energy}) *d = in.f64();
  for (uint32_t* v : {&s->events, &s->artifacts, &s->inventory}) *v = in.u32();
  const uint64_t count = in.varint(kMaxObjects);
  s->objects.clear();
  for (uint64_t i = 0; i < count && in.ok; ++i) {
    RecObject o;
    o.id = in.u32();
    o.x = in.f64();
    o.y = in.f64();
    o.frame = in.u32();
    o.rest = in.u32();
    s->objects.push_back(o);
  }
  return in.ok;
}

struct Record {
  uint8_t tag = 0;
  uint64_t a = 0, b = 0, c = 0;
  int64_t d = 0;
  RecState state;
};

// One record; false when it is unknown or runs past the end (a torn record).
bool getRecord(Cursor& in, Record* r) {
  r->tag = in.byte();
  if (r->tag >= TagShortRun) {
    r->a = r->tag - TagShortRun + 1u;
    r->tag = TagRun;
    return in.ok;
  }
  switch (r->tag) {
    case TagRun:
      r->a = in.varint();
      return in.ok && r->a > 0;
    case TagMessage:
      r->a = in.varint();
      r->b = in.u32();
      r->c = in.varint();
      r->d = unzigzag(in.varint());
      return in.ok;
    case TagCounter:
      r->d = unzigzag(in.varint());
      return in.ok;
    case TagFrequency:
      r->a = in.byte();
      r->b = in.varint();
      return in.ok && r->a <= 1;
    case TagKey:
      r->a = in.byte();
      r->b = in.varint(0xFFFF);
      return in.ok;
    case TagRandom:
      r->a = in.u32();
      return in.ok;
    case TagNoCounter:
    case TagFrame:
      return in.ok;
    case TagCheckpoint:
      return getState(in, &r->state);
    case TagEnd:
      r->a = in.byte();
      return in.ok && (r->a == RecEndClosed || r->a == RecEndFinished);
    default:
      return false;
  }
}

// ---- the writer ----

struct Writer {
  std::FILE* out = nullptr;
  std::string pending;
  uint64_t run = 0;
  Prediction predicted;
  uint64_t frame = 0;
} writer;

void (*stateReader)(RecState*) = nullptr;

void writeRun() {
  if (writer.run == 0) return;
  if (writer.run <= 128) {
    writer.pending += static_cast<char>(TagShortRun + writer.run - 1);
  } else {
    writer.pending += static_cast<char>(TagRun);
    putVarint(writer.pending, writer.run);
  }
  writer.run = 0;
}

// A counter reading: a record holds how far it is from one more step like the last.
void counterRead(Prediction& p, uint64_t value) {
  if (value != p.counter) p.step = value - p.counter;
  p.counter = value;
}

// An answer the prediction saw coming costs only a count; anything else is a record.
void writeReading(bool expected, const std::string& record) {
  if (!writer.out) return;
  if (expected) {
    writer.run += 1;
    return;
  }
  writeRun();
  writer.pending += record;
  if (writer.pending.size() > (64u << 10)) RecFlushNow();
}

// ---- the replay ----

struct Replay {
  bool active = false;
  const RecFile* file = nullptr;
  Cursor in{nullptr, 0, 0};
  uint64_t run = 0;
  Prediction predicted;
  uint64_t frame = 0;
  uint64_t frequency = 0;
  bool counterSeen = false;
  uint64_t firstCounter = 0;
  RecReplayHandler handler = nullptr;
  bool wentLive = false;  // the counter goes on from the last replayed reading
  bool offsetSet = false;
  uint64_t counterOffset = 0;
} replay;

void (*pace)(double) = nullptr;

std::string seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", s);
  return text;
}

std::string desyncPrefix(uint64_t frame) {
  return "desync at frame " + std::to_string(frame) + " (t = " + seconds(RecReplaySeconds()) + " s): ";
}

// Stop feeding and tell the host; a host that returns has the devices answer from now on.
void stopReplay(RecReplayEvent event, const std::string& text) {
  RecGoLive();
  if (replay.handler) replay.handler(event, text);
}

const char* tagName(uint8_t tag) {
  switch (tag) {
    case TagMessage: return "a message";
    case TagCounter: case TagNoCounter: return "a counter reading";
    case TagFrequency: return "the counter frequency";
    case TagKey: return "a key state";
    case TagRandom: return "a random number";
    case TagFrame: return "the end of a frame";
    case TagCheckpoint: return "a checkpoint";
    case TagEnd: return "the end of the session";
    default: return "a reading";
  }
}

enum class Fed { Predicted, Record, Live };

// The next answer for a reading of kind tag (TagCounter stands for both counter records).
Fed feed(uint8_t tag, Record* r) {
  if (!replay.active) return Fed::Live;
  if (replay.run > 0) {
    replay.run -= 1;
    return Fed::Predicted;
  }
  if (replay.in.pos >= replay.file->recordsEnd) {
    stopReplay(RecReplayEvent::Ended, "");
    return Fed::Live;
  }
  const size_t at = replay.in.pos;
  getRecord(replay.in, r);  // checked whole when loaded
  if (r->tag == TagRun) {
    replay.run = r->a - 1;
    return Fed::Predicted;
  }
  if (r->tag == tag || (tag == TagCounter && r->tag == TagNoCounter)) return Fed::Record;
  replay.in.pos = at;
  stopReplay(RecReplayEvent::Desync, desyncPrefix(replay.frame + 1) + "the game asked for " + tagName(tag) +
                                         " where the recording has " + tagName(r->tag));
  return Fed::Live;
}

}  // namespace

uint64_t RecHash(const void* data, size_t size, uint64_t seed) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  uint64_t h = seed;
  for (size_t i = 0; i < size; ++i) {
    h ^= p[i];
    h *= 0x100000001b3ull;
  }
  return h;
}

std::string RecHex(uint64_t value) {
  char text[20];
  std::snprintf(text, sizeof text, "%016" PRIx64, value);
  return text;
}

std::string RecKeyListText(const KeyList& keys) {
  std::string text;
  for (const KeyListEntry* e : {&keys.up, &keys.down, &keys.left, &keys.right, &keys.a, &keys.b, &keys.c, &keys.start})
    text += (text.empty() ? "" : ",") + std::to_string(e->vkCode);
  return text;
}

// ---- recording ----

bool RecStart(const std::string& path, const RecHeader& header, std::string* problem) {
  RecStop(RecEndClosed);
  std::FILE* out = OpenUtf8(path, "wb");
  if (!out) {
    *problem = "cannot write recording " + path;
    return false;
  }
  writer = Writer{};
  writer.out = out;
  writer.pending.assign(kMagic, sizeof kMagic);
  putVarint(writer.pending, kRecFormatVersion);
  putVarint(writer.pending, header.size());
  for (const auto& [name, value] : header) {
    putBytes(writer.pending, name);
    putBytes(writer.pending, value);
  }
  RecFlushNow();
  return true;
}

void RecStop(RecEnd end) {
  if (!writer.out) return;
  writeRun();
  writer.pending += static_cast<char>(TagEnd);
  writer.pending += static_cast<char>(end);
  RecFlushNow();
  std::fclose(writer.out);
  writer.out = nullptr;
}

bool RecRecording() { return writer.out != nullptr; }

void RecFlushNow() {
  if (!writer.out || writer.pending.empty()) return;
  std::fwrite(writer.pending.data(), 1, writer.pending.size(), writer.out);
  std::fflush(writer.out);
  writer.pending.clear();
}

void RecSetStateReader(void (*reader)(RecState* state)) { stateReader = reader; }

void RecFrame() {
  RecState state;
  const bool checkpoint = (std::max(writer.frame, replay.frame) + 1) % kRecCheckpointFrames == 0;
  if (checkpoint && stateReader) stateReader(&state);
  if (replay.active) {
    Record r;
    const uint64_t frame = replay.frame + 1;
    if (replay.run > 0 || replay.in.pos >= replay.file->recordsEnd || !getRecord(replay.in, &r) ||
        r.tag != TagFrame) {
      if (replay.in.pos >= replay.file->recordsEnd && replay.run == 0 && r.tag == 0)
        stopReplay(RecReplayEvent::Ended, "");
      else
        stopReplay(RecReplayEvent::Desync, desyncPrefix(frame) + "the game ended a frame where the recording has " +
                                               (replay.run > 0 ? "more readings" : tagName(r.tag)));
    } else {
      replay.frame = frame;
      if (checkpoint && stateReader) {
        const size_t at = replay.in.pos;
        if (!getRecord(replay.in, &r) || r.tag != TagCheckpoint) {
          replay.in.pos = at;
        } else if (const std::string diff = RecCompare(r.state, state); !diff.empty()) {
          stopReplay(RecReplayEvent::Desync, desyncPrefix(frame) + diff);
        }
      }
    }
  }
  if (!writer.out) return;
  writer.frame += 1;
  writeRun();
  writer.pending += static_cast<char>(TagFrame);
  if (checkpoint && stateReader) {
    writer.pending += static_cast<char>(TagCheckpoint);
    putState(writer.pending, state);
  }
  RecFlushNow();
}

// ---- the readings ----

bool RecPeek(Message* message, bool remove, bool (*device)(Message*, bool)) {
  Record r;
  bool got = false;
  switch (feed(TagMessage, &r)) {
    case Fed::Predicted:
      break;
    case Fed::Record:
      *message = Message{static_cast<WindowHandle>(r.a), static_cast<uint32_t>(r.b), static_cast<uintptr_t>(r.c),
                         static_cast<intptr_t>(r.d)};
      got = true;
      break;
    case Fed::Live:
      got = device(message, remove);
      break;
  }
  std::string record;
  if (got && writer.out) {
    record += static_cast<char>(TagMessage);
    putVarint(record, static_cast<uint64_t>(message->window));
    putVarint(record, message->message);
    putVarint(record, static_cast<uint64_t>(message->wParam));
    putVarint(record, zigzag(static_cast<int64_t>(message->lParam)));
  }
  writeReading(!got, record);
  return got;
}

bool RecCounterValue(uint64_t* count, bool (*device)(uint64_t*)) {
  Record r;
  bool ok = true;
  switch (feed(TagCounter, &r)) {
    case Fed::Predicted:
      ok = replay.predicted.counterOk;
      *count = replay.predicted.counter;
      break;
    case Fed::Record:
      ok = r.tag == TagCounter;
      *count = ok ? replay.predicted.counter + replay.predicted.step + static_cast<uint64_t>(r.d) : 0;
      break;
    case Fed::Live:
      ok = device(count);
      if (ok && replay.wentLive) {
        // Live again after a replay: the counter goes on from the last replayed reading.
        if (!replay.offsetSet) replay.counterOffset = replay.predicted.counter + 1 - *count;
        replay.offsetSet = true;
        *count += replay.counterOffset;
      }
      break;
  }
  if (replay.active) {
    replay.predicted.counterOk = ok;
    if (ok) {
      counterRead(replay.predicted, *count);
      if (!replay.counterSeen) replay.firstCounter = *count;
      replay.counterSeen = true;
      if (pace) pace(RecReplaySeconds());
    }
  }
  if (!ok) *count = 0;
  const bool expected = ok == writer.predicted.counterOk && (!ok || *count == writer.predicted.counter);
  std::string record;
  if (!expected && writer.out) {
    record += static_cast<char>(ok ? TagCounter : TagNoCounter);
    if (ok) putVarint(record, zigzag(static_cast<int64_t>(*count - writer.predicted.counter - writer.predicted.step)));
  }
  writer.predicted.counterOk = ok;
  if (ok) counterRead(writer.predicted, *count);
  writeReading(expected, record);
  return ok;
}

bool RecCounterFrequency(uint64_t* frequency, bool (*device)(uint64_t*)) {
  Record r;
  bool ok;
  if (feed(TagFrequency, &r) == Fed::Record) {
    ok = r.a == 1;
    *frequency = r.b;
  } else {
    ok = device(frequency);
  }
  if (ok && replay.active) replay.frequency = *frequency;
  std::string record(1, static_cast<char>(TagFrequency));
  record += static_cast<char>(ok ? 1 : 0);
  putVarint(record, ok ? *frequency : 0);
  writeReading(false, record);
  return ok;
}

uint32_t RecRandom(uint32_t (*device)()) {
  Record r;
  const uint32_t value = feed(TagRandom, &r) == Fed::Record ? static_cast<uint32_t>(r.a) : device();
  std::string record(1, static_cast<char>(TagRandom));
  putVarint(record, value);
  writeReading(false, record);
  return value;
}

uint16_t RecKeyState(uint32_t virtualKey, uint16_t (*device)(uint32_t)) {
  Record r;
  const uint8_t key = static_cast<uint8_t>(virtualKey);
  uint16_t state = 0;
  if (virtualKey > 255) return device(virtualKey);  // names no key: never down, nothing to keep
  switch (feed(TagKey, &r)) {
    case Fed::Predicted:
      state = replay.predicted.keys[key];
      break;
    case Fed::Record:
      if (r.a != key) {
        stopReplay(RecReplayEvent::Desync, desyncPrefix(replay.frame + 1) + "the game read key " +
                                               std::to_string(key) + " where the recording has key " +
                                               std::to_string(r.a));
        return device(virtualKey);
      }
      state = static_cast<uint16_t>(r.b);
      break;
    case Fed::Live:
      state = device(virtualKey);
      break;
  }
  if (replay.active) replay.predicted.keys[key] = state;
  const bool expected = state == writer.predicted.keys[key];
  writer.predicted.keys[key] = state;
  std::string record;
  if (!expected && writer.out) {
    record += static_cast<char>(TagKey);
    record += static_cast<char>(key);
    putVarint(record, state);
  }
  writeReading(expected, record);
  return state;
}

void RecSleep(uint32_t ms, void (*device)(uint32_t)) {
  if (replay.active) return;
  // The game waits (a dialog box, a pause) without running frames: what it read so far goes out now.
  RecFlushNow();
  device(ms);
}

// ---- replaying ----

bool RecLoad(const std::string& path, RecFile* file, std::string* problem) {
  std::FILE* in = OpenUtf8(path, "rb");
  if (!in) {
    *problem = path + ": cannot be read";
    return false;
  }
  std::vector<uint8_t> bytes;
  uint8_t block[1 << 16];
  for (size_t n; (n = std::fread(block, 1, sizeof block, in)) > 0;) bytes.insert(bytes.end(), block, block + n);
  const bool failed = std::ferror(in) != 0;
  std::fclose(in);
  if (failed) {
    *problem = path + ": cannot be read";
    return false;
  }
  return RecParse(std::move(bytes), path, file, problem);
}

bool RecParse(std::vector<uint8_t> bytes, const std::string& name, RecFile* file, std::string* problem) {
  *file = RecFile{};
  file->bytes = std::move(bytes);
  Cursor in{file->bytes.data(), 0, file->bytes.size()};
  if (file->bytes.size() < sizeof kMagic || std::memcmp(file->bytes.data(), kMagic, sizeof kMagic) != 0) {
    *problem = name + ": not a Zelvo recording";
    return false;
  }
  in.pos = sizeof kMagic;
  file->version = in.u32();
  if (in.ok && (file->version == 0 || file->version > kRecFormatVersion)) {
    *problem = name + ": recording format " + std::to_string(file->version) + " is newer than this program reads (" +
               std::to_string(kRecFormatVersion) + ")";
    return false;
  }
  const uint64_t fields = in.varint(kMaxFields);
  for (uint64_t i = 0; i < fields && in.ok; ++i) {
    std::string key = in.bytes();
    file->header[key] = in.bytes();
  }
  if (!in.ok) {
    *problem = name + ": the header is cut short or damaged";
    return false;
  }
  file->recordsStart = file->recordsEnd = in.pos;
  Record r;
  while (in.pos < in.end) {
    if (!getRecord(in, &r)) {
      if (in.ok) {  // a whole record of no known kind: damage, not a cut
        *problem = name + ": damaged record at byte " + std::to_string(file->recordsEnd);
        return false;
      }
      file->torn = true;
      break;
    }
    if (file->ended) {
      *problem = name + ": records after the end record at byte " + std::to_string(file->recordsEnd);
      return false;
    }
    file->recordsEnd = in.pos;
    if (r.tag == TagFrame) file->frames += 1;
    if (r.tag == TagCheckpoint) {
      file->hasCheckpoint = true;
      file->lastCheckpoint = std::move(r.state);
    }
    if (r.tag == TagEnd) {
      file->ended = true;
      file->end = static_cast<RecEnd>(r.a);
    }
  }
  return true;
}

void RecReplay(const RecFile& file, RecReplayHandler handler) {
  replay = Replay{};
  replay.active = true;
  replay.file = &file;
  replay.in = Cursor{file.bytes.data(), file.recordsStart, file.recordsEnd};
  replay.handler = handler;
}

bool RecReplaying() { return replay.active; }

void RecGoLive() {
  if (!replay.active) return;
  replay.active = false;
  replay.wentLive = true;
}

uint64_t RecReplayFrame() { return replay.frame; }

double RecReplaySeconds() {
  if (!replay.counterSeen || replay.frequency == 0) return 0.0;
  return static_cast<double>(replay.predicted.counter - replay.firstCounter) / static_cast<double>(replay.frequency);
}

std::string RecReplayFinish() {
  if (!replay.active) return "";
  Record r;
  Cursor in = replay.in;
  const bool atEnd = replay.run == 0 && (in.pos >= replay.file->recordsEnd || (getRecord(in, &r) && r.tag == TagEnd));
  RecGoLive();
  if (atEnd) return "";
  return desyncPrefix(replay.frame) + "the game ended where the recording goes on";
}

void RecSetPace(void (*callback)(double seconds)) { pace = callback; }

std::string RecCompare(const RecState& expected, const RecState& found) {
  std::string out;
  auto differs = [&](const char* what, const std::string& e, const std::string& f) {
    if (e == f) return;
    out += (out.empty() ? "" : "; ") + std::string(what) + " expected " + e + ", found " + f;
  };
  auto num = [](double d) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", d);
    return std::string(text);
  };
  auto pos = [&](double x, double y) { return "(" + num(x) + ", " + num(y) + ")"; };
  differs("mode", std::to_string(expected.mode), std::to_string(found.mode));
  differs("player state", std::to_string(expected.playerState), std::to_string(found.playerState));
  differs("player position", pos(expected.x, expected.y), pos(found.x, found.y));
  differs("player frame", std::to_string(expected.playerFrame), std::to_string(found.playerFrame));
  differs("screen", std::to_string(expected.column) + "," + std::to_string(expected.row),
          std::to_string(found.column) + "," + std::to_string(found.row));
  differs("lives", std::to_string(expected.lives), std::to_string(found.lives));
  differs("energy", num(expected.energy), num(found.energy));
  differs("score", std::to_string(expected.score), std::to_string(found.score));
  differs("armed events", RecHex(expected.events), RecHex(found.events));
  differs("artifacts", RecHex(expected.artifacts), RecHex(found.artifacts));
  differs("inventory", RecHex(expected.inventory), RecHex(found.inventory));
  differs("live objects", std::to_string(expected.objects.size()), std::to_string(found.objects.size()));
  if (expected.objects.size() == found.objects.size()) {
    for (size_t i = 0; i < expected.objects.size(); ++i) {
      const RecObject& e = expected.objects[i];
      const RecObject& f = found.objects[i];
      if (e == f) continue;
      auto text = [&](const RecObject& o) {
        return "sprite " + std::to_string(o.id) + " at " + pos(o.x, o.y) + " frame " + std::to_string(o.frame) +
               (o.rest == (&o == &e ? f.rest : e.rest) ? "" : " (other state " + RecHex(o.rest).substr(8) + ")");
      };
      differs(("object " + std::to_string(i + 1)).c_str(), text(e), text(f));
      break;  // the first object that differs
    }
  }
  return out;
}
