// display.h -- the device screen: display start-up, the back buffer, the dirty list and presents.
#pragma once

#include <cstdint>
#include <list>

// Status codes of the display operations.
constexpr int GfxOk = 0;
constexpr int GfxNoWindow = 6;
constexpr int GfxNoMemory = 7;
constexpr int GfxNotSupported = 8;
constexpr int GfxNoFrameBuffer = 11;

constexpr uint32_t kViewSize = 240;   // the view is the top 240 x 240 pixels of the back buffer
constexpr uint32_t kBackStride = 240;  // back-buffer row length in pixels, whatever the display

struct Display {
  uint32_t displayWidth = 0;
  uint32_t displayHeight = 0;
  int32_t xPitch = 0;  // bytes to the right-hand neighbour
  int32_t yPitch = 0;  // bytes to the pixel below
  uint32_t bitsPerPixel = 0;
  uint8_t* frameBuffer = nullptr;  // pixel (0, 0)
  bool useGapiDraw = false;        // every pass is bracketed by begin/end draw
  bool gfxReady = false;
  uint32_t viewOffsetX = 0;  // screen position of the view's top-left pixel
  uint32_t viewOffsetY = 0;
  uint16_t (*rgbToPixel)(uint8_t r, uint8_t g, uint8_t b) = nullptr;
  uint16_t* backBuffer = nullptr;
  uint32_t backBufferSize = 0;  // bytes
};
extern Display display;

// A rectangle of the view waiting to be copied to the display.
struct DirtyRect {
  uint16_t x;
  uint16_t y;
  uint16_t width;
  uint16_t height;
  friend bool operator==(const DirtyRect&, const DirtyRect&) = default;
};
extern std::list<DirtyRect> dirtyList;

int GfxInit();
int GfxUninit();
uint16_t rgbTo565(uint8_t r, uint8_t g, uint8_t b);
uint16_t rgbTo555(uint8_t r, uint8_t g, uint8_t b);
uint16_t rgbToPixel(uint8_t r, uint8_t g, uint8_t b);  // the conversion chosen by GfxInit
void addDirtyRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height);
int presentDirty();
int presentAll();
void clearBackBuffer(int present);
int clearDisplay();

// Back-buffer element access for the drawing code. Elements past the buffer are never written and
// read as 0, so a stray coordinate costs a pixel, not memory.
inline uint32_t backBufferPixels() { return display.backBuffer ? display.backBufferSize / 2 : 0; }
inline void storeBack(uint64_t index, uint16_t pixel) {
  if (index < backBufferPixels()) display.backBuffer[index] = pixel;
}
inline uint16_t loadBack(uint64_t index) { return index < backBufferPixels() ? display.backBuffer[index] : 0; }
