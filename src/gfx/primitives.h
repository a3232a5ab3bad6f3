// primitives.h -- pixels and filled rectangles in the back buffer (view coordinates, no dirty marking).
#pragma once

#include <cstdint>

// Store a 16-bit pixel at view (x, y).
void putPixel(uint32_t x, uint32_t y, uint16_t pixel);

// Store the (r, g, b) colour at view (x, y) and return the stored pixel.
uint16_t putPixelRgb(uint32_t x, uint32_t y, uint8_t r, uint8_t g, uint8_t b);

// Fill x0 <= x < x1, y0 <= y < y1 with the (r, g, b) colour.
void fillRect(uint16_t x0, uint16_t y0, uint16_t x1, uint16_t y1, uint8_t r, uint8_t g, uint8_t b);
