// view.h -- where the emulated screen sits in the desktop window, and other small pure rules of the desktop device.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/common/picture.h"

namespace desktop {

// The emulated screen (or the part of it shown) drawn into a window: pixel-exact integer scale,
// centred, black bars around.
struct ViewLayout {
  int scale = 1;
  int x = 0;  // window position of the shown part's top-left pixel (negative when the window is too small)
  int y = 0;
  int width = 0;  // shown width * scale
  int height = 0;
  int left = 0;  // the screen pixel at that window position: where the shown part begins
  int top = 0;
};

// A rectangle of the emulated screen, in its pixels.
struct ScreenArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// The square the game draws into: 240x240 in the middle of a larger screen (rows 40 to 279 of the
// handheld's 240x320), as the game places its view; the rest of the screen stays black.
ScreenArea GameSquare(int screenWidth, int screenHeight);

// The area placed in a window of the given size at the largest integer scale that fits.
ViewLayout LayoutArea(int windowWidth, int windowHeight, const ScreenArea& area);

// The largest integer scale at which a screen fits an area (at least 1).
int FitScale(int areaWidth, int areaHeight, int screenWidth, int screenHeight);

// The screen placed in a window of the given size at the largest integer scale that fits.
ViewLayout LayoutScreen(int windowWidth, int windowHeight, int screenWidth, int screenHeight);

// The device pixel under a window point, scale and bars undone. False on the bars (outside the screen).
bool WindowToDevice(const ViewLayout& layout, int windowX, int windowY, int* deviceX, int* deviceY);

// The window point at the middle of a device pixel: where a test clicks to touch that pixel.
void DeviceToWindow(const ViewLayout& layout, int deviceX, int deviceY, int* windowX, int* windowY);

// The game's volume 0..64 on the mixer's 0..128 (larger values are full volume).
int MixerVolume(uint32_t gameVolume);

// File name of the n-th screenshot: "zelvo-shot-001.png".
std::string ScreenshotName(int number);

// A 5-6-5 pixel as 8-bit red, green and blue, as screenshots store it.
inline std::array<uint8_t, 3> Expand565(uint16_t pixel) { return ExpandPixel(pixel, false); }

// "240x320" as a width and a height from 1 to 4096. False, with the values untouched, otherwise.
bool ParseScreenSize(const std::string& text, int* width, int* height);

}  // namespace desktop
