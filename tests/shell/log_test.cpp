// log_test.cpp -- log.txt: recreated at start, one message a line, silent when it cannot be written.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "shell/log.h"
#include "shell/shell.h"
#include "support/testing.h"

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
    LogWrite("\nDevice: [%dx%dx%d] GAPI: %s", 240, 320, 16, "no");
    LogWrite("\nHW counter freq: %I64d", static_cast<long long>(0x123456789ll));
    LogWrite("%s", std::string(5000, 'x').c_str());  // an overlong message keeps its line feed
    LogClose();
    LogWrite("\nAfter the log is closed");  // goes nowhere
  }));
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "\nStarting up\nGfxInit\n\nDevice: [240x320x16] GAPI: no\n\nHW counter freq: "
                                           "4886718345\n" + std::string(4094, 'x') + "\n");
}

TEST(Log, ALogHeldByAnotherWriterIsLeftAloneAndNothingFails) {
  TempDir dir;
  WriteFile(dir.file("log.txt"), "");
  FileHandle other = FileCreate(dir.file("log.txt"), true);
  ASSERT_NE(other, nullptr);
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
