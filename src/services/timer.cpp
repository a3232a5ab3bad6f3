// timer.cpp -- the game clock, robust against a counter that stalls, steps back or wraps.
#include "services/timer.h"

#include "platform/system.h"
#include "services/log.h"

uint64_t counterFrequency = 0;

static uint32_t tickShift = 0;
static double secondsPerTick = 0.0;
static double clockSeconds = 0.0;
static double lastReturned = 0.0;
static uint32_t lastCount = 0;
static int32_t sameCount = 0;
static bool firstReading = true;

int TimerInit() {
  if (!SysCounterFrequency(&counterFrequency)) {
    LogWrite("\nNo performance counter");
    return 10;
  }
  LogWrite("\nHW counter freq: %I64d", static_cast<long long>(counterFrequency));
  // Bring the frequency to 2 MHz or below, so the reduced counter wraps only every half hour or more.
  uint64_t f = counterFrequency;
  tickShift = 0;
  while ((f >> 32) != 0 || static_cast<uint32_t>(f) > 2000000u) {
    f >>= 1;
    ++tickShift;
  }
  secondsPerTick = 1.0 / static_cast<double>(static_cast<uint32_t>(f));
  return 0;
}

double TimerNow() {
  uint64_t c = 0;
  SysCounterValue(&c);
  const uint32_t r = static_cast<uint32_t>(c >> tickShift);
  if (firstReading) {
    lastCount = r;
    firstReading = false;
    return clockSeconds;
  }
  if (r <= lastCount && lastCount - r < 0x10000000u) {
    // Not moved on, or stepped back a little: the clock holds still.
    lastCount = r;
    return clockSeconds;
  }
  const uint32_t delta = r - lastCount;  // modulo 2^32, so a wrap counts forward
  clockSeconds += delta * secondsPerTick;
  lastCount = r;
  if (clockSeconds == lastReturned) {
    if (++sameCount > 100000) {
      clockSeconds += 1.0;
      lastReturned = clockSeconds;
      sameCount = 0;
      return clockSeconds;
    }
  } else {
    sameCount = 0;
  }
  lastReturned = clockSeconds;
  return clockSeconds;
}

uint64_t TimerCount() {
  uint64_t count = 0;
  SysCounterValue(&count);
  return count;
}
