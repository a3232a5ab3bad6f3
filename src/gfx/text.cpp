// text.cpp -- bitmap-font text: the font table's current font, the two text colours, glyph cells.
#include "gfx/text.h"

#include <cstdint>
#include <cstring>

#include "data/tables.h"
#include "gfx/display.h"
#include "gfx/primitives.h"

uint32_t currentFont = 0;
uint16_t textColor = 0;
uint16_t textBackground = 0;

int TxtInit() {
  fontTable.clear();
  return 0;
}

uint32_t selectFont(uint32_t id) {
  uint32_t previous = currentFont;
  currentFont = id;
  return previous;
}

uint16_t setTextColor(uint16_t pixel) {
  uint16_t previous = textColor;
  textColor = pixel;
  return previous;
}

uint16_t setTextBackground(uint16_t pixel) {
  uint16_t previous = textBackground;
  textBackground = pixel;
  return previous;
}

// One cell whose source may hold only `available` pixels: what lies beyond is drawn as background,
// so a short glyph sheet is never read past its end.
static void drawCell(uint32_t x, uint32_t y, const uint16_t* source, uint64_t available, uint32_t glyphWidth,
                     uint32_t glyphHeight, uint16_t background, uint16_t color) {
  const uint64_t sheetRow = 32 * static_cast<uint64_t>(glyphWidth);
  for (uint32_t r = 0; r < glyphHeight; ++r) {
    for (uint32_t c = 0; c < glyphWidth; ++c) {
      const uint64_t at = r * sheetRow + c;
      const uint16_t p = at < available ? source[at] : 0;
      if (p != 0) {
        putPixel(x + c, y + r, color != 0 ? color : p);
      } else if (background != 0) {
        putPixel(x + c, y + r, background);
      }
    }
  }
}

void drawGlyph(uint32_t x, uint32_t y, const uint16_t* source, uint32_t glyphWidth, uint32_t glyphHeight,
               uint16_t background, uint16_t color) {
  drawCell(x, y, source, UINT64_MAX, glyphWidth, glyphHeight, background, color);
}

uint32_t drawText(const char* text, uint32_t x, uint32_t y, uint8_t dirtyFlag) {
  auto found = fontTable.find(currentFont);
  if (found == fontTable.end()) return 0;
  const FontRecord& font = found->second;

  // The working copy holds 1023 characters and its terminator; longer text is cut there.
  char work[1024];
  std::strncpy(work, text ? text : "", sizeof work - 1);
  work[sizeof work - 1] = '\0';
  const size_t length = std::strlen(work);

  const uint32_t x0 = x;
  const uint32_t sheetPixels = font.glyphSheet ? font.sheetPixels : 0;
  for (size_t i = 0; i < length; ++i) {
    const int c = static_cast<signed char>(work[i]);
    // Bytes outside 32..127 (negative as signed bytes) have no cell: a blank one, background only.
    uint64_t start = 0, available = 0;
    if (c >= 32) {
      start = static_cast<uint64_t>(c / 32 - 1) * font.glyphHeight * 32 * font.glyphWidth +
              static_cast<uint64_t>(c % 32) * font.glyphWidth;
      available = start < sheetPixels ? sheetPixels - start : 0;
    }
    drawCell(x, y, available ? font.glyphSheet + start : nullptr, available, font.glyphWidth, font.glyphHeight,
             textBackground, textColor);
    x += font.glyphWidth;
  }
  if (dirtyFlag) addDirtyRect(x0, y, x - x0, font.glyphHeight);
  return x - x0;
}
