// internal.h -- state shared by the parts of the headless device.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/headless/headless.h"
#include "platform/window.h"

namespace headless {

struct ScheduledEvent {
  uint64_t at = 0;        // microseconds of virtual time
  uint64_t sequence = 0;  // keeps events of equal time in the order they were given
  ScriptEvent event;
};

struct DeviceState {
  DeviceConfig config;
  uint64_t nowUs = 0;
  std::vector<ScheduledEvent> script;
  uint64_t nextSequence = 0;
  bool closeRequested = false;
  bool keys[256] = {};
  uint32_t rng = 1;
  std::vector<MessageBoxRecord> messageBoxes;
  int focusMessages = 0;
  WindowHandle raisedWindow = 0;
  FileHandle heldLog = nullptr;  // log.txt as another running copy holds it
  void (*onMessageBox)(const MessageBoxRecord&) = nullptr;
  void (*onScreenshot)(const std::string&, bool) = nullptr;
};
extern DeviceState device;

constexpr WindowHandle kOtherInstanceWindow = 0xBEE0;

std::string JoinPath(const std::string& directory, const std::string& name);
void AdvanceTime(uint64_t us);
void ResetDisplay();
void ResetAudio();

}  // namespace headless
