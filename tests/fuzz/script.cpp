// script.cpp -- a libFuzzer target for zelvo-sim's script reader: events within their ranges, or one clear error.
#include <cmath>

#include "fuzz/fuzz.h"
#include "platform/headless/headless.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const auto events = headless::ParseScript(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt");
    for (const auto& event : events) {
      if (!std::isfinite(event.time) || event.time < 0) fuzz::Fail("line %d: time %g", event.line, event.time);
      if (event.kind == headless::EventKind::Tap && (event.a > 0xFFFF || event.b > 0xFFFF)) fuzz::Fail("tap off screen");
      if ((event.kind == headless::EventKind::KeyDown || event.kind == headless::EventKind::KeyUp) && event.a > 0xFF)
        fuzz::Fail("line %d: key %u", event.line, event.a);
    }
  } catch (const headless::ScriptError& e) {
    if (std::string(e.what()).rfind("fuzz.txt:", 0) != 0) fuzz::Fail("error without its line: %s", e.what());
  }
  return 0;
}
