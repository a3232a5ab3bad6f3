// draw_test.cpp -- pixels and rectangles, the run-length decoder, save buffers, lookups and bitmap-font text
// on a test back buffer: what each step leaves there is written down and compared with a golden transcript.
#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/image.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "support/data_builder.h"
#include "support/golden.h"

class Drawing : public gfx_testing::BackBufferTest {
 protected:
  // The back buffer's rows from (x, y), width pixels each, as hex ("." for the untouched ground),
  // then the dirty rectangles, which are emptied.
  void look(const std::string& what, uint32_t width, uint32_t height, uint32_t x = 0, uint32_t y = 0) {
    out << what << ":";
    for (uint32_t r = 0; r < height; ++r) {
      out << (r ? " /" : "");
      for (uint32_t c = 0; c < width; ++c)
        if (At(x + c, y + r) == gfx_testing::kGround) out << " .";
        else out << ' ' << std::hex << At(x + c, y + r) << std::dec;
    }
    for (const DirtyRect& d : dirtyList) out << " [" << d.x << ',' << d.y << ' ' << d.width << 'x' << d.height << ']';
    out << '\n';
    dirtyList.clear();
  }
  void clear() { backBuffer.assign(240 * 320, gfx_testing::kGround); }
  std::ostringstream out;
};

