// objects.cpp -- the world state, the screen grid and the player lookup.
#include "world/objects.h"

#include <algorithm>
#include <cmath>

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

bool leftHeld = false;
bool rightHeld = false;
bool horizontalHeld = false;
bool actionPressed = false;
bool jumpRequested = false;
bool inAir = false;
bool previousInAir = false;

static constexpr uint32_t kGridSize = 10;

int16_t pixelOf(double position) {
  // Positions stay near the playfield; a value past 32 bits (never made by play) counts as 0
  // rather than being undefined.
  if (!(std::fabs(position) < 2147483648.0)) return 0;
  return static_cast<int16_t>(static_cast<int32_t>(position));
}

static uint32_t currentSlot() { return screenColumn * kGridSize + screenRow; }

// Slots outside the map (a corrupt grid position) hold no screen.
static uint32_t screenAt(uint32_t slot) { return slot < screenMap.size() ? screenMap[slot].screenNumber : 0; }

uint32_t currentScreenNumber() { return screenAt(currentSlot()); }

bool moveScreenUp() {
  if (screenRow < 1 || screenAt(currentSlot() - 1) == 0) return false;
  screenRow -= 1;
  return true;
}

bool moveScreenDown() {
  if (screenRow > kGridSize - 2 || screenAt(currentSlot() + 1) == 0) return false;
  screenRow += 1;
  return true;
}

bool moveScreenLeft() {
  if (screenColumn < 1 || screenAt(currentSlot() - kGridSize) == 0) return false;
  screenColumn -= 1;
  return true;
}

bool moveScreenRight() {
  if (screenColumn > kGridSize - 2 || screenAt(currentSlot() + kGridSize) == 0) return false;
  screenColumn += 1;
  return true;
}

static int32_t findSlot(uint32_t number) {
  for (uint32_t slot = 0; slot < screenMap.size(); ++slot)
    if (screenMap[slot].screenNumber == number) return static_cast<int32_t>(slot);
  return -1;
}

int32_t rowOfScreen(uint32_t number) {
  const int32_t slot = findSlot(number);
  return slot < 0 ? -1 : slot % static_cast<int32_t>(kGridSize);
}

int32_t columnOfScreen(uint32_t number) {
  const int32_t slot = findSlot(number);
  return slot < 0 ? -1 : slot / static_cast<int32_t>(kGridSize);
}

Sprite* findPlayer() {
  for (Sprite& object : objectList)
    if (object.layer == PlayerLayer) return &object;
  return nullptr;
}

void sortObjects() {
  const auto deeper = [](const Sprite& a, const Sprite& b) { return a.layer > b.layer; };
  // The list is nearly always in order already, and a stable sort would leave it as it is.
  if (!std::is_sorted(objectList.begin(), objectList.end(), deeper)) objectList.sort(deeper);
}
