// device.cpp -- the desktop device: system services, keys, the event pump and the window hooks on SDL.
#include <chrono>
#include <cstdio>
#include <random>

#include "platform/common/device.h"
#include "platform/common/places.h"
#include "platform/common/recorder.h"
#include "platform/common/winqueue.h"
#include "platform/keys.h"
#include "platform/sdl/internal.h"
#include "platform/sdl/keymap.h"
#include "platform/system.h"

namespace desktop {

Device device;

namespace {

std::mt19937 generator{static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count())};

void post(const Translation& translation) {
  for (const Message& message : translation.messages) WinQueuePost(message);
}

}  // namespace

void HandleEvent(const SDL_Event& event) {
  Translation translation = TranslateEvent(device.events, event);
  post(translation);
  ControllerEvent(event);
  switch (translation.action) {
    case DeviceAction::Repaint:
      Repaint();
      if (device.events.window) WinQueueInvalidate(device.events.window);
      break;
    case DeviceAction::ToggleFullscreen:
      ToggleFullscreen();
      break;
    case DeviceAction::Screenshot:
      SaveScreenshot();
      break;
    case DeviceAction::ToggleView:
      ToggleView();
      break;
    case DeviceAction::Redraw:
      Repaint();
      break;
    case DeviceAction::None:
      break;
  }
}

void Report(const std::string& line) {
  if (device.options.report) device.options.report(line);
  else std::fprintf(stderr, "zelvo: %s\n", line.c_str());
}

bool Start(const Options& options, std::string* problem) {
  device.options = options;
  FilesKeepUserFiles(options.appDirectory, options.userDirectory);
  SDL_SetHint(SDL_HINT_APP_NAME, "Zelvo");
  std::string note;
  if (!EnterHost(&note)) {
    *problem = note;
    return false;
  }
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    *problem = note + SDL_GetError();
    SDL_Quit();
    return false;
  }
  device.videoStarted = true;
  return true;
}

void Stop() {
  CloseAudio();
  CloseControllers();
  DestroyScreen();
  SDL_Quit();
  device.videoStarted = false;
  device.events = EventState{};
  LeaveHost();
  FilesKeepUserFiles("", "");
}

}  // namespace desktop

using desktop::device;

// ---- system.h ----

std::string SysModuleFileName() {
  const std::string& folder = device.options.appDirectory;
  const bool separated = !folder.empty() && (folder.back() == '/' || folder.back() == '\\');
  return folder + (separated || folder.empty() ? "" : "/") + device.options.programName;
}

void SysMessageBox(const std::string& text, const std::string& caption, uint32_t style) {
  const Uint32 kind = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  if (device.videoStarted && SDL_ShowSimpleMessageBox(kind, caption.c_str(), text.c_str(), nullptr) == 0) return;
  std::string line = text;
  for (char& c : line)
    if (c == '\n') c = ' ';
  std::fprintf(stderr, "zelvo: %s: %s\n", caption.c_str(), line.c_str());
}

uint32_t SysRandom() {
  return RecRandom([] { return static_cast<uint32_t>(desktop::generator()); });
}

bool SysCounterFrequency(uint64_t* frequency) {
  return RecCounterFrequency(frequency, [](uint64_t* hz) {
    *hz = SDL_GetPerformanceFrequency();
    return *hz != 0;
  });
}

bool SysCounterValue(uint64_t* count) {
  return RecCounterValue(count, [](uint64_t* value) {
    *value = SDL_GetPerformanceCounter();
    return true;
  });
}

// ---- keys.h ----

// Read the keyboard and the controllers as they are now, even while the game blocks without polling
// messages (the dialog box waits for a key this way).
static uint16_t keyState(uint32_t virtualKey) {
  if (virtualKey == 0 || virtualKey > 255 || !device.videoStarted) return 0;
  // The events are taken in here too, so that the player can pause while the game waits for a key.
  DevicePumpEvents();
  if (device.events.paused) return 0;  // as without the focus
  if (desktop::ControllersHold(virtualKey)) return 0x8000;
  if (device.events.swallowed[virtualKey]) return 0;  // the keyboard's press went to a window shortcut
  int count = 0;
  const Uint8* pressed = SDL_GetKeyboardState(&count);
  for (int scancode = 0; scancode < count; ++scancode) {
    if (pressed[scancode] &&
        desktop::GameKeyFromSdl(device.events.keys, SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(scancode))) ==
            virtualKey)
      return 0x8000;
  }
  return 0;
}

uint16_t KeyAsyncState(uint32_t virtualKey) { return RecKeyState(virtualKey, keyState); }

// ---- device.h ----

void DevicePumpEvents() {
  if (!device.videoStarted) return;
  desktop::PollHost();
  for (SDL_Event event; SDL_PollEvent(&event);) desktop::HandleEvent(event);
  if (device.fitUntil > 1) desktop::FitShownWindow();
  desktop::post(desktop::RepeatPadKeys(device.events, SDL_GetTicks()));
}

bool DeviceAllowClassRegistration() { return true; }

bool DeviceAllowWindowCreation() { return device.videoStarted && desktop::CreateScreen(); }

static std::string windowTitle;

void DeviceWindowCreated(WindowHandle window, const std::string& title) {
  device.events = desktop::EventState{};
  device.events.window = window;
  desktop::StartControllers();
  device.events.keys = desktop::LoadKeySets();  // the log is open: its problems go there
  desktop::Repaint();
  windowTitle = title;
  SDL_SetWindowTitle(device.window, title.c_str());
}

void desktop::SetTitleNote(const std::string& note) {
  if (device.window) SDL_SetWindowTitle(device.window, (note.empty() ? windowTitle : windowTitle + " - " + note).c_str());
}

void DeviceWindowShown(WindowHandle, int showCommand) {
  if (showCommand == 0 || !device.window) return;
  SDL_ShowWindow(device.window);
  desktop::FitShownWindow();
  desktop::Repaint();
}

// The handheld's start-up moves its window over the whole screen and hides the shell's bars; the
// desktop window keeps its own size and place.
void DeviceWindowMoved(WindowHandle, int32_t, int32_t, int32_t, int32_t) {}
void DeviceWindowFullScreen(WindowHandle, uint32_t) {}

int32_t DeviceScreenWidth() { return device.options.screenWidth; }
int32_t DeviceScreenHeight() { return device.options.screenHeight; }
