// objects.cpp -- storage of the world state.
#include "world/objects.h"

uint32_t screenRow = 0;
uint32_t screenColumn = 0;
uint32_t playerState = 0;
uint32_t previousPlayerState = 0;
uint8_t lives = 0;
uint32_t score = 0;
double energy = 0.0;
Checkpoint checkpoint;
uint64_t actionDeadline = 0;
uint32_t jumpStep = 0;
uint32_t fallStep = 0;
uint64_t jumpStepTime = 0;
uint64_t fallStepTime = 0;
uint32_t deathStep = 0;
uint64_t deathStepTime = 0;
int16_t playerX = 0;
int16_t playerY = 0;
