// text.h -- bitmap-font text: the current font and colours, and drawing a line.
#pragma once

#include <cstdint>

extern uint32_t currentFont;
extern uint16_t textColor;       // 0 = each glyph's own colours
extern uint16_t textBackground;  // 0 = transparent

// Start-up, before the data files load: empty the font table. Returns 0.
int TxtInit();

// Each returns the previous value.
uint32_t selectFont(uint32_t id);
uint16_t setTextColor(uint16_t pixel);
uint16_t setTextBackground(uint16_t pixel);

// Draw text (at most 1023 characters) with its first glyph's top-left at view (x, y); mark it
// dirty when dirtyFlag is nonzero. Returns the width drawn, 0 when the current font is missing.
uint32_t drawText(const char* text, uint32_t x, uint32_t y, uint8_t dirtyFlag);

// One glyph cell from source (rows 32 x glyphWidth pixels apart), used by drawText.
void drawGlyph(uint32_t x, uint32_t y, const uint16_t* source, uint32_t glyphWidth, uint32_t glyphHeight,
               uint16_t background, uint16_t color);
