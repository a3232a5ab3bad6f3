// monkey.h -- zelvo-sim's monkey soak: random input, and the game's invariants checked as it plays.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/display.h"
#include "platform/headless/headless.h"

namespace monkey {

// Random keys, taps and focus changes for `seconds` of virtual time, drawn from the seed; a tap
// never lands on the title's Quit button, so the run goes on to its end.
std::vector<headless::ScriptEvent> Input(uint32_t seed, double seconds, const KeyList& keys, int32_t screenWidth,
                                         int32_t screenHeight);

// Check the invariants at every update pass and present, and at the end of every frame (call
// AfterFrame then). A broken one is reported with the frame and the seed, and ends the program
// with exit code 4.
void Watch(uint32_t seed);
void AfterFrame();
// One line: the seed, the frames played and how many of them in play.
void Summary();

}  // namespace monkey
