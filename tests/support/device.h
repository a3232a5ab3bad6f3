// device.h -- a fresh headless device for the tests that run the game's code in their own process.
#pragma once

#include "platform/headless/headless.h"
#include "support/testing.h"

namespace testing_support {

// A fresh device whose program is installed in dir: the game's app folder is set there and log.txt
// is open in it.
void StartDevice(const TempDir& dir, headless::DeviceConfig config = {});

// A script event: key down or up (a is the key), tap (a, b), focus, close or screenshot, at time seconds.
headless::ScriptEvent At(double time, headless::EventKind kind, uint32_t a = 0, uint32_t b = 0);

// The smallest WAV file the headless speaker accepts: a RIFF header, a format chunk and no samples.
inline const std::string kSilentWav(
    "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\xC0\x5D\0\0\x80\xBB\0\0\x02\0\x10\0data\0\0\0\0", 44);

// The view as the device's 240x320 screen shows it: rows 40 to 279.
std::vector<uint16_t> ViewPixels();

}  // namespace testing_support
