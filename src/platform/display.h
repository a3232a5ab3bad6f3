// display.h -- the frame buffer: raw access, the game display library and its key list.
#pragma once

#include <cstdint>

#include "platform/window.h"

// Reply of the raw frame-buffer query.
struct RawFrameBufferInfo {
  uint16_t wFormat = 0;  // 1 = 5-6-5 pixels
  uint16_t wBPP = 0;
  void* pFramePointer = nullptr;  // address of pixel (0, 0)
  int32_t cxStride = 0;           // bytes from a pixel to its right-hand neighbour
  int32_t cyStride = 0;           // bytes from a pixel to the one below
  int32_t cxPixels = 0;
  int32_t cyPixels = 0;
};
constexpr uint16_t FORMAT_565 = 1;

// The display library's description of the frame buffer.
struct DisplayProperties {
  uint32_t cxWidth = 0;
  uint32_t cyHeight = 0;
  int32_t cbxPitch = 0;
  int32_t cbyPitch = 0;
  int32_t cBPP = 0;
  uint32_t ffFormat = 0;
};
constexpr uint32_t kfDirect555 = 0x40;
constexpr uint32_t kfDirect565 = 0x80;

// The device's default hardware keys, in the order up, down, left, right, A, B, C, Start.
struct KeyListEntry {
  int16_t vkCode = 0;  // 0 = the device has no such key
  int32_t x = 0;       // where the key sits on the screen's edge (not used by the game)
  int32_t y = 0;
};
struct KeyList {
  KeyListEntry up, down, left, right, a, b, c, start;
};
constexpr int KEYS_NORMAL = 2;  // portrait orientation

// Display start-up: the raw frame buffer of the window's screen. False when the device offers
// none (no device context, or the query is not supported).
bool DispQueryRawFrameBuffer(WindowHandle window, RawFrameBufferInfo* info);

// Display start-up and shutdown: open and close the display library's input and display.
int DispOpenInput();
int DispOpenDisplay(WindowHandle window, uint32_t flags);  // flags 1 = full screen
int DispCloseInput();
int DispCloseDisplay();

// Display start-up: the display library's frame-buffer properties.
DisplayProperties DispGetProperties();

// Display start-up: nonzero when the display is a DRAM buffer the game cannot drive.
int DispIsDRAMBuffer();

// Every pass over the frame buffer in display-library mode: the address of pixel (0, 0), or
// null when the display cannot be had now. Each successful begin is closed by DispEndDraw.
void* DispBeginDraw();
int DispEndDraw();

// Window procedure: hand the display back when focus is lost, take it again when regained.
int DispSuspend();
int DispResume();

// Start-up: the device's default hardware keys.
KeyList DispGetDefaultKeys(int orientation);
