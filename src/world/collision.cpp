// collision.cpp -- the layer map: drawing depth and collisions decided per pixel.
#include "world/collision.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "gfx/display.h"
#include "services/timer.h"
#include "services/watch.h"
#include "world/objects.h"

uint32_t collisionMap[kMapSize * kMapSize];

void clearCollisionMap() {
  for (uint32_t& cell : collisionMap) cell = 0;
}

static bool inPlayfield(int32_t x, int32_t y) {
  return x >= 0 && x < kPlayfieldWidth && y >= 0 && y < kPlayfieldHeight;
}

static uint32_t& cellAt(int32_t x, int32_t y) { return collisionMap[x * kMapSize + y]; }

static uint64_t backIndex(int32_t x, int32_t y) {
  return static_cast<uint64_t>(y + kPlayfieldTop) * kBackStride + static_cast<uint64_t>(x + kPlayfieldLeft);
}

// Layers run 0..31; the spawner keeps them there, the mask keeps a stray value from shifting too far.
static uint32_t bitOf(uint8_t layer) { return 1u << (layer & 31); }
static uint32_t bitsAbove(uint8_t layer) { return (layer & 31) == 31 ? 0 : ~0u << ((layer & 31) + 1); }

// A frame the sprite does not have is transparent, so a short sprite never reads past its pixels.
static uint16_t pixelAt(const Sprite& object, int32_t column, int32_t row) {
  if (object.pixelsReady != 1 || !object.pixels || object.frame < 1 || object.frame > object.frameCount) return 0;
  return object.pixels[((object.frame - 1) * object.height + row) * object.width + column];
}

// The playfield columns c and rows r of an object at (x0, y0): 0 <= x0 + c < 210 and 0 <= y0 + r < 190.
struct Span {
  int32_t first, end;
};
static Span clipped(int32_t origin, int32_t size, int32_t limit) {
  return {std::max(0, -origin), std::min(size, limit - origin)};
}

bool drawSprite(Sprite& object) {
  const int32_t x0 = pixelOf(object.x), y0 = pixelOf(object.y);
  const uint32_t bit = bitOf(object.layer), above = bitsAbove(object.layer);
  const Span columns = clipped(x0, object.width, kPlayfieldWidth), rows = clipped(y0, object.height, kPlayfieldHeight);
  // A frame the sprite does not have draws nothing (pixelAt gives 0 for all of it).
  const bool hasFrame =
      object.pixelsReady == 1 && object.pixels && object.frame >= 1 && object.frame <= object.frameCount;
  for (int32_t r = rows.first; hasFrame && r < rows.end; ++r) {
    const uint16_t* row = object.pixels + ((object.frame - 1) * object.height + r) * object.width;
    for (int32_t c = columns.first; c < columns.end; ++c) {
      const uint16_t p = row[c];
      if (p == 0) continue;
      uint32_t& cell = cellAt(x0 + c, y0 + r);
      cell |= bit;
      if ((cell & above) == 0) storeBack(backIndex(x0 + c, y0 + r), p);
    }
  }
  object.flags |= SpriteDrawn;
  return true;
}

