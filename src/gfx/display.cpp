// display.cpp -- display start-up and shutdown, the back buffer, the dirty list and the copies to the screen.
#include "gfx/display.h"

#include <cstring>
#include <new>

#include "platform/display.h"
#include "platform/system.h"
#include "services/app.h"
#include "services/log.h"
#include "services/watch.h"

Display display;
std::list<DirtyRect> dirtyList;

uint16_t rgbTo565(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}

uint16_t rgbTo555(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r & 0xF8) << 7) | ((g & 0xF8) << 2) | (b >> 3));
}

uint16_t rgbToPixel(uint8_t r, uint8_t g, uint8_t b) {
  return display.rgbToPixel ? display.rgbToPixel(r, g, b) : rgbTo565(r, g, b);
}

static void refuse() { SysMessageBox("This device is not supported.", "Error", MB_OK); }

// The raw frame-buffer query; only a 5-6-5 answer is usable.
static bool probeRaw() {
  RawFrameBufferInfo info;
  if (!DispQueryRawFrameBuffer(mainWindow, &info) || info.wFormat != FORMAT_565) return false;
  display.displayWidth = static_cast<uint32_t>(info.cxPixels);
  display.displayHeight = static_cast<uint32_t>(info.cyPixels);
  display.xPitch = info.cxStride;
  display.yPitch = info.cyStride;
  display.bitsPerPixel = info.wBPP;
  display.frameBuffer = static_cast<uint8_t*>(info.pFramePointer);
  display.rgbToPixel = rgbTo565;
  return true;
}

// The display library's properties; the fields are kept even when the display is refused.
static bool probeGapi() {
  DisplayProperties props = DispGetProperties();
  display.displayWidth = props.cxWidth;
  display.displayHeight = props.cyHeight;
  display.xPitch = props.cbxPitch;
  display.yPitch = props.cbyPitch;
  display.bitsPerPixel = static_cast<uint32_t>(props.cBPP);
  bool usable = true;
  if (props.ffFormat & kfDirect565) {
    display.rgbToPixel = rgbTo565;
  } else if (props.ffFormat & kfDirect555) {
    display.rgbToPixel = rgbTo555;
  } else {
    LogWrite("\nDisplay with BPP %d and GAPI ffFormat %d not supported", props.cBPP, static_cast<int>(props.ffFormat));
    usable = false;
  }
  if (DispIsDRAMBuffer()) {
    LogWrite("\nDevice is not QVGA");
    usable = false;
  }
  return usable;
}

int GfxInit() {
  display.gfxReady = false;
  display.useGapiDraw = false;
  LogWrite("GfxInit");
  if (!WinIsWindow(mainWindow)) return GfxNoWindow;

  DispOpenInput();
  DispOpenDisplay(mainWindow, 1);

  if (!probeRaw()) {
    if (!probeGapi()) {
      refuse();
      LogWrite("Display not supported(1)");
      return GfxNotSupported;
    }
    display.useGapiDraw = true;
  }

  if (display.displayWidth < kViewSize || display.displayHeight < kViewSize) {
    refuse();
    LogWrite("Display not supported(2)");
    return GfxNotSupported;
  }

  const int32_t screenWidth = WinScreenWidth();
  const int32_t screenHeight = WinScreenHeight();
  LogWrite("\nDevice: [%dx%dx%d][%dx%d] (%d,%d), GAPI: %s", static_cast<int>(display.displayWidth),
           static_cast<int>(display.displayHeight), static_cast<int>(display.bitsPerPixel), screenWidth, screenHeight,
           display.xPitch, display.yPitch, display.useGapiDraw ? "yes" : "no");

  if (display.bitsPerPixel != 16) {
    LogWrite("Display not supported(4)");
    refuse();
    return GfxNotSupported;
  }

  // A size that does not fit the 32-bit byte count is treated like a failed allocation.
  const uint64_t bytes = static_cast<uint64_t>(display.displayHeight) * display.displayWidth * 2;
  delete[] display.backBuffer;
  display.backBuffer = nullptr;
  display.backBufferSize = 0;
  if (bytes <= 0xFFFFFFFFu) {
    // Zeroed, though nothing may rely on it: the headless device's pictures stay the same run to run.
    display.backBuffer = new (std::nothrow) uint16_t[bytes / 2]();
    if (display.backBuffer) display.backBufferSize = static_cast<uint32_t>(bytes);
  }

  display.viewOffsetX = 0;
  display.viewOffsetY = 0;
  if (screenWidth > static_cast<int32_t>(kViewSize)) display.viewOffsetX = (screenWidth - kViewSize) / 2;
  if (screenHeight > static_cast<int32_t>(kViewSize)) display.viewOffsetY = (screenHeight - kViewSize) / 2;

  if (!display.backBuffer) return GfxNoMemory;

  clearDisplay();
  display.gfxReady = true;
  return GfxOk;
}

