// device.cpp -- a fresh headless device for the tests.
#include "support/device.h"

#include "services/log.h"
#include "shell/shell.h"

namespace testing_support {

void StartDevice(const TempDir& dir, headless::DeviceConfig config) {
  config.appDirectory = dir.path();
  headless::Configure(config);
  appDirectory = dir.path() + "/";
  LogOpen();
}

headless::ScriptEvent At(double time, headless::EventKind kind, uint32_t a, uint32_t b) {
  headless::ScriptEvent event;
  event.time = time, event.kind = kind, event.a = a, event.b = b;
  return event;
}

std::vector<uint16_t> ViewPixels() {
  const std::vector<uint16_t> screen = headless::ScreenPixels();
  return {screen.begin() + 40 * 240, screen.begin() + 280 * 240};
}

}  // namespace testing_support
