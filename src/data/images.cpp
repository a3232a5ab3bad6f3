// images.cpp -- images.dat: the fixed pictures, kept in their run-length form.
#include "data/datafile.h"
#include "data/loaders.h"
#include "services/log.h"

std::map<uint32_t, ImageRecord> imageTable;

namespace {

// Pixel words and save buffers live until exit, whatever happens to imageTable.
datafile::BufferPool<uint8_t> pixelPool;
datafile::BufferPool<uint16_t> savePool;

struct Loaded {
  ImageRecord image;
  std::unique_ptr<uint8_t[]> pixels;
  std::unique_ptr<uint16_t[]> save;
};

}  // namespace

void unloadImages() {
  imageTable.clear();
  pixelPool.freeAll();
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
    // Memory the file cannot be loaded without is the file's out-of-memory failure.
    if (!datafile::allocate(size, record.pixels)) return LoadOutOfMemory;
    if (LoadResult read = reader.block(entry, image.id, "pixel data", record.pixels.get(), size); read != LoadOk) {
      return read;
    }
    image.pixelData = record.pixels.get();
    image.pixelDataSize = size;
    // A 0 x n image with a save buffer gets an empty one, which is null.
    if (image.saveUnder == 1 && !datafile::allocate(static_cast<uint64_t>(image.width) * image.height, record.save)) {
      return LoadOutOfMemory;
    }
    image.saveBuffer = record.save.get();
    loaded.try_emplace(image.id, std::move(record));
    return LoadOk;
  });
  if (result != LoadOk) return result;
  for (auto& [id, record] : loaded) {
    // An id already in the table (from an earlier load) keeps its first record.
    if (!imageTable.try_emplace(id, record.image).second) continue;
    pixelPool.keep(std::move(record.pixels));
    savePool.keep(std::move(record.save));
  }
  LogWrite("\nLoaded %d images.", static_cast<int>(reader.count()));
  return LoadOk;
}
