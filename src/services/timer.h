// timer.h -- the game clock in seconds and the raw performance counter.
#pragma once

#include <cstdint>

extern uint64_t counterFrequency;  // raw ticks per second

// Start-up: 0, or 10 when the device has no performance counter.
int TimerInit();

// Frame pacing and the splash hold: the game clock in seconds, 0.0 at its first reading,
// never going back.
double TimerNow();

// Game code measuring short intervals: the raw counter (0 when it cannot be read).
uint64_t TimerCount();
