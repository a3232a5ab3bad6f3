// images_fonts_test.cpp -- images.dat and fonts.dat: read a record at a time, by seeking.
#include <algorithm>
#include <cstring>

#include "data/data_fixture.h"
#include "support/tables_text.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

class ImageFile : public DataFileTest {};
class FontFile : public DataFileTest {};

namespace {

Bytes pixelBytes(const ImageRecord& image) { return Bytes(image.pixelData, image.pixelData + image.pixelDataSize); }

template <class Table>
Lines fieldsOf(const Table& table) {
  Lines lines;
  for (const auto& [id, record] : table) lines.push_back(Fields(record));
  return lines;
}

// An index entry's fields, for files whose index a test breaks on purpose.
void setEntry(Bytes& file, uint32_t entry, uint32_t offset, uint32_t size) {
  layout::write32(file.data() + 4 + 8 * entry, offset);
  layout::write32(file.data() + 8 + 8 * entry, size);
}

}  // namespace

TEST_F(ImageFile, LoadsEveryRecordWhereverTheIndexPutsItAndTheFirstOfAnIdStays) {
  const ImageDef splash{.id = 6, .reserved = 0x42, .width = 3, .height = 2, .words = {1, 2, 0, 2, 3}};
  const ImageDef panel{.id = 5, .saveUnder = 1, .width = 4, .height = 3, .words = {0, 11}};
  const ImageDef odd{.id = 9, .saveUnder = 2, .width = 1, .height = 1, .words = {0xFFFF}};
  const ImageDef empty{.id = 10, .saveUnder = 1, .width = 0, .height = 7, .words = {}};
  const ImageDef again{.id = 6, .width = 2, .height = 2, .words = {8}};
  // The data area holds the records backwards; only the index says where each starts.
  write("images.dat", Indexed({ImageEntry(splash), ImageEntry(panel), ImageEntry(odd), ImageEntry(empty), ImageEntry(again)},
                              {4, 3, 2, 1, 0}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 5 images."}));
  // Only saveUnder 1 asks for a save buffer, and a 0 x 7 image gets none (nor any pixel data).
  EXPECT_EQ(fieldsOf(imageTable), (Lines{"id=5 saveUnder=1 reserved=0 size=4x3 dataSize=4 saveBuffer=1",
                                         "id=6 saveUnder=0 reserved=66 size=3x2 dataSize=10 saveBuffer=0",
                                         "id=9 saveUnder=2 reserved=0 size=1x1 dataSize=2 saveBuffer=0",
                                         "id=10 saveUnder=1 reserved=0 size=0x7 dataSize=0 saveBuffer=0"}));
  EXPECT_EQ(pixelBytes(imageTable.at(6)), Words(splash.words));
  EXPECT_EQ(pixelBytes(imageTable.at(5)), Words(panel.words));
  std::memset(imageTable.at(5).saveBuffer, 0xAB, 4 * 3 * sizeof(uint16_t));  // the whole buffer is ours to write

  // A second load adds new ids and leaves those already there alone.
  write("images.dat", Indexed({ImageEntry({.id = 6, .width = 9, .height = 9, .words = {9}}),
                               ImageEntry({.id = 2, .width = 3, .height = 1, .words = {1, 2}})}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log().back(), "Loaded 2 images.");
  ASSERT_EQ(imageTable.size(), 5u);
  EXPECT_EQ(imageTable.at(6).width, 3);
  EXPECT_EQ(pixelBytes(imageTable.at(6)), Words(splash.words));
  EXPECT_EQ(imageTable.at(2).width, 3);
}

TEST_F(ImageFile, MalformedFilesAreRefusedWholeWithOneLine) {
  const Bytes good = Indexed({ImageEntry({.id = 1, .width = 2, .height = 1, .words = {5, 6}}),
                              ImageEntry({.id = 2, .saveUnder = 1, .width = 2, .height = 2, .words = {0, 3}})});
  std::vector<BadFile> cases;
  cases.push_back({"count cut short", Bytes{2, 0}, "ends inside the record count"});
  Bytes bigCount = good;
  layout::write32(bigCount.data(), 1000);
  cases.push_back({"count larger than the file", bigCount, "count 1000 needs 8004 bytes"});
  Bytes hugeCount = good;
  layout::write32(hugeCount.data(), 0xFFFFFFFF);
  cases.push_back({"count near 2^32", hugeCount, "count 4294967295"});
  Bytes offsetPast = good;
  setEntry(offsetPast, 1, 0xFFFFFFF0, 4);
  cases.push_back({"offset past the end", offsetPast, "index entry 1: the record starts at byte"});
  Bytes headerCut = good;
  headerCut.resize(good.size() - 4 - 5);  // record 2's header is cut in half
  cases.push_back({"header cut short", headerCut, "index entry 1: the header at byte 34 is cut short: 5 of 10"});
  Bytes sizePast = good;
  setEntry(sizePast, 0, 0, 0xFFFFFFFF);
  cases.push_back({"size past the end", sizePast, "index entry 0 (id 1): its 4294967295 bytes after the header run past"});
  Bytes pixelsCut = good;
  pixelsCut.pop_back();
  cases.push_back({"pixel data cut short", pixelsCut, "index entry 1 (id 2): its 4 bytes after the header run past"});
  expectRefused("images.dat", loadImages, cases, [] { return imageTable.empty(); });
}

TEST_F(FontFile, LoadsSheetsAsPixelsKeepsShortSheetsAndTheFontsAlreadyThere) {
  FontDef one{.id = 1, .glyphWidth = 6, .glyphHeight = 8, .sheet = FullSheet(6, 8)};
  FontDef two{.id = 2, .glyphWidth = 1, .glyphHeight = 2, .sheet = FullSheet(1, 2)};
  two.sheet[0] = 0xF800;
  two.sheet[1] = 0x001F;
  IndexedRecord shortOne = FontEntry({.id = 4, .glyphWidth = 2, .glyphHeight = 2, .sheet = {1, 2, 3}});
  shortOne.bytes.push_back(0x77);  // half a pixel, left out
  shortOne.size += 1;
  write("fonts.dat", Indexed({FontEntry(one), FontEntry(two), shortOne}, {2, 1, 0}));
  ASSERT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"fonts.dat: index entry 2 (font 4): the glyph sheet holds 3 pixels, fewer than the 384 of "
                          "codes 32 to 127; missing cells are drawn blank",
                          "Loaded 3 fonts."}));
  EXPECT_EQ(fieldsOf(fontTable), (Lines{"id=1 glyph=6x8 sheetPixels=4608", "id=2 glyph=1x2 sheetPixels=192",
                                        "id=4 glyph=2x2 sheetPixels=3"}));
  for (const FontDef& font : {one, two}) {
    EXPECT_TRUE(std::equal(font.sheet.begin(), font.sheet.end(), fontTable.at(font.id).glyphSheet)) << font.id;
  }
  EXPECT_EQ(fontTable.at(4).glyphSheet[2], 3);
  // Loading again keeps the fonts already there.
  write("fonts.dat", Indexed({FontEntry({.id = 1, .glyphWidth = 2, .glyphHeight = 1, .sheet = FullSheet(2, 1)}),
                              FontEntry({.id = 3, .glyphWidth = 2, .glyphHeight = 1, .sheet = FullSheet(2, 1)})}));
  ASSERT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(fontTable.size(), 4u);
  EXPECT_EQ(fontTable.at(1).glyphWidth, 6);

  Bytes cut = Indexed({FontEntry({.id = 3, .glyphWidth = 1, .glyphHeight = 1, .sheet = FullSheet(1, 1)})});
  cut.resize(cut.size() - 2);
  expectRefused("fonts.dat", loadFonts,
                {{"sheet cut short", cut, "index entry 0 (id 3): its 192 bytes after the header run past"}},
                [] { return fontTable.empty(); });
}
