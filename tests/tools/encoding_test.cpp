// encoding_test.cpp -- colours, run-length coding, the texts of sources, the dialog layout estimate, and a
// tiny world's packed bytes.
#include <gtest/gtest.h>

#include "pixels.h"
#include "support/golden.h"
#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

// Bytes as hex, 32 a line after their offset; a run of equal lines is folded to "*".
std::string hexDump(const Bytes& bytes) {
  std::string text = std::to_string(bytes.size()) + " bytes\n", last;
  for (std::size_t at = 0; at < bytes.size(); at += 32) {
    const std::string line = zdata::toHex(bytes.data() + at, std::min<std::size_t>(32, bytes.size() - at));
    if (line != last)
      text += std::to_string(at) + ": " + line + "\n";
    else if (!text.ends_with("*\n"))
      text += "*\n";
    last = line;
  }
  return text;
}

// A tiny world (worlds/tiny/) packs to the bytes in the golden text: run-length words that cross rows,
// alpha below half and opaque black, a glyph sheet, frames in a strip, every record and action. Its
// pictures: image 7 (red.png, 2x2) red, then three transparent pixels, the run crossing into the second
// row; font 1 (font.png) with 1x1 cells, a 32x3 sheet whose only ink is '!' (code 33, cell 1 of the
// first row); sprite 3 (hero.png), two 2x1 frames in a strip: blue then clear, opaque black then clear;
// image 1 (p.png, 3x2) opaque black, red of alpha 127 (transparent), white / clear, clear, clear;
// image 2 (q.png, 2x1) and sprite 9's frame 2 (s.png) end in an opaque pixel: two warnings.
TEST(TinyWorld, PacksToTheGoldenBytesAndWarnsOfAnOpaqueLastPixel) {
  TempDir src, out;
  fs::copy(fs::path(ZELVO_SOURCE_DIR) / "tests/tools/worlds/tiny", src.path());
  std::string text = dump(readReport(src.path()));
  ToolRun run = pack(src.path(), out.path());
  ASSERT_EQ(run.code, 0) << run.err;
  // No music is named, so none is copied.
  for (const std::string& name : listFolder(out.path())) text += name + ": " + hexDump(readFile(out / name));
  testing_support::ExpectGoldenText(text, "tools/tiny-packed.txt");
}

// The colours pack stores are pinned by the tiny world's bytes; unpack's pictures give every one back.
TEST(Colours, EveryStoredValueSurvivesAPictureAndTransparentIsAllZero) {
  uint8_t rgba[4];
  for (uint32_t v = 1; v <= 0xFFFF; ++v) {
    zdata::pixelToRgba(static_cast<uint16_t>(v), rgba);
    ASSERT_EQ(zdata::storedPixel(rgba[0], rgba[1], rgba[2], rgba[3]), v);
  }
  zdata::pixelToRgba(0, rgba);
  EXPECT_EQ(std::vector<uint8_t>(rgba, rgba + 4), std::vector<uint8_t>(4, 0));
}

TEST(RunLength, EncodingCrossesRowsSplitsLongRunsAndEndsFrames) {
  // 3x3: A B . / . . . / C D .  -> A B (0,4) C D (0,1)
  std::vector<uint16_t> pixels = {0xAAAA, 0xBBBB, 0, 0, 0, 0, 0xCCCC, 0xDDDD, 0};
  EXPECT_EQ(zdata::encodeImage(pixels.data(), pixels.size()), hex("AAAA BBBB 0000 0400 CCCC DDDD 0000 0100"));
  std::vector<uint16_t> long_(70000, 0);
  long_[0] = 0x1234;
  EXPECT_EQ(zdata::encodeImage(long_.data(), long_.size()), hex("3412 0000 FFFF 0000 7011"));  // 65535 + 4464
  std::vector<uint16_t> frame = {0, 0x1111, 0, 0}, clear(6, 0), full = {1, 2};
  EXPECT_EQ(zdata::encodeFrame(frame.data(), frame.size()), hex("0000 0100 1111 0000 0000"));
  EXPECT_EQ(zdata::encodeFrame(clear.data(), clear.size()), hex("0000 0000"));
  EXPECT_EQ(zdata::encodeFrame(full.data(), full.size()), hex("0100 0200"));
}

