// instance_test.cpp -- one running copy per app directory, and the knock that brings it forward.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/sdl/instance.h"
#include "support/testing.h"

using desktop::AskRunningCopyToRaise;
using desktop::InstanceLock;
using testing_support::TempDir;

TEST(DesktopInstance, TheFirstCopyRunsAndASecondFindsIt) {
  TempDir dir;
  InstanceLock first, second;
  EXPECT_TRUE(first.Acquire(dir.path()));
  EXPECT_FALSE(second.Acquire(dir.path()));
  first.Release();
  EXPECT_TRUE(second.Acquire(dir.path()));  // the folder is free again once the first copy is gone
}

TEST(DesktopInstance, CopiesInOtherFoldersDoNotMeet) {
  TempDir one, two;
  InstanceLock first, second;
  EXPECT_TRUE(first.Acquire(one.path()));
  EXPECT_TRUE(second.Acquire(two.path()));
}

TEST(DesktopInstance, ALaterCopyKnocksAndTheRunningCopyHearsItOnce) {
  TempDir dir;
  InstanceLock running;
  ASSERT_TRUE(running.Acquire(dir.path()));
  EXPECT_FALSE(running.RaiseRequested());
  EXPECT_TRUE(AskRunningCopyToRaise(dir.path()));
  EXPECT_TRUE(AskRunningCopyToRaise(dir.path()));
  EXPECT_TRUE(running.RaiseRequested());  // two knocks before a look are one request
  EXPECT_FALSE(running.RaiseRequested());
}

TEST(DesktopInstance, NobodyListensWhereNoCopyRuns) {
  TempDir dir;
  EXPECT_FALSE(AskRunningCopyToRaise(dir.path()));
  InstanceLock gone;
  ASSERT_TRUE(gone.Acquire(dir.path()));
  gone.Release();
  EXPECT_FALSE(AskRunningCopyToRaise(dir.path()));
}

TEST(DesktopInstance, ALeftoverFileInTheWayIsReplaced) {
  TempDir dir;
  testing_support::WriteFile(dir.file("zelvo.fifo"), "left by a crash");
  InstanceLock running;
  ASSERT_TRUE(running.Acquire(dir.path()));
  struct stat info {};
  ASSERT_EQ(::stat(dir.file("zelvo.fifo").c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_TRUE(AskRunningCopyToRaise(dir.path()));
  EXPECT_TRUE(running.RaiseRequested());
}

TEST(DesktopInstance, AFolderThatCannotHoldTheLockLetsTheGameRun) {
  TempDir dir;
  InstanceLock lock;
  EXPECT_TRUE(lock.Acquire(dir.file("no-such-folder")));
  EXPECT_FALSE(lock.RaiseRequested());
}