namespace {

// A drawn object below the one being erased, with what pixelBelow asks of it worked out once.
struct Lower {
  const Sprite* sprite;
  int32_t left, right, top, bottom;  // its integer rectangle; right and bottom are the last pixel's
  const uint16_t* frame;             // its current frame's pixels; null when it has none
  size_t columns;                    // where its frame columns for the erased columns start in frameColumns
  int32_t row;                       // its frame row for the playfield row being erased
};

// Kept between calls so that erasing allocates nothing once they have grown.
std::vector<Lower> lower;
std::vector<const Lower*> lowerInRow;
std::vector<int16_t> playfieldColumns;  // pixelOf(object.x + c) for each erased column c
std::vector<int16_t> frameColumns;      // pixelOf((object.x + c) - below.x) for each lower object and c

// The drawn objects of lower layers, in list order (the only ones that can show through), that
// reach the playfield pixels of the erased columns first..end-1 and rows top..bottom-1.
void findLower(const Sprite& object, int32_t first, int32_t end, int32_t top, int32_t bottom) {
  lower.clear();
  playfieldColumns.clear();
  frameColumns.clear();
  for (int32_t c = first; c < end; ++c) playfieldColumns.push_back(pixelOf(object.x + c));
  const auto [leftmost, rightmost] = std::minmax_element(playfieldColumns.begin(), playfieldColumns.end());
  int32_t highest = INT32_MAX, lowest = INT32_MIN;
  for (int32_t r = top; r < bottom; ++r) {
    highest = std::min<int32_t>(highest, pixelOf(object.y + r));
    lowest = std::max<int32_t>(lowest, pixelOf(object.y + r));
  }
  if (playfieldColumns.empty() || top >= bottom) return;
  for (const Sprite& below : objectList) {
    if (below.layer >= object.layer || !(below.flags & SpriteDrawn)) continue;
    const int32_t ox = pixelOf(below.x), oy = pixelOf(below.y);
    if (ox + below.width - 1 < *leftmost || ox > *rightmost || oy + below.height - 1 < highest || oy > lowest) continue;
    const bool hasFrame = below.pixelsReady == 1 && below.pixels && below.frame >= 1 && below.frame <= below.frameCount;
    const uint16_t* frame = hasFrame ? below.pixels + (below.frame - 1) * below.height * below.width : nullptr;
    lower.push_back({&below, ox, ox + below.width - 1, oy, oy + below.height - 1, frame, frameColumns.size(), 0});
    for (int32_t c = first; c < end; ++c) frameColumns.push_back(pixelOf((object.x + c) - below.x));
  }
}

// Those of them that reach the playfield row of the object's row r, in the same order.
void findLowerInRow(const Sprite& object, int32_t r) {
  const int32_t py = pixelOf(object.y + r);
  lowerInRow.clear();
  for (Lower& below : lower) {
    if (py < below.top || py > below.bottom) continue;
    below.row = pixelOf((object.y + r) - below.sprite->y);
    lowerInRow.push_back(&below);
  }
}

// pixelBelow for the k-th erased column, looking only at the lower objects that reach the row:
// framePixel of each, from the frame columns and row worked out before.
uint16_t pixelAmongLower(size_t k) {
  const int32_t px = playfieldColumns[k];
  for (const Lower* below : lowerInRow) {
    if (px < below->left || px > below->right) continue;
    const Sprite& s = *below->sprite;
    const int32_t column = frameColumns[below->columns + k], row = below->row;
    uint16_t p = 0xFFFF;  // outside the object
    if (column >= 0 && column < s.width && row >= 0 && row < s.height)
      p = below->frame ? below->frame[row * s.width + column] : 0;
    if (p != 0) return p;
    if (s.layer == 0) break;  // the background picture is the bottom; its holes show the playfield
  }
  return kPlayfieldPixel;
}

}  // namespace

bool eraseSprite(Sprite& object) {
  if (!(object.flags & SpriteDrawn)) return false;
  const int32_t x0 = pixelOf(object.x), y0 = pixelOf(object.y);
  const uint32_t bit = bitOf(object.layer), above = bitsAbove(object.layer);
  const Span columns = clipped(x0, object.width, kPlayfieldWidth), rows = clipped(y0, object.height, kPlayfieldHeight);
  findLower(object, columns.first, columns.end, rows.first, rows.end);
  for (int32_t r = rows.first; r < rows.end; ++r) {
    findLowerInRow(object, r);
    for (int32_t c = columns.first; c < columns.end; ++c) {
      uint32_t& cell = cellAt(x0 + c, y0 + r);
      cell &= ~bit;
      if ((cell & above) == 0) storeBack(backIndex(x0 + c, y0 + r), pixelAmongLower(c - columns.first));
    }
  }
  object.flags &= static_cast<uint8_t>(~SpriteDrawn);
  return true;
}

uint16_t pixelBelow(const Sprite& object, int32_t c, int32_t r) {
  findLower(object, c, c + 1, r, r + 1);
  findLowerInRow(object, r);
  return pixelAmongLower(0);
}

uint16_t framePixel(const Sprite& object, int32_t column, int32_t row) {
  if (column < 0 || column >= object.width || row < 0 || row >= object.height) return 0xFFFF;
  if (object.pixelsReady != 1) return 0;
  return pixelAt(object, column, row);
}

