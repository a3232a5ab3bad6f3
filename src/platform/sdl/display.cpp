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

// The part of the screen the window shows: the game's square in the game view, unless something
// was drawn outside it, which the whole screen then shows.
ScreenArea shownArea() {
  const int width = device.options.screenWidth, height = device.options.screenHeight;
  return device.gameView && !device.drawnOutside ? GameSquare(width, height) : ScreenArea{0, 0, width, height};
}

// The scale a new window (or one switched to the other view) gets: the one asked for, else the
// largest that fits the desktop's usable area less the window's frame (none known before the
// window is shown: it is fitted again then).
int startScale(const ScreenArea& area) {
  const Options& options = device.options;
  if (options.scale > 0) return options.scale;
  SDL_Rect usable{};
  if (SDL_GetDisplayUsableBounds(device.window ? SDL_GetWindowDisplayIndex(device.window) : 0, &usable) != 0) return 1;
  int top = 0, left = 0, bottom = 0, right = 0;
  if (device.window) SDL_GetWindowBordersSize(device.window, &top, &left, &bottom, &right);
  return FitScale(usable.w - left - right, usable.h - top - bottom, area.width, area.height);
}

// Every 5-6-5 pixel as the window surface's pixel value, made again when its format changes.
struct Palette {
  Uint32 format = SDL_PIXELFORMAT_UNKNOWN;
  std::vector<Uint32> values;
  std::vector<Uint32> dimmed;  // the same, darker: the picture under "Paused"
} palette;

bool usePalette(const SDL_PixelFormat* format) {
  if (format->BytesPerPixel != 2 && format->BytesPerPixel != 4) return false;
  if (palette.format == format->format && !palette.values.empty()) return true;
  palette.values.resize(65536);
  palette.dimmed.resize(65536);
  for (uint32_t pixel = 0; pixel < 65536; ++pixel) {
    const auto rgb = Expand565(static_cast<uint16_t>(pixel));
    palette.values[pixel] = SDL_MapRGB(format, rgb[0], rgb[1], rgb[2]);
    palette.dimmed[pixel] = SDL_MapRGB(format, rgb[0] * 3 / 8, rgb[1] * 3 / 8, rgb[2] * 3 / 8);
  }
  palette.format = format->format;
  return true;
}

template <class Out>
void scaleRow(Out* out, const uint16_t* in, int count, int scale) {
  const std::vector<Uint32>& values = device.events.paused ? palette.dimmed : palette.values;
  for (int x = 0; x < count; ++x) {
    const Out value = static_cast<Out>(values[in[x]]);
    for (int k = 0; k < scale; ++k) *out++ = value;
  }
}

