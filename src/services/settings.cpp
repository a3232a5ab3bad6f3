// settings.cpp -- the game keys and music volume: defaults, the device's keys, settings.dat.
#include "services/settings.h"

#include "platform/files.h"
#include "platform/keys.h"
#include "services/app.h"
#include "services/bytes.h"
#include "services/log.h"

uint32_t keySlots[kKeySlots] = {VK_LEFT, VK_RIGHT, VK_UP, 0};
uint8_t volumeSetting = 64;

static constexpr uint32_t kSettingsSize = 17;

// A key-list code is a signed 16-bit value; zero means the device has no such key.
static void takeKey(uint32_t* slot, int16_t code) {
  if (code != 0) *slot = static_cast<uint32_t>(static_cast<int32_t>(code));
}

void SettingsUseDeviceKeys(const KeyList& keys) {
  takeKey(&keySlots[SlotLeft], keys.left.vkCode);
  takeKey(&keySlots[SlotRight], keys.right.vkCode);
  takeKey(&keySlots[SlotUp], keys.up.vkCode);
  takeKey(&keySlots[SlotAction], keys.a.vkCode);
}

int SettingsLoad() {
  uint8_t bytes[kSettingsSize] = {};
  FileHandle file = FileOpenRead(appDirectory + "settings.dat");
  if (!file) return 0;
  // A short file leaves its missing fields at zero; a long one is read only as far as it counts.
  uint32_t done = 0;
  if (FileRead(file, bytes, kSettingsSize, &done)) {
    for (int slot = 0; slot < kKeySlots; ++slot) keySlots[slot] = bytes::read32(bytes + 4 * slot);
    volumeSetting = bytes[16];
  }
  LogWrite("\nLoaded settings.");
  FileClose(file);
  return 0;
}

int SettingsSave() {
  const std::string path = appDirectory + "settings.dat";
  // Written beside the real file and renamed over it, so a crash never leaves a short settings.dat.
  const std::string temporary = path + ".new";
  FileHandle file = FileCreate(temporary, false);
  if (!file) return 0;
  uint8_t bytes[kSettingsSize];
  for (int slot = 0; slot < kKeySlots; ++slot) bytes::write32(bytes + 4 * slot, keySlots[slot]);
  bytes[16] = volumeSetting;
  uint32_t done = 0;
  bool written = FileWrite(file, bytes, kSettingsSize, &done) && done == kSettingsSize && FileFlush(file);
  FileClose(file);
  if (written && FileReplace(temporary, path)) {
    LogWrite("\nSaved settings.");
  } else {
    FileDelete(temporary);  // nothing half written stays behind
  }
  return 0;
}
