// settings.cpp -- a libFuzzer target for settings.dat: any file loads, and saving writes back its first 17 bytes.
#include <cstring>

#include "fuzz/fuzz.h"
#include "services/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::StartInput();
  fuzz::PutFile("settings.dat", data, size);
  SettingsLoad();
  SettingsSave();
  // Fields a short file does not supply are zero; bytes past the 17th do not count.
  uint8_t expected[17] = {};
  std::memcpy(expected, data, size < sizeof expected ? size : sizeof expected);
  const std::string saved = fuzz::FileText("settings.dat");
  if (saved != std::string(reinterpret_cast<const char*>(expected), sizeof expected)) fuzz::Fail("saved other bytes");
  return 0;
}
