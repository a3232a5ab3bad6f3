// device.cpp -- the headless device: virtual clock, scripted input, system services and window hooks.
#include <algorithm>
#include <cstdio>

#include "platform/common/device.h"
#include "platform/common/files_hold.h"
#include "platform/common/places.h"
#include "platform/common/recorder.h"
#include "platform/common/winqueue.h"
#include "platform/files.h"
#include "platform/headless/internal.h"
#include "platform/keys.h"
#include "platform/system.h"

namespace headless {

DeviceState device;

KeyList DeviceConfig::DefaultKeyList() {
  // Codes of the handheld's direction pad and its four application buttons.
  KeyList keys;
  keys.up = {static_cast<int16_t>(VK_UP), 0, 0};
  keys.down = {static_cast<int16_t>(VK_DOWN), 0, 0};
  keys.left = {static_cast<int16_t>(VK_LEFT), 0, 0};
  keys.right = {static_cast<int16_t>(VK_RIGHT), 0, 0};
  keys.a = {static_cast<int16_t>(0xC1), 0, 0};
  keys.b = {static_cast<int16_t>(0xC2), 0, 0};
  keys.c = {static_cast<int16_t>(0xC3), 0, 0};
  keys.start = {static_cast<int16_t>(0xC4), 0, 0};
  return keys;
}

static uint64_t secondsToUs(double seconds) {
  if (seconds <= 0.0) return 0;
  return static_cast<uint64_t>(seconds * 1e6 + 0.5);
}

void Configure(const DeviceConfig& config) {
  WinQueueReset();
  FileClose(device.heldLog);
  device = DeviceState{};
  device.config = config;
  device.rng = config.seed ? config.seed : 1;
  FilesKeepUserFiles(config.appDirectory, config.userDirectory);
  ResetDisplay();
  ResetAudio();
  if (config.instanceRunning) {
    // The running copy created log.txt and keeps it open for writing, without truncating what it wrote.
    device.heldLog = FileHoldForWriting(JoinPath(config.appDirectory, "log.txt"));
  }
}

const DeviceConfig& Config() { return device.config; }

void Schedule(const ScriptEvent& event) {
  ScheduledEvent scheduled{secondsToUs(event.time), device.nextSequence++, event};
  auto at = std::upper_bound(device.script.begin(), device.script.end(), scheduled,
                             [](const ScheduledEvent& x, const ScheduledEvent& y) {
                               return x.at < y.at || (x.at == y.at && x.sequence < y.sequence);
                             });
  device.script.insert(at, scheduled);
}

void Schedule(const std::vector<ScriptEvent>& events) {
  for (const auto& event : events) Schedule(event);
}

double Now() { return static_cast<double>(device.nowUs) / 1e6; }
uint64_t NowUs() { return device.nowUs; }

const std::vector<MessageBoxRecord>& MessageBoxes() { return device.messageBoxes; }
int FocusMessagesPosted() { return device.focusMessages; }
WindowHandle RaisedWindow() { return device.raisedWindow; }

void AdjustCounter(int64_t ticks) { device.config.counterStart += static_cast<uint64_t>(ticks); }

void OnMessageBox(void (*callback)(const MessageBoxRecord& box)) { device.onMessageBox = callback; }
void OnScreenshot(void (*callback)(const std::string& path, bool saved)) { device.onScreenshot = callback; }

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  if (directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

static void postToMain(uint32_t message, uintptr_t wParam, intptr_t lParam) {
  WindowHandle window = WinQueueMainWindow();
  if (window) WinQueuePost(Message{window, message, wParam, lParam});
}

// Carry out one script event at its time.
static void deliver(const ScriptEvent& event) {
  switch (event.kind) {
    case EventKind::KeyDown:
      if (event.a < 256) device.keys[event.a] = true;
      postToMain(WM_KEYDOWN, event.a, 0);
      break;
    case EventKind::KeyUp:
      if (event.a < 256) device.keys[event.a] = false;
      postToMain(WM_KEYUP, event.a, 0);
      break;
    case EventKind::Tap: {
      intptr_t point = static_cast<intptr_t>((event.a & 0xFFFF) | ((event.b & 0xFFFF) << 16));
      postToMain(WM_LBUTTONDOWN, MK_LBUTTON, point);
      postToMain(WM_LBUTTONUP, 0, point);
      break;
    }
    case EventKind::FocusLost:
      ++device.focusMessages;
      postToMain(WM_KILLFOCUS, 0, 0);
      break;
    case EventKind::FocusGained:
      ++device.focusMessages;
      postToMain(WM_SETFOCUS, 0, 0);
      break;
    case EventKind::Close:
      postToMain(WM_CLOSE, 0, 0);
      break;
    case EventKind::Shot: {
      bool saved = SaveScreenshot(event.file);
      if (device.onScreenshot) device.onScreenshot(event.file, saved);
      break;
    }
  }
}

// Deliver every event due by now, and the close request and hard stop of the run.
static void deliverDue() {
  while (!device.script.empty() && device.script.front().at <= device.nowUs) {
    ScriptEvent event = device.script.front().event;
    device.script.erase(device.script.begin());
    deliver(event);
  }
  uint64_t stopUs = secondsToUs(device.config.stopAfter);
  if (!device.closeRequested && device.nowUs >= stopUs) {
    device.closeRequested = true;
    postToMain(WM_CLOSE, 0, 0);
  }
  if (device.nowUs >= stopUs + secondsToUs(device.config.hardStop)) {
    throw RunAbandoned("the game did not end within " + std::to_string(device.config.hardStop) +
                       " s of virtual time after it was asked to close");
  }
}

// Let virtual time pass, delivering events as they fall due.
void AdvanceTime(uint64_t us) {
  uint64_t target = device.nowUs + us;
  while (!device.script.empty() && device.script.front().at <= target) {
    device.nowUs = std::max(device.nowUs, device.script.front().at);
    deliverDue();
  }
  device.nowUs = target;
  deliverDue();
}

}  // namespace headless

using headless::device;

// ---- system.h ----

uint32_t SysAvailableVirtualMemory() { return device.config.availableMemory; }

std::string SysModuleFileName() { return headless::JoinPath(device.config.appDirectory, device.config.programName); }

void SysMessageBox(const std::string& text, const std::string& caption, uint32_t style) {
  headless::MessageBoxRecord box{text, caption, style};
  device.messageBoxes.push_back(box);
  if (device.onMessageBox) device.onMessageBox(box);
}

void SysSleep(uint32_t ms) { headless::AdvanceTime(static_cast<uint64_t>(ms) * 1000); }

uint32_t SysRandom() {
  return RecRandom([] {
    // xorshift32: small, fast and the same on every machine.
    uint32_t x = device.rng;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    device.rng = x;
    return x;
  });
}

bool SysCounterFrequency(uint64_t* frequency) {
  return RecCounterFrequency(frequency, [](uint64_t* hz) {
    if (!device.config.counterAvailable) return false;
    *hz = device.config.counterHz;
    return true;
  });
}

bool SysCounterValue(uint64_t* count) {
  return RecCounterValue(count, [](uint64_t* value) {
    if (!device.config.counterAvailable) return false;
    unsigned __int128 ticks = static_cast<unsigned __int128>(device.nowUs) * device.config.counterHz / 1000000u;
    *value = device.config.counterStart + static_cast<uint64_t>(ticks);
    return true;
  });
}

// ---- keys.h ----

uint16_t KeyAsyncState(uint32_t virtualKey) {
  return RecKeyState(virtualKey, [](uint32_t key) -> uint16_t {
    if (key == 0 || key > 255) return 0;
    return device.keys[key] ? 0x8000 : 0;
  });
}

// ---- device.h ----

void DevicePumpEvents() { headless::deliverDue(); }

void DeviceIdle() { headless::AdvanceTime(device.config.pollQuantumUs); }

WindowHandle DeviceFindOtherInstance(const std::string&, const std::string&) {
  return device.config.instanceRunning ? headless::kOtherInstanceWindow : 0;
}

void DeviceRaiseOtherInstance(WindowHandle window) { device.raisedWindow = window; }

bool DeviceAllowClassRegistration() { return !device.config.classRegistrationFails; }
bool DeviceAllowWindowCreation() { return !device.config.windowCreationFails; }

void DeviceWindowCreated(WindowHandle, const std::string&) {}
void DeviceWindowShown(WindowHandle, int) {}
void DeviceWindowMoved(WindowHandle, int32_t, int32_t, int32_t, int32_t) {}
void DeviceWindowFullScreen(WindowHandle, uint32_t) {}

int32_t DeviceScreenWidth() { return device.config.screenWidth; }
int32_t DeviceScreenHeight() { return device.config.screenHeight; }