TEST(RunLength, ProblemsAndCanonicalFormAsTheGameDecodes) {
  // A 3x2 image: five words reach the limit; the sixth position is never read.
  EXPECT_FALSE(zdata::imageDataProblem(hex("0100 0200 0300 0400 0500"), 3, 2));
  EXPECT_FALSE(zdata::imageDataProblem(hex("0100 0200 0300 0400 0500 0600"), 3, 2));
  EXPECT_TRUE(zdata::imageDataProblem(hex("0100 0200 0300 0400"), 3, 2));
  EXPECT_FALSE(zdata::imageDataProblem(hex("1111 0000 0200 2222 3333 4444 5555"), 4, 2));
  EXPECT_TRUE(zdata::imageDataProblem(hex("1111 0000"), 4, 2));  // ends inside a skip pair

  EXPECT_FALSE(zdata::frameDataProblem(hex("00000000 0100 0000 0000"), 1, 2, 1));  // a pixel, then the end marker
  EXPECT_TRUE(zdata::frameDataProblem(hex("000000"), 1, 2, 1));                    // table cut short
  EXPECT_TRUE(zdata::frameDataProblem(hex("40000000 0100"), 1, 2, 1));             // offset past the data
  EXPECT_TRUE(zdata::frameDataProblem(hex("00000000 0100"), 1, 3, 1));             // words run out

  EXPECT_TRUE(zdata::canonicalImage(hex("AAAA 0000 0300"), 2, 2));
  EXPECT_FALSE(zdata::canonicalImage(hex("AAAA 0000 0000 0000 0300"), 2, 2));  // a skip of nothing
  EXPECT_FALSE(zdata::canonicalImage(hex("AAAA 0000 0100 0000 0200"), 2, 2));  // runs not joined
  EXPECT_FALSE(zdata::canonicalImage(hex("AAAA 0000 0300 0100"), 2, 2));       // words after the end
  EXPECT_FALSE(zdata::canonicalImage(hex("AAAA"), 2, 2));                      // words run out
  auto frames = zdata::canonicalFrames(hex("00000000 06000000 0100 0000 0000 0000 0100 0200"), 2, 2, 1);
  ASSERT_TRUE(frames);
  EXPECT_EQ((*frames)[1].pixels, (std::vector<uint16_t>{0, 2}));
  EXPECT_FALSE(zdata::canonicalFrames(hex("00000000 00000000 0100 0000 0000"), 2, 2, 1));  // shared words
}

TEST(Texts, Latin1HexAndBase64) {
  EXPECT_EQ(zdata::latin1ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(zdata::utf8ToLatin1("caf\xC3\xA9"), std::optional<std::string>("caf\xE9"));
  EXPECT_FALSE(zdata::utf8ToLatin1("\xE2\x82\xAC"));  // the euro sign has no byte
  Bytes bytes = hex("00 01 FE FF 7F");
  EXPECT_EQ(zdata::toHex(bytes.data(), bytes.size()), "0001FEFF7F");
  EXPECT_EQ(zdata::fromHex("0001feff7f"), std::optional<Bytes>(bytes));
  EXPECT_FALSE(zdata::fromHex("0g"));
  for (std::size_t n = 0; n < 7; ++n) {
    Bytes part(bytes.begin(), bytes.begin() + std::min(n, bytes.size()));
    EXPECT_EQ(zdata::fromBase64(zdata::toBase64(part)), std::optional<Bytes>(part));
  }
  EXPECT_EQ(zdata::toBase64(hex("4D616E")), "TWFu");
  for (const char* bad : {"TWF", "TW=u", "T!Fu"}) EXPECT_FALSE(zdata::fromBase64(bad)) << bad;
}

TEST(DialogLayout, SevenLinesFitByTheSevenPixelEstimate) {
  std::string seven = "1\n2\n3\n4\n5\n6\n7";
  EXPECT_FALSE(zdata::dialogCut(seven, 6));
  auto cut = zdata::dialogCut(seven + "\neight", 6);
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->lost, "eight");
  EXPECT_FALSE(zdata::dialogCut(seven + "\n  @fF800\n", 6));  // only spaces and markup are lost
  // Carriage returns are ignored.
  EXPECT_FALSE(zdata::dialogCut("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7", 6));
  EXPECT_TRUE(zdata::dialogCut("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8", 6));
  // 20 characters a line fit (50 + 7 x 20 = 190); 127 characters of such words take seven lines.
  std::string word(19, 'w'), text;
  for (int i = 0; i < 6; ++i) text += word + " ";
  EXPECT_FALSE(zdata::dialogCut(text + "end", 7));
  EXPECT_TRUE(zdata::dialogCut(text + word + " end", 7));
  // A word of more than 20 characters fails the estimate at once and starts on a new line; with
  // 8-pixel glyphs it keeps breaking, so 40 of them use up the seven lines.
  EXPECT_FALSE(zdata::dialogCut(std::string(21, 'x'), 6));
  EXPECT_TRUE(zdata::dialogCut(std::string(40, 'x'), 8));
  // With 12-pixel glyphs, 13 characters pass 195 and the line breaks after the character.
  EXPECT_FALSE(zdata::dialogCut("abcdefghijklm", 12));
  std::string many;
  for (int i = 0; i < 8; ++i) many += "abcdefghijklm";
  EXPECT_TRUE(zdata::dialogCut(many.substr(0, 100), 12));
}

TEST(DialogLayout, AColourSequenceInsideAWordCanEndALineEarly) {
  // "Spring@fFFFF," counts 13 characters by the estimate; "Spring," alone fits after "Go to the ".
  const auto early = zdata::dialogLayout("Go to the @fFFE0Spring@fFFFF, far east.", 6).markupBreaks;
  ASSERT_EQ(early.size(), 1u);
  EXPECT_EQ(early[0].word, "Spring,");
  EXPECT_EQ(early[0].room, 85);
  EXPECT_TRUE(zdata::dialogLayout("Go to the @fFFE0Spring, @fFFFFfar east.", 6).markupBreaks.empty());
  // A word that would not fit without its sequences either is the estimate's doing.
  EXPECT_TRUE(zdata::dialogLayout("Go and see the old @fFFE0Spring@fFFFF, far east.", 6).markupBreaks.empty());
}

}  // namespace
}  // namespace zdtest
