// device.h -- a fresh headless device for the tests that run the game's code in their own process.
#pragma once

#include "platform/headless/headless.h"
#include "support/testing.h"

namespace testing_support {

// A fresh device whose program is installed in dir: the game's app folder is set there and log.txt
// is open in it.
void StartDevice(const TempDir& dir, headless::DeviceConfig config = {});

}  // namespace testing_support
