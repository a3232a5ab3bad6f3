// device.cpp -- a fresh headless device for the tests.
#include "support/device.h"

#include "shell/log.h"
#include "shell/shell.h"

namespace testing_support {

void StartDevice(const TempDir& dir, headless::DeviceConfig config) {
  config.appDirectory = dir.path();
  headless::Configure(config);
  appDirectory = dir.path() + "/";
  LogOpen();
}

}  // namespace testing_support
