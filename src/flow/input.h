// input.h -- the one-tap latch and the four game keys.
#pragma once

#include <cstdint>

extern uint16_t tapX;  // the latched tap in view pixels; both 0 = none
extern uint16_t tapY;
extern uint8_t keyDown[4];  // Left, Right, Up, Action: 1 while down at the last poll

// Window procedure: a stylus-down at screen point (sx, sy).
void LatchTap(uint32_t sx, uint32_t sy);

// True while a tap is latched.
bool TapPending();

// The latched tap (x in the high 16 bits, y in the low 16 bits), cleared; 0 when none.
uint32_t TakeTap();

// Every frame and the dialog box: refresh keyDown from the four key slots.
void ReadGameKeys();

// Key definition: the first pressed key of the device's key list, or 0.
uint32_t AnyGapiKey();
