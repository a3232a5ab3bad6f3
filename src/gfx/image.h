// image.h -- run-length pictures: lookup, drawing with save buffers, restore, the game frame.
#pragma once

#include <cstdint>

#include "data/tables.h"

// Copy the image of an id into *out; false (and *out untouched) when there is none.
bool getImage(uint32_t id, ImageRecord* out);

// Draw an image with its top-left pixel at view (x, y), saving what it covers when it has a
// save buffer. Returns 0.
int drawImage(uint32_t x, uint32_t y, const ImageRecord& image);
