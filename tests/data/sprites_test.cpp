// sprites_test.cpp -- sprites.dat: templates field by field, frame decoding, the random start, reloads.
#include "data/sprites.h"

#include <cstring>

#include "data/data_fixture.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

class SpriteFile : public DataFileTest {};

namespace {

std::vector<uint16_t> framePixels(const Sprite& s, uint32_t frame) {
  const size_t area = static_cast<size_t>(s.width) * s.height;
  return std::vector<uint16_t>(s.pixels + (frame - 1) * area, s.pixels + frame * area);
}

}  // namespace

TEST_F(SpriteFile, BuildsEachTemplateFieldByField) {
  SpriteDef spec{.id = 42, .kind = 5, .animRate = 9, .reservedB = 0xB0, .width = 3, .height = 2, .reservedC = 0xC0,
                  .motion = 2, .moveRate = 17, .frames = {{1, 2, 3, 4, 5, 6}, {0, 2, 7, 0, 0}}};
  write("sprites.dat", Indexed({SpriteEntry(spec)}));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 1 sprites."}));
  const Sprite& s = spriteTable.at(42);
  EXPECT_EQ(s.id, 42u);
  EXPECT_EQ(s.kind, 5);
  EXPECT_EQ(s.layer, 20);
  EXPECT_EQ(s.frameCount, 2);
  EXPECT_EQ(s.animRate, 9);  // no random start: the file's rate
  EXPECT_EQ(s.reservedB, 0xB0);
  EXPECT_EQ(s.reservedC, 0xC0);
  EXPECT_EQ(s.width, 3);
  EXPECT_EQ(s.height, 2);
  EXPECT_EQ(s.motion, 2);
  EXPECT_EQ(s.moveRate, 17);
  EXPECT_EQ(s.firstFrame, 1);
  EXPECT_EQ(s.lastFrame, 2);
  EXPECT_EQ(s.frame, 1);
  EXPECT_EQ(s.flags, SpriteEnabled | SpriteAnimated);
  EXPECT_EQ(s.x, 0.0);
  EXPECT_EQ(s.y, 0.0);
  EXPECT_EQ(s.speedX, 0.0);
  EXPECT_EQ(s.prevX, 0.0);
  EXPECT_EQ(s.prevY, 0.0);
  EXPECT_EQ(s.animTime, 0u);
  EXPECT_EQ(s.moveTime, 0u);
  EXPECT_EQ(s.pixelsReady, 1);
  const Bytes frameData = FrameData(spec.frames);
  ASSERT_EQ(s.frameDataSize, frameData.size());
  EXPECT_EQ(Bytes(s.frameData, s.frameData + s.frameDataSize), frameData);
  // The bottom-right position is never written, even when the frame has a word for it.
  EXPECT_EQ(framePixels(s, 1), (std::vector<uint16_t>{1, 2, 3, 4, 5, 0}));
  // A skip, a pixel, and 0, 0 ending the frame early.
  EXPECT_EQ(framePixels(s, 2), (std::vector<uint16_t>{0, 0, 7, 0, 0, 0}));
}

TEST_F(SpriteFile, KindGivesTheLayerAndFrameCountTheFlags) {
  const uint8_t layers[] = {16, 2, 30, 1, 0, 20, 25};
  std::vector<IndexedRecord> records;
  for (uint8_t kind = 0; kind < 7; ++kind) {
    records.push_back(SpriteEntry({.id = 10u + kind, .kind = kind, .frames = std::vector<std::vector<uint16_t>>(kind % 3, {1})}));
  }
  write("sprites.dat", Indexed(records));
  ASSERT_EQ(loadSprites(), LoadOk);
  for (uint8_t kind = 0; kind < 7; ++kind) {
    const Sprite& s = spriteTable.at(10u + kind);
    EXPECT_EQ(s.layer, layers[kind]) << int(kind);
    EXPECT_EQ(s.flags, kind % 3 > 1 ? 5 : 1) << int(kind);
    EXPECT_EQ(s.lastFrame, kind % 3);
    EXPECT_EQ(s.pixelsReady, 1);
  }
}

