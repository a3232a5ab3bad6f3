// text_test.cpp -- bitmap-font text: glyph addressing, colours, blank cells, widths, missing and short fonts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/text.h"

using gfx_testing::AddFont;
using gfx_testing::kGround;

namespace {

// A sheet whose every pixel is ink of a value telling where in the sheet it lies.
std::vector<uint16_t> numberedSheet(uint32_t glyphWidth, uint32_t glyphHeight) {
  std::vector<uint16_t> sheet(96 * glyphWidth * glyphHeight);
  for (uint32_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<uint16_t>(i % 0xFFFF + 1);
  return sheet;
}

// A sheet of checkerboard glyphs: ink 0x0F0F on even squares, background on odd ones.
std::vector<uint16_t> checkerSheet(uint32_t glyphWidth, uint32_t glyphHeight) {
  const uint32_t row = 32 * glyphWidth;
  std::vector<uint16_t> sheet(96 * glyphWidth * glyphHeight);
  for (uint32_t i = 0; i < sheet.size(); ++i) sheet[i] = ((i % row) + (i / row)) % 2 == 0 ? 0x0F0F : 0;
  return sheet;
}

}  // namespace

class Text : public gfx_testing::BackBufferTest {
 protected:
  // The cell of one character drawn at (x, y) matches the sheet from element start on.
  void expectCell(uint32_t x, uint32_t y, const std::vector<uint16_t>& sheet, uint32_t start, uint32_t glyphWidth,
                  uint32_t glyphHeight) {
    for (uint32_t r = 0; r < glyphHeight; ++r)
      for (uint32_t c = 0; c < glyphWidth; ++c)
        ASSERT_EQ(At(x + c, y + r), sheet[start + r * 32 * glyphWidth + c]) << "row " << r << " column " << c;
  }
};

TEST_F(Text, GlyphsAreFoundInTheSheetByTheirCode) {
  struct Case {
    uint16_t width, height;
    uint32_t startOfA;
  };
  for (Case font : {Case{8, 8, 2056}, Case{6, 8, 1542}}) {
    const std::vector<uint16_t> sheet = numberedSheet(font.width, font.height);
    AddFont(owned, 1, font.width, font.height, sheet);
    selectFont(1);
    EXPECT_EQ(drawText("A ~\x7F", 10, 20, 0), 4u * font.width);
    expectCell(10, 20, sheet, font.startOfA, font.width, font.height);
    expectCell(10 + font.width, 20, sheet, 0, font.width, font.height);  // space: row 0, cell 0
    expectCell(10 + 2 * font.width, 20, sheet, 2u * font.height * 32 * font.width + 30 * font.width, font.width,
               font.height);
    expectCell(10 + 3 * font.width, 20, sheet, 2u * font.height * 32 * font.width + 31 * font.width, font.width,
               font.height);
    EXPECT_TRUE(dirtyList.empty());
  }
}

TEST_F(Text, WidthAndDirtyRectangleFollowTheCharacters) {
  AddFont(owned, 1, 8, 8, numberedSheet(8, 8));
  selectFont(1);
  EXPECT_EQ(drawText("Lives: 3", 168, 1, 1), 64u);
  ASSERT_EQ(dirtyList.size(), 1u);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{168, 1, 64, 8}));

  EXPECT_EQ(drawText("", 5, 5, 1), 0u);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{5, 5, 0, 8}));

  // The working copy holds 1023 characters; longer text is cut there.
  const std::string longText(2000, 'x');
  EXPECT_EQ(drawText(longText.c_str(), 0, 100, 0), 1023u * 8);
}

TEST_F(Text, ColoursZeroAndOneMeanOwnInkAndAlmostBlack) {
  const std::vector<uint16_t> sheet = checkerSheet(8, 8);
  AddFont(owned, 2, 8, 8, sheet);
  selectFont(2);
  // Own ink on a transparent background.
  drawText("B", 0, 0, 0);
  EXPECT_EQ(At(0, 0), 0x0F0F);
  EXPECT_EQ(At(1, 0), kGround);
  // White ink, almost black background.
  setTextColor(0xFFFF);
  setTextBackground(1);
  drawText("B", 0, 10, 0);
  EXPECT_EQ(At(0, 10), 0xFFFF);
  EXPECT_EQ(At(1, 10), 1);
  EXPECT_EQ(At(7, 16), 1);
  EXPECT_EQ(At(7, 17), 0xFFFF);
  EXPECT_EQ(At(8, 10), kGround);
}

TEST_F(Text, BytesWithoutACellGiveBlankCells) {
  AddFont(owned, 1, 6, 8, numberedSheet(6, 8));
  selectFont(1);
  EXPECT_EQ(drawText("\t\xE9", 0, 0, 1), 12u);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 12; ++x) EXPECT_EQ(At(x, y), kGround);
  EXPECT_EQ(dirtyList.back(), (DirtyRect{0, 0, 12, 8}));

  setTextBackground(1);
  drawText("\t\xE9", 0, 0, 1);
  for (uint32_t y = 0; y < 8; ++y)
    for (uint32_t x = 0; x < 12; ++x) EXPECT_EQ(At(x, y), 1);
  EXPECT_EQ(At(12, 0), kGround);
  EXPECT_EQ(At(0, 8), kGround);
}

TEST_F(Text, AMissingFontDrawsNothing) {
  AddFont(owned, 1, 8, 8, numberedSheet(8, 8));
  EXPECT_EQ(selectFont(7), 0u);
  setTextBackground(1);
  EXPECT_EQ(drawText("Hello", 0, 0, 1), 0u);
  EXPECT_TRUE(dirtyList.empty());
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, kGround));
  EXPECT_EQ(selectFont(1), 7u);
}

TEST_F(Text, AShortSheetIsNeverReadPastItsEnd) {
  // Only the first cell row and half of the next glyph line are there: the missing pixels are background.
  std::vector<uint16_t> sheet = numberedSheet(8, 8);
  sheet.resize(8 * 8 * 32 + 4);
  AddFont(owned, 1, 8, 8, sheet);
  selectFont(1);
  setTextBackground(1);
  EXPECT_EQ(drawText("@AB~", 0, 0, 0), 32u);
  EXPECT_EQ(At(0, 0), sheet[8 * 8 * 32]);  // '@': the first four pixels of its first line exist
  EXPECT_EQ(At(3, 0), sheet[8 * 8 * 32 + 3]);
  EXPECT_EQ(At(4, 0), 1);
  EXPECT_EQ(At(0, 1), 1);
  for (uint32_t x = 8; x < 32; ++x) EXPECT_EQ(At(x, 3), 1) << x;

  // No sheet at all.
  AddFont(owned, 2, 8, 8, {});
  selectFont(2);
  setTextBackground(0);
  backBuffer.assign(240 * 320, kGround);
  EXPECT_EQ(drawText("abc", 0, 0, 0), 24u);
  EXPECT_EQ(backBuffer, std::vector<uint16_t>(240 * 320, kGround));
}

TEST_F(Text, SettersReturnThePreviousValueAndTxtInitEmptiesTheFonts) {
  EXPECT_EQ(setTextColor(0xF800), 0);
  EXPECT_EQ(setTextColor(0x07E0), 0xF800);
  EXPECT_EQ(setTextBackground(1), 0);
  EXPECT_EQ(setTextBackground(0), 1);
  EXPECT_EQ(selectFont(2), 0u);
  EXPECT_EQ(selectFont(1), 2u);
  AddFont(owned, 1, 8, 8, numberedSheet(8, 8));
  EXPECT_EQ(TxtInit(), 0);
  EXPECT_TRUE(fontTable.empty());
}
