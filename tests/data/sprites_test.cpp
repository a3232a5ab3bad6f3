// sprites_test.cpp -- sprites.dat: templates field by field, frame decoding, the random start, reloads.
#include "data/sprites.h"

#include <algorithm>

#include "data/data_fixture.h"
#include "support/tables_text.h"

using namespace data_builder;
using Lines = std::vector<std::string>;
using Pixels = std::vector<uint16_t>;

class SpriteFile : public DataFileTest {};

namespace {

Pixels framePixels(const Sprite& s, uint32_t frame) {
  const size_t area = static_cast<size_t>(s.width) * s.height;
  return Pixels(s.pixels + (frame - 1) * area, s.pixels + frame * area);
}

}  // namespace

TEST_F(SpriteFile, TemplatesAreBuiltFieldByFieldAndTheirFramesDecoded) {
  const SpriteDef def{.id = 42, .kind = 5, .animRate = 9, .reservedB = 0xB0, .width = 3, .height = 2,
                       .reservedC = 0xC0, .motion = 2, .moveRate = 17, .frames = {{1, 2, 3, 4, 5, 6}, {0, 2, 7, 0, 0}}};
  std::vector<IndexedRecord> records = {SpriteEntry(def)};
  // Kinds 0..6 give the layer; more than one frame makes a sprite animated.
  for (uint8_t kind = 0; kind < 7; ++kind) {
    records.push_back(SpriteEntry({.id = 10u + kind, .kind = kind, .frames = std::vector<std::vector<uint16_t>>(kind % 3, {1})}));
  }
  records.push_back(SpriteEntry({.id = 8, .kind = 7, .frames = {{1}}}));
  // Sprite 1: frame 1's words come after frame 2's in the frame data.
  Bytes frameData;
  layout::put32(frameData, 4);  // frame 1 at table end + 4
  layout::put32(frameData, 0);  // frame 2 right after the table
  for (uint16_t word : {0, 3, 4, 0, 1, 5}) layout::put16(frameData, word);  // frame 2: skip 3 ends it; frame 1
  IndexedRecord anyOrder{SpriteEntry({.id = 1, .frameCount = 2, .width = 2, .height = 2}).bytes,
                         static_cast<uint32_t>(frameData.size())};
  anyOrder.bytes.insert(anyOrder.bytes.end(), frameData.begin(), frameData.end());
  records.push_back(anyOrder);
  // A skip that carries p to the last position ends the frame without reading on: here there is
  // nothing more to read, and reading on would refuse the file.
  records.push_back(SpriteEntry({.id = 2, .width = 2, .height = 2, .frames = {{1, 0, 2}}}));
  // 255 x 255 = 65025 positions; a skip of 65000 then 600 wraps the 16-bit position round to 64.
  records.push_back(SpriteEntry({.id = 20, .width = 255, .height = 255, .frames = {{0, 65000, 0, 600, 0xABCD, 0, 0}}}));
  write("sprites.dat", Indexed(records));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_EQ(log(), (Lines{"sprites.dat: index entry 8 (sprite 8): kind 7 is unknown; it goes on the scenery layer",
                          "Loaded 12 sprites."}));

  const Sprite& s = spriteTable.at(42);
  EXPECT_EQ(Fields(s),
            "id=42 kind=5 layer=20 size=3x2 frames=2 range=1..2 frame=1 flags=5 animRate=9 motion=2 moveRate=17 "
            "reserved=176,192 ready=1 at=0,0 prev=0,0 speedX=0 times=0,0 frameDataSize=30");
  EXPECT_EQ(Bytes(s.frameData, s.frameData + s.frameDataSize), FrameData(def.frames));
  // The bottom-right position is never written, even when the frame has a word for it; a skip, a
  // pixel, and 0, 0 end a frame early.
  EXPECT_EQ(framePixels(s, 1), (Pixels{1, 2, 3, 4, 5, 0}));
  EXPECT_EQ(framePixels(s, 2), (Pixels{0, 0, 7, 0, 0, 0}));
  const uint8_t layers[] = {16, 2, 30, 1, 0, 20, 25};
  for (uint8_t kind = 0; kind < 7; ++kind) {
    const Sprite& k = spriteTable.at(10u + kind);
    EXPECT_EQ(k.layer, layers[kind]) << int(kind);
    EXPECT_EQ(k.flags, kind % 3 > 1 ? 5 : 1) << int(kind);
    EXPECT_EQ(k.lastFrame, kind % 3);
    EXPECT_EQ(k.pixelsReady, 1);
  }
  EXPECT_EQ(spriteTable.at(8).layer, 2);
  EXPECT_EQ(framePixels(spriteTable.at(1), 1), (Pixels{4, 0, 5, 0}));
  EXPECT_EQ(framePixels(spriteTable.at(1), 2), (Pixels{0, 0, 0, 0}));
  EXPECT_EQ(framePixels(spriteTable.at(2), 1), (Pixels{1, 0, 0, 0}));
  const Pixels wrapped = framePixels(spriteTable.at(20), 1);
  EXPECT_EQ(wrapped[64], 0xABCD);
  EXPECT_EQ(std::count(wrapped.begin(), wrapped.end(), 0), 65024);
}

