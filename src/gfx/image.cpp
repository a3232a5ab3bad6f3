// image.cpp -- run-length pictures into the back buffer, save buffers, lookups and the game frame.
#include "gfx/image.h"

#include "data/layout.h"
#include "gfx/display.h"
#include "gfx/primitives.h"

bool getImage(uint32_t id, ImageRecord* out) {
  auto found = imageTable.find(id);
  if (found == imageTable.end()) return false;
  *out = found->second;
  return true;
}

bool getSprite(uint32_t id, Sprite* out) {
  auto found = spriteTable.find(id);
  if (found == spriteTable.end() || !(found->second.flags & SpriteEnabled)) return false;
  *out = found->second;
  return true;
}

// The run-length decoder: size bytes of words walk the width x height positions in row order and
// stop one position short of the last. Decoding also stops where the data ends, so short data
// leaves the rest of the picture as it was.
static void decodeRunLength(uint32_t x, uint32_t y, uint32_t width, uint32_t height, const uint8_t* data,
                            uint32_t size) {
  // A picture without positions draws nothing (the words would otherwise wrap every pixel to a new row).
  if (width == 0 || height == 0 || !data) return;
  const uint32_t words = size / 2;
  uint32_t next = 0;
  uint16_t count = 0;  // 16 bits as the format counts; past 65,536 positions only the data's end stops the walk
  uint32_t column = 1;
  // Signed, so a picture wider than a back-buffer row steps back at each row's end; anything
  // before the buffer's start turns into a huge index that storeBack ignores.
  int64_t destination = x + static_cast<int64_t>(kBackStride) * y;
  const int64_t nextRow = static_cast<int64_t>(kBackStride) - width;
  const uint16_t limit = static_cast<uint16_t>(width * height - 1);
  do {
    if (next >= words) return;
    const uint16_t word = layout::read16(data + 2 * next++);
    if (word != 0) {
      storeBack(static_cast<uint64_t>(destination), word);
      destination += 1;
      column += 1;
      count += 1;
    } else {
      if (next >= words) return;
      const uint16_t skip = layout::read16(data + 2 * next++);
      count += skip;
      destination += static_cast<int64_t>(skip / width) * kBackStride + skip % width;
      column += skip % width;
      if (column > width) {  // the columns carried past the right edge: on along the next row
        column -= width;
        destination += nextRow;
      }
    }
    if (column > width) {
      column = 1;
      destination += nextRow;
    }
  } while (count < limit);
}

int drawImage(uint32_t x, uint32_t y, const ImageRecord& image) {
  if (image.saveBuffer && image.height != 0) {
    uint16_t* save = image.saveBuffer;
    for (uint32_t r = 0; r < image.height; ++r)
      for (uint32_t c = 0; c < image.width; ++c) *save++ = loadBack(x + c + static_cast<uint64_t>(kBackStride) * (y + r));
  }
  addDirtyRect(x, y, image.width, image.height);
  decodeRunLength(x, y, image.width, image.height, image.pixelData, image.pixelDataSize);
  return 0;
}

int drawRunLength(uint32_t x, uint32_t y, uint32_t width, uint32_t height, const uint8_t* data, uint32_t size) {
  addDirtyRect(x, y, width, height);
  decodeRunLength(x, y, width, height, data, size);
  return 0;
}

bool restoreImage(uint32_t x, uint32_t y, const ImageRecord& image) {
  if (!image.saveBuffer) return false;
  addDirtyRect(x, y, image.width, image.height);
  const uint16_t* save = image.saveBuffer;
  for (uint32_t r = 0; r < image.height; ++r)
    for (uint32_t c = 0; c < image.width; ++c) storeBack(x + c + static_cast<uint64_t>(kBackStride) * (y + r), *save++);
  return true;
}

void drawImageById(uint32_t id, uint32_t x, uint32_t y) {
  ImageRecord image;
  if (getImage(id, &image)) drawImage(x, y, image);
}

void drawGameFrame() {
  fillRect(15, 25, 225, 215, 200, 200, 255);
  addDirtyRect(0, 0, kViewSize, kViewSize);
  ImageRecord piece;
  if (getImage(1, &piece)) {
    drawImage(0, 25, piece);
    drawImage(225, 25, piece);
  }
  if (getImage(2, &piece)) {
    drawImage(0, 0, piece);
    drawImage(0, 214, piece);
  }
}
