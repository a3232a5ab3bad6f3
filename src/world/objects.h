// objects.h -- the live objects of the current screen and the world state.
#pragma once

#include <cstdint>
#include <list>

#include "data/tables.h"

// The player's movement states.
enum PlayerState : uint32_t {
  Standing = 1,
  Jumping = 2,
  Falling = 3,
  Walking = 4,
  WalkJumping = 5,
  WalkFalling = 6,
  Dying = 7,
};

struct Checkpoint {
  uint32_t screenNumber = 0;
  uint16_t x = 0;
  uint16_t y = 0;
  uint8_t firstFrame = 0;
  uint8_t lastFrame = 0;
  uint8_t frame = 0;
};

// World state kept between frames of play.
extern uint32_t screenRow;
extern uint32_t screenColumn;
extern uint32_t playerState;
extern uint32_t previousPlayerState;
extern uint8_t lives;
extern uint32_t score;
extern double energy;
extern Checkpoint checkpoint;
extern uint64_t actionDeadline;  // the Action key is ignored until the counter passes this
extern uint32_t jumpStep;
extern uint32_t fallStep;
extern uint64_t jumpStepTime;
extern uint64_t fallStepTime;
extern uint32_t deathStep;
extern uint64_t deathStepTime;
extern int16_t playerX;  // the player's integer position, copied while standing
extern int16_t playerY;
