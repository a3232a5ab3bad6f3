// status.cpp -- the player's standing: lives at the top right, energy below it, score at the bottom.
#include "inventory/status.h"

#include <cstdio>

#include "gfx/display.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "world/objects.h"

static void drawStatusLine(const char* text, uint32_t x, uint32_t y) {
  selectFont(1);
  setTextColor(1);  // black; 0 would mean the glyphs' own colours
  setTextBackground(0x7F4F);
  drawText(text, x, y, 1);
}

void drawLives() {
  char text[32];
  std::snprintf(text, sizeof text, "Lives: %d", lives);
  drawStatusLine(text, 168, 1);
}

void drawScore() {
  char text[32];
  std::snprintf(text, sizeof text, "Score: %04d", static_cast<int>(score));
  drawStatusLine(text, 160, 220);
}

void drawEnergyBar() {
  const int32_t e = static_cast<int32_t>(energy);
  fillRect(170, 12, static_cast<uint16_t>(170 + e), 22, 50, 255, 50);
  if (energy != 50.0) fillRect(static_cast<uint16_t>(170 + e), 12, 220, 22, 255, 0, 0);
  for (uint32_t x = 169; x <= 220; ++x) {
    putPixelRgb(x, 11, 200, 100, 100);
    putPixelRgb(x, 22, 200, 100, 100);
  }
  for (uint32_t y = 11; y <= 22; ++y) {
    putPixelRgb(169, y, 200, 100, 100);
    putPixelRgb(220, y, 200, 100, 100);
  }
  addDirtyRect(169, 11, 52, 12);
}
