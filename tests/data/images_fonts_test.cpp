// images_fonts_test.cpp -- images.dat and fonts.dat: read a record at a time, by seeking.
#include <cstdio>
#include <cstring>

#include "data/data_fixture.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

class ImageFile : public DataFileTest {};
class FontFile : public DataFileTest {};

namespace {

Bytes pixelBytes(const ImageRecord& image) { return Bytes(image.pixelData, image.pixelData + image.pixelDataSize); }

// An index entry's fields, for files whose index a test breaks on purpose.
void setEntry(Bytes& file, uint32_t entry, uint32_t offset, uint32_t size) {
  layout::write32(file.data() + 4 + 8 * entry, offset);
  layout::write32(file.data() + 8 + 8 * entry, size);
}

}  // namespace

TEST_F(ImageFile, LoadsEveryRecordWhereverTheIndexPutsIt) {
  const ImageDef splash{.id = 6, .reserved = 0x42, .width = 3, .height = 2, .words = {1, 2, 0, 2, 3}};
  const ImageDef panel{.id = 5, .saveUnder = 1, .width = 4, .height = 3, .words = {0, 11}};
  const ImageDef odd{.id = 9, .saveUnder = 2, .width = 1, .height = 1, .words = {0xFFFF}};
  const ImageDef empty{.id = 10, .saveUnder = 1, .width = 0, .height = 7, .words = {}};
  // The data area holds the records backwards; only the index says where each starts.
  write("images.dat", Indexed({ImageEntry(splash), ImageEntry(panel), ImageEntry(odd), ImageEntry(empty)}, {3, 2, 1, 0}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 4 images."}));
  ASSERT_EQ(imageTable.size(), 4u);

  const ImageRecord& a = imageTable.at(6);
  EXPECT_EQ(a.id, 6u);
  EXPECT_EQ(a.saveUnder, 0);
  EXPECT_EQ(a.reserved, 0x42);
  EXPECT_EQ(a.width, 3);
  EXPECT_EQ(a.height, 2);
  EXPECT_EQ(a.pixelDataSize, 10u);
  EXPECT_EQ(pixelBytes(a), Words({1, 2, 0, 2, 3}));
  EXPECT_EQ(a.saveBuffer, nullptr);

  const ImageRecord& b = imageTable.at(5);
  EXPECT_EQ(pixelBytes(b), Words({0, 11}));
  ASSERT_NE(b.saveBuffer, nullptr);
  std::memset(b.saveBuffer, 0xAB, 4 * 3 * sizeof(uint16_t));  // the whole buffer is ours to write

  EXPECT_EQ(imageTable.at(9).saveBuffer, nullptr);  // only saveUnder 1 asks for one
  // A 0 x 7 image with saveUnder 1 gets an empty save buffer; it also has no pixel data at all.
  const ImageRecord& d = imageTable.at(10);
  EXPECT_EQ(d.saveBuffer, nullptr);
  EXPECT_EQ(d.pixelDataSize, 0u);
}

TEST_F(ImageFile, FirstRecordOfAnIdStaysAcrossTheFileAndAcrossLoads) {
  write("images.dat", Indexed({ImageEntry({.id = 1, .width = 1, .height = 1, .words = {7}}),
                               ImageEntry({.id = 1, .width = 2, .height = 2, .words = {8}})}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(imageTable.at(1).width, 1);
  // A second load adds new ids and leaves those already there alone.
  write("images.dat", Indexed({ImageEntry({.id = 1, .width = 9, .height = 9, .words = {9}}),
                               ImageEntry({.id = 2, .width = 3, .height = 1, .words = {1, 2}})}));
  ASSERT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 2 images.", "Loaded 2 images."}));
  ASSERT_EQ(imageTable.size(), 2u);
  EXPECT_EQ(imageTable.at(1).width, 1);
  EXPECT_EQ(pixelBytes(imageTable.at(1)), Words({7}));
  EXPECT_EQ(imageTable.at(2).width, 3);
}

TEST_F(ImageFile, NoCountMeansNoImagesButAMissingFileFails) {
  write("images.dat", Bytes{});
  EXPECT_EQ(loadImages(), LoadOk);
  write("images.dat", Indexed({}));
  EXPECT_EQ(loadImages(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 0 images.", "Loaded 0 images."}));
  std::remove(dir.file("images.dat").c_str());
  EXPECT_EQ(loadImages(), LoadOther);
  EXPECT_EQ(log().back(), "Failed to open images.dat");
  EXPECT_TRUE(imageTable.empty());
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

TEST_F(FontFile, LoadsSheetsAsPixels) {
  FontDef one{.id = 1, .glyphWidth = 6, .glyphHeight = 8, .sheet = FullSheet(6, 8)};
  FontDef two{.id = 2, .glyphWidth = 1, .glyphHeight = 2, .sheet = FullSheet(1, 2)};
  two.sheet[0] = 0xF800;
  two.sheet[1] = 0x001F;
  write("fonts.dat", Indexed({FontEntry(one), FontEntry(two)}, {1, 0}));
  ASSERT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 2 fonts."}));
  const FontRecord& a = fontTable.at(1);
  EXPECT_EQ(a.glyphWidth, 6);
  EXPECT_EQ(a.glyphHeight, 8);
  ASSERT_EQ(a.sheetPixels, 96u * 6 * 8);
  EXPECT_TRUE(std::equal(one.sheet.begin(), one.sheet.end(), a.glyphSheet));
  // "A" (65) has its top-left pixel at (1 x 8) x 192 + 1 x 6 = 1542.
  EXPECT_EQ(a.glyphSheet[1542], one.sheet[1542]);
  const FontRecord& b = fontTable.at(2);
  EXPECT_EQ(b.glyphSheet[0], 0xF800);
  EXPECT_EQ(b.glyphSheet[1], 0x001F);
}

TEST_F(FontFile, ShortSheetIsKeptWithALineAndAnOddByteIsLeftOut) {
  IndexedRecord shortOne = FontEntry({.id = 4, .glyphWidth = 2, .glyphHeight = 2, .sheet = {1, 2, 3}});
  shortOne.bytes.push_back(0x77);  // half a pixel
  shortOne.size += 1;
  write("fonts.dat", Indexed({shortOne}));
  ASSERT_EQ(loadFonts(), LoadOk);
  Lines lines = log();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "fonts.dat: index entry 0 (font 4): the glyph sheet holds 3 pixels, fewer than the 384 of codes 32 to "
            "127; missing cells are drawn blank");
  EXPECT_EQ(lines[1], "Loaded 1 fonts.");
  EXPECT_EQ(fontTable.at(4).sheetPixels, 3u);
  EXPECT_EQ(fontTable.at(4).glyphSheet[2], 3);
}

TEST_F(FontFile, LoadingAgainKeepsTheFontsAlreadyThere) {
  write("fonts.dat", Indexed({FontEntry({.id = 1, .glyphWidth = 1, .glyphHeight = 1, .sheet = FullSheet(1, 1)})}));
  ASSERT_EQ(loadFonts(), LoadOk);
  write("fonts.dat", Indexed({FontEntry({.id = 1, .glyphWidth = 2, .glyphHeight = 1, .sheet = FullSheet(2, 1)}),
                              FontEntry({.id = 2, .glyphWidth = 2, .glyphHeight = 1, .sheet = FullSheet(2, 1)})}));
  ASSERT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(fontTable.size(), 2u);
  EXPECT_EQ(fontTable.at(1).glyphWidth, 1);
}

TEST_F(FontFile, MissingEmptyAndMalformedFiles) {
  EXPECT_EQ(loadFonts(), LoadOther);
  EXPECT_EQ(log(), (Lines{"Failed to open fonts.dat"}));
  write("fonts.dat", Bytes{});
  EXPECT_EQ(loadFonts(), LoadOk);
  EXPECT_EQ(log().back(), "Loaded 0 fonts.");

  restart(1);
  Bytes cut = Indexed({FontEntry({.id = 3, .glyphWidth = 1, .glyphHeight = 1, .sheet = FullSheet(1, 1)})});
  cut.resize(cut.size() - 2);
  write("fonts.dat", cut);
  EXPECT_EQ(loadFonts(), LoadReadFailed);
  EXPECT_TRUE(OneProblemLine(log(), "fonts.dat", "index entry 0 (id 3): its 192 bytes after the header run past"));
  EXPECT_TRUE(fontTable.empty());
}