TEST_F(SpriteFile, UnknownKindGoesOnTheSceneryLayerWithALine) {
  write("sprites.dat", Indexed({SpriteEntry({.id = 8, .kind = 7, .frames = {{1}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_EQ(spriteTable.at(8).layer, 2);
  EXPECT_EQ(log(), (Lines{"sprites.dat: index entry 0 (sprite 8): kind 7 is unknown; it goes on the scenery layer",
                          "Loaded 1 sprites."}));
}

TEST_F(SpriteFile, FramesMayLieInAnyOrderAndSkipsEndFramesEarly) {
  // Frame 1's words come after frame 2's in the frame data.
  Bytes frameData;
  layout::put32(frameData, 4);  // frame 1 at table end + 4
  layout::put32(frameData, 0);  // frame 2 right after the table
  Bytes frame2 = Words({0, 3});  // skip 3: p reaches 3 = 2 x 2 - 1 and the frame ends
  Bytes frame1 = Words({4, 0, 1, 5});
  frameData.insert(frameData.end(), frame2.begin(), frame2.end());
  frameData.insert(frameData.end(), frame1.begin(), frame1.end());
  Bytes record = SpriteEntry({.id = 1, .frameCount = 2, .width = 2, .height = 2}).bytes;
  record.insert(record.end(), frameData.begin(), frameData.end());
  // A skip that carries p to the last position ends the frame without reading on: here there is
  // nothing more to read, and reading on would refuse the file.
  IndexedRecord endsOnSkip = SpriteEntry({.id = 2, .width = 2, .height = 2, .frames = {{1, 0, 2}}});
  write("sprites.dat", Indexed({{record, static_cast<uint32_t>(frameData.size())}, endsOnSkip}));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_EQ(log(), (Lines{"Loaded 2 sprites."}));
  const Sprite& s = spriteTable.at(1);
  EXPECT_EQ(framePixels(s, 1), (std::vector<uint16_t>{4, 0, 5, 0}));
  EXPECT_EQ(framePixels(s, 2), (std::vector<uint16_t>{0, 0, 0, 0}));
  EXPECT_EQ(framePixels(spriteTable.at(2), 1), (std::vector<uint16_t>{1, 0, 0, 0}));
}

TEST_F(SpriteFile, PositionCounterIsSixteenBitsAndWrapsInsideTheFrame) {
  // 255 x 255 = 65025 positions; a skip of 65000 then 600 wraps p round to 64.
  write("sprites.dat", Indexed({SpriteEntry({.id = 2, .width = 255, .height = 255,
                                             .frames = {{0, 65000, 0, 600, 0xABCD, 0, 0}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  const Sprite& s = spriteTable.at(2);
  EXPECT_EQ(s.pixels[64], 0xABCD);
  size_t written = 0;
  for (size_t i = 0; i < 65025; ++i) written += s.pixels[i] != 0;
  EXPECT_EQ(written, 1u);
}

TEST_F(SpriteFile, RandomStartDrawsTwoNumbersInOrderPerSprite) {
  const std::vector<uint32_t> draws = randomDraws(0x2468ACE1, 8);
  write("sprites.dat",
        Indexed({SpriteEntry({.id = 1, .animRate = 7, .motion = 1, .frames = {{1}, {2}, {3}, {4}, {5}}}),
                 SpriteEntry({.id = 2, .animRate = 7, .motion = 2, .frames = {{1}, {2}}}),  // patrol: no draws
                 SpriteEntry({.id = 3, .animRate = 7, .motion = 3, .frames = {{1}, {2}, {3}}}),
                 SpriteEntry({.id = 4, .animRate = 7, .motion = 1, .frames = {}}),  // no frames: frame stays 1
                 SpriteEntry({.id = 5, .animRate = 7, .motion = 0xFF, .frames = {{1}, {2}, {3}, {4}, {5}, {6}, {7}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  auto rate = [&](int i) { return static_cast<uint8_t>((draws[i] + 1) & 3); };
  EXPECT_EQ(spriteTable.at(1).animRate, rate(0));
  EXPECT_EQ(spriteTable.at(1).frame, draws[1] % 5 + 1);
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
}

TEST_F(SpriteFile, DuplicatesAndDroppedSpritesStillDrawTheirRandomNumbers) {
  const std::vector<uint32_t> draws = randomDraws(99, 8);
  write("sprites.dat", Indexed({SpriteEntry({.id = 1, .motion = 1, .frames = {{1}, {2}, {3}}}),
                                SpriteEntry({.id = 1, .width = 4, .motion = 1, .frames = {{1, 0, 0}, {2, 0, 0}, {3, 0, 0}}}),
                                SpriteEntry({.id = 9, .width = 0, .motion = 1, .frames = {{1}}}),
                                SpriteEntry({.id = 2, .motion = 1, .frames = {{1}, {2}, {3}, {4}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  EXPECT_EQ(log(), (Lines{"sprites.dat: index entry 2 (sprite 9): it is 0 x 1 pixels; left out", "Loaded 4 sprites."}));
  ASSERT_EQ(spriteTable.size(), 2u);
  EXPECT_EQ(spriteTable.at(1).width, 1);  // the first of id 1 stays
  EXPECT_EQ(spriteTable.at(1).frame, draws[1] % 3 + 1);
  EXPECT_EQ(spriteTable.count(9), 0u);
  EXPECT_EQ(spriteTable.at(2).frame, draws[7] % 4 + 1);
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

TEST_F(SpriteFile, CountZeroLoadsNothingAndAnEmptyFileFails) {
  write("sprites.dat", Indexed({}));
  EXPECT_EQ(loadSprites(), LoadOk);
  EXPECT_TRUE(spriteTable.empty());
  write("sprites.dat", Bytes{});
  EXPECT_EQ(loadSprites(), LoadOther);
  EXPECT_EQ(log(), (Lines{"Loaded 0 sprites."}));
}

TEST_F(SpriteFile, MalformedFilesAreRefusedWholeWithOneLine) {
  const IndexedRecord first = SpriteEntry({.id = 1, .width = 2, .height = 1, .frames = {{1, 2}}});
  const IndexedRecord second = SpriteEntry({.id = 7, .width = 2, .height = 2, .frames = {{1, 2, 3}, {0, 0}}});
  const Bytes good = Indexed({first, second});
  const size_t secondStart = 4 + 16 + first.bytes.size();
  const size_t secondFrames = secondStart + layout::sprite::kHeaderSize;
  std::vector<BadFile> cases;
  cases.push_back({"count cut short", Bytes{1, 0, 0}, "ends inside the record count (3 of its 4 bytes)"});
  Bytes bigCount = good;
  layout::write32(bigCount.data(), 0x20000000);
  cases.push_back({"count larger than the file", bigCount, "count 536870912 needs 4294967300 bytes"});
  Bytes offsetPast = good;
  layout::write32(offsetPast.data() + 12, 0xFFFFFFFF);
  cases.push_back({"offset past the end", offsetPast, "index entry 1: the record starts at byte 4294967315, past"});
  Bytes headerCut = good;
  layout::write32(headerCut.data() + 12, static_cast<uint32_t>(good.size() - 20 - 10));
  cases.push_back({"header cut short", headerCut, "index entry 1: the 49-byte header at byte"});
  Bytes sizePast = good;
  layout::write32(sizePast.data() + 16, second.size + 1);
  cases.push_back({"frame data past the end", sizePast, "index entry 1 (sprite 7): its 19 bytes of frame data run past"});
  Bytes tableLong = good;
  tableLong[secondStart + layout::sprite::kFrameCount] = 6;  // 24 bytes of offsets in 18 bytes of frame data
  cases.push_back({"frame table too long", tableLong, "the table of 6 frame offsets is longer than its 18 bytes"});
  Bytes offsetOut = good;
  layout::write32(offsetOut.data() + secondFrames + 4, 10);  // frame 2 at 8 + 10 = 18: the very end
  cases.push_back({"frame offset outside", offsetOut, "(sprite 7): frame 2 starts past the end of its frame data (18 bytes)"});
  Bytes runsOff = good;
  // Frame 2's end marker 0, 0 becomes two pixels, and the frame wants a third word that is not there.
  layout::write16(runsOff.data() + runsOff.size() - 4, 7);
  layout::write16(runsOff.data() + runsOff.size() - 2, 8);
  cases.push_back({"frame runs off", runsOff, "(sprite 7): frame 2 runs past the end of its frame data"});
  expectRefused("sprites.dat", loadSprites, cases, [] { return spriteTable.empty(); });
}

TEST(DecodeFrames, ZeroSizedSpriteWritesNothing) {
  uint8_t frameData[8] = {0, 0, 0, 0, 0x34, 0x12, 0, 0};
  uint16_t guard[4] = {0xEEEE, 0xEEEE, 0xEEEE, 0xEEEE};
  Sprite s;
  s.frameCount = 1;
  s.width = 0;
  s.height = 3;
  s.frameData = frameData;
  s.frameDataSize = sizeof frameData;
  s.pixels = guard;
  EXPECT_EQ(decodeFrames(s).kind, FrameFault::None);
  EXPECT_EQ(s.pixelsReady, 1);
  for (uint16_t g : guard) EXPECT_EQ(g, 0xEEEE);
}

TEST(DecodeFrames, OneByOneFrameTakesItsOnlyWord) {
  // With a single position, the first word is read before the stop test, as for any frame.
  uint8_t frameData[6] = {0, 0, 0, 0, 0x34, 0x12};
  uint16_t pixel = 0;
  Sprite s;
  s.frameCount = 1;
  s.width = 1;
  s.height = 1;
  s.frameData = frameData;
  s.frameDataSize = sizeof frameData;
  s.pixels = &pixel;
  EXPECT_EQ(decodeFrames(s).kind, FrameFault::None);
  EXPECT_EQ(pixel, 0x1234);
}
