// settings_test.cpp -- the key slots and volume: defaults, device keys, settings.dat in and out.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/headless/headless.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/shell.h"
#include "support/testing.h"

using testing_support::ReadFile;
using testing_support::RunFresh;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

void startDevice(const TempDir& dir) {
  headless::DeviceConfig config;
  config.appDirectory = dir.path();
  headless::Configure(config);
  appDirectory = dir.path() + "/";
  LogOpen();
}

std::string settingsBytes(uint32_t left, uint32_t right, uint32_t up, uint32_t action, uint8_t volume) {
  std::string bytes;
  for (uint32_t key : {left, right, up, action})
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((key >> (8 * i)) & 0xFF);
  bytes += static_cast<char>(volume);
  return bytes;
}

}  // namespace

TEST(Settings, DefaultsThenDeviceKeysThenTheFile) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir);
    // A device whose key list is all zero leaves the built-in defaults, and no file is no failure.
    SettingsUseDeviceKeys(KeyList{});
    EXPECT_EQ(SettingsLoad(), 0);
    EXPECT_EQ(keySlots[SlotLeft], 37u);
    EXPECT_EQ(keySlots[SlotRight], 39u);
    EXPECT_EQ(keySlots[SlotUp], 38u);
    EXPECT_EQ(keySlots[SlotAction], 0u);
    EXPECT_EQ(volumeSetting, 64);

    // The device's left, right, up and A keys are taken; down, B, C and Start are not.
    KeyList keys{};
    keys.left.vkCode = 0x61;
    keys.a.vkCode = 0xC1;
    keys.b.vkCode = 0xC2;
    keys.down.vkCode = 0x62;
    keys.up.vkCode = -2;  // a negative 16-bit code widens with its sign
    SettingsUseDeviceKeys(keys);
    EXPECT_EQ(keySlots[SlotLeft], 0x61u);
    EXPECT_EQ(keySlots[SlotRight], 39u);
    EXPECT_EQ(keySlots[SlotUp], 0xFFFFFFFEu);
    EXPECT_EQ(keySlots[SlotAction], 0xC1u);

    // A file present overrides everything, zeros included.
    WriteFile(dir.file("settings.dat"), settingsBytes(1, 0, 3, 0x12345678, 200));
    SettingsLoad();
    EXPECT_EQ(keySlots[SlotLeft], 1u);
    EXPECT_EQ(keySlots[SlotRight], 0u);
    EXPECT_EQ(keySlots[SlotUp], 3u);
    EXPECT_EQ(keySlots[SlotAction], 0x12345678u);
    EXPECT_EQ(volumeSetting, 200);
    LogClose();
  }));
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "\nLoaded settings.\n");
}

TEST(Settings, ShortEmptyAndLongFiles) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir);
    // Fields the file does not supply become zero.
    WriteFile(dir.file("settings.dat"), settingsBytes(0x0A0B0C0D, 0x11223344, 5, 6, 7).substr(0, 6));
    SettingsLoad();
    EXPECT_EQ(keySlots[SlotLeft], 0x0A0B0C0Du);
    EXPECT_EQ(keySlots[SlotRight], 0x3344u);
    EXPECT_EQ(keySlots[SlotUp], 0u);
    EXPECT_EQ(keySlots[SlotAction], 0u);
    EXPECT_EQ(volumeSetting, 0);

    WriteFile(dir.file("settings.dat"), "");
    keySlots[SlotLeft] = 37;
    volumeSetting = 64;
    SettingsLoad();
    EXPECT_EQ(keySlots[SlotLeft], 0u);
    EXPECT_EQ(volumeSetting, 0);

    // Only the first 17 bytes of a longer file count.
    WriteFile(dir.file("settings.dat"), settingsBytes(1, 2, 3, 4, 99) + "trailing bytes");
    SettingsLoad();
    EXPECT_EQ(keySlots[SlotAction], 4u);
    EXPECT_EQ(volumeSetting, 99);
    LogClose();
  }));
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "\nLoaded settings.\n\nLoaded settings.\n\nLoaded settings.\n");
}

TEST(Settings, SaveWritesExactlySeventeenBytesAndReplacesTheFileWhole) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir);
    WriteFile(dir.file("settings.dat"), settingsBytes(9, 9, 9, 9, 9) + "an old, longer file");
    keySlots[SlotLeft] = 0x25;
    keySlots[SlotRight] = 0x27;
    keySlots[SlotUp] = 0x26;
    keySlots[SlotAction] = 0xC1;
    volumeSetting = 148;
    EXPECT_EQ(SettingsSave(), 0);
    EXPECT_EQ(ReadFile(dir.file("settings.dat")), settingsBytes(0x25, 0x27, 0x26, 0xC1, 148));
    EXPECT_FALSE(testing_support::FileExists(dir.file("settings.dat.new")));

    // When the new file cannot be written, the old one stays as it was and nothing is logged.
    std::filesystem::create_directory(dir.file("settings.dat.new"));
    volumeSetting = 1;
    EXPECT_EQ(SettingsSave(), 0);
    EXPECT_EQ(ReadFile(dir.file("settings.dat")), settingsBytes(0x25, 0x27, 0x26, 0xC1, 148));
    LogClose();
  }));
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "\nSaved settings.\n");
}