int GfxUninit() {
  LogWrite("GfxUninit");
  if (display.useGapiDraw) DispEndDraw();
  DispCloseInput();
  DispCloseDisplay();
  delete[] display.backBuffer;
  display.backBuffer = nullptr;
  display.backBufferSize = 0;
  return GfxOk;
}

void addDirtyRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
  dirtyList.push_back(DirtyRect{static_cast<uint16_t>(x), static_cast<uint16_t>(y), static_cast<uint16_t>(width),
                                static_cast<uint16_t>(height)});
}

// Open a pass over the frame buffer; false when the display library gives none.
static bool beginPass() {
  if (!display.useGapiDraw) return display.frameBuffer != nullptr;
  display.frameBuffer = static_cast<uint8_t*>(DispBeginDraw());
  return display.frameBuffer != nullptr;
}

static void endPass() {
  if (display.useGapiDraw) DispEndDraw();
}

// One 16-bit store through the pitches; pixels beyond the frame buffer's size are never written.
static void storeScreen(uint32_t sx, uint32_t sy, uint16_t pixel) {
  if (sx >= display.displayWidth || sy >= display.displayHeight) return;
  uint8_t* at =
      display.frameBuffer + static_cast<intptr_t>(sx) * display.xPitch + static_cast<intptr_t>(sy) * display.yPitch;
  std::memcpy(at, &pixel, sizeof pixel);
}

// Copy back-buffer element (vx + 240 * vy) to its place on the screen, if the back buffer has it.
static void copyToScreen(uint32_t vx, uint32_t vy) {
  const uint64_t index = vx + static_cast<uint64_t>(kBackStride) * vy;
  if (index < backBufferPixels())
    storeScreen(vx + display.viewOffsetX, vy + display.viewOffsetY, display.backBuffer[index]);
}

int presentAll() {
  if (!beginPass()) return GfxNoFrameBuffer;
  for (uint32_t y = 0; y < kViewSize; ++y)
    for (uint32_t x = 0; x < kViewSize; ++x) copyToScreen(x, y);
  dirtyList.clear();
  endPass();
  if (watch::afterPresented) watch::afterPresented();
  return GfxOk;
}

int presentDirty() {
  if (!beginPass()) return GfxNoFrameBuffer;
  for (const DirtyRect& rect : dirtyList)
    for (uint32_t r = 0; r < rect.height; ++r)
      for (uint32_t c = 0; c < rect.width; ++c) copyToScreen(rect.x + c, rect.y + r);
  endPass();
  dirtyList.clear();
  if (watch::afterPresented) watch::afterPresented();
  return GfxOk;
}

void clearBackBuffer(int present) {
  if (display.backBuffer) std::memset(display.backBuffer, 0, display.backBufferSize);
  if (present) presentAll();
}

int clearDisplay() {
  if (!beginPass()) return GfxNoFrameBuffer;
  for (uint32_t y = 0; y < display.displayHeight; ++y)
    for (uint32_t x = 0; x < display.displayWidth; ++x) storeScreen(x, y, 0);
  endPass();
  return GfxOk;
}
