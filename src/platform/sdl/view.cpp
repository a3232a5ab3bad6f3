// view.cpp -- screen layout in the window, device points, volume, screenshot names: no SDL needed.
#include "platform/sdl/view.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace desktop {

int FitScale(int areaWidth, int areaHeight, int screenWidth, int screenHeight) {
  if (screenWidth <= 0 || screenHeight <= 0) return 1;
  return std::max(1, std::min(areaWidth / screenWidth, areaHeight / screenHeight));
}

ScreenArea GameSquare(int screenWidth, int screenHeight) {
  constexpr int kSquare = 240;
  return {std::max(screenWidth - kSquare, 0) / 2, std::max(screenHeight - kSquare, 0) / 2,
          std::min(screenWidth, kSquare), std::min(screenHeight, kSquare)};
}

ViewLayout LayoutScreen(int windowWidth, int windowHeight, int screenWidth, int screenHeight) {
  return LayoutArea(windowWidth, windowHeight, {0, 0, screenWidth, screenHeight});
}

ViewLayout LayoutArea(int windowWidth, int windowHeight, const ScreenArea& area) {
  ViewLayout layout;
  layout.scale = FitScale(windowWidth, windowHeight, area.width, area.height);
  layout.width = area.width * layout.scale;
  layout.height = area.height * layout.scale;
  layout.left = area.x;
  layout.top = area.y;
  // Odd leftovers put the extra bar pixel on the right and at the bottom.
  layout.x = (windowWidth - layout.width) / 2;
  layout.y = (windowHeight - layout.height) / 2;
  return layout;
}

// Division rounding toward minus infinity, so points left of or above the screen stay outside.
static int floorDivide(int value, int divisor) {
  int quotient = value / divisor;
  return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

bool WindowToDevice(const ViewLayout& layout, int windowX, int windowY, int* deviceX, int* deviceY) {
  if (layout.scale <= 0) return false;
  const int x = floorDivide(windowX - layout.x, layout.scale);
  const int y = floorDivide(windowY - layout.y, layout.scale);
  if (x < 0 || y < 0 || x >= layout.width / layout.scale || y >= layout.height / layout.scale) return false;
  *deviceX = x + layout.left;
  *deviceY = y + layout.top;
  return true;
}

void DeviceToWindow(const ViewLayout& layout, int deviceX, int deviceY, int* windowX, int* windowY) {
  *windowX = layout.x + (deviceX - layout.left) * layout.scale + layout.scale / 2;
  *windowY = layout.y + (deviceY - layout.top) * layout.scale + layout.scale / 2;
}

int MixerVolume(uint32_t gameVolume) { return static_cast<int>(std::min<uint32_t>(gameVolume, 64) * 2); }

std::string ScreenshotName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "zelvo-shot-%03d.png", number);
  return name;
}


bool ParseScreenSize(const std::string& text, int* width, int* height) {
  const size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) return false;
  int w = 0, h = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  auto first = std::from_chars(begin, begin + cross, w);
  auto second = std::from_chars(begin + cross + 1, end, h);
  if (first.ec != std::errc() || first.ptr != begin + cross || second.ec != std::errc() || second.ptr != end)
    return false;
  if (w < 1 || h < 1 || w > 4096 || h > 4096) return false;
  *width = w;
  *height = h;
  return true;
}

}  // namespace desktop
