// objects.h -- the live objects of the current screen and the world state.
#pragma once

#include <cstdint>

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

// Input flags of the in-game update, from the four game keys; jumpRequested and previousInAir
// carry over from frame to frame, the others are made afresh every frame.
extern bool leftHeld;
extern bool rightHeld;
extern bool horizontalHeld;
extern bool actionPressed;
extern bool jumpRequested;
extern bool inAir;          // nothing solid under the player's feet at the start of the frame
extern bool previousInAir;  // inAir at the end of the previous frame

// Positions are doubles; every pixel test and drawing uses them truncated toward zero to 16 bits.
int16_t pixelOf(double position);

// The screen grid: slot column * 10 + row of screenMap; a slot whose screenNumber is 0 is empty.
uint32_t currentScreenNumber();
// Each moves one slot when the neighbour exists and holds a screen; false (no change) otherwise.
bool moveScreenUp();
bool moveScreenDown();
bool moveScreenLeft();
bool moveScreenRight();
// Row and column of the first slot (column by column) holding screen number; -1 when none does.
int32_t rowOfScreen(uint32_t number);
int32_t columnOfScreen(uint32_t number);

// The player: the first live object of layer 16, or null.
Sprite* findPlayer();

// Stable sort of objectList by descending layer: equal layers keep their order.
void sortObjects();
