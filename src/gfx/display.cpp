// display.cpp -- display start-up and shutdown, the back buffer, the dirty list and the copies to the screen.
#include "gfx/display.h"

#include <algorithm>
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

// A rectangle of the view copied to the screen, row by row. What reaches the screen is exactly
// what a pixel-by-pixel copy would put there: a pixel is copied when its back-buffer element
// exists and its screen position lies on the screen, and each row's copyable pixels are a run
// from its left end (the buffer's end and the screen's right edge cut only from the right).
// Where the screen's rows lie end to end like the back buffer's, neighbouring rows go in one copy.
static void copyRect(uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
  const uint64_t backPixels = backBufferPixels();
  const uint32_t sx = x + display.viewOffsetX;
  if (width == 0 || sx >= display.displayWidth) return;
  const uint64_t onScreen = std::min<uint64_t>(width, display.displayWidth - sx);
  const int32_t xPitch = display.xPitch, yPitch = display.yPitch;
  uint8_t* runTo = nullptr;  // a pending run of whole rows for one copy
  const uint16_t* runFrom = nullptr;
  size_t runBytes = 0;
  for (uint32_t r = 0; r < height; ++r) {
    const uint32_t sy = y + r + display.viewOffsetY;
    const uint64_t index = x + static_cast<uint64_t>(kBackStride) * (y + r);
    if (sy >= display.displayHeight || index >= backPixels) break;  // so are all rows below
    const uint64_t count = std::min<uint64_t>(onScreen, backPixels - index);
    uint8_t* to = display.frameBuffer + static_cast<intptr_t>(sx) * xPitch + static_cast<intptr_t>(sy) * yPitch;
    const uint16_t* from = display.backBuffer + index;
    if (xPitch != 2) {
      for (uint64_t c = 0; c < count; ++c, to += xPitch) std::memcpy(to, from + c, 2);
      continue;
    }
    if (runBytes && to == runTo + runBytes && from == runFrom + runBytes / 2) {
      runBytes += count * 2;
      continue;
    }
    if (runBytes) std::memcpy(runTo, runFrom, runBytes);
    runTo = to, runFrom = from, runBytes = count * 2;
  }
  if (runBytes) std::memcpy(runTo, runFrom, runBytes);
}

int presentAll() {
  if (!beginPass()) return GfxNoFrameBuffer;
  copyRect(0, 0, kViewSize, kViewSize);
  dirtyList.clear();
  endPass();
  if (watch::afterPresented) watch::afterPresented();
  return GfxOk;
}

int presentDirty() {
  if (!beginPass()) return GfxNoFrameBuffer;
  for (const DirtyRect& rect : dirtyList) copyRect(rect.x, rect.y, rect.width, rect.height);
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
  const uint32_t width = display.displayWidth;
  for (uint32_t y = 0; y < display.displayHeight; ++y) {
    uint8_t* row = display.frameBuffer + static_cast<intptr_t>(y) * display.yPitch;
    if (display.xPitch == 2) {
      std::memset(row, 0, size_t{width} * 2);
    } else {
      for (uint32_t x = 0; x < width; ++x, row += display.xPitch) std::memset(row, 0, 2);
    }
  }
  endPass();
  return GfxOk;
}
