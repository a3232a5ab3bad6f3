// display.cpp -- the desktop device's screen: a window showing 5-6-5 pixels, scaled into its surface.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/common/picture.h"
#include "platform/common/process.h"
#include "platform/common/recorder.h"
#include "platform/display.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/keymap.h"

namespace desktop {

namespace {

// Room left for the window's title bar and borders when the scale is picked to fit the desktop.
constexpr int kFrameAllowanceWidth = 16;
constexpr int kFrameAllowanceHeight = 64;

int startScale() {
  const Options& options = device.options;
  if (options.scale > 0) return options.scale;
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(0, &usable) != 0) return 1;
  return FitScale(usable.w - kFrameAllowanceWidth, usable.h - kFrameAllowanceHeight, options.screenWidth,
                  options.screenHeight);
}

// Every 5-6-5 pixel as the window surface's pixel value, made again when its format changes.
struct Palette {
  Uint32 format = SDL_PIXELFORMAT_UNKNOWN;
  std::vector<Uint32> values;
} palette;

bool usePalette(const SDL_PixelFormat* format) {
  if (format->BytesPerPixel != 2 && format->BytesPerPixel != 4) return false;
  if (palette.format == format->format && !palette.values.empty()) return true;
  palette.values.resize(65536);
  for (uint32_t pixel = 0; pixel < 65536; ++pixel) {
    const auto rgb = Expand565(static_cast<uint16_t>(pixel));
    palette.values[pixel] = SDL_MapRGB(format, rgb[0], rgb[1], rgb[2]);
  }
  palette.format = format->format;
  return true;
}

template <class Out>
void scaleRow(Out* out, const uint16_t* in, int count, int scale) {
  for (int x = 0; x < count; ++x) {
    const Out value = static_cast<Out>(palette.values[in[x]]);
    for (int k = 0; k < scale; ++k) *out++ = value;
  }
}

// Screen rows top..bottom-1 and columns left..right-1 of the shown picture into the surface at
// the layout's scale, clipped to it. Returns the window rectangle drawn (empty when none).
SDL_Rect drawPicture(SDL_Surface* surface, const ViewLayout& layout, int left, int top, int right, int bottom) {
  const int scale = layout.scale, width = device.options.screenWidth;
  // Whole screen pixels only: a window smaller than the picture shows the ones that fit.
  left = std::max(left, (-layout.x + scale - 1) / scale);
  top = std::max(top, (-layout.y + scale - 1) / scale);
  right = std::min(right, (surface->w - layout.x) / scale);
  bottom = std::min(bottom, (surface->h - layout.y) / scale);
  if (left >= right || top >= bottom || !usePalette(surface->format)) return {0, 0, 0, 0};
  const SDL_Rect drawn{layout.x + left * scale, layout.y + top * scale, (right - left) * scale, (bottom - top) * scale};
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return {0, 0, 0, 0};
  const int bytes = surface->format->BytesPerPixel;
  auto* pixels = static_cast<uint8_t*>(surface->pixels);
  for (int y = top; y < bottom; ++y) {
    uint8_t* first = pixels + static_cast<ptrdiff_t>(drawn.y + (y - top) * scale) * surface->pitch + drawn.x * bytes;
    const uint16_t* in = device.shown.data() + static_cast<size_t>(y) * width + left;
    if (bytes == 4)
      scaleRow(reinterpret_cast<Uint32*>(first), in, right - left, scale);
    else
      scaleRow(reinterpret_cast<Uint16*>(first), in, right - left, scale);
    for (int k = 1; k < scale; ++k)
      std::memcpy(first + static_cast<ptrdiff_t>(k) * surface->pitch, first, drawn.w * bytes);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return drawn;
}

// Show screen columns left..right-1 of rows top..bottom-1 again; a new window surface (the window
// was just made, resized or switched to full screen) is drawn whole, black bars and all.
void show(int left, int top, int right, int bottom) {
  if (!device.window) return;
  SDL_Surface* surface = SDL_GetWindowSurface(device.window);
  if (!surface) return;
  const ViewLayout layout =
      LayoutScreen(surface->w, surface->h, device.options.screenWidth, device.options.screenHeight);
  if (surface != device.surface || surface->pixels != device.surfacePixels || surface->w != device.surfaceWidth ||
      surface->h != device.surfaceHeight) {
    device.surface = surface;
    device.surfacePixels = surface->pixels;
    device.surfaceWidth = surface->w;
    device.surfaceHeight = surface->h;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    drawPicture(surface, layout, 0, 0, device.options.screenWidth, device.options.screenHeight);
    SDL_UpdateWindowSurface(device.window);
    return;
  }
  const SDL_Rect drawn = drawPicture(surface, layout, left, top, right, bottom);
  if (drawn.w > 0) SDL_UpdateWindowSurfaceRects(device.window, &drawn, 1);
}

// The mouse speaks window coordinates, which differ from the surface's pixels on high-density screens.
void updatePointerLayout() {
  int width = 0, height = 0;
  SDL_GetWindowSize(device.window, &width, &height);
  device.events.layout = LayoutScreen(width, height, device.options.screenWidth, device.options.screenHeight);
}

}  // namespace

bool CreateScreen() {
  const Options& options = device.options;
  const int scale = startScale();
  Uint32 flags = SDL_WINDOW_HIDDEN | (options.resizable ? SDL_WINDOW_RESIZABLE : 0);
  if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  // On X11 the window surface goes to the server as it is, only the rectangles that changed; SDL
  // would otherwise draw it through a GL texture, the whole window every time, which a machine
  // without a graphics card pays for in full.
  if (std::strcmp(SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "", "x11") == 0)
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  device.window = SDL_CreateWindow("Zelvo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   options.screenWidth * scale, options.screenHeight * scale, flags);
  if (!device.window || !SDL_GetWindowSurface(device.window)) {
    std::fprintf(stderr, "zelvo: cannot open the game's window: %s\n", SDL_GetError());
    DestroyScreen();
    return false;
  }
  SDL_SetWindowMinimumSize(device.window, options.screenWidth, options.screenHeight);
  const size_t pixels = static_cast<size_t>(options.screenWidth) * options.screenHeight;
  device.frame.assign(pixels, 0);
  device.shown.assign(pixels, 0);
  device.surface = nullptr;
  updatePointerLayout();
  return true;
}

void DestroyScreen() {
  if (device.window) SDL_DestroyWindow(device.window);
  device.window = nullptr;
  device.surface = nullptr;
}

void Repaint() {
  if (!device.window) return;
  updatePointerLayout();
  device.surface = nullptr;  // drawn whole
  show(0, 0, 0, 0);
}

void SaveScreenshot() {
  const int width = device.options.screenWidth, height = device.options.screenHeight;
  if (device.shown.empty()) return;
  // The first free number, so earlier pictures are never overwritten.
  const std::filesystem::path folder = PathFromUtf8(UserFolder());
  for (int number = 1; number <= 999; ++number) {
    const std::string path = PathToUtf8(folder / ScreenshotName(number));
    std::error_code error;
    if (std::filesystem::exists(PathFromUtf8(path), error) || error) continue;
    if (WritePixelsPng(path, width, height, device.shown, false))
      std::printf("zelvo: screenshot saved as %s\n", path.c_str());
    else
      std::fprintf(stderr, "zelvo: could not save the screenshot %s\n", path.c_str());
    std::fflush(stdout);
    return;
  }
  std::fprintf(stderr, "zelvo: no screenshot saved: %s already holds 999 of them\n",
               UserFolder().c_str());
}

}  // namespace desktop

using desktop::device;

// The desktop offers no raw frame buffer: the game falls back to the display library below.
bool DispQueryRawFrameBuffer(WindowHandle, RawFrameBufferInfo*) { return false; }

int DispOpenInput() { return 1; }
int DispOpenDisplay(WindowHandle, uint32_t) { return 1; }
int DispCloseInput() { return 1; }
int DispCloseDisplay() { return 1; }

DisplayProperties DispGetProperties() {
  constexpr uint32_t kfDirect = 0x20;
  DisplayProperties properties;
  properties.cxWidth = static_cast<uint32_t>(device.options.screenWidth);
  properties.cyHeight = static_cast<uint32_t>(device.options.screenHeight);
  properties.cbxPitch = 2;
  properties.cbyPitch = 2 * device.options.screenWidth;
  properties.cBPP = 16;
  properties.ffFormat = kfDirect | kfDirect565;
  return properties;
}

int DispIsDRAMBuffer() { return 0; }

void* DispBeginDraw() { return device.frame.empty() ? nullptr : device.frame.data(); }

// End of every pass over the frame buffer: show what changed. A pass that changed nothing (the
// game presents an empty dirty list every frame) costs a comparison; otherwise the window gets
// the rectangle around the changed pixels.
int DispEndDraw() {
  // A replay that catches up shows nothing; what it drew is shown when the game goes on.
  if (device.frame.empty() || (RecReplaying() && !device.options.showReplay)) return 1;
  const int width = device.options.screenWidth, height = device.options.screenHeight;
  int left = width, right = 0, top = height, bottom = 0;
  for (int y = 0; y < height; ++y) {
    const uint16_t* frame = device.frame.data() + static_cast<size_t>(y) * width;
    uint16_t* shown = device.shown.data() + static_cast<size_t>(y) * width;
    if (std::memcmp(frame, shown, static_cast<size_t>(width) * 2) == 0) continue;
    int first = 0, last = width;
    while (frame[first] == shown[first]) ++first;
    while (frame[last - 1] == shown[last - 1]) --last;
    std::memcpy(shown + first, frame + first, static_cast<size_t>(last - first) * 2);
    left = std::min(left, first), right = std::max(right, last);
    top = std::min(top, y), bottom = y + 1;
  }
  if (top < bottom) desktop::show(left, top, right, bottom);
  return 1;
}

// Window procedure, on focus changes: the desktop keeps the window's picture, nothing to hand back.
int DispSuspend() { return 1; }
int DispResume() { return 1; }

KeyList DispGetDefaultKeys(int) { return desktop::DesktopDefaultKeys(); }
