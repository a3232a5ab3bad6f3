// native.cpp -- what the desktop device does on a desktop and not in a browser: drivers, waits, memory, one copy.
#include "platform/common/device.h"
#include "platform/common/process.h"
#include "platform/common/recorder.h"
#include "platform/sdl/instance.h"
#include "platform/sdl/internal.h"
#include "platform/system.h"

namespace desktop {

namespace {

// What start-up's instance check is told stands for the running copy's window.
constexpr WindowHandle kRunningCopyWindow = 0x7FF0;

InstanceLock instance;

// SDL's video drivers that show a window to a person, as a list for its driver hint. Left to
// itself SDL settles for drawing off screen where there is no display, and asking a display
// server that is not there only prints noise.
std::string visibleDrivers() {
  std::string list;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string name = SDL_GetVideoDriver(i);
    if (name == "offscreen" || name == "dummy" || name == "evdev") continue;
    if (name == "x11" && !SDL_getenv("DISPLAY")) continue;
    if (name == "wayland" && !SDL_getenv("WAYLAND_DISPLAY")) continue;
    list += (list.empty() ? "" : ",") + name;
  }
  return list;
}

}  // namespace

bool EnterHost(std::string* note) {
  const bool noServer = !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY");
  if (noServer) *note = "DISPLAY and WAYLAND_DISPLAY are not set; ";
  // An explicit SDL_VIDEODRIVER is the user's choice; otherwise only a real display will do.
  if (SDL_getenv("SDL_VIDEODRIVER")) return true;
  const std::string drivers = visibleDrivers();
  if (drivers.empty()) {
    *note = "DISPLAY and WAYLAND_DISPLAY are not set";
    return false;
  }
  SDL_SetHint(SDL_HINT_VIDEODRIVER, drivers.c_str());
  return true;
}

void PollHost() {
  if (instance.RaiseRequested() && device.window) {
    SDL_RestoreWindow(device.window);
    SDL_RaiseWindow(device.window);
  }
}

void LeaveHost() { instance.Release(); }

void ToggleFullscreen() {
  if (!device.window) return;
  static int windowedWidth = 0, windowedHeight = 0;  // the window's size before full screen
  const bool full = (SDL_GetWindowFlags(device.window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (!full) SDL_GetWindowSize(device.window, &windowedWidth, &windowedHeight);
  SDL_SetWindowFullscreen(device.window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  // Without a window manager SDL sizes the window back itself but keeps the full screen's window
  // surface, as it hears of no change of size: setting the size again makes it take a new one.
  if (full && windowedWidth > 0) SDL_SetWindowSize(device.window, windowedWidth, windowedHeight);
  Repaint();
}

// A desktop plays the world's WAV files as they are.
std::string SoundFile(const std::string& path) { return path; }

}  // namespace desktop

using desktop::device;

uint32_t SysAvailableVirtualMemory() {
  const uint64_t bytes = SystemAvailableMemory();
  return bytes > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(bytes);
}

void SysSleep(uint32_t ms) {
  RecSleep(ms, [](uint32_t wait) { SDL_Delay(wait); });
}

// The queue is empty: sleep until input arrives or a millisecond passes, so that an idle game
// costs almost nothing while frames still start on time.
void DeviceIdle() {
  if (!device.videoStarted) return;
  SDL_Event event;
  if (SDL_WaitEventTimeout(&event, 1)) desktop::HandleEvent(event);
}

WindowHandle DeviceFindOtherInstance(const std::string&, const std::string&) {
  return desktop::instance.Acquire(desktop::UserFolder()) ? 0 : desktop::kRunningCopyWindow;
}

void DeviceRaiseOtherInstance(WindowHandle) { desktop::AskRunningCopyToRaise(desktop::UserFolder()); }
