// timer_test.cpp -- the game clock: frequency reduction, wrap, step back, stall guard.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "services/log.h"
#include "services/timer.h"
#include "support/device.h"

using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

headless::DeviceConfig counter(uint64_t hz, uint64_t start = 0) {
  headless::DeviceConfig config;
  config.counterHz = hz;
  config.counterStart = start;
  return config;
}

}  // namespace

TEST(Timer, ReducesTheFrequencyToTwoMegahertzOrBelowAndFailsWithoutACounter) {
  // After 2^(shift+1) - 1 counter ticks the reduced counter has moved by exactly one tick, so the
  // clock shows one reduced tick; a shift one too small or too large would show 1.5 ticks or none.
  const uint64_t cases[][3] = {{3579545, 1, 1789772},
                               {1000, 0, 1000},
                               {2000000, 0, 2000000},
                               {2000001, 1, 1000000},
                               {uint64_t{1} << 40, 20, 1048576}};  // high word set
  for (const auto& [hz, shift, reducedHz] : cases) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      testing_support::StartDevice(dir, counter(hz));
      ASSERT_EQ(TimerInit(), 0);
      EXPECT_EQ(TimerNow(), 0.0);
      headless::AdjustCounter((int64_t{1} << (shift + 1)) - 1);
      EXPECT_EQ(TimerNow(), 1.0 / static_cast<double>(reducedHz));
      LogClose();
    })) << "counter of " << hz << " Hz";
    EXPECT_EQ(testing_support::ReadFile(dir.file("log.txt")), "\nHW counter freq: " + std::to_string(hz) + "\n");
  }
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.counterAvailable = false;
    testing_support::StartDevice(dir, config);
    EXPECT_EQ(TimerInit(), 10);
    EXPECT_EQ(TimerCount(), 0u);
    LogClose();
  }));
  EXPECT_EQ(testing_support::ReadFile(dir.file("log.txt")), "\nNo performance counter\n");
}

TEST(Timer, StartsAtZeroCountsWrapsForwardAndHoldsWhenTheCounterStepsBackALittle) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    testing_support::StartDevice(dir, counter(1000, 0xFFFFFFF0u - 250));
    ASSERT_EQ(TimerInit(), 0);
    SysSleep(250);  // time before the first reading does not count
    EXPECT_EQ(TimerNow(), 0.0);
    SysSleep(32);  // 0xFFFFFFF0 -> 0x1'00000010
    EXPECT_DOUBLE_EQ(TimerNow(), 0.032);
    SysSleep(468);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);  // the same counter gives the same time
    EXPECT_EQ(TimerCount(), uint64_t{0xFFFFFFF0} - 250 + 750);
    EXPECT_EQ(counterFrequency, 1000u);
    headless::AdjustCounter(-50);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);  // held, and the lower reading becomes the base
    SysSleep(20);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.52);
    // A step back of 0x10000000 reduced ticks or more is a wrap: counted forward modulo 2^32.
    headless::AdjustCounter(-0x10000000ll);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.52 + (4294967296.0 - 268435456.0) / 1000.0);
  }));
}

TEST(Timer, JumpsOneSecondWhenTheClockStallsForMoreThanAHundredThousandReadings) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    testing_support::StartDevice(dir, counter(2000000));
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
