// player.h -- the player's movement: seven states run once per frame of play.
#pragma once

#include <cstdint>

#include "data/tables.h"

constexpr uint32_t kJumpSteps = 20;
constexpr uint32_t kFallSteps = 25;

// Pixels per jump step (upward) and per fall step; NewGame builds them.
extern double jumpTable[kJumpSteps];
extern double fallTable[kFallSteps];

void buildStepTables();

// Switch playerState, remembering the old one.
void setPlayerState(uint32_t state);

// Run the rules of the current state for one frame; elapsed is the frame's seconds. Standing's
// Action key and Dying's sequence are the in-game update's.
void movePlayer(Sprite& player, double elapsed);
