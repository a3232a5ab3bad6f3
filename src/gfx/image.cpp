// image.cpp -- run-length pictures into the back buffer, save buffers, lookups and the game frame.
#include "gfx/image.h"

#include <algorithm>
#include <cstdint>

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
  const int64_t backPixels = backBufferPixels();
  do {
    if (next >= words) return;
    if (layout::read16(data + 2 * next) != 0) {
      // This pixel and those straight after it in the data, as far as the row, the walk and the
      // data go: stored as one copy, less what falls outside the back buffer.
      const uint32_t room = count < limit ? limit - count : 1;
      const uint32_t run = bytes::nonzeroWords(data + 2 * next, std::min({words - next, width - column + 1, room}));
      const int64_t first = std::clamp<int64_t>(-destination, 0, run);
      const int64_t end = std::clamp<int64_t>(backPixels - destination, 0, run);
      if (first < end) {
        bytes::readWords(display.backBuffer + destination + first, data + 2 * (next + first),
                         static_cast<uint32_t>(end - first));
      }
      next += run;
      destination += run;
      column += run;
      count = static_cast<uint16_t>(count + run);
    } else {
      ++next;
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

// Row r of a width-wide area at (x, y) in the back buffer: where its elements start, and how many
// of them exist there (a run from the start). False when x + width passes 32 bits, where the
// elements are not one run and go one by one.
static bool backRow(uint32_t x, uint32_t y, uint32_t r, uint32_t width, uint64_t* start, uint32_t* existing) {
  if (x > UINT32_MAX - width) return false;
  *start = x + static_cast<uint64_t>(kBackStride) * (y + r);
  const uint64_t pixels = backBufferPixels();
  *existing = *start < pixels ? static_cast<uint32_t>(std::min<uint64_t>(width, pixels - *start)) : 0;
  return true;
}

int drawImage(uint32_t x, uint32_t y, const ImageRecord& image) {
  if (image.saveBuffer && image.height != 0) {
    uint16_t* save = image.saveBuffer;
    for (uint32_t r = 0; r < image.height; ++r, save += image.width) {
      uint64_t start = 0;
      uint32_t existing = 0;
      if (!backRow(x, y, r, image.width, &start, &existing)) {
        for (uint32_t c = 0; c < image.width; ++c)
          save[c] = loadBack(x + c + static_cast<uint64_t>(kBackStride) * (y + r));
        continue;
      }
      // What lies beyond the back buffer is saved as 0.
      std::copy_n(display.backBuffer + start, existing, save);
      std::fill(save + existing, save + image.width, uint16_t{0});
    }
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
  for (uint32_t r = 0; r < image.height; ++r, save += image.width) {
    uint64_t start = 0;
    uint32_t existing = 0;
    if (!backRow(x, y, r, image.width, &start, &existing)) {
      for (uint32_t c = 0; c < image.width; ++c)
        storeBack(x + c + static_cast<uint64_t>(kBackStride) * (y + r), save[c]);
      continue;
    }
    std::copy_n(save, existing, display.backBuffer + start);
  }
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