TEST_F(Drawing, PrimitivesDecoderSaveBuffersLookupsAndTextLeaveTheGoldenPixels) {
  fillRect(15, 25, 225, 215, 200, 200, 255);
  fillRect(170, 12, 170, 22, 255, 0, 0);  // no width: nothing
  out << "putPixelRgb " << std::hex << putPixelRgb(169, 11, 200, 100, 100) << " rgbTo555 " << rgbTo555(255, 255, 255)
      << std::dec << " filled " << std::count(backBuffer.begin(), backBuffer.end(), 0xCE5F) << '\n';
  look("fillRect's corner", 2, 2, 224, 214);
  putPixel(240, 4, 0x4321);  // no clipping to the view: the next row
  putPixel(0, 320, 1);       // past the back buffer: nothing
  look("putPixel past the right edge", 1, 1, 0, 5);
  // The decoder skips exactly, carries columns past the right edge along the next row, stops one
  // short of the last position, and at the end of its data.
  const std::pair<std::array<uint16_t, 2>, std::vector<uint16_t>> images[] = {
      {{3, 2}, {1, 2, 3, 4, 5, 6}},
      {{4, 2}, {0x1111, 0, 2, 0x2222, 0x3333, 0x4444, 0x5555}},
      {{3, 3}, {0, 4, 7, 0, 0, 8}},
      {{4, 3}, {1, 2, 0, 3, 3, 0, 1, 4}},
      {{2, 2}, {0, 0xFFFF, 5, 5}},
      {{0, 5}, {1, 2}}};
  for (const auto& [size, words] : images) {
    clear();
    drawImage(0, 0, owned.image(9, size[0], size[1], words));
    look("image " + std::to_string(size[0]) + "x" + std::to_string(size[1]), size[0] + 1, size[1] + 1);
  }
  const data_builder::Bytes full = data_builder::Words({0x0101, 0x0202, 0, 1, 0x0303});
  for (size_t size = 0; size <= full.size(); ++size) {
    clear();
    drawRunLength(0, 0, 3, 3, size ? full.data() : nullptr, static_cast<uint32_t>(size));
    look("data cut to " + std::to_string(size) + " bytes", 3, 2);
  }
  // Save then restore leaves the back buffer as it was, even at its edge.
  for (uint32_t i = 0; i < backBuffer.size(); ++i) backBuffer[i] = static_cast<uint16_t>(i * 7 + 1);
  const std::vector<uint16_t> before = backBuffer;
  const ImageRecord panel = owned.image(5, 4, 3, {1, 0, 2, 2, 3, 4, 5, 6, 7}, true);
  drawImage(25, 40, panel);
  out << "drawn over " << (backBuffer != before) << " restored " << restoreImage(25, 40, panel);
  out << " as before " << (backBuffer == before) << " without a save buffer " << restoreImage(0, 0, owned.solid(6, 2, 2, 1));
  const ImageRecord low = owned.solid(7, 30, 10, 0x0AAA, true);
  drawImage(0, 315, low);
  out << " at the bottom " << std::hex << At(29, 319) << std::dec;
  restoreImage(0, 315, low);
  look(" as before " + std::to_string(backBuffer == before), 0, 0);
  // Lookups, and the game frame without image 2: only the box and the side pieces.
  ImageRecord copy{99};
  Sprite sprite, found;
  sprite.flags = SpriteEnabled, sprite.width = 9;
  spriteTable[42] = sprite;
  out << "image 1 " << getImage(1, &copy) << " copy " << copy.id << " sprite 42 " << getSprite(42, &found) << " width "
      << found.width;
  spriteTable[42].flags = SpriteAnimated;  // disabled by an event
  out << " disabled " << getSprite(42, &found) << " sprite 43 " << getSprite(43, &found) << '\n';
  clear();
  owned.solid(1, 15, 190, 0x0111);
  drawGameFrame();
  look("game frame", 1, 1, 0, 0);
  look("box and side", 1, 1, 20, 30);
  look("side piece", 1, 1, 225, 25);
  // Glyphs are found by their code in sheets of an eight and a six pixel font whose pixels tell
  // where in the sheet they lie; no dirty rectangle for font 0's text, one for others'.
  for (uint16_t width : {6, 8}) {
    std::vector<uint16_t> sheet(96u * width * 8);
    for (uint32_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<uint16_t>(i + 1);
    owned.font(1, width, 8, sheet);
    selectFont(1);
    clear();
    out << "width " << drawText("A \x7F", 10, 20, 0) << ' ';
    look(std::to_string(width) + "-pixel glyphs A, space, 127", 3 * width, 8, 10, 20);
  }
  out << "status width " << drawText("Lives: 3", 168, 1, 1) << " empty " << drawText("", 5, 5, 1) << " long "
      << drawText(std::string(2000, 'x').c_str(), 0, 100, 0) << ' ';  // the working copy's limit
  look("", 0, 0);
  // Colours, blank cells, short sheets and missing fonts.
  std::vector<uint16_t> sheet(96 * 64, 0);
  sheet[8 * 8 * 32 + 2 * 8] = 0x0F0F;  // 'B': one ink pixel at its top left
  owned.font(2, 8, 8, sheet);
  out << "select 2 " << selectFont(2);
  clear();
  drawText("B\t", 0, 0, 0);  // own ink, transparent background, blank tab
  look(" own ink", 17, 1);
  out << "colour " << setTextColor(0xFFFF) << " background " << setTextBackground(1);
  drawText("B\xE9", 0, 10, 0);  // white ink, almost black background, blank 0xE9 painted
  look(" white on 1", 17, 8, 0, 10);
  std::vector<uint16_t> shortSheet(8 * 8 * 32 + 4);  // the first cell row and four pixels more
  for (uint32_t i = 0; i < shortSheet.size(); ++i) shortSheet[i] = static_cast<uint16_t>(i + 1);
  owned.font(1, 8, 8, shortSheet);
  owned.font(3, 8, 8, {});
  selectFont(1);
  setTextColor(0);
  out << "short sheet " << drawText("@A~", 0, 20, 0);
  look("", 24, 8, 0, 20);
  selectFont(3);
  out << "no sheet " << drawText("abc", 0, 30, 0);
  look("", 24, 8, 0, 30);
  out << "select 7 " << selectFont(7);
  clear();
  out << " width " << drawText("Hello", 0, 0, 1) << " untouched " << (std::count(backBuffer.begin(), backBuffer.end(), gfx_testing::kGround) == 240 * 320);
  look("", 0, 0);
  out << "TxtInit " << TxtInit() << " fonts " << fontTable.size() << '\n';
  testing_support::ExpectGoldenText(out.str(), "gfx/drawing.txt");
}
