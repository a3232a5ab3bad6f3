// collision.h -- the per-pixel layer map of the playfield, drawing and erasing objects through it,
// animation and patrol, and the collision queries.
#pragma once

#include <cstdint>

#include "data/tables.h"

constexpr int kPlayfieldWidth = 210;
constexpr int kPlayfieldHeight = 190;
constexpr int kPlayfieldLeft = 15;  // the playfield's place in the view
constexpr int kPlayfieldTop = 25;
constexpr uint16_t kPlayfieldPixel = 0xCE5F;  // the empty playfield, RGB(200, 200, 255)
constexpr int kMapSize = 240;

// One mask per playfield pixel, column-major (x * 240 + y): bit n is set while a drawn object of
// layer n covers the pixel with one of its own.
extern uint32_t collisionMap[kMapSize * kMapSize];

void clearCollisionMap();

// Draw the object's current frame where no higher layer covers it and set its bit; sets drawn.
bool drawSprite(Sprite& object);
// Take a drawn object out: clear its bit and repaint what lies below it. False if it was not drawn.
bool eraseSprite(Sprite& object);
// What shows at column c, row r of the object once it is gone: the topmost drawn lower object's
// pixel, or the empty playfield.
uint16_t pixelBelow(const Sprite& object, int32_t c, int32_t r);
// The object's current-frame pixel; 0xFFFF outside the object, 0 when it has no pixels.
uint16_t framePixel(const Sprite& object, int32_t column, int32_t row);
// Append the object's rectangle (with its previous place, if any) to the dirty list; forgets the
// previous place even when nothing is appended.
void markDirty(Sprite& object);
// drawSprite then markDirty.
bool redrawSprite(Sprite& object);
// Advance the frame when the animation period has passed; true if it did.
bool animateSprite(Sprite& object);
// True when the patrol period has passed.
bool moveDue(const Sprite& object);
// Sort objectList, then animate and patrol its enabled objects of layers lo..hi.
void updateObjects(uint8_t lo, uint8_t hi);

bool isSolidAt(int32_t x, int32_t y);
// No solid pixel in row y + dy from column x + 2 to x + width - 3.
bool isRowClear(int32_t x, int32_t y, int32_t width, int32_t dy);
// A player pixel and a hazard pixel share a cell, once a hazard's rectangle touches the player's.
bool touchesHazard(const Sprite& player);

// Rectangles as left, right, top, bottom with right and bottom one past the last pixel; touching
// edges count as overlapping.
struct Box {
  int32_t left, right, top, bottom;
};
bool rectsOverlap(const Box& a, const Box& b);
// An object's integer rectangle.
Box boxOf(const Sprite& object);
