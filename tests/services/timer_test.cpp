// timer_test.cpp -- the game clock: frequency reduction, wrap, step back, stall guard.
#include <gtest/gtest.h>

#include "platform/system.h"
#include "services/log.h"
#include "services/timer.h"
#include "support/device.h"

using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

// A device whose counter runs at hz from start (none when hz is 0), the log in dir, the clock started.
int startClock(const TempDir& dir, uint64_t hz, uint64_t start = 0) {
  headless::DeviceConfig config;
  config.counterHz = hz, config.counterStart = start, config.counterAvailable = hz != 0;
  testing_support::StartDevice(dir, config);
  return TimerInit();
}

}  // namespace

TEST(Timer, ReducesTheFrequencyToTwoMegahertzOrBelowAndFailsWithoutACounter) {
  // After 2^(shift+1) - 1 counter ticks the reduced counter has moved by exactly one tick, so the
  // clock shows one reduced tick; a shift one too small or too large would show 1.5 ticks or none.
  const uint64_t cases[][3] = {{3579545, 1, 1789772}, {1000, 0, 1000}, {2000000, 0, 2000000}, {2000001, 1, 1000000},
                               {uint64_t{1} << 40, 20, 1048576}, {0, 0, 0}};
  for (const auto& [hz, shift, reducedHz] : cases) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      ASSERT_EQ(startClock(dir, hz), hz ? 0 : 10);
      EXPECT_EQ(TimerNow(), 0.0);
      headless::AdjustCounter((int64_t{1} << (shift + 1)) - 1);
      EXPECT_EQ(TimerNow(), hz ? 1.0 / static_cast<double>(reducedHz) : 0.0);
      LogClose();
      EXPECT_EQ(testing_support::ReadFile(dir.file("log.txt")),
                hz ? "\nHW counter freq: " + std::to_string(hz) + "\n" : "\nNo performance counter\n");
    })) << "counter of " << hz << " Hz";
  }
}

TEST(Timer, StartsAtZeroWrapsForwardHoldsWhenTheCounterStepsBackAndJumpsASecondWhenItStalls) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(startClock(dir, 1000, 0xFFFFFFF0u - 250), 0);
    SysSleep(250);  // time before the first reading does not count
    EXPECT_EQ(TimerNow(), 0.0);
    SysSleep(32);  // 0xFFFFFFF0 -> 0x1'00000010
    EXPECT_DOUBLE_EQ(TimerNow(), 0.032);
    SysSleep(468);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);
    EXPECT_EQ(TimerCount(), uint64_t{0xFFFFFFF0} - 250 + 750);
    headless::AdjustCounter(-50);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.5);  // held, and the lower reading becomes the base
    SysSleep(20);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.52);
    // A step back of 0x10000000 reduced ticks or more is a wrap: counted forward modulo 2^32.
    headless::AdjustCounter(-0x10000000ll);
    EXPECT_DOUBLE_EQ(TimerNow(), 0.52 + (4294967296.0 - 268435456.0) / 1000.0);
  }));
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(startClock(dir, 2000000), 0);
    // Drive the clock so far (by forward wraps) that one tick of 0.5 us no longer changes it.
    double now = TimerNow();
    while (now < 1.8e10) {
      headless::AdjustCounter(0xEFFFFFFF);
      now = TimerNow();
    }
    for (int reading = 1; reading <= 100000; ++reading) {
      headless::AdjustCounter(1);
      ASSERT_EQ(TimerNow(), now) << "reading " << reading;
    }
    headless::AdjustCounter(1);
    EXPECT_EQ(TimerNow(), now + 1.0);  // the 100,001st stalled reading
    headless::AdjustCounter(1);
    EXPECT_EQ(TimerNow(), now + 1.0);  // and the count starts again
  }));
}
