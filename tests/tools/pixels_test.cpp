// pixels_test.cpp -- colours, run-length coding and the texts of sources.
#include <gtest/gtest.h>

#include "pixels.h"
#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

using zdata::Severity;

TEST(Colours, FiveSixFiveAlphaAndOpaqueBlackAndEveryValueSurvivesAPicture) {
  EXPECT_EQ(zdata::rgbTo565(255, 0, 0), 0xF800);
  EXPECT_EQ(zdata::rgbTo565(0, 255, 0), 0x07E0);
  EXPECT_EQ(zdata::rgbTo565(0, 0, 255), 0x001F);
  EXPECT_EQ(zdata::rgbTo565(8, 4, 8), 0x0821);
  EXPECT_EQ(zdata::storedPixel(255, 255, 255, 127), 0);  // alpha below half is transparent
  EXPECT_EQ(zdata::storedPixel(255, 255, 255, 128), 0xFFFF);
  EXPECT_EQ(zdata::storedPixel(0, 0, 0, 255), 1);  // opaque black is stored as 1
  EXPECT_EQ(zdata::storedPixel(7, 3, 7, 255), 1);  // low bits dropped: still 0, so still 1
  uint8_t rgba[4];
  for (uint32_t v = 1; v <= 0xFFFF; ++v) {
    zdata::pixelToRgba(static_cast<uint16_t>(v), rgba);
    ASSERT_EQ(zdata::storedPixel(rgba[0], rgba[1], rgba[2], rgba[3]), v);
  }
  zdata::pixelToRgba(0, rgba);
  EXPECT_EQ(rgba[3], 0);
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

TEST(RunLength, PackedPicturesKeepAlphaAndBlackAndWarnOfAnOpaqueLastPixel) {
  TempDir src, out;
  // 3x2: opaque black, half-transparent (alpha 127: transparent), white / clear, clear, clear
  writePng(src / "p.png", 3, 2, {0x000000FF, 0xFF00007F, 0xFFFFFFFF, 0, 0, 0});
  writePng(src / "q.png", 2, 1, {0, 0xFFFFFFFF});
  writePng(src / "s.png", 4, 1, {0, 0, 0, 0xFFFFFFFF});
  writeJson(src / "world.json",
            {{"format", "zelvo-world 1"},
             {"images", {{{"id", 1}, {"picture", "p.png"}}, {{"id", 2}, {"picture", "q.png"}}}},
             {"sprites", {{{"id", 9}, {"kind", "scenery"}, {"frames", {{"strip", "s.png"}, {"count", 2}}}}}}});
  zdata::Report report = readReport(src.path());
  EXPECT_FALSE(report.hasErrors()) << dump(report);
  expectReported(report, {{Severity::Warning, "world.json", "images[1].picture", "bottom-right pixel is opaque"},
                          {Severity::Warning, "world.json", "sprites[0].frames", "frame 2: bottom-right pixel"}});
  expectReported(report, {{Severity::Warning, "world.json", "images[0]", ""},
                          {Severity::Warning, "world.json", "sprites[0].frames", "frame 1"}}, false);
  ASSERT_EQ(pack(src.path(), out.path()).code, 0);
  EXPECT_EQ(readFile(out / "images.dat"), hex("02000000 00000000 0C000000 16000000 06000000"
                                               "01000000 00 00 0300 0200 0100 0000 0100 FFFF 0000 0300"
                                               "02000000 00 00 0200 0100 0000 0100 FFFF"));
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

}  // namespace
}  // namespace zdtest
