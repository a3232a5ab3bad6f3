// image.h -- run-length pictures: lookup, drawing with save buffers, restore, the game frame.
#pragma once

#include <cstdint>

#include "data/tables.h"
#include "data/tables.h"

// Copy the image of an id into *out; false (and *out untouched) when there is none.
bool getImage(uint32_t id, ImageRecord* out);

// Copy the enabled sprite template of an id into *out; false when there is none or it is disabled.
bool getSprite(uint32_t id, Sprite* out);

// Draw an image with its top-left pixel at view (x, y), saving what it covers when it has a
// save buffer, and mark it dirty. Returns 0.
int drawImage(uint32_t x, uint32_t y, const ImageRecord& image);

// Draw the image of an id at (x, y) when there is one; a missing picture is simply not drawn.
void drawImageById(uint32_t id, uint32_t x, uint32_t y);

// Decode size bytes of run-length data as a width x height picture at (x, y) and mark it dirty.
// Returns 0.
int drawRunLength(uint32_t x, uint32_t y, uint32_t width, uint32_t height, const uint8_t* data, uint32_t size);

// Put back what the image's last draw covered; false (nothing done) without a save buffer.
bool restoreImage(uint32_t x, uint32_t y, const ImageRecord& image);

// The framed window of menus and play: playfield box, border pieces 1 and 2, all marked dirty.
void drawGameFrame();
