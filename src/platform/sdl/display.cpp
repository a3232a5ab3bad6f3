// display.cpp -- the desktop device's screen: a window showing 5-6-5 pixels through a streaming texture.
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/common/picture.h"
#include "platform/common/process.h"
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

SDL_Renderer* createRenderer(SDL_Window* window) {
  // No vsync: the game paces its own frames, and a present must never hold up the message loop.
  if (SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED)) return renderer;
  return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
}

void present() {
  if (!device.renderer) return;
  int outputWidth = 0, outputHeight = 0;
  SDL_GetRendererOutputSize(device.renderer, &outputWidth, &outputHeight);
  const ViewLayout layout =
      LayoutScreen(outputWidth, outputHeight, device.options.screenWidth, device.options.screenHeight);
  const SDL_Rect target{layout.x, layout.y, layout.width, layout.height};
  SDL_SetRenderDrawColor(device.renderer, 0, 0, 0, 255);
  SDL_RenderClear(device.renderer);
  SDL_RenderCopy(device.renderer, device.texture, nullptr, &target);
  SDL_RenderPresent(device.renderer);
}

// The mouse speaks window coordinates, which differ from the renderer's pixels on high-density screens.
void updatePointerLayout() {
  int width = 0, height = 0;
  SDL_GetWindowSize(device.window, &width, &height);
  device.events.layout = LayoutScreen(width, height, device.options.screenWidth, device.options.screenHeight);
}

}  // namespace

bool CreateScreen() {
  const Options& options = device.options;
  const int scale = startScale();
  Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
  if (options.fullscreen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
  device.window = SDL_CreateWindow("Zelvo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                   options.screenWidth * scale, options.screenHeight * scale, flags);
  if (device.window) device.renderer = createRenderer(device.window);
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  if (device.renderer)
    device.texture = SDL_CreateTexture(device.renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING,
                                       options.screenWidth, options.screenHeight);
  if (!device.texture) {
    std::fprintf(stderr, "zelvo: cannot open the game's window: %s\n", SDL_GetError());
    DestroyScreen();
    return false;
  }
  SDL_SetWindowMinimumSize(device.window, options.screenWidth, options.screenHeight);
  const size_t pixels = static_cast<size_t>(options.screenWidth) * options.screenHeight;
  device.frame.assign(pixels, 0);
  device.shown.assign(pixels, 0);
  device.pictureUploaded = false;
  updatePointerLayout();
  return true;
}

void DestroyScreen() {
  if (device.texture) SDL_DestroyTexture(device.texture);
  if (device.renderer) SDL_DestroyRenderer(device.renderer);
  if (device.window) SDL_DestroyWindow(device.window);
  device.texture = nullptr;
  device.renderer = nullptr;
  device.window = nullptr;
}

void Repaint() {
  if (!device.window) return;
  updatePointerLayout();
  if (!device.pictureUploaded) {
    SDL_UpdateTexture(device.texture, nullptr, device.shown.data(), device.options.screenWidth * 2);
    device.pictureUploaded = true;
  }
  present();
}

void ToggleFullscreen() {
  if (!device.window) return;
  const bool full = (SDL_GetWindowFlags(device.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(device.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  Repaint();
}

void SaveScreenshot() {
  const int width = device.options.screenWidth, height = device.options.screenHeight;
  if (device.shown.empty()) return;
  // The first free number, so earlier pictures are never overwritten.
  const std::filesystem::path folder = PathFromUtf8(device.options.appDirectory);
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
               device.options.appDirectory.c_str());
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
// game presents an empty dirty list every frame) costs a comparison, not an upload and a present.
int DispEndDraw() {
  if (device.frame.empty()) return 1;
  if (device.pictureUploaded && device.frame == device.shown) return 1;
  device.shown = device.frame;
  device.pictureUploaded = false;
  desktop::Repaint();
  return 1;
}

// Window procedure, on focus changes: the desktop keeps the window's picture, nothing to hand back.
int DispSuspend() { return 1; }
int DispResume() { return 1; }

KeyList DispGetDefaultKeys(int) { return desktop::DesktopDefaultKeys(); }
