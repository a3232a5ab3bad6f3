// primitives.cpp -- single pixels and filled rectangles in the back buffer.
#include "gfx/primitives.h"

#include <algorithm>

#include "gfx/display.h"

static uint64_t elementOf(uint32_t x, uint32_t y) { return x + static_cast<uint64_t>(kBackStride) * y; }

void putPixel(uint32_t x, uint32_t y, uint16_t pixel) { storeBack(elementOf(x, y), pixel); }

uint16_t putPixelRgb(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b) {
  uint16_t pixel = rgbToPixel(r, g, b);
  storeBack(elementOf(x, y), pixel);
  return pixel;
}

// Row by row, each clipped to the back buffer once; the colour is the same for every pixel.
void fillRect(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t r, uint8_t g, uint8_t b) {
  if (x0 >= x1) return;
  const uint16_t pixel = rgbToPixel(r, g, b);
  const uint64_t pixels = backBufferPixels();
  for (uint32_t y = y0; y < y1; ++y) {
    const uint64_t start = elementOf(x0, y);
    if (start >= pixels) break;  // so do the rows below
    std::fill_n(display.backBuffer + start, std::min<uint64_t>(x1 - x0, pixels - start), pixel);
  }
}
