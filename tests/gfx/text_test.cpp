// text_test.cpp -- bitmap-font text: glyph addressing, colours, blank cells, widths, missing and short fonts.
#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/text.h"

using gfx_testing::kGround;

namespace {

// A sheet whose pixels are all ink, each telling where in the sheet it lies.
std::vector<uint16_t> numberedSheet(uint32_t glyphWidth, uint32_t glyphHeight) {
  std::vector<uint16_t> sheet(96 * glyphWidth * glyphHeight);
  for (uint32_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<uint16_t>(i + 1);
  return sheet;
}

}  // namespace

class Text : public gfx_testing::BackBufferTest {
 protected:
  // The glyph cell drawn at (x, y) is the sheet's, starting at element start.
  void expectCell(uint32_t x, uint32_t y, uint32_t start, uint32_t glyphWidth) {
    for (uint32_t r = 0; r < 8; ++r)
      for (uint32_t c = 0; c < glyphWidth; ++c) ASSERT_EQ(At(x + c, y + r), start + r * 32 * glyphWidth + c + 1);
  }
};

TEST_F(Text, GlyphsAreFoundInTheSheetByTheirCode) {
  for (uint16_t width : {6, 8}) {
    owned.font(1, width, 8, numberedSheet(width, 8));
    selectFont(1);
    EXPECT_EQ(drawText("A \x7F", 10, 20, 0), 3u * width);
    expectCell(10, 20, width == 8 ? 2056 : 1542, width);            // row 1, cell 1
    expectCell(10 + width, 20, 0, width);                           // row 0, cell 0
    expectCell(10 + 2 * width, 20, (2 * 8 * 32 + 31) * width, width);  // row 2, cell 31
  }
  EXPECT_TRUE(dirtyList.empty());
  EXPECT_EQ(drawText("Lives: 3", 168, 1, 1), 64u);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{168, 1, 64, 8}));
  EXPECT_EQ(drawText("", 5, 5, 1), 0u);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{5, 5, 0, 8}));
  EXPECT_EQ(drawText(std::string(2000, 'x').c_str(), 0, 100, 0), 1023u * 8);  // the working copy's limit
}

TEST_F(Text, ColoursBlankCellsAndMissingFonts) {
  std::vector<uint16_t> sheet(96 * 64, 0);
  sheet[8 * 8 * 32 + 2 * 8] = 0x0F0F;  // 'B': one ink pixel at its top left
  owned.font(2, 8, 8, sheet);
  EXPECT_EQ(selectFont(2), 0u);
  drawText("B\t", 0, 0, 0);  // own ink, transparent background, blank tab
  EXPECT_EQ(At(0, 0), 0x0F0F);
  EXPECT_EQ(At(1, 0), kGround);
  EXPECT_EQ(At(8, 0), kGround);
  EXPECT_EQ(setTextColor(0xFFFF), 0);
  EXPECT_EQ(setTextBackground(1), 0);
  drawText("B\xE9", 0, 10, 0);  // white ink, almost black background, blank 0xE9 painted
  EXPECT_EQ(At(0, 10), 0xFFFF);
  EXPECT_EQ(At(7, 17), 1);
  EXPECT_EQ(At(15, 17), 1);
  EXPECT_EQ(At(16, 10), kGround);

  EXPECT_EQ(selectFont(7), 2u);
  backBuffer.assign(240 * 320, kGround);
  EXPECT_EQ(drawText("Hello", 0, 0, 1), 0u);
  EXPECT_TRUE(dirtyList.empty());
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, kGround));
  EXPECT_EQ(TxtInit(), 0);
  EXPECT_TRUE(fontTable.empty());
}

TEST_F(Text, AShortSheetIsNeverReadPastItsEnd) {
  // The first cell row and four pixels more: what is missing is background.
  std::vector<uint16_t> sheet = numberedSheet(8, 8);
  sheet.resize(8 * 8 * 32 + 4);
  owned.font(1, 8, 8, sheet);
  owned.font(2, 8, 8, {});
  selectFont(1);
  setTextBackground(1);
  EXPECT_EQ(drawText("@A~", 0, 0, 0), 24u);
  EXPECT_EQ(At(3, 0), sheet[8 * 8 * 32 + 3]);
  EXPECT_EQ(At(4, 0), 1);
  EXPECT_EQ(At(0, 1), 1);
  EXPECT_EQ(At(23, 7), 1);
  selectFont(2);
  EXPECT_EQ(drawText("abc", 0, 20, 0), 24u);
  EXPECT_EQ(At(23, 27), 1);
}
