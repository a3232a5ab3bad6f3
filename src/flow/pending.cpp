// pending.cpp -- the game flow until the mode machine and input land: frames and taps do nothing.
#include "flow/input.h"
#include "flow/modes.h"

void GameFrame(double) {}
void LatchTap(uint32_t, uint32_t) {}
