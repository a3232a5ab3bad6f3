// files_test.cpp -- the files the services write: log.txt (recreated at start, one message a line, silent when it
// cannot be written) and settings.dat (the key slots and volume: defaults, device keys, in and out).
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "services/log.h"
#include "services/settings.h"
#include "shell/shell.h"
#include "support/data_builder.h"
#include "support/device.h"

using testing_support::ReadFile;
using testing_support::RunFresh;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(Log, RecreatesTheFileAndWritesEachMessageWithALineFeedCutToItsLimit) {
  TempDir dir;
  WriteFile(dir.file("log.txt"), "last run's log, which must go");
  EXPECT_TRUE(RunFresh([&] {
    LogWrite("\nBefore the log is open");  // goes nowhere
    appDirectory = dir.path() + "/";
    LogOpen();
    LogWrite("\nStarting up");
    LogWrite("%s", "GfxInit");
    LogWrite("\nHW counter freq: %I64d", static_cast<long long>(0x123456789ll));
    LogWrite("%s", std::string(5000, 'x').c_str());  // an overlong message keeps its line feed
    LogClose();
    LogWrite("\nAfter the log is closed");  // goes nowhere
    EXPECT_EQ(ReadFile(dir.file("log.txt")),
              "\nStarting up\nGfxInit\n\nHW counter freq: 4886718345\n" + std::string(4094, 'x') + "\n");
  }));
}

TEST(Log, ALogHeldByAnotherWriterIsLeftAloneAndNothingFails) {
  TempDir dir;
  WriteFile(dir.file("log.txt"), "");
  FileHandle other = FileCreate(dir.file("log.txt"), true);
  EXPECT_NE(other, nullptr);
  uint32_t done = 0;
  FileWrite(other, "theirs\n", 7, &done);
  EXPECT_TRUE(RunFresh([&] {
    appDirectory = dir.path() + "/";
    LogOpen();
    EXPECT_EQ(logFile, nullptr);
    LogWrite("\nStarting up");
    LogClose();
  }));
  FileClose(other);
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "theirs\n");
}

namespace {

std::string settingsBytes(uint32_t left, uint32_t right, uint32_t up, uint32_t action, uint8_t volume) {
  std::string bytes;
  for (uint32_t key : {left, right, up, action})
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((key >> (8 * i)) & 0xFF);
  return bytes + static_cast<char>(volume);
}

std::string settingsNow() {
  return settingsBytes(keySlots[SlotLeft], keySlots[SlotRight], keySlots[SlotUp], keySlots[SlotAction], volumeSetting);
}

}  // namespace

TEST(Settings, DefaultsThenDeviceKeysThenTheFileAndSavingReplacesItWhole) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    testing_support::StartDevice(dir);
    // A device whose key list is all zero leaves the built-in defaults, and no file is no failure.
    SettingsUseDeviceKeys(KeyList{});
    EXPECT_EQ(SettingsLoad(), 0);
    EXPECT_EQ(settingsNow(), settingsBytes(37, 39, 38, 0, 64));
    // The device's left, right, up and A keys are taken; down, B, C and Start are not.
    KeyList keys{};
    keys.left.vkCode = 0x61, keys.a.vkCode = 0xC1, keys.b.vkCode = 0xC2, keys.down.vkCode = 0x62;
    keys.up.vkCode = -2;  // a negative 16-bit code widens with its sign
    SettingsUseDeviceKeys(keys);
    EXPECT_EQ(settingsNow(), settingsBytes(0x61, 39, 0xFFFFFFFE, 0xC1, 64));
    // A file present overrides everything, zeros included; fields a short file does not supply
    // become zero, and only the first 17 bytes of a longer file count.
    const std::pair<std::string, std::string> files[] = {
        {settingsBytes(1, 0, 3, 0x12345678, 200), settingsBytes(1, 0, 3, 0x12345678, 200)},
        {settingsBytes(0x0A0B0C0D, 0x11223344, 5, 6, 7).substr(0, 6), settingsBytes(0x0A0B0C0D, 0x3344, 0, 0, 0)},
        {"", settingsBytes(0, 0, 0, 0, 0)},
        {settingsBytes(1, 2, 3, 4, 99) + "trailing bytes", settingsBytes(1, 2, 3, 4, 99)}};
    for (const auto& [file, slots] : files) {
      SettingsUseDeviceKeys(keys);
      volumeSetting = 64;
      WriteFile(dir.file("settings.dat"), file);
      SettingsLoad();
      EXPECT_EQ(settingsNow(), slots) << file.size() << " bytes";
    }
    keySlots[SlotLeft] = 0x25, keySlots[SlotRight] = 0x27, keySlots[SlotUp] = 0x26, keySlots[SlotAction] = 0xC1;
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
    std::string log;
    for (int i = 0; i < 4; ++i) log += "\nLoaded settings.\n";
    EXPECT_EQ(ReadFile(dir.file("log.txt")), log + "\nSaved settings.\n");
  }));
}

TEST(Settings, AKillAtAnyStepOfSavingLeavesTheOldFileAndOtherwiseTheNewOneWhole) {
  // Volume, Up, Back, Quit: the run saves the volume one step up.
  const std::string script = "4.0 tap 110 165\n5.0 tap 165 145\n5.5 tap 120 185\n6.5 tap 110 225\n";
  const std::string old = settingsBytes(37, 39, 38, 0xC1, 5);
  TempDir dir;
  data_builder::WriteAll(dir.path(), data_builder::SmallWorld());
  // Leftovers of a killed run stay in the folder for the next one, as they would.
  int step = 1;
  for (;; ++step) {
    WriteFile(dir.file("settings.dat"), old);
    auto run = testing_support::RunSim(
        {"--app-dir", dir.path(), "--seconds", "10", "--kill-at", "settings.dat:" + std::to_string(step)}, script);
    if (run.exitCode == 0) break;
    EXPECT_EQ(ReadFile(dir.file("settings.dat")), old) << "killed before step " << step;
    ASSERT_LT(step, 20) << run.err;
  }
  // Create, write half, write the rest, flush, close, replace: six places to die, then it is saved.
  EXPECT_EQ(step, 7);
  EXPECT_EQ(ReadFile(dir.file("settings.dat")), settingsBytes(37, 39, 38, 0xC1, 47));
}

// Where the app directory is not to be written, the device puts what the game writes in the user's
// folder and reads from there first; the log there starts by naming both folders.
TEST(Settings, AUserFolderTakesWhatTheGameWritesAndIsReadBeforeTheAppDirectory) {
  TempDir dir, user;
  WriteFile(dir.file("settings.dat"), settingsBytes(1, 2, 3, 4, 5));
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.userDirectory = user.path();
    testing_support::StartDevice(dir, config);
    SettingsLoad();
    volumeSetting = 9;
    SettingsSave();
    volumeSetting = 0;
    SettingsLoad();
    EXPECT_EQ(settingsNow(), settingsBytes(1, 2, 3, 4, 9));
    LogClose();
    EXPECT_EQ(ReadFile(dir.file("settings.dat")), settingsBytes(1, 2, 3, 4, 5));
    EXPECT_EQ(ReadFile(user.file("settings.dat")), settingsBytes(1, 2, 3, 4, 9));
    EXPECT_FALSE(testing_support::FileExists(dir.file("log.txt")));
    EXPECT_EQ(ReadFile(user.file("log.txt")), "Zelvo " ZELVO_VERSION "\nWorld: " + dir.path() + "\nYour files: " +
                                                  user.path() + "\n\nLoaded settings.\n\nSaved settings.\n\nLoaded settings.\n");
  }));
}
