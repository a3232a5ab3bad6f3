// world_test.cpp -- the layer map: depth, erasing, dirty rectangles, patrol, animation and the
// collision queries, on a test back buffer.
#include <gtest/gtest.h>

#include <list>
#include <sstream>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "services/timer.h"
#include "support/golden.h"
#include "world/collision.h"
#include "world/objects.h"

namespace {

class WorldTest : public gfx_testing::BackBufferTest {
 protected:
  void SetUp() override {
    BackBufferTest::SetUp();
    headless::Configure({});
    TimerInit();
    clearCollisionMap();
    objectList.clear();
  }
  void TearDown() override {
    objectList.clear();
    BackBufferTest::TearDown();
  }
  // A live object of one colour (0 where hole says so), with frames frames, appended to the list.
  Sprite& add(uint8_t layer, double x, double y, int16_t w, int16_t h, uint16_t colour, int frames = 1,
              bool (*hole)(int c, int r) = nullptr) {
    std::vector<uint16_t>& pixels = owned.pixels.emplace_back();
    for (int f = 0; f < frames; ++f)
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) pixels.push_back(hole && hole(c, r) ? 0 : static_cast<uint16_t>(colour + f));
    Sprite s;
    s.layer = layer, s.x = x, s.y = y, s.width = w, s.height = h, s.pixels = pixels.data(), s.pixelsReady = 1;
    s.frameCount = static_cast<uint8_t>(frames), s.firstFrame = 1, s.lastFrame = static_cast<uint8_t>(frames);
    s.frame = 1, s.flags = SpriteEnabled;
    objectList.push_back(s);
    return objectList.back();
  }
  uint16_t view(int x, int y) { return At(static_cast<uint32_t>(x + 15), static_cast<uint32_t>(y + 25)); }
  // The playfield's top-left 5 x 5 view pixels and the collision map's layer bits there.
  std::string corner(const std::string& what) {
    std::ostringstream out;
    out << what << ":" << std::hex;
    for (int y = 0; y < 5; ++y) {
      out << "\n ";
      for (int x = 0; x < 5; ++x) out << ' ' << view(x, y) << '/' << collisionMap[y * 240 + x];
    }
    return out.str() + "\n";
  }
  std::vector<DirtyRect> takeDirty() {
    std::vector<DirtyRect> rects(dirtyList.begin(), dirtyList.end());
    dirtyList.clear();
    return rects;
  }
};

bool ring(int c, int r) { return c == 1 && r == 1; }  // a hole in the middle of a 3 x 3 block

TEST_F(WorldTest, DepthDecidesEveryPixelWhateverTheDrawingOrderAndErasingRepaintsWhatLiesBelow) {
  // Background at the playfield's corner, partly outside it; scenery, the player and a hazard on top.
  Sprite& background = add(0, -2, -2, 6, 6, 0x1000);
  Sprite& scenery = add(2, 1, 1, 3, 3, 0x2000, 1, ring);
  Sprite& player = add(16, 2, 2, 3, 3, 0x3000);
  Sprite& hazard = add(25, 3, 3, 2, 2, 0x4000);
  for (Sprite* s : {&hazard, &player, &background, &scenery}) drawSprite(*s);  // front to back
  sortObjects();
  // Nothing of the background was written outside the playfield, and the corner of the view is intact.
  EXPECT_EQ(At(14, 24), gfx_testing::kGround);
  std::string text = corner("drawn front to back");
  // The player goes: the scenery shows, the background through the scenery's hole, the playfield
  // beyond both; the hazard keeps its own pixels. Drawing it again brings back its pixels only
  // where nothing higher covers them.
  text += "erased " + std::to_string(eraseSprite(player));
  text += " again " + std::to_string(eraseSprite(player)) + "\n";
  text += corner("the player erased");
  drawSprite(player);
  testing_support::ExpectGoldenText(text + corner("the player drawn again"), "world/depth.txt");
}

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

TEST_F(WorldTest, PatrollersWaitForTheRightEdgeAndTurnAtBothEndsAnimationsAtRateZeroNeverAdvance) {
  Sprite& waiting = add(2, 100, 10, 10, 10, 0x0100);
  Sprite& patroller = add(2, 196, 30, 10, 10, 0x0200);
  Sprite& still = add(17, 50, 50, 4, 4, 0x0300, 2);
  Sprite& blinking = add(17, 60, 50, 4, 4, 0x0400, 3);
  for (Sprite* s : {&waiting, &patroller}) s->motion = 2, s->moveRate = 100;
  still.flags |= SpriteAnimated, still.animRate = 0;
  blinking.flags |= SpriteAnimated, blinking.animRate = 10;
  for (Sprite& s : objectList) drawSprite(s);

  updateObjects(2, 31);  // the first call turns the patroller (x + width + 1 > 206) but moves nobody
  EXPECT_EQ(patroller.speedX, -1.0);
  EXPECT_EQ(patroller.x, 196.0);
  int steps = 0;
  double lowest = 196;
  for (int i = 0; i < 500; ++i) {
    SysSleep(11);  // one 100-per-second step at most per call
    const double before = patroller.x;
    updateObjects(2, 31);
    steps += patroller.x != before;
    lowest = std::min(lowest, patroller.x);
  }
  EXPECT_EQ(waiting.x, 100.0);  // never turned, never moves
  EXPECT_EQ(lowest, 2.0);       // turns once below 3 ...
  EXPECT_EQ(steps, 500);
  EXPECT_EQ(patroller.x, 196.0 - (500 - 2 * 194));  // ... walks back right, turns at the right edge again
  EXPECT_EQ(still.frame, 1);
  EXPECT_EQ(blinking.frame, 1 + (500 / 10) % 3);  // strictly after each 100 ms: every tenth 11 ms call
  EXPECT_EQ(view(201, 35), kPlayfieldPixel);      // its old place was repainted
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
  Sprite& player = add(16, 10, 10, 3, 3, 0x3000, 1, ring);
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
