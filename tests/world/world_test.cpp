// world_test.cpp -- dirty rectangles and the collision queries, on a test back buffer (depth, erasing,
// patrol and animation are played in the scenarios' golden pictures and traces).
#include <gtest/gtest.h>

#include <list>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "world/collision.h"
#include "world/objects.h"

namespace {

class WorldTest : public gfx_testing::BackBufferTest {
 protected:
  void SetUp() override {
    BackBufferTest::SetUp();
    clearCollisionMap();
    objectList.clear();
  }
  void TearDown() override {
    objectList.clear();
    BackBufferTest::TearDown();
  }
  // A live object of one colour (0 where hole says so), appended to the list.
  Sprite& add(uint8_t layer, double x, double y, int16_t w, int16_t h, uint16_t colour,
              bool (*hole)(int c, int r) = nullptr) {
    std::vector<uint16_t>& pixels = owned.pixels.emplace_back();
    for (int r = 0; r < h; ++r)
      for (int c = 0; c < w; ++c) pixels.push_back(hole && hole(c, r) ? 0 : colour);
    Sprite s;
    s.layer = layer, s.x = x, s.y = y, s.width = w, s.height = h, s.pixels = pixels.data(), s.pixelsReady = 1;
    s.frameCount = s.firstFrame = s.lastFrame = s.frame = 1, s.flags = SpriteEnabled;
    objectList.push_back(s);
    return objectList.back();
  }
  std::vector<DirtyRect> takeDirty() {
    std::vector<DirtyRect> rects(dirtyList.begin(), dirtyList.end());
    dirtyList.clear();
    return rects;
  }
};

bool ring(int c, int r) { return c == 1 && r == 1; }  // a hole in the middle of a 3 x 3 block

TEST_F(WorldTest, DirtyRectanglesCoverBothPlacesAndAreClampedOrDroppedAtTheEdges) {
  struct Case {
    double x, y, prevX, prevY;
    std::vector<DirtyRect> rects;
  } cases[] = {
      {30, 40, 0, 0, {{45, 65, 10, 8}}},      // no previous place: the object alone
      {30, 40, 28, 0, {{43, 25, 12, 48}}},    // a patrol step: the old top counts as 0
      {30, 40, 35, 44, {{45, 65, 15, 12}}},   // the union of both places
      {-10, 40, 0, 0, {{15, 65, 10, 8}}},     // up to 15 off the left edge: moved to the edge
      {-16, 40, 0, 0, {}},                    // further off: the 16-bit sum wraps and is dropped
      {30, -26, 0, 0, {}},                    // more than 25 above the top: dropped
      {205, 185, 0, 0, {{220, 210, 10, 8}}},  // inside the view at the bottom right
      {210, 40, 216, 0, {{225, 25, 15, 48}}}, // one past the view's right edge: cut there
      {211, 40, 0, 0, {}},                    // further right: dropped
      {30, 190, 0, 210, {{15, 215, 40, 25}}}, // below the playfield: cut at the view's bottom
      {30, 0.5, 0, 0.7, {{45, 25, 10, 8}}},   // a previous place that truncates to (0, 0)
  };
  for (const Case& c : cases) {
    Sprite& s = add(2, c.x, c.y, 10, 8, 0x1234);
    s.prevX = c.prevX, s.prevY = c.prevY;
    markDirty(s);
    EXPECT_EQ(takeDirty(), c.rects) << c.x << "," << c.y;
    EXPECT_EQ(s.prevX, 0.0);
    EXPECT_EQ(s.prevY, 0.0);
  }
}

TEST_F(WorldTest, SolidPixelsAreReadOnlyInsideTheMapAndHazardsNeedASharedPixel) {
  collisionMap[215 * 240 + 10] = 2;  // never written by drawing; read all the same
  collisionMap[5 * 240 + 10] = 2;
  for (auto [x, y, solid] : std::initializer_list<std::tuple<int, int, bool>>{
           {5, 10, true}, {215, 10, true}, {226, 10, false}, {5, 190, false}, {-1, 10, false}, {5, -1, false}})
    EXPECT_EQ(isSolidAt(x, y), solid) << x << "," << y;
  EXPECT_FALSE(isRowClear(0, 9, 10, 1));
  EXPECT_TRUE(isRowClear(0, 9, 4, 1));   // four pixels wide or less: always clear
  EXPECT_TRUE(isRowClear(4, 9, 10, 1));  // the solid pixel is under the two left columns it ignores

  clearCollisionMap();
  Sprite& player = add(16, 10, 10, 3, 3, 0x3000, ring);
  Sprite& spike = add(25, 11, 11, 1, 1, 0x4000);  // inside the player's hole
  drawSprite(player), drawSprite(spike);
  EXPECT_FALSE(touchesHazard(player));
  spike.x = 12;
  eraseSprite(spike), drawSprite(spike);
  EXPECT_TRUE(touchesHazard(player));
  EXPECT_TRUE(rectsOverlap({0, 10, 0, 10}, {10, 20, 10, 20}));  // touching corners count
  EXPECT_FALSE(rectsOverlap({0, 10, 0, 10}, {11, 20, 0, 10}));
}

}  // namespace
