// draw_test.cpp -- pixels and rectangles, the run-length decoder, save buffers, lookups and bitmap-font text.
#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/image.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "support/data_builder.h"

using data_builder::Words;
constexpr uint16_t G = gfx_testing::kGround;
using Rows = std::vector<std::vector<uint16_t>>;

class Drawing : public gfx_testing::BackBufferTest {
 protected:
  // The back buffer's rows from (x, y), width pixels each.
  Rows rows(uint32_t width, uint32_t height, uint32_t x = 0, uint32_t y = 0) {
    Rows out(height);
    for (uint32_t r = 0; r < height; ++r) out[r].assign(&At(x, y + r), &At(x, y + r) + width);
    return out;
  }
};
using Text = Drawing;

TEST_F(Drawing, PrimitivesWriteTheBackBufferOnly) {
  fillRect(15, 25, 225, 215, 200, 200, 255);
  fillRect(170, 12, 170, 22, 255, 0, 0);  // no width: nothing
  EXPECT_EQ(putPixelRgb(169, 11, 200, 100, 100), 0xCB2C);
  EXPECT_EQ(std::count(backBuffer.begin(), backBuffer.end(), 0xCE5F), 210 * 190);
  EXPECT_EQ(rows(2, 2, 224, 214), (Rows{{0xCE5F, G}, {G, G}}));
  EXPECT_EQ(At(169, 11), 0xCB2C);
  EXPECT_EQ(rgbTo555(255, 255, 255), 0x7FFF);
  putPixel(240, 4, 0x4321);  // no clipping to the view: the next row
  EXPECT_EQ(At(0, 5), 0x4321);
  putPixel(0, 320, 1);  // past the back buffer: nothing
  EXPECT_TRUE(dirtyList.empty());
}

TEST_F(Drawing, TheDecoderSkipsExactlyStopsOneShortOfTheLastPositionAndAtTheEndOfItsData) {
  struct Case {
    uint16_t width, height;
    std::vector<uint16_t> words;
    Rows rows;  // one column and one row more than the picture
  };
  const Case cases[] = {
      {3, 2, {1, 2, 3, 4, 5, 6}, {{1, 2, 3, G}, {4, 5, G, G}, {G, G, G, G}}},
      {4, 2, {0x1111, 0, 2, 0x2222, 0x3333, 0x4444, 0x5555},
       {{0x1111, G, G, 0x2222, G}, {0x3333, 0x4444, 0x5555, G, G}, {G, G, G, G, G}}},
      // A skip longer than a row lands one row down, one column on; 0, 0 skips nothing.
      {3, 3, {0, 4, 7, 0, 0, 8}, {{G, G, G, G}, {G, 7, 8, G}, {G, G, G, G}, {G, G, G, G}}},
      // Columns carried past the right edge go on along the next row; ending in the last column stays.
      {4, 3, {1, 2, 0, 3, 3, 0, 1, 4}, {{1, 2, G, G, G}, {G, 3, G, 4, G}, {G, G, G, G, G}, {G, G, G, G, G}}},
  };
  for (const Case& c : cases) {
    backBuffer.assign(240 * 320, G);
    drawImage(0, 0, owned.image(9, c.width, c.height, c.words));
    EXPECT_EQ(rows(c.width + 1, c.height + 1), c.rows) << c.width << "x" << c.height;
    EXPECT_EQ(dirtyList.back(), (DirtyRect{0, 0, c.width, c.height}));
  }
  // Data cut short, to the byte: what the whole words say is drawn, nothing more is read.
  const std::vector<uint8_t> full = Words({0x0101, 0x0202, 0, 1, 0x0303});
  for (size_t size = 0; size <= full.size(); ++size) {
    backBuffer.assign(240 * 320, G);
    const std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(size));
    drawRunLength(0, 0, 3, 3, cut.data(), static_cast<uint32_t>(size));
    EXPECT_EQ(rows(3, 2), (Rows{{size >= 2 ? uint16_t{0x0101} : G, size >= 4 ? uint16_t{0x0202} : G, G},
                                {size >= 10 ? uint16_t{0x0303} : G, G, G}}))
        << size;
  }
  backBuffer.assign(240 * 320, G);
  drawRunLength(0, 0, 5, 5, nullptr, 0);
  drawRunLength(0, 0, 0, 5, Words({1, 2}).data(), 4);  // no positions: nothing drawn
  drawRunLength(0, 0, 2, 2, Words({0, 0xFFFF, 5, 5}).data(), 8);
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, G));
}