TEST_F(SpriteFile, RandomStartDrawsTwoNumbersInOrderForEverySpriteDuplicatesAndDroppedOnesToo) {
  const std::vector<uint32_t> draws = randomDraws(0x2468ACE1, 14);
  write("sprites.dat",
        Indexed({SpriteEntry({.id = 1, .animRate = 7, .motion = 1, .frames = {{1}, {2}, {3}, {4}, {5}}}),
                 SpriteEntry({.id = 2, .animRate = 7, .motion = 2, .frames = {{1}, {2}}}),  // patrol: no draws
                 SpriteEntry({.id = 3, .animRate = 7, .motion = 3, .frames = {{1}, {2}, {3}}}),
                 SpriteEntry({.id = 4, .animRate = 7, .motion = 1, .frames = {}}),  // no frames: frame stays 1
                 SpriteEntry({.id = 5, .animRate = 7, .motion = 0xFF, .frames = {{1}, {2}, {3}, {4}, {5}, {6}, {7}}}),
                 SpriteEntry({.id = 1, .width = 4, .motion = 1, .frames = {{1, 0, 0}, {2, 0, 0}}}),  // the first stays
                 SpriteEntry({.id = 9, .width = 0, .motion = 1, .frames = {{1}}}),
                 SpriteEntry({.id = 6, .motion = 1, .frames = {{1}, {2}, {3}, {4}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_EQ(log(), (Lines{"sprites.dat: index entry 6 (sprite 9): it is 0 x 1 pixels; left out", "Loaded 8 sprites."}));
  ASSERT_EQ(spriteTable.size(), 6u);
  auto rate = [&](int i) { return static_cast<uint8_t>((draws[i] + 1) & 3); };
  EXPECT_EQ(spriteTable.at(1).animRate, rate(0));
  EXPECT_EQ(spriteTable.at(1).frame, draws[1] % 5 + 1);
  EXPECT_EQ(spriteTable.at(1).width, 1);
  EXPECT_EQ(spriteTable.at(2).animRate, 7);
  EXPECT_EQ(spriteTable.at(2).frame, 1);
  EXPECT_EQ(spriteTable.at(3).animRate, rate(2));
  EXPECT_EQ(spriteTable.at(3).frame, draws[3] % 3 + 1);
  EXPECT_EQ(spriteTable.at(4).animRate, rate(4));
  EXPECT_EQ(spriteTable.at(4).frame, 1);
  EXPECT_EQ(spriteTable.at(4).lastFrame, 0);
  EXPECT_EQ(spriteTable.at(5).animRate, rate(6));
  EXPECT_EQ(spriteTable.at(5).frame, draws[7] % 7 + 1);
  // The range stays the whole animation; only the current frame is random.
  EXPECT_EQ(spriteTable.at(5).firstFrame, 1);
  EXPECT_EQ(spriteTable.at(5).lastFrame, 7);
  EXPECT_EQ(spriteTable.at(6).frame, draws[13] % 4 + 1);
}

TEST_F(SpriteFile, ReloadEmptiesObjectsAndReplacesTemplates) {
  write("sprites.dat", Indexed({SpriteEntry({.id = 3, .kind = 0, .frames = {{1}}}), SpriteEntry({.id = 4, .frames = {{2}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  objectList.push_back(spriteTable.at(3));  // the player borrows the template's buffers
  objectList.push_back(spriteTable.at(4));
  write("sprites.dat", Indexed({SpriteEntry({.id = 5, .frames = {{3}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_TRUE(objectList.empty());
  ASSERT_EQ(spriteTable.size(), 1u);
  EXPECT_EQ(spriteTable.at(5).pixels[0], 3);
  // A reload that finds no file still empties both.
  objectList.push_back(spriteTable.at(5));
  std::remove(dir.file("sprites.dat").c_str());
  EXPECT_EQ(loadSprites(), LoadCannotOpen);
  EXPECT_TRUE(objectList.empty());
  EXPECT_TRUE(spriteTable.empty());
}

TEST_F(SpriteFile, MalformedFilesAreRefusedWholeWithOneLine) {
  const IndexedRecord first = SpriteEntry({.id = 1, .width = 2, .height = 1, .frames = {{1, 2}}});
  const IndexedRecord second = SpriteEntry({.id = 7, .width = 2, .height = 2, .frames = {{1, 2, 3}, {0, 0}}});
  const Bytes good = Indexed({first, second});
  const size_t secondStart = 4 + 16 + first.bytes.size();
  const size_t secondFrames = secondStart + layout::sprite::kHeaderSize;
  Bytes tableLong = good;
  tableLong[secondStart + layout::sprite::kFrameCount] = 6;  // 24 bytes of offsets in 18 bytes of frame data
  Bytes runsOff = good;
  // Frame 2's end marker 0, 0 becomes two pixels, and the frame wants a third word that is not there.
  layout::write16(runsOff.data() + runsOff.size() - 4, 7);
  layout::write16(runsOff.data() + runsOff.size() - 2, 8);
  const std::vector<BadFile> cases = {
      {"count cut short", Bytes{1, 0, 0}, "ends inside the record count (3 of its 4 bytes)"},
      {"count larger than the file", Set32(good, 0, 0x20000000), "count 536870912 needs 4294967300 bytes"},
      {"offset past the end", Set32(good, 12, 0xFFFFFFFF), "index entry 1: the record starts at byte 4294967315, past"},
      {"header cut short", Set32(good, 12, static_cast<uint32_t>(good.size() - 20 - 10)),
       "index entry 1: the 49-byte header at byte"},
      {"frame data past the end", Set32(good, 16, second.size + 1),
       "index entry 1 (sprite 7): its 19 bytes of frame data run past"},
      {"frame table too long", tableLong, "the table of 6 frame offsets is longer than its 18 bytes"},
      // Frame 2 at 8 + 10 = 18: the very end.
      {"frame offset outside", Set32(good, secondFrames + 4, 10),
       "(sprite 7): frame 2 starts past the end of its frame data (18 bytes)"},
      {"frame runs off", runsOff, "(sprite 7): frame 2 runs past the end of its frame data"}};
  expectRefused("sprites.dat", loadSprites, cases, [] { return spriteTable.empty(); });
}

TEST(DecodeFrames, ZeroSizedSpritesWriteNothingAndOneByOneTakesItsOnlyWord) {
  uint8_t frameData[8] = {0, 0, 0, 0, 0x34, 0x12, 0, 0};
  uint16_t pixels[4] = {0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE};
  Sprite s;
  s.frameCount = 1;
  s.width = 0;
  s.height = 3;
  s.frameData = frameData;
  s.frameDataSize = sizeof frameData;
  s.pixels = pixels;
  EXPECT_EQ(decodeFrames(s).kind, FrameFault::None);
  EXPECT_EQ(s.pixelsReady, 1);
  EXPECT_EQ(Pixels(pixels, pixels + 4), Pixels(4, 0xEEEE));
  // With a single position, the first word is read before the stop test, as for any frame.
  s.width = s.height = 1;
  s.frameDataSize = 6;
  s.pixelsReady = 0;
  EXPECT_EQ(decodeFrames(s).kind, FrameFault::None);
  EXPECT_EQ(s.pixelsReady, 1);
  EXPECT_EQ(Pixels(pixels, pixels + 4), (Pixels{0x1234, 0xEEEE, 0xEEEE, 0xEEEE}));
}
