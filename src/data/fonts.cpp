// fonts.cpp -- fonts.dat: fixed-width bitmap fonts, one glyph sheet of 16-bit pixels each.
#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::map<uint32_t, FontRecord> fontTable;

namespace {

// TxtInit empties fontTable without knowing about the sheets; they are freed at exit.
datafile::BufferPool<uint16_t> sheetPool;

struct Loaded {
  FontRecord font;
  std::unique_ptr<uint16_t[]> sheet;
};

// A short sheet is kept: the renderer draws cells beyond sheetPixels blank, so the rest of the
// font stays usable. Saying so in the log is enough.
void checkSheet(uint32_t entry, const FontRecord& font) {
  using namespace layout::font;
  const uint64_t needed = static_cast<uint64_t>(kCellsAcross) * kCellRows * font.glyphWidth * font.glyphHeight;
  if (font.sheetPixels >= needed) return;
  datafile::reportBad(layout::kFontsFile,
                      "index entry %u (font %u): the glyph sheet holds %u pixels, fewer than the %llu of codes 32 "
                      "to 127; missing cells are drawn blank",
                      entry, font.id, font.sheetPixels, static_cast<unsigned long long>(needed));
}

}  // namespace

void unloadFonts() {
  fontTable.clear();
  sheetPool.freeAll();
}

LoadResult loadFonts() {
  using namespace layout::font;
  datafile::SeekReader reader(layout::kFontsFile);
  if (LoadResult result = reader.open(); result != LoadOk) return result;
  std::map<uint32_t, Loaded> loaded;
  LoadResult result = reader.forEachRecord(kHeaderSize, [&](uint32_t entry, const uint8_t* header, uint32_t size) {
    Loaded record;
    FontRecord& font = record.font;
    font.id = layout::read32(header + kId);
    font.glyphWidth = layout::read16(header + kGlyphWidth);
    font.glyphHeight = layout::read16(header + kGlyphHeight);
    // As for images, memory the file cannot be loaded without is its out-of-memory failure.
    // The little-endian byte pairs of the file become pixels.
    if (!datafile::allocate((static_cast<uint64_t>(size) + 1) / 2, record.sheet)) return LoadOutOfMemory;
    const uint8_t* bytes = reader.block(entry, font.id, "glyph sheet", size);
    if (!bytes) return LoadReadFailed;
    font.sheetPixels = size / 2;  // an odd last byte is half a pixel and is left out
    for (uint32_t i = 0; i < font.sheetPixels; ++i) record.sheet[i] = layout::read16(bytes + 2 * i);
    font.glyphSheet = record.sheet.get();
    checkSheet(entry, font);
    loaded.try_emplace(font.id, std::move(record));
    return LoadOk;
  });
  if (result != LoadOk) return result;
  for (auto& [id, record] : loaded) {
    if (fontTable.try_emplace(id, record.font).second) sheetPool.keep(std::move(record.sheet));
  }
  LogWrite("\nLoaded %d fonts.", static_cast<int>(reader.count()));
  return LoadOk;
}