TEST_F(Drawing, SaveThenRestoreLeavesTheBackBufferAsItWasEvenAtItsEdge) {
  for (uint32_t i = 0; i < backBuffer.size(); ++i) backBuffer[i] = static_cast<uint16_t>(i * 7 + 1);
  const std::vector<uint16_t> before = backBuffer;
  ImageRecord panel = owned.image(5, 4, 3, {1, 0, 2, 2, 3, 4, 5, 6, 7}, true);
  drawImage(25, 40, panel);
  EXPECT_NE(backBuffer, before);
  EXPECT_TRUE(restoreImage(25, 40, panel));
  EXPECT_EQ(backBuffer, before);
  EXPECT_EQ(std::vector<DirtyRect>(dirtyList.begin(), dirtyList.end()),
            (std::vector<DirtyRect>{{25, 40, 4, 3}, {25, 40, 4, 3}}));
  EXPECT_FALSE(restoreImage(0, 0, owned.solid(6, 2, 2, 0x0BBB)));  // no save buffer
  EXPECT_EQ(dirtyList.size(), 2u);
  // A panel over the last rows saves and draws only what the back buffer holds.
  ImageRecord low = owned.solid(7, 30, 10, 0x0AAA, true);
  drawImage(0, 315, low);
  EXPECT_EQ(At(29, 319), 0x0AAA);
  restoreImage(0, 315, low);
  EXPECT_EQ(backBuffer, before);
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
  Sprite sprite, out;
  sprite.flags = SpriteEnabled, sprite.width = 9;
  spriteTable[42] = sprite;
  EXPECT_TRUE(getSprite(42, &out) && out.width == 9);
  spriteTable[42].flags = SpriteAnimated;  // disabled by an event
  EXPECT_FALSE(getSprite(42, &out));
  EXPECT_FALSE(getSprite(43, &out));
}

TEST_F(Text, GlyphsAreFoundByTheirCodeInTheSheetsOfAnEightAndASixPixelFont) {
  for (uint32_t width : {6, 8}) {
    // A sheet whose pixels are all ink, each telling where in the sheet it lies.
    std::vector<uint16_t> sheet(96 * width * 8);
    for (uint32_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<uint16_t>(i + 1);
    owned.font(1, static_cast<uint16_t>(width), 8, sheet);
    selectFont(1);
    EXPECT_EQ(drawText("A \x7F", 10, 20, 0), 3 * width);
    // "A" is row 1, cell 1; the space row 0, cell 0; 127 row 2, cell 31.
    for (auto [cell, start] : {std::pair{0u, (8 * 32 + 1) * width}, {1u, 0u}, {2u, (2 * 8 * 32 + 31) * width}})
      for (uint32_t r = 0; r < 8; ++r)
        for (uint32_t c = 0; c < width; ++c) ASSERT_EQ(At(10 + cell * width + c, 20 + r), start + r * 32 * width + c + 1);
  }
  EXPECT_TRUE(dirtyList.empty());
  EXPECT_EQ(drawText("Lives: 3", 168, 1, 1), 64u);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{168, 1, 64, 8}));
  EXPECT_EQ(drawText("", 5, 5, 1), 0u);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{5, 5, 0, 8}));
  EXPECT_EQ(drawText(std::string(2000, 'x').c_str(), 0, 100, 0), 1023u * 8);  // the working copy's limit
}

TEST_F(Text, ColoursBlankCellsShortSheetsAndMissingFonts) {
  std::vector<uint16_t> sheet(96 * 64, 0);
  sheet[8 * 8 * 32 + 2 * 8] = 0x0F0F;  // 'B': one ink pixel at its top left
  owned.font(2, 8, 8, sheet);
  EXPECT_EQ(selectFont(2), 0u);
  drawText("B\t", 0, 0, 0);  // own ink, transparent background, blank tab
  EXPECT_EQ(rows(9, 1), (Rows{{0x0F0F, G, G, G, G, G, G, G, G}}));
  EXPECT_EQ(setTextColor(0xFFFF), 0);
  EXPECT_EQ(setTextBackground(1), 0);
  drawText("B\xE9", 0, 10, 0);  // white ink, almost black background, blank 0xE9 painted
  std::vector<uint16_t> paper(17, 1);
  paper[16] = G;
  EXPECT_EQ(rows(17, 1, 0, 17)[0], paper);
  EXPECT_EQ(At(0, 10), 0xFFFF);
  EXPECT_EQ(At(16, 10), G);
  // A sheet of the first cell row and four pixels more: what is missing is background.
  std::vector<uint16_t> shortSheet(8 * 8 * 32 + 4);
  for (uint32_t i = 0; i < shortSheet.size(); ++i) shortSheet[i] = static_cast<uint16_t>(i + 1);
  owned.font(1, 8, 8, shortSheet);
  owned.font(3, 8, 8, {});
  selectFont(1);
  setTextColor(0);
  EXPECT_EQ(drawText("@A~", 0, 20, 0), 24u);
  std::vector<uint16_t> row(24, 1);
  for (uint16_t i = 0; i < 4; ++i) row[i] = 2049 + i;  // '@' is row 1, cell 0: sheet pixel 2048 on
  EXPECT_EQ(rows(24, 1, 0, 20)[0], row);
  EXPECT_EQ(At(0, 21), 1);
  EXPECT_EQ(At(23, 27), 1);
  selectFont(3);
  EXPECT_EQ(drawText("abc", 0, 30, 0), 24u);
  EXPECT_EQ(At(23, 37), 1);
  // An unknown font draws nothing at all.
  EXPECT_EQ(selectFont(7), 3u);
  backBuffer.assign(240 * 320, G);
  dirtyList.clear();
  EXPECT_EQ(drawText("Hello", 0, 0, 1), 0u);
  EXPECT_TRUE(dirtyList.empty());
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, G));
  EXPECT_EQ(TxtInit(), 0);
  EXPECT_TRUE(fontTable.empty());
}
