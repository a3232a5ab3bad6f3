// draw_test.cpp -- colour conversion, pixels and rectangles, run-length images, save buffers, the game frame.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/image.h"
#include "gfx/primitives.h"
#include "world/objects.h"

using gfx_testing::AddImage;
using gfx_testing::AddSolidImage;
using gfx_testing::kGround;
using gfx_testing::Words;

namespace {

std::vector<DirtyRect> dirtyRects() { return {dirtyList.begin(), dirtyList.end()}; }

}  // namespace

class Drawing : public gfx_testing::BackBufferTest {};

TEST(ColourConversion, FiveSixFiveAndFiveFiveFive) {
  EXPECT_EQ(rgbTo565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(rgbTo565(200, 200, 255), 0xCE5F);
  EXPECT_EQ(rgbTo565(200, 100, 100), 0xCB2C);
  EXPECT_EQ(rgbTo555(255, 255, 255), 0x7FFF);
  EXPECT_EQ(rgbTo555(0, 255, 0), 0x03E0);
}

TEST_F(Drawing, PrimitivesWriteTheBackBufferOnlyAndMarkNothing) {
  fillRect(15, 25, 225, 215, 200, 200, 255);
  int filled = 0;
  for (uint32_t y = 0; y < 320; ++y)
    for (uint32_t x = 0; x < 240; ++x) {
      const bool inside = x >= 15 && x < 225 && y >= 25 && y < 215;
      EXPECT_EQ(At(x, y), inside ? 0xCE5F : kGround) << x << "," << y;
      filled += inside;
    }
  EXPECT_EQ(filled, 210 * 190);

  fillRect(170, 12, 170, 22, 255, 0, 0);  // empty width
  fillRect(170, 22, 180, 12, 255, 0, 0);  // empty height
  EXPECT_EQ(At(170, 12), kGround);
  EXPECT_EQ(At(170, 21), kGround);

  EXPECT_EQ(putPixelRgb(169, 11, 200, 100, 100), 0xCB2C);
  EXPECT_EQ(At(169, 11), 0xCB2C);
  putPixel(3, 4, 0x1234);
  EXPECT_EQ(At(3, 4), 0x1234);
  // No clipping to the view: x past 239 lands on the next row.
  putPixel(240, 4, 0x4321);
  EXPECT_EQ(At(0, 5), 0x4321);
  // Past the end of the back buffer nothing is written.
  putPixel(0, 320, 0x1111);
  putPixel(0xFFFFFFFF, 0xFFFFFFFF, 0x1111);
  fillRect(230, 318, 250, 330, 255, 255, 255);
  EXPECT_EQ(At(9, 319), 0xFFFF);  // x 249 of row 318
  EXPECT_EQ(At(10, 319), kGround);
  EXPECT_EQ(At(229, 318), kGround);
  EXPECT_TRUE(dirtyList.empty());
}

TEST_F(Drawing, TheDecoderStopsOnePositionShortOfTheLast) {
  // 3x2: five pixels written, the bottom-right one left alone.
  ImageRecord small = AddImage(owned, 10, 3, 2, {1, 2, 3, 4, 5, 6});
  drawImage(7, 9, small);
  EXPECT_EQ(At(7, 9), 1);
  EXPECT_EQ(At(8, 9), 2);
  EXPECT_EQ(At(9, 9), 3);
  EXPECT_EQ(At(10, 9), kGround);
  EXPECT_EQ(At(7, 10), 4);
  EXPECT_EQ(At(8, 10), 5);
  EXPECT_EQ(At(9, 10), kGround);
  EXPECT_EQ(dirtyRects(), (std::vector<DirtyRect>{{7, 9, 3, 2}}));

  // 4x2 with a skip of two inside the first row.
  ImageRecord skipping = AddImage(owned, 11, 4, 2, {0x1111, 0, 2, 0x2222, 0x3333, 0x4444, 0x5555});
  drawImage(0, 0, skipping);
  const std::vector<uint16_t> row0 = {At(0, 0), At(1, 0), At(2, 0), At(3, 0), At(4, 0)};
  const std::vector<uint16_t> row1 = {At(0, 1), At(1, 1), At(2, 1), At(3, 1)};
  EXPECT_EQ(row0, (std::vector<uint16_t>{0x1111, kGround, kGround, 0x2222, kGround}));
  EXPECT_EQ(row1, (std::vector<uint16_t>{0x3333, 0x4444, 0x5555, kGround}));
}

TEST_F(Drawing, SkipsCarryAcrossRowsAndZeroSkipsNothing) {
  // From column 1 a skip of width + 1 lands one row down, one column on.
  drawRunLength(20, 30, 5, 3, Words({0, 6, 0x00AA, 0, 0, 0x00BB}).data(), 12);
  EXPECT_EQ(At(21, 31), 0x00AA);
  EXPECT_EQ(At(22, 31), 0x00BB);  // the 0,0 pair skipped nothing
  EXPECT_EQ(At(20, 30), kGround);
  EXPECT_EQ(At(20, 31), kGround);

  // A skip whose columns run past the right edge goes on along the next row; one that ends in
  // the last column stays in the row.
  drawRunLength(100, 100, 4, 4, Words({0x0001, 0x0002, 0, 3, 0x0003, 0, 1, 0x0004}).data(), 16);
  EXPECT_EQ(At(100, 100), 1);
  EXPECT_EQ(At(101, 100), 2);
  EXPECT_EQ(At(101, 101), 3);  // column 3 + 3 = column 2 of the next row
  EXPECT_EQ(At(103, 101), 4);  // column 3 + 1 = the last column, same row
  EXPECT_EQ(At(100, 102), kGround);

  // A skip of several rows.
  drawRunLength(0, 200, 3, 10, Words({0, 3 * 7 + 2, 0x0777}).data(), 6);
  EXPECT_EQ(At(2, 207), 0x0777);
  EXPECT_EQ(dirtyRects(), (std::vector<DirtyRect>{{20, 30, 5, 3}, {100, 100, 4, 4}, {0, 200, 3, 10}}));
}

TEST_F(Drawing, DecodingStopsAtTheEndOfTheData) {
  // Data that ends early leaves the rest of the picture as it was; a word cut in half is not read.
  const std::vector<uint8_t> full = Words({0x0101, 0x0202, 0, 1, 0x0303, 0x0404});
  for (size_t size = 0; size <= full.size(); ++size) {
    backBuffer.assign(240 * 320, kGround);
    std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
    drawRunLength(0, 0, 3, 3, cut.data(), static_cast<uint32_t>(cut.size()));
    EXPECT_EQ(At(0, 0), size >= 2 ? 0x0101 : kGround) << size;
    EXPECT_EQ(At(1, 0), size >= 4 ? 0x0202 : kGround) << size;
    EXPECT_EQ(At(2, 0), kGround) << size;
    EXPECT_EQ(At(0, 1), size >= 10 ? 0x0303 : kGround) << size;
    EXPECT_EQ(At(1, 1), size >= 12 ? 0x0404 : kGround) << size;
  }
  // An image whose data block is shorter than its picture needs, no data at all, and no positions.
  ImageRecord shortImage = AddImage(owned, 12, 200, 200, {0x0F0F, 0, 5000});
  drawImage(0, 0, shortImage);
  EXPECT_EQ(At(0, 0), 0x0F0F);
  drawRunLength(0, 0, 5, 5, nullptr, 0);
  backBuffer.assign(240 * 320, kGround);
  drawRunLength(0, 0, 0, 5, Words({1, 2, 3}).data(), 6);
  drawRunLength(0, 0, 5, 0, Words({1, 2, 3}).data(), 6);
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, kGround));
}

