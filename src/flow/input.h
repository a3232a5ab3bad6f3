// input.h -- the one-tap latch and the four game keys.
#pragma once

#include <cstdint>

// Window procedure: a stylus-down at screen point (sx, sy).
void LatchTap(uint32_t sx, uint32_t sy);
