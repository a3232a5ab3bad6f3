// timer_test.cpp -- the game clock: frequency reduction, wrap, step back, stall guard.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "platform/system.h"
#include "shell/log.h"
#include "shell/shell.h"
#include "shell/timer.h"
#include "support/testing.h"

using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

// A fresh device with the given counter; the log goes to dir so the frequency line can be read.
void startDevice(const TempDir& dir, uint64_t hz, uint64_t start = 0) {
  headless::DeviceConfig config;
  config.appDirectory = dir.path();
  config.counterHz = hz;
  config.counterStart = start;
  headless::Configure(config);
  appDirectory = dir.path() + "/";
  LogOpen();
}

// After 2^(shift+1) - 1 counter ticks the reduced counter has moved by exactly one tick, so the
// clock shows one reduced tick; a shift one too small or too large would show 1.5 ticks or none.
void expectReduction(uint64_t hz, uint32_t shift, uint64_t reducedHz) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir, hz);
    ASSERT_EQ(TimerInit(), 0);
    EXPECT_EQ(TimerNow(), 0.0);
    headless::AdjustCounter((int64_t{1} << (shift + 1)) - 1);
    EXPECT_EQ(TimerNow(), 1.0 / static_cast<double>(reducedHz)) << "counter of " << hz << " Hz";
    LogClose();
  }));
  auto lines = testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt")));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1], "HW counter freq: " + std::to_string(hz));
}

}  // namespace

TEST(Timer, ReducesTheFrequencyToTwoMegahertzOrBelow) {
  expectReduction(3579545, 1, 1789772);
  expectReduction(1000, 0, 1000);
  expectReduction(2000000, 0, 2000000);
  expectReduction(2000001, 1, 1000000);
  expectReduction(uint64_t{1} << 40, 20, 1048576);  // high word set
}

TEST(Timer, FirstReadingIsZeroAndSameCounterGivesSameTime) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir, 1000);
    ASSERT_EQ(TimerInit(), 0);
    SysSleep(250);  // time before the first reading does not count
    EXPECT_EQ(TimerNow(), 0.0);
    SysSleep(500);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);
    EXPECT_EQ(TimerCount(), 750u);
    EXPECT_EQ(counterFrequency, 1000u);
  }));
}

TEST(Timer, CountsAWrapOfTheReducedCounterForward) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir, 1000, 0xFFFFFFF0u);
    ASSERT_EQ(TimerInit(), 0);
    EXPECT_EQ(TimerNow(), 0.0);
    SysSleep(32);  // 0xFFFFFFF0 -> 0x1'00000010
    EXPECT_DOUBLE_EQ(TimerNow(), 0.032);
  }));
}

TEST(Timer, HoldsStillWhenTheCounterStepsBackALittle) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir, 1000, 5000);
    ASSERT_EQ(TimerInit(), 0);
    TimerNow();
    SysSleep(100);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.1);
    headless::AdjustCounter(-50);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.1);  // held, and the lower reading becomes the base
    SysSleep(20);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.12);
    // A step back of 0x10000000 reduced ticks or more is a wrap: counted forward modulo 2^32.
    headless::AdjustCounter(-0x10000000ll);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.12 + (4294967296.0 - 268435456.0) / 1000.0);
  }));
}

TEST(Timer, JumpsOneSecondWhenTheClockStallsForMoreThanAHundredThousandReadings) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir, 2000000);
    ASSERT_EQ(TimerInit(), 0);
    TimerNow();
    // Drive the clock so far (by forward wraps) that one tick of 0.5 us no longer changes it.
    double now = 0.0;
    while (now < 1.8e10) {
      headless::AdjustCounter(0xEFFFFFFF);
      now = TimerNow();
    }
    headless::AdjustCounter(1);
    ASSERT_EQ(TimerNow(), now) << "one tick is still visible; drive the clock further";
    for (int reading = 2; reading <= 100000; ++reading) {
      headless::AdjustCounter(1);
      ASSERT_EQ(TimerNow(), now) << "reading " << reading;
    }
    headless::AdjustCounter(1);
    EXPECT_EQ(TimerNow(), now + 1.0);  // the 100,001st stalled reading
    headless::AdjustCounter(1);
    EXPECT_EQ(TimerNow(), now + 1.0);  // and the count starts again
  }));
}

TEST(Timer, FailsWithoutAPerformanceCounter) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.appDirectory = dir.path();
    config.counterAvailable = false;
    headless::Configure(config);
    appDirectory = dir.path() + "/";
    LogOpen();
    EXPECT_EQ(TimerInit(), 10);
    EXPECT_EQ(TimerCount(), 0u);
    LogClose();
  }));
  EXPECT_EQ(testing_support::ReadFile(dir.file("log.txt")), "\nNo performance counter\n");
}
