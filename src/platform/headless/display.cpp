// display.cpp -- the headless device's frame buffer, its display library and screenshots.
#include <algorithm>
#include <cstring>

#include "platform/common/picture.h"
#include "platform/display.h"
#include "platform/headless/internal.h"

namespace headless {

namespace {

struct FrameBuffer {
  std::vector<uint16_t> memory;
  uint8_t* origin = nullptr;  // address of pixel (0, 0)
  int32_t xPitch = 0;
  int32_t yPitch = 0;
  int beginDraws = 0;
  int endDraws = 0;
  int failBeginDraws = 0;
  bool suspended = false;
};
FrameBuffer fb;

uint8_t* pixelAddress(int32_t x, int32_t y) {
  return fb.origin + static_cast<intptr_t>(x) * fb.xPitch + static_cast<intptr_t>(y) * fb.yPitch;
}

bool rawQueryAnswers() {
  DisplayPath path = device.config.display;
  return path == DisplayPath::Raw565 || path == DisplayPath::RawOther;
}

}  // namespace

void ResetDisplay() {
  fb = FrameBuffer{};
  const int32_t w = std::max(device.config.screenWidth, 0);
  const int32_t h = std::max(device.config.screenHeight, 0);
  fb.memory.assign(static_cast<size_t>(w) * h + 1, 0);
  auto* base = reinterpret_cast<uint8_t*>(fb.memory.data());
  // Every layout addresses logical pixel (X, Y) at origin + X * xPitch + Y * yPitch.
  switch (device.config.layout) {
    case Layout::Normal:
      fb.origin = base, fb.xPitch = 2, fb.yPitch = 2 * w;
      break;
    case Layout::Rotated180:
      fb.origin = base + (static_cast<size_t>(w) * h - 1) * 2, fb.xPitch = -2, fb.yPitch = -2 * w;
      break;
    case Layout::Rotated90:  // memory rows run down the screen's height
      fb.origin = base + static_cast<size_t>(w - 1) * h * 2, fb.xPitch = -2 * h, fb.yPitch = 2;
      break;
    case Layout::Rotated270:
      fb.origin = base + static_cast<size_t>(h - 1) * 2, fb.xPitch = 2 * h, fb.yPitch = -2;
      break;
    case Layout::Mirrored:
      fb.origin = base + static_cast<size_t>(w - 1) * 2, fb.xPitch = -2, fb.yPitch = 2 * w;
      break;
  }
  if (w == 0 || h == 0) fb.origin = base;
}

void FailBeginDraw(int count) { fb.failBeginDraws = count; }
int BeginDrawCount() { return fb.beginDraws; }
int EndDrawCount() { return fb.endDraws; }

std::vector<uint16_t> ScreenPixels() {
  std::vector<uint16_t> pixels;
  const int32_t w = device.config.screenWidth, h = device.config.screenHeight;
  pixels.reserve(static_cast<size_t>(std::max(w, 0)) * std::max(h, 0));
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) pixels.push_back(ScreenPixel(x, y));
  return pixels;
}

uint16_t ScreenPixel(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= device.config.screenWidth || y >= device.config.screenHeight) return 0;
  uint16_t value;
  std::memcpy(&value, pixelAddress(x, y), 2);
  return value;
}

bool SaveScreenshot(const std::string& path) {
  return WritePixelsPng(path, device.config.screenWidth, device.config.screenHeight, ScreenPixels(),
                        device.config.display == DisplayPath::Gapi555);
}

}  // namespace headless

using headless::device;
using headless::fb;

bool DispQueryRawFrameBuffer(WindowHandle window, RawFrameBufferInfo* info) {
  if (!WinIsWindow(window) || !headless::rawQueryAnswers()) return false;
  info->wFormat = device.config.display == headless::DisplayPath::Raw565 ? FORMAT_565 : 2;
  info->wBPP = static_cast<uint16_t>(device.config.bitsPerPixel);
  info->pFramePointer = fb.origin;
  info->cxStride = fb.xPitch;
  info->cyStride = fb.yPitch;
  info->cxPixels = device.config.screenWidth;
  info->cyPixels = device.config.screenHeight;
  return true;
}

int DispOpenInput() { return 1; }
int DispOpenDisplay(WindowHandle, uint32_t) { return 1; }
int DispCloseInput() { return 1; }
int DispCloseDisplay() { return 1; }

DisplayProperties DispGetProperties() {
  DisplayProperties props;
  props.cxWidth = static_cast<uint32_t>(device.config.screenWidth);
  props.cyHeight = static_cast<uint32_t>(device.config.screenHeight);
  props.cbxPitch = fb.xPitch;
  props.cbyPitch = fb.yPitch;
  props.cBPP = static_cast<int32_t>(device.config.bitsPerPixel);
  constexpr uint32_t kfDirect = 0x20;
  switch (device.config.display) {
    case headless::DisplayPath::Gapi555:
      props.ffFormat = kfDirect | kfDirect555;
      break;
    case headless::DisplayPath::None:
      props.ffFormat = kfDirect;
      break;
    default:
      props.ffFormat = kfDirect | kfDirect565;
      break;
  }
  return props;
}

int DispIsDRAMBuffer() { return device.config.display == headless::DisplayPath::Dram ? 1 : 0; }

void* DispBeginDraw() {
  if (fb.failBeginDraws > 0) {
    --fb.failBeginDraws;
    return nullptr;
  }
  ++fb.beginDraws;
  return fb.origin;
}

int DispEndDraw() {
  ++fb.endDraws;
  return 1;
}

int DispSuspend() {
  fb.suspended = true;
  return 1;
}

int DispResume() {
  fb.suspended = false;
  return 1;
}

KeyList DispGetDefaultKeys(int) { return device.config.defaultKeys; }
