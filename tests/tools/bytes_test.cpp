// bytes_test.cpp -- a tiny world packs to bytes worked out by hand from the file layouts.
#include <gtest/gtest.h>

#include "world_builder.h"

namespace zdtest {
namespace {

constexpr uint32_t kRed = 0xFF0000FF, kClear = 0x00000000, kWhite = 0xFFFFFFFF, kBlue = 0x0000FFFF,
                   kBlack = 0x000000FF;

TEST(TinyWorld, PacksToTheBytesWorkedOutByHand) {
  TempDir src, out;
  // Image 7, 2x2: red, then three transparent pixels, the run crossing into the second row.
  writePng(src / "red.png", 2, 2, {kRed, kClear, kClear, kClear});
  // Font 1 with 1x1 cells: a 32x3 sheet whose only ink is '!' (code 33, cell 1 of the first row).
  std::vector<uint32_t> sheet(32 * 3, kClear);
  sheet[1] = kWhite;
  writePng(src / "font.png", 32, 3, sheet);
  // Sprite 3, two 2x1 frames in a strip: blue then clear; opaque black then clear.
  writePng(src / "hero.png", 4, 1, {kBlue, kClear, kBlack, kClear});
  writeJson(src / "world.json",
            {{"format", "zelvo-world 1"},
             {"images", {{{"id", 7}, {"picture", "red.png"}, {"saveBuffer", true}}}},
             {"fonts", {{{"id", 1}, {"sheet", "font.png"}, {"cell", {1, 1}}}}},
             {"sprites",
              {{{"id", 3}, {"kind", "player"}, {"frames", {{"strip", "hero.png"}, {"count", 2}}}, {"animRate", 5},
                {"motion", "patrol"}, {"moveRate", 9}, {"reserved", {{"label", "hero"}}}}}},
             {"screens",
              {{{"number", 2},
                {"objects", {{{"sprite", 3}, {"x", 10}, {"y", 20}, {"layer", 5}}}},
                {"events", {{{"event", 4}, {"x", 30}, {"y", 40}}}}}}},
             {"events",
              {{{"id", 4}, {"size", {16, 8}}, {"trigger", "useArtifact"}, {"armed", false}, {"param", 9},
                {"reserved", "A1B2C3D4"},
                {"actions",
                 {{{"do", "showDialog"}, {"dialog", 6}}, {{"do", "goToScreen"}, {"screen", 2}, {"x", 100}, {"y", 50}}}}}}},
             {"artifacts", {{{"id", 9}, {"name", "Key"}, {"screen", 2}, {"x", 100}, {"y", 120}, {"state", "lying"}}}},
             {"dialogs", {{{"id", 6}, {"text", "Hi\n@fF800there"}}}}});
  ToolRun run = pack(src.path(), out.path());
  ASSERT_EQ(run.code, 0) << run.err;

  Bytes sheetBytes = zeros(192);       // 32 x 3 pixels of 2 bytes
  sheetBytes[2] = sheetBytes[3] = 0xFF;  // pixel 1 is white ink
  Bytes map = zeros(90000);
  Bytes screen = hex("02000000 03000000 0A00 1400 05000000");  // screen 2: sprite 3 at (10, 20), layer 5
  std::copy(screen.begin(), screen.end(), map.begin() + 900);
  Bytes event = hex("04000000 1E00 2800");  // event 4 at (30, 40)
  std::copy(event.begin(), event.end(), map.begin() + 900 + 772);
  Bytes text = hex("4869 0A 4066463830 30 7468657265");  // "Hi", LF, "@fF800", "there"
  text.resize(128, 0);
  const std::pair<const char*, Bytes> files[] = {
      {"images.dat", hex("01000000"                   // one record
                         "00000000 06000000"          // at data offset 0, 6 bytes of pixel words
                         "07000000 01 00 0200 0200"   // id 7, save buffer, reserved, 2x2
                         "00F8 0000 0300")},          // red (0xF800), then skip 3 across the row end
      {"fonts.dat", cat({hex("01000000 00000000 C0000000 01000000 0100 0100"), sheetBytes})},
      {"sprites.dat", cat({
                          hex("01000000 00000000 14000000"),  // one record, 20 bytes of frame data
                          hex("03000000"),                    // id 3
                          hex("6865726F"), zeros(28),         // reserved label "hero"
                          hex("00 02 05 00 02 01 00 02 09"),  // player, 2 frames, 5 fps, -, 2x1, -, patrol, 9 steps
                          zeros(4),                           // reserved
                          hex("00000000 06000000"),           // frame offsets from the end of the table
                          hex("1F00 0000 0000"),              // blue, end of frame
                          hex("0100 0000 0000"),              // opaque black stored as 1, end of frame
                      })},
      {"map.dat", map},
      {"events.dat", hex("01000000 00000000 12000000"  // one record; its size counts the 18 bytes of actions
                         "04000000 1000 0800 03 02"    // id 4, 16x8, use artifact, disarmed
                         "A1B2C3D4 09000000 02"        // reserved, artifact 9, two actions
                         "04 06000000 0000 0000"       // show dialog 6
                         "01 02000000 6400 3200")},    // go to screen 2 at (100, 50)
      {"art.dat", cat({hex("01000000 09000000 4B6579"), zeros(29), hex("0200 6400 7800 01")})},
      {"dialogs.dat", cat({hex("01000000 06000000"), text})},
  };
  for (const auto& [name, expected] : files) EXPECT_EQ(readFile(out / name), expected) << name;
  // No music is named, so none is copied.
  EXPECT_EQ(listFolder(out.path()), (std::vector<std::string>{"art.dat", "dialogs.dat", "events.dat", "fonts.dat",
                                                              "images.dat", "map.dat", "sprites.dat"}));
}

}  // namespace
}  // namespace zdtest