void markDirty(Sprite& object) {
  const int32_t x = pixelOf(object.x), y = pixelOf(object.y), w = object.width, h = object.height;
  const int32_t px = pixelOf(object.prevX), py = pixelOf(object.prevY);
  int32_t left = x, top = y, width = w, height = h;
  if (px != 0 || py != 0) {
    left = std::min(x, px);
    top = std::min(y, py);
    width = std::abs(x - px) + w;
    height = std::abs(y - py) + h;
  }
  // The view position is 16-bit: far enough off the top or left it wraps round and is dropped.
  int64_t viewLeft = static_cast<uint16_t>(left + kPlayfieldLeft);
  int64_t viewTop = static_cast<uint16_t>(top + kPlayfieldTop);
  if (viewLeft < 15) viewLeft = 15;
  object.prevX = 0.0;
  object.prevY = 0.0;
  if (viewLeft > 225) return;
  if (viewTop < 25) viewTop = 25;
  if (viewTop > 215) return;
  int64_t w64 = width, h64 = height;
  if (viewLeft + w64 > 240) w64 = 240 - viewLeft;
  if (viewTop + h64 > 240) h64 = 240 - viewTop;
  if (w64 == 0 || w64 > 240) w64 = 1;
  if (h64 == 0 || h64 > 240) h64 = 1;
  addDirtyRect(static_cast<uint32_t>(viewLeft), static_cast<uint32_t>(viewTop), static_cast<uint32_t>(w64),
               static_cast<uint32_t>(h64));
}

bool redrawSprite(Sprite& object) {
  drawSprite(object);
  markDirty(object);
  return true;
}

// A rate of 0 gives no period at all; such an object simply never advances.
static bool periodPassed(uint64_t since, uint8_t rate) {
  return rate != 0 && TimerCount() - since > counterFrequency / rate;
}

bool animateSprite(Sprite& object) {
  if (!periodPassed(object.animTime, object.animRate)) return false;
  eraseSprite(object);
  object.frame = static_cast<uint8_t>(object.frame + 1);
  if (object.frame > object.lastFrame) object.frame = object.firstFrame;
  drawSprite(object);
  markDirty(object);
  object.animTime = TimerCount();
  return true;
}

bool moveDue(const Sprite& object) { return periodPassed(object.moveTime, object.moveRate); }

void updateObjects(uint8_t lo, uint8_t hi) {
  sortObjects();
  for (Sprite& object : objectList) {
    if (object.layer < lo || object.layer > hi || !(object.flags & SpriteEnabled)) continue;
    if (object.flags & SpriteAnimated) animateSprite(object);
    if (object.motion != 2) continue;
    if (moveDue(object)) {
      eraseSprite(object);
      object.prevX = object.x;
      object.x += object.speedX;
      redrawSprite(object);
      object.moveTime = TimerCount();
    }
    // Speed starts at 0, so a patroller waits until the right-edge rule first turns it.
    if (object.speedX < 0 && object.x < 3.0) object.speedX = 1.0;
    if (object.speedX >= 0 && object.x + object.width + 1.0 > 206.0) object.speedX = -1.0;
  }
  if (watch::afterObjectsUpdated) watch::afterObjectsUpdated();
}

bool isSolidAt(int32_t x, int32_t y) {
  // Taken as unsigned, so negative coordinates are outside too.
  if (static_cast<uint32_t>(x) > 225 || static_cast<uint32_t>(y) > 189) return false;
  return (cellAt(x, y) & bitOf(SolidLayer)) != 0;
}

bool isRowClear(int32_t x, int32_t y, int32_t width, int32_t dy) {
  if (width - 2 <= 2) return true;
  for (int32_t i = 2; i < width - 2; ++i)
    if (isSolidAt(x + i, y + dy)) return false;
  return true;
}

Box boxOf(const Sprite& object) {
  const int32_t x = pixelOf(object.x), y = pixelOf(object.y);
  return {x, x + object.width, y, y + object.height};
}

bool rectsOverlap(const Box& a, const Box& b) {
  const bool apart = (a.left < b.left && a.right < b.left) || (a.left > b.right && a.right > b.right) ||
                     (a.top < b.top && a.bottom < b.top) || (a.top > b.bottom && a.bottom > b.bottom);
  return !apart;
}

bool touchesHazard(const Sprite& player) {
  const Box me = boxOf(player);
  const uint32_t both = bitOf(PlayerLayer) | bitOf(HazardLayer);
  for (const Sprite& hazard : objectList) {
    if (hazard.layer != HazardLayer || !rectsOverlap(me, boxOf(hazard))) continue;
    // Any hazard's pixel counts here, not only this one's: the map does not say whose bit it is.
    for (int32_t r = 0; r < player.height; ++r)
      for (int32_t c = 0; c < player.width; ++c)
        if (inPlayfield(me.left + c, me.top + r) && (cellAt(me.left + c, me.top + r) & both) == both) return true;
  }
  return false;
}
