// images.cpp -- images.dat: the fixed pictures, kept in their run-length form where the file was read.
#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::map<uint32_t, ImageRecord> imageTable;

namespace {

// The files' bytes, which hold the pixel words, and the save buffers live until exit, whatever
// happens to imageTable.
datafile::BufferPool<uint8_t> filePool;
datafile::BufferPool<uint16_t> savePool;

struct Loaded {
  ImageRecord image;
  std::unique_ptr<uint16_t[]> save;
};

}  // namespace

void unloadImages() {
  imageTable.clear();
  filePool.freeAll();
  savePool.freeAll();
}

LoadResult loadImages() {
  using namespace layout::image;
  datafile::SeekReader reader(layout::kImagesFile);
  if (LoadResult result = reader.open(); result != LoadOk) return result;
  // Records are gathered first and enter imageTable only when the whole file is good.
  std::map<uint32_t, Loaded> loaded;
  LoadResult result = reader.forEachRecord(kHeaderSize, [&](uint32_t entry, const uint8_t* header, uint32_t size) {
    Loaded record;
    ImageRecord& image = record.image;
    image.id = layout::read32(header + kId);
    image.saveUnder = header[kSaveUnder];
    image.reserved = header[kReserved];
    image.width = layout::read16(header + kWidth);
    image.height = layout::read16(header + kHeight);
    // The pixel words stay where they lie in the file's bytes.
    const uint8_t* pixels = reader.block(entry, image.id, "pixel data", size);
    if (!pixels) return LoadReadFailed;
    image.pixelData = size ? pixels : nullptr;
    image.pixelDataSize = size;
    // Memory the file cannot be loaded without is the file's out-of-memory failure. A 0 x n image
    // with a save buffer gets an empty one, which is null.
    if (image.saveUnder == 1 && !datafile::allocate(static_cast<uint64_t>(image.width) * image.height, record.save)) {
      return LoadOutOfMemory;
    }
    image.saveBuffer = record.save.get();
    loaded.try_emplace(image.id, std::move(record));
    return LoadOk;
  });
  if (result != LoadOk) return result;
  bool kept = false;
  for (auto& [id, record] : loaded) {
    // An id already in the table (from an earlier load) keeps its first record.
    if (!imageTable.try_emplace(id, record.image).second) continue;
    savePool.keep(std::move(record.save));
    kept = true;
  }
  if (kept) filePool.keep(reader.takeBytes());
  LogWrite("\nLoaded %d images.", static_cast<int>(reader.count()));
  return LoadOk;
}
