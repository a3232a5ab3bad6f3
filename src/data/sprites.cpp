// sprites.cpp -- sprites.dat: sprite templates with their frames decoded once, at load time.
#include "data/sprites.h"

#include <algorithm>
#include <cstring>

#include "data/datafile.h"
#include "data/loaders.h"
#include "platform/system.h"
#include "services/log.h"

std::map<uint32_t, Sprite> spriteTable;
std::list<Sprite> objectList;

namespace {

// Every template buffer the loader made (the file's bytes, which hold the frame data, and the decoded
// pixels); a reload frees them all, and so does the end of the program.
datafile::BufferPool<uint8_t> frameDataPool;
datafile::BufferPool<uint16_t> pixelPool;

// Kinds 0..6 have a layer; any other kind is treated as plain scenery: drawn and animated, but
// never solid, never a hazard and never mistaken for the player.
constexpr uint8_t kUnknownKindLayer = layout::kKindLayer[static_cast<uint8_t>(layout::SpriteKind::Scenery)];

struct Built {
  Sprite sprite;
  std::unique_ptr<uint16_t[]> pixels;
};

// Fields straight from the 49-byte header, the random start included.
void fillTemplate(const uint8_t* header, Sprite& s) {
  using namespace layout::sprite;
  s = Sprite{};
  s.id = layout::read32(header + kId);
  s.kind = header[kKind];
  s.frameCount = header[kFrameCount];
  s.animRate = header[kAnimRate];
  s.reservedB = header[kReservedB];
  s.width = header[kWidth];
  s.height = header[kHeight];
  s.reservedC = header[kReservedC];
  s.motion = header[kMotion];
  s.moveRate = header[kMoveRate];
  s.firstFrame = 1;
  s.lastFrame = s.frameCount;
  s.frame = 1;
  s.flags = s.frameCount > 1 ? SpriteEnabled | SpriteAnimated : SpriteEnabled;
  if (s.motion & kMotionRandomStart) {
    s.animRate = static_cast<uint8_t>((SysRandom() + 1) & 3);
    // Both numbers are drawn even without frames, so the sprites after this one start as they
    // would have; with no frame to choose, frame stays 1.
    const uint32_t pick = SysRandom();
    if (s.frameCount > 0) s.frame = static_cast<uint8_t>(pick % s.frameCount + 1);
  }
  s.layer = s.kind < layout::kKindCount ? layout::kKindLayer[s.kind] : kUnknownKindLayer;
}

void reportFrameFault(uint32_t entry, const Sprite& s, const FrameFault& fault) {
  switch (fault.kind) {
    case FrameFault::TableCutShort:
      datafile::reportBad(layout::kSpritesFile,
                          "index entry %u (sprite %u): the table of %u frame offsets is longer than its %u bytes of "
                          "frame data",
                          entry, s.id, s.frameCount, s.frameDataSize);
      break;
    case FrameFault::StartsOutside:
      datafile::reportBad(layout::kSpritesFile,
                          "index entry %u (sprite %u): frame %u starts past the end of its frame data (%u bytes)", entry,
                          s.id, fault.frame, s.frameDataSize);
      break;
    case FrameFault::RunsOff:
      datafile::reportBad(layout::kSpritesFile,
                          "index entry %u (sprite %u): frame %u runs past the end of its frame data (%u bytes)", entry,
                          s.id, fault.frame, s.frameDataSize);
      break;
    case FrameFault::None:
      break;
  }
}

// What came of one record: kept, left out (the file still loads), or a file to refuse.
enum class Outcome { Kept, LeftOut, Refused };

Outcome buildTemplate(const datafile::WholeFile& file, const uint8_t* index, uint32_t count, uint32_t entry,
                      Built* built) {
  const char* name = layout::kSpritesFile;
  const uint64_t start = datafile::recordStart(index, count, entry);
  if (!datafile::checkHeader(name, entry, start, layout::sprite::kHeaderSize, file.size)) return Outcome::Refused;
  const uint8_t* header = file.bytes.get() + start;
  const uint32_t size = datafile::recordSize(index, entry);
  if (!datafile::fits(start + layout::sprite::kHeaderSize, size, file.size)) {
    datafile::reportBad(name, "index entry %u (sprite %u): its %u bytes of frame data run past the end of the file",
                        entry, layout::read32(header), size);
    return Outcome::Refused;
  }
  Sprite& s = built->sprite;
  fillTemplate(header, s);
  if (s.kind >= layout::kKindCount) {
    datafile::reportBad(name, "index entry %u (sprite %u): kind %u is unknown; it goes on the scenery layer", entry,
                        s.id, s.kind);
  }
  // Nothing of a sprite without pixel positions can be drawn or touched, so it never becomes a
  // template. It is dropped after its random draws, which keeps the later sprites' starts.
  if (s.width == 0 || s.height == 0) {
    datafile::reportBad(name, "index entry %u (sprite %u): it is %d x %d pixels; left out", entry, s.id, s.width,
                        s.height);
    return Outcome::LeftOut;
  }
  const uint64_t pixelCount = static_cast<uint64_t>(s.frameCount) * s.width * s.height;
  if (!datafile::allocate(pixelCount, built->pixels)) {
    datafile::reportBad(name, "index entry %u (sprite %u): out of memory for its frames; left out", entry, s.id);
    return Outcome::LeftOut;
  }
  // The frame data stays where it was read: the file's bytes are kept as long as the templates.
  s.frameData = size ? file.bytes.get() + start + layout::sprite::kHeaderSize : nullptr;
  s.frameDataSize = size;
  s.pixels = built->pixels.get();
  // Frame data that points outside itself refuses the file; decoding never reads beyond it.
  FrameFault fault = decodeFrames(s);
  if (fault.kind != FrameFault::None) {
    reportFrameFault(entry, s, fault);
    return Outcome::Refused;
  }
  return Outcome::Kept;
}

}  // namespace

