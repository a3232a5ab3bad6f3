// draw_test.cpp -- pixels and rectangles, the run-length decoder, save buffers, lookups.
#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/image.h"
#include "gfx/primitives.h"

using gfx_testing::kGround;
using gfx_testing::Words;
constexpr uint16_t G = kGround;

class Drawing : public gfx_testing::BackBufferTest {
 protected:
  // The back buffer's rows from (0, 0), width pixels each.
  std::vector<std::vector<uint16_t>> rows(uint32_t width, uint32_t height) {
    std::vector<std::vector<uint16_t>> out(height);
    for (uint32_t y = 0; y < height; ++y) out[y].assign(&At(0, y), &At(0, y) + width);
    return out;
  }
};

TEST_F(Drawing, PrimitivesWriteTheBackBufferOnly) {
  fillRect(15, 25, 225, 215, 200, 200, 255);
  fillRect(170, 12, 170, 22, 255, 0, 0);  // no width: nothing
  EXPECT_EQ(putPixelRgb(169, 11, 200, 100, 100), 0xCB2C);
  int filled = 0;
  for (uint32_t i = 0; i < backBuffer.size(); ++i) filled += backBuffer[i] == 0xCE5F;
  EXPECT_EQ(filled, 210 * 190);
  EXPECT_EQ(At(224, 214), 0xCE5F);
  EXPECT_EQ(At(225, 214), G);
  EXPECT_EQ(At(224, 215), G);
  EXPECT_EQ(At(169, 11), 0xCB2C);
  EXPECT_EQ(rgbTo555(255, 255, 255), 0x7FFF);
  putPixel(240, 4, 0x4321);  // no clipping to the view: the next row
  EXPECT_EQ(At(0, 5), 0x4321);
  putPixel(0, 320, 1);  // past the back buffer: nothing
  EXPECT_TRUE(dirtyList.empty());
}

TEST_F(Drawing, TheDecoderSkipsExactlyAndStopsOneShortOfTheLastPosition) {
  struct Case {
    uint16_t width, height;
    std::vector<uint16_t> words;
    std::vector<std::vector<uint16_t>> rows;  // one column and one row more than the picture
  };
  const std::vector<Case> cases = {
      {3, 2, {1, 2, 3, 4, 5, 6}, {{1, 2, 3, G}, {4, 5, G, G}, {G, G, G, G}}},
      {4, 2, {0x1111, 0, 2, 0x2222, 0x3333, 0x4444, 0x5555}, {{0x1111, G, G, 0x2222, G}, {0x3333, 0x4444, 0x5555, G, G}, {G, G, G, G, G}}},
      // A skip longer than a row lands one row down, one column on; 0, 0 skips nothing.
      {3, 3, {0, 4, 7, 0, 0, 8}, {{G, G, G, G}, {G, 7, 8, G}, {G, G, G, G}, {G, G, G, G}}},
      // Columns carried past the right edge go on along the next row; ending in the last column stays.
      {4, 3, {1, 2, 0, 3, 3, 0, 1, 4}, {{1, 2, G, G, G}, {G, 3, G, 4, G}, {G, G, G, G, G}, {G, G, G, G, G}}},
  };
  for (const Case& c : cases) {
    backBuffer.assign(240 * 320, G);
    dirtyList.clear();
    drawImage(0, 0, owned.image(9, c.width, c.height, c.words));
    EXPECT_EQ(rows(c.width + 1, c.height + 1), c.rows) << c.width << "x" << c.height;
    EXPECT_EQ(dirtyList.back(), (DirtyRect{0, 0, c.width, c.height}));
  }
}

TEST_F(Drawing, DecodingStopsAtTheEndOfItsDataAndOfTheBackBuffer) {
  const std::vector<uint8_t> full = Words({0x0101, 0x0202, 0, 1, 0x0303});
  for (size_t size = 0; size <= full.size(); ++size) {
    backBuffer.assign(240 * 320, G);
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));  // exactly size bytes
    drawRunLength(0, 0, 3, 3, cut.data(), static_cast<uint32_t>(size));
    EXPECT_EQ(rows(3, 2), (std::vector<std::vector<uint16_t>>{{size >= 2 ? uint16_t{0x0101} : G, size >= 4 ? uint16_t{0x0202} : G, G},
                                                              {size >= 10 ? uint16_t{0x0303} : G, G, G}}))
        << size;
  }
  backBuffer.assign(240 * 320, G);
  drawRunLength(0, 0, 5, 5, nullptr, 0);
  drawRunLength(0, 0, 0, 5, Words({1, 2}).data(), 4);  // no positions: nothing drawn
  drawRunLength(0, 0, 2, 2, Words({0, 0xFFFF, 5, 5}).data(), 8);
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, G));
  // A panel over the last rows saves and draws only what the back buffer holds.
  ImageRecord panel = owned.solid(5, 30, 10, 0x0AAA, true);
  drawImage(0, 315, panel);
  EXPECT_EQ(At(29, 319), 0x0AAA);
  restoreImage(0, 315, panel);
  EXPECT_EQ(At(29, 319), G);
}

TEST_F(Drawing, SaveThenRestoreLeavesTheBackBufferAsItWas) {
  for (uint32_t i = 0; i < backBuffer.size(); ++i) backBuffer[i] = static_cast<uint16_t>(i * 7 + 1);
  const std::vector<uint16_t> before = backBuffer;
  ImageRecord panel = owned.image(5, 4, 3, {1, 0, 2, 2, 3, 4, 5, 6, 7}, true);
  drawImage(25, 40, panel);
  EXPECT_NE(backBuffer, before);
  EXPECT_TRUE(restoreImage(25, 40, panel));
  EXPECT_EQ(backBuffer, before);
  EXPECT_EQ(std::vector<DirtyRect>(dirtyList.begin(), dirtyList.end()),
            (std::vector<DirtyRect>{{25, 40, 4, 3}, {25, 40, 4, 3}}));
  ImageRecord plain = owned.solid(6, 2, 2, 0x0BBB);
  EXPECT_FALSE(restoreImage(0, 0, plain));
  EXPECT_EQ(dirtyList.size(), 2u);
}

TEST_F(Drawing, LookupsAndTheGameFrame) {
  ImageRecord copy{99};
  EXPECT_FALSE(getImage(1, &copy));
  EXPECT_EQ(copy.id, 99u);
  owned.solid(1, 15, 190, 0x0111);
  drawGameFrame();  // image 2 is missing: only the box and the side pieces
  EXPECT_EQ(At(20, 30), 0xCE5F);
  EXPECT_EQ(At(225, 25), 0x0111);
  EXPECT_EQ(At(0, 0), G);
  EXPECT_EQ(dirtyList.front(), (DirtyRect{0, 0, 240, 240}));
  EXPECT_EQ(dirtyList.size(), 3u);

  Sprite sprite;
  sprite.flags = SpriteEnabled, sprite.width = 9;
  spriteTable[42] = sprite;
  Sprite out;
  EXPECT_TRUE(getSprite(42, &out) && out.width == 9);
  spriteTable[42].flags = SpriteAnimated;  // disabled by an event
  EXPECT_FALSE(getSprite(42, &out));
  EXPECT_FALSE(getSprite(43, &out));
}
