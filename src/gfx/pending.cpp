// pending.cpp -- the display until the graphics subsystem lands: everything succeeds and does nothing.
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"

Display display;
std::list<DirtyRect> dirtyList;

int GfxInit() { return GfxOk; }
int GfxUninit() { return GfxOk; }
uint16_t rgbTo565(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}
uint16_t rgbTo555(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
}
uint16_t rgbToPixel(uint8_t r, uint8_t g, uint8_t b) { return rgbTo565(r, g, b); }
void addDirtyRect(uint32_t, uint32_t, uint32_t, uint32_t) {}
int presentDirty() { return GfxOk; }
int presentAll() { return GfxOk; }
void clearBackBuffer(int) {}
int clearDisplay() { return GfxOk; }

bool getImage(uint32_t, ImageRecord*) { return false; }
int drawImage(uint32_t, uint32_t, const ImageRecord&) { return 0; }

int TxtInit() { return 0; }