FrameFault decodeFrames(Sprite& s) {
  const uint8_t* data = s.frameData;
  const uint64_t size = data ? s.frameDataSize : 0;
  const uint32_t frames = s.frameCount;
  const uint32_t area = s.width > 0 && s.height > 0 ? static_cast<uint32_t>(s.width) * static_cast<uint32_t>(s.height) : 0;
  // A sprite without pixel positions, or without frames, has nothing to decode.
  if (area == 0 || frames == 0 || !s.pixels) {
    s.pixelsReady = 1;
    return {};
  }
  const uint64_t table = static_cast<uint64_t>(frames) * layout::sprite::kFrameOffsetSize;
  if (table > size) return {FrameFault::TableCutShort, 0};
  for (uint32_t f = 0; f < frames; ++f) {
    if (!datafile::fits(table + layout::read32(data + 4 * f), 2, size)) return {FrameFault::StartsOutside, f + 1};
  }
  std::fill(s.pixels, s.pixels + static_cast<uint64_t>(frames) * area, uint16_t{0});
  // The bottom-right position is never written: decoding stops once p reaches area - 1.
  const uint32_t last = area - 1;
  for (uint32_t f = 0; f < frames; ++f) {
    uint64_t at = table + layout::read32(data + 4 * f);
    uint16_t* out = s.pixels + static_cast<uint64_t>(f) * area;
    uint16_t p = 0;  // 16 bits, as on the handheld: a huge skip wraps round inside the frame
    do {
      if (!datafile::fits(at, 2, size)) return {FrameFault::RunsOff, f + 1};
      if (layout::read16(data + at) != 0) {
        // This pixel and those straight after it, up to a 0 word, the last position or the data's
        // end (p < area: 0 on the first pass, below last after it).
        const uint64_t room = std::min<uint64_t>(p < last ? last - p : 1, (size - at) / 2);
        const uint32_t copied = bytes::nonzeroWords(data + at, static_cast<uint32_t>(room));
        bytes::readWords(out + p, data + at, copied);
        p = static_cast<uint16_t>(p + copied);
        at += 2 * static_cast<uint64_t>(copied);
        continue;
      }
      at += 2;
      if (!datafile::fits(at, 2, size)) return {FrameFault::RunsOff, f + 1};
      const uint16_t skip = layout::read16(data + at);
      at += 2;
      if (skip == 0) break;  // 0, 0 ends the frame; the rest stays transparent
      p = static_cast<uint16_t>(p + skip);
    } while (p < last);
  }
  s.pixelsReady = 1;
  return {};
}

void unloadSprites() {
  // Live objects borrow the templates' buffers, which are about to go.
  objectList.clear();
  spriteTable.clear();
  frameDataPool.freeAll();
  pixelPool.freeAll();
}

LoadResult loadSprites() {
  unloadSprites();
  datafile::WholeFile file;
  if (LoadResult result = datafile::readWholeFile(layout::kSpritesFile, 0, &file); result != LoadOk) return result;
  uint32_t count = 0;
  if (!datafile::checkIndex(layout::kSpritesFile, file.bytes.get(), file.size, &count)) return LoadReadFailed;
  const uint8_t* index = file.bytes.get() + layout::index::kCountSize;
  // Templates enter spriteTable only when the whole file is good.
  std::map<uint32_t, Built> built;
  for (uint32_t entry = 0; entry < count; ++entry) {
    Built one;
    switch (buildTemplate(file, index, count, entry, &one)) {
      case Outcome::Refused:
        return LoadReadFailed;
      case Outcome::LeftOut:
        break;
      case Outcome::Kept:
        // A repeated id keeps its first template; the later one's buffers go with `one`.
        built.try_emplace(one.sprite.id, std::move(one));
        break;
    }
  }
  for (auto& [id, one] : built) {
    pixelPool.keep(std::move(one.pixels));
    spriteTable.emplace(id, one.sprite);
  }
  if (!built.empty()) frameDataPool.keep(std::move(file.bytes));
  LogWrite("\nLoaded %d sprites.", static_cast<int>(count));
  return LoadOk;
}