// Screen rows top..bottom-1 and columns left..right-1 of the shown picture into the surface at
// the layout's scale, clipped to it. Returns the window rectangle drawn (empty when none).
SDL_Rect drawPicture(SDL_Surface* surface, const ViewLayout& layout, int left, int top, int right, int bottom) {
  const int scale = layout.scale, width = device.options.screenWidth;
  // Whole screen pixels of the part shown only: a window smaller than the picture shows the ones that fit.
  left = std::max({left, layout.left, layout.left + (-layout.x + scale - 1) / scale});
  top = std::max({top, layout.top, layout.top + (-layout.y + scale - 1) / scale});
  right = std::min({right, layout.left + layout.width / scale, layout.left + (surface->w - layout.x) / scale});
  bottom = std::min({bottom, layout.top + layout.height / scale, layout.top + (surface->h - layout.y) / scale});
  if (left >= right || top >= bottom || !usePalette(surface->format)) return {0, 0, 0, 0};
  const SDL_Rect drawn{layout.x + (left - layout.left) * scale, layout.y + (top - layout.top) * scale,
                       (right - left) * scale, (bottom - top) * scale};
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

// "Paused" in the middle of the window, white on black in a grey frame, in letters of the device's own: 5x7 cells
// of '#' for the pixels set.
void drawPausedLabel(SDL_Surface* surface, const ViewLayout& layout) {
  static const char* const kLetters[6][7] = {
      {"####.", "#...#", "#...#", "####.", "#....", "#....", "#...."},  // P
      {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"},  // a
      {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"},  // u
      {".....", ".....", ".####", "#....", ".###.", "....#", "####."},  // s
      {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."},  // e
      {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"},  // d
  };
  const int unit = std::max(2, layout.scale * 2);  // window pixels per letter pixel
  const int width = (6 * 6 - 1 + 4) * unit, height = (7 + 4) * unit;
  const int x0 = layout.x + (layout.width - width) / 2, y0 = layout.y + (layout.height - height) / 2;
  const int edge = std::max(1, unit / 2);  // a grey frame, so that the label stands out on dark pictures too
  SDL_Rect box{x0, y0, width, height}, inside{x0 + edge, y0 + edge, width - 2 * edge, height - 2 * edge};
  SDL_FillRect(surface, &box, SDL_MapRGB(surface->format, 160, 160, 160));
  SDL_FillRect(surface, &inside, SDL_MapRGB(surface->format, 0, 0, 0));
  const Uint32 white = SDL_MapRGB(surface->format, 255, 255, 255);
  for (int letter = 0; letter < 6; ++letter)
    for (int row = 0; row < 7; ++row)
      for (int column = 0; column < 5; ++column) {
        if (kLetters[letter][row][column] != '#') continue;
        SDL_Rect dot{x0 + (2 + letter * 6 + column) * unit, y0 + (2 + row) * unit, unit, unit};
        SDL_FillRect(surface, &dot, white);
      }
}

// Show screen columns left..right-1 of rows top..bottom-1 again; a new window surface (the window
// was just made, resized or switched to full screen) is drawn whole, black bars and all, and so is
// every picture while paused, dimmed under its label.
void show(int left, int top, int right, int bottom) {
  if (!device.window) return;
  SDL_Surface* surface = SDL_GetWindowSurface(device.window);
  if (!surface) return;
  const ViewLayout layout = LayoutArea(surface->w, surface->h, shownArea());
  if (device.events.paused || surface != device.surface || surface->pixels != device.surfacePixels ||
      surface->w != device.surfaceWidth || surface->h != device.surfaceHeight) {
    device.surface = surface;
    device.surfacePixels = surface->pixels;
    device.surfaceWidth = surface->w;
    device.surfaceHeight = surface->h;
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    drawPicture(surface, layout, 0, 0, device.options.screenWidth, device.options.screenHeight);
    if (device.events.paused) drawPausedLabel(surface, layout);
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
  device.events.layout = LayoutArea(width, height, shownArea());
}

// The window sized for what it shows at the scale new windows get, in the middle of the desktop.
void fitWindow() {
  const ScreenArea area = shownArea();
  const int scale = startScale(area);
  SDL_SetWindowMinimumSize(device.window, area.width, area.height);
  SDL_SetWindowSize(device.window, area.width * scale, area.height * scale);
  SDL_SetWindowPosition(device.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

// Whether the shown picture has anything but black outside the game's square.
bool anythingOutside() {
  const int width = device.options.screenWidth, height = device.options.screenHeight;
  const ScreenArea square = GameSquare(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool inside = x >= square.x && x < square.x + square.width && y >= square.y && y < square.y + square.height;
      if (!inside && device.shown[static_cast<size_t>(y) * width + x] != 0) return true;
    }
  return false;
}

}  // namespace

bool CreateScreen() {
  const Options& options = device.options;
  // A page's canvas always holds the whole screen: the page lays it out.
  device.gameView =
      options.resizable && (options.view == View::Remembered ? RememberedGameView() : options.view == View::Game);
  if (options.resizable && options.view != View::Remembered) RememberView(device.gameView);
  device.drawnOutside = false;
  device.fitUntil = 0;
  const ScreenArea area = shownArea();
  const int scale = startScale(area);
  Uint32 flags = SDL_WINDOW_HIDDEN | (options.resizable ? SDL_WINDOW_RESIZABLE : 0);
  if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  // On X11 the window surface goes to the server as it is, only the rectangles that changed; SDL
  // would otherwise draw it through a GL texture, the whole window every time, which a machine
  // without a graphics card pays for in full.
  if (std::strcmp(SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "", "x11") == 0)
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  device.window = SDL_CreateWindow("Zelvo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, area.width * scale,
                                   area.height * scale, flags);
  if (!device.window || !SDL_GetWindowSurface(device.window)) {
    std::fprintf(stderr, "zelvo: cannot open the game's window: %s\n", SDL_GetError());
    DestroyScreen();
    return false;
  }
  SDL_SetWindowMinimumSize(device.window, area.width, area.height);
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

void FitShownWindow() {
  if (!device.window || device.options.scale > 0 || !device.options.resizable ||
      (SDL_GetWindowFlags(device.window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED))) {
    device.fitUntil = 1;  // the player's size
    return;
  }
  // A window manager tells the frame it gave the window some moments after the window shows:
  // until then (or a few seconds at most) the pump looks again.
  int top = 0, left = 0, bottom = 0, right = 0;
  const bool framed =
      SDL_GetWindowBordersSize(device.window, &top, &left, &bottom, &right) == 0 && top + left + bottom + right > 0;
  if (!device.fitUntil) device.fitUntil = SDL_GetTicks() + 3000;
  if (framed || SDL_TICKS_PASSED(SDL_GetTicks(), device.fitUntil)) device.fitUntil = 1;  // fitted for good
  const ScreenArea area = shownArea();
  const int scale = startScale(area);
  int width = 0, height = 0;
  SDL_GetWindowSize(device.window, &width, &height);
  if (width != area.width * scale || height != area.height * scale) fitWindow();
}

void ToggleView() {
  if (!device.window || !device.options.resizable) return;
  device.gameView = !device.gameView;
  device.drawnOutside = !device.shown.empty() && anythingOutside();
  RememberView(device.gameView);
  // A window the player sized or made full screen keeps its size; others fit the new view.
  if (!(SDL_GetWindowFlags(device.window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_MAXIMIZED))) fitWindow();
  Repaint();
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
  if (top >= bottom) return 1;
  // Something drawn outside the game's square, or gone from there, changes what the game view shows.
  const desktop::ScreenArea square = desktop::GameSquare(width, height);
  if (device.gameView &&
      (left < square.x || right > square.x + square.width || top < square.y || bottom > square.y + square.height)) {
    const bool outside = desktop::anythingOutside();
    if (outside != device.drawnOutside) {
      device.drawnOutside = outside;
      desktop::Repaint();
      return 1;
    }
  }
  desktop::show(left, top, right, bottom);
  return 1;
}

// Window procedure, on focus changes: the desktop keeps the window's picture, nothing to hand back.
int DispSuspend() { return 1; }
int DispResume() { return 1; }

KeyList DispGetDefaultKeys(int) { return desktop::DesktopDefaultKeys(); }