TEST_F(Drawing, PicturesReachingPastTheBackBufferAreCutThere) {
  // A panel drawn over the last rows saves and draws only what the back buffer holds.
  ImageRecord panel = AddSolidImage(owned, 13, 30, 10, 0x0AAA, true);
  At(5, 317) = 0x0123;
  drawImage(0, 315, panel);
  EXPECT_EQ(At(29, 319), 0x0AAA);
  EXPECT_TRUE(restoreImage(0, 315, panel));
  EXPECT_EQ(At(5, 317), 0x0123);
  EXPECT_EQ(At(29, 319), kGround);
  // Skips that wander far past the end are harmless too.
  drawRunLength(0, 0, 2, 2, Words({0, 0xFFFF, 0, 0xFFFF, 0x0001}).data(), 10);
}

TEST_F(Drawing, SaveThenRestoreLeavesTheBackBufferAsItWas) {
  for (uint32_t i = 0; i < backBuffer.size(); ++i) backBuffer[i] = static_cast<uint16_t>(i * 7 + 1);
  const std::vector<uint16_t> before = backBuffer;
  ImageRecord panel = AddImage(owned, 5, 4, 3, {0x0001, 0, 2, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007}, true);
  drawImage(25, 40, panel);
  EXPECT_NE(backBuffer, before);
  EXPECT_TRUE(restoreImage(25, 40, panel));
  EXPECT_EQ(backBuffer, before);
  EXPECT_EQ(dirtyRects(), (std::vector<DirtyRect>{{25, 40, 4, 3}, {25, 40, 4, 3}}));

  // Drawing twice without a restore saves the image itself.
  drawImage(25, 40, panel);
  drawImage(25, 40, panel);
  restoreImage(25, 40, panel);
  EXPECT_EQ(At(25, 40), 0x0001);

  // Without a save buffer nothing is saved and restoring does nothing.
  dirtyList.clear();
  ImageRecord plain = AddSolidImage(owned, 14, 2, 2, 0x0BBB);
  drawImage(0, 0, plain);
  EXPECT_FALSE(restoreImage(0, 0, plain));
  EXPECT_EQ(At(0, 0), 0x0BBB);
  EXPECT_EQ(dirtyList.size(), 1u);
}

TEST_F(Drawing, LookupsCopyRecordsAndRefuseMissingOrDisabledOnes) {
  ImageRecord stored = AddSolidImage(owned, 6, 3, 3, 0x0CCC, true);
  ImageRecord copy;
  copy.id = 99;
  EXPECT_FALSE(getImage(7, &copy));
  EXPECT_EQ(copy.id, 99u);
  ASSERT_TRUE(getImage(6, &copy));
  EXPECT_EQ(copy.width, 3);
  EXPECT_EQ(copy.pixelData, stored.pixelData);
  EXPECT_EQ(copy.saveBuffer, stored.saveBuffer);  // copies share one save buffer

  Sprite sprite;
  sprite.id = 42;
  sprite.flags = SpriteEnabled | SpriteAnimated;
  sprite.width = 9;
  spriteTable[42] = sprite;
  Sprite out;
  ASSERT_TRUE(getSprite(42, &out));
  EXPECT_EQ(out.width, 9);
  EXPECT_FALSE(getSprite(43, &out));
  spriteTable[42].flags &= static_cast<uint8_t>(~SpriteEnabled);
  out.width = 1;
  EXPECT_FALSE(getSprite(42, &out));
  EXPECT_EQ(out.width, 1);
}

TEST_F(Drawing, TheGameFrameFillsThePlayfieldAndDrawsItsBorders) {
  drawGameFrame();
  EXPECT_EQ(At(15, 25), 0xCE5F);
  EXPECT_EQ(At(224, 214), 0xCE5F);
  EXPECT_EQ(At(14, 25), kGround);
  EXPECT_EQ(At(225, 214), kGround);
  EXPECT_EQ(At(15, 215), kGround);
  EXPECT_EQ(dirtyRects(), (std::vector<DirtyRect>{{0, 0, 240, 240}}));

  dirtyList.clear();
  AddSolidImage(owned, 1, 15, 190, 0x0111);
  AddSolidImage(owned, 2, 240, 25, 0x0222);
  drawGameFrame();
  EXPECT_EQ(At(0, 25), 0x0111);
  EXPECT_EQ(At(225, 25), 0x0111);
  EXPECT_EQ(At(238, 213), 0x0111);
  EXPECT_EQ(At(0, 0), 0x0222);
  EXPECT_EQ(At(0, 214), 0x0222);
  EXPECT_EQ(At(238, 238), 0x0222);
  EXPECT_EQ(At(20, 30), 0xCE5F);
  EXPECT_EQ(dirtyRects(), (std::vector<DirtyRect>{
                              {0, 0, 240, 240}, {0, 25, 15, 190}, {225, 25, 15, 190}, {0, 0, 240, 25}, {0, 214, 240, 25}}));
}
