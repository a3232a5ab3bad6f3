// loaders_test.cpp -- the seven loaders: odd but loadable records as the tables then hold them (a golden
// text), loading again, malformed files refused whole, and the fixed order of loadGameData.
#include <algorithm>
#include <cstdio>
#include <functional>

#include <gtest/gtest.h>

#include "data/loaders.h"
#include "services/log.h"
#include "support/data_builder.h"
#include "support/device.h"
#include "support/golden.h"
#include "support/tables_text.h"
#include "world/objects.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

namespace {

ScreenDef fullScreen(uint32_t number) {  // both placement lists filled to the end, no ending zero entry
  ScreenDef screen{.number = number};
  for (uint16_t k = 0; k < 64; ++k) screen.objects.push_back({100u + k, k, static_cast<uint16_t>(2 * k), k == 5 ? 0x1234u : 0});
  for (uint16_t k = 0; k < 16; ++k) screen.events.push_back({500u + k, static_cast<uint16_t>(k + 1), 9});
  return screen;
}

// Records in every odd shape the loaders accept: out of order in their data areas, repeated ids,
// texts that fill their fields, frames that end early or wrap, short sheets, ignored map numbers.
std::map<std::string, Bytes> oddWorld() {
  std::map<std::string, Bytes> files;
  files["map.dat"] = Map({fullScreen(57),
                          {.number = 1, .objects = {{3, 5, 6}, {1500, 1, 1}, {9}}, .events = {{7, 8, 9}}},
                          fullScreen(0), fullScreen(101), fullScreen(0xFFFFFFFF), {.number = 100},
                          {.number = 12, .objects = {{1}}}, {.number = 3}, {.number = 12, .objects = {{2}}}});
  files["art.dat"] = Artifacts({{.id = 50, .name = "Golden key", .screenNumber = 12, .x = 30, .y = 40, .state = 1},
                                {.id = 7, .name = "", .screenNumber = 0xFFFF, .x = 0xFFFF, .y = 1, .state = 9},
                                {.id = 50, .name = "Second key", .state = 3},
                                {.id = 5, .name = std::string(32, 'N')}});
  files["art.dat"].push_back(0xEE);  // bytes after the last record do no harm
  files["dialogs.dat"] = Dialogs({{4, "Hello @fF800world"}, {2, "Line one\r\nLine two"}, {4, "Ignored"}, {9, ""},
                                  {1, std::string(128, 'x')}});
  // The first event lies second in the data area; a third index entry points at it again, a fourth repeats id 9.
  files["events.dat"] = Indexed(
      {EventEntry({.id = 9, .trigger = 3, .armState = 2, .triggerParam = 50}),
       EventEntry({.id = 7, .width = 30, .height = 40, .trigger = 1, .armState = 1, .reserved = {1, 2, 3, 4},
                   .triggerParam = 0xDEADBEEF, .actions = {{1, 12, 100, 150}, {4, 3}, {200, 0xFFFFFFFF, 0xFFFF, 0xFFFF}}}),
       IndexedRecord{.bytes = {}, .size = 0, .offset = 0}, EventEntry({.id = 9, .width = 6})},
      {1, 0, 2, 3});
  // Backwards in the data area; only saveUnder 1 asks for a save buffer, and a 0 x 7 image gets none.
  files["images.dat"] = Indexed({ImageEntry({.id = 6, .reserved = 0x42, .width = 3, .height = 2, .words = {1, 2, 0, 2, 3}}),
                                 ImageEntry({.id = 5, .saveUnder = 1, .width = 4, .height = 3, .words = {0, 11}}),
                                 ImageEntry({.id = 9, .saveUnder = 2, .width = 1, .height = 1, .words = {0xFFFF}}),
                                 ImageEntry({.id = 10, .saveUnder = 1, .width = 0, .height = 7}),
                                 ImageEntry({.id = 6, .width = 2, .height = 2, .words = {8}})},
                                {4, 3, 2, 1, 0});
  std::vector<uint16_t> sheet = FullSheet(1, 2);
  sheet[0] = 0xF800;
  IndexedRecord shortSheet = FontEntry({.id = 4, .glyphWidth = 2, .glyphHeight = 2, .sheet = {1, 2, 3}});
  shortSheet.bytes.push_back(0x77);  // half a pixel, left out
  shortSheet.size += 1;
  files["fonts.dat"] = Indexed({FontEntry({1, 6, 8, FullSheet(6, 8)}), FontEntry({2, 1, 2, sheet}), shortSheet}, {2, 1, 0});
  // Kinds 0..7 give the layers; frames in any order, a skip to the last position, 0, 0 ending a
  // frame early; the random start draws for motions 1 and 3 and for a patrol-less 0xFF; a 0-wide
  // sprite is left out and the first of an id stays.
  std::vector<IndexedRecord> sprites = {SpriteEntry({.id = 42, .kind = 5, .animRate = 9, .reservedB = 0xB0, .width = 3,
                                                     .height = 2, .reservedC = 0xC0, .motion = 2, .moveRate = 17,
                                                     .frames = {{1, 2, 3, 4, 5, 6}, {0, 2, 7, 0, 0}}})};
  for (uint8_t kind = 0; kind < 8; ++kind)
    sprites.push_back(SpriteEntry({.id = 10u + kind, .kind = kind, .frames = std::vector<std::vector<uint16_t>>(kind % 3, {1})}));
  Bytes frameData;  // frame 1's words come after frame 2's
  for (uint32_t offset : {4, 0}) layout::put32(frameData, offset);
  for (uint16_t word : {0, 3, 4, 0, 1, 5}) layout::put16(frameData, word);
  IndexedRecord anyOrder{SpriteEntry({.id = 1, .frameCount = 2, .width = 2, .height = 2}).bytes,
                         static_cast<uint32_t>(frameData.size())};
  anyOrder.bytes.insert(anyOrder.bytes.end(), frameData.begin(), frameData.end());
  sprites.push_back(anyOrder);
  sprites.push_back(SpriteEntry({.id = 2, .width = 2, .height = 2, .frames = {{1, 0, 2}}}));
  for (auto [id, motion] : {std::pair<uint32_t, uint8_t>{31, 1}, {33, 3}, {35, 0xFF}, {31, 1}})
    sprites.push_back(SpriteEntry({.id = id, .animRate = 7, .motion = motion,
                                   .frames = std::vector<std::vector<uint16_t>>(motion % 7 + 2, {motion})}));
  sprites.push_back(SpriteEntry({.id = 36, .animRate = 7, .motion = 1}));  // no frames: frame stays 1
  sprites.push_back(SpriteEntry({.id = 37, .width = 0, .motion = 1, .frames = {{1}}}));
  files["sprites.dat"] = Indexed(sprites);
  return files;
}

}  // namespace

// A headless device in a temporary app folder with the log open, and empty tables.
class Loaders : public ::testing::Test {
 protected:
  void SetUp() override { restart(1); }
  void TearDown() override {
    unloadGameData();
    LogClose();
    logFile = nullptr;  // LogClose keeps the stale handle; later writes must find none
  }
  void write(const std::string& name, const Bytes& bytes) { testing_support::WriteFile(dir.file(name), bytes); }
  // Start the device afresh with a seed (the log is reopened, so it starts empty).
  void restart(uint32_t seed) {
    if (logFile) LogClose();
    headless::DeviceConfig config;
    config.seed = seed;
    testing_support::StartDevice(dir, config);
    unloadGameData();
  }
  // The lines of log.txt so far, empty ones left out.
  Lines log() const {
    Lines lines;
    for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt"))))
      if (!line.empty()) lines.push_back(line);
    return lines;
  }
  testing_support::TempDir dir;
};

TEST_F(Loaders, OddRecordsLoadIntoTheGoldenTablesAndLoadingAgainKeepsOrReplacesByFile) {
  restart(0x2468ACE1);
  WriteAll(dir.path(), oddWorld());
  ASSERT_EQ(loadGameData(), 0);
  std::string text;
  for (const std::string& line : log()) text += line + "\n";
  text += TablesText();
  // Again: images, fonts and dialogs add new ids and keep those there; sprites, events, artifacts
  // and the map start over, from what the files hold, whatever the game changed.
  WriteAll(dir.path(), {{"images.dat", Indexed({ImageEntry({6, 0, 0, 9, 9, {9}}), ImageEntry({2, 0, 0, 3, 1, {1, 2}})})},
                        {"fonts.dat", Indexed({FontEntry({1, 2, 1, FullSheet(2, 1)}), FontEntry({3, 2, 1, FullSheet(2, 1)})})},
                        {"dialogs.dat", Dialogs({{1, "second"}, {3, "new"}})},
                        {"sprites.dat", Indexed({SpriteEntry({.id = 5, .frames = {{3}}})})},
                        {"events.dat", Indexed({EventEntry({.id = 7, .armState = 1, .actions = {{.opcode = 3}}})})},
                        {"art.dat", Artifacts({{.id = 1, .screenNumber = 3, .state = 1}})}});
  objectList.push_back(spriteTable.at(42));  // the player borrows the template's buffers
  eventTable.at(7).armState = 2;
  eventTable[99] = Event{};
  artifactList.front().state = 3;
  write("map.dat", Bytes(900));
  const size_t before = log().size();
  for (auto load : {loadImages, loadFonts, loadDialogs, loadSprites, loadEvents, loadArtifacts, loadScreenMap}) load();
  EXPECT_TRUE(objectList.empty());
  text += "--- loaded again\n";
  const Lines lines = log();
  for (size_t i = before; i < lines.size(); ++i) text += lines[i] + "\n";
  text += TablesText();
  testing_support::ExpectGoldenText(text, "tables/odd-world.txt");

  // 255 x 255 = 65025 positions; a skip of 65000 then 600 wraps the 16-bit position round to 64.
  write("sprites.dat", Indexed({SpriteEntry({.id = 20, .width = 255, .height = 255, .frames = {{0, 65000, 0, 600, 0xAB, 0, 0}}})}));
  ASSERT_EQ(loadSprites(), LoadOk);
  const Sprite& wrapped = spriteTable.at(20);
  EXPECT_EQ(wrapped.pixels[64], 0xAB);
  EXPECT_EQ(std::count(wrapped.pixels, wrapped.pixels + 65025, 0), 65024);
}

namespace {

Bytes set32(Bytes bytes, size_t at, uint32_t value) {
  layout::write32(bytes.data() + at, value);
  return bytes;
}
Bytes cut(Bytes bytes, size_t n) {
  bytes.resize(bytes.size() - n);
  return bytes;
}

}  // namespace

TEST_F(Loaders, MalformedFilesAreRefusedWholeWithOneLineNamingTheProblem) {
  const Bytes images = Indexed({ImageEntry({1, 0, 0, 2, 1, {5, 6}}), ImageEntry({2, 1, 0, 2, 2, {0, 3}})});
  const Bytes events = Indexed({EventEntry({.id = 1, .actions = {{4}}}), EventEntry({.id = 2, .actions = {{1}, {2}}})});
  Bytes actionsPast = events;  // event 2 starts at 4 + 16 + 19 + 9 = 48; the file ends at 85
  actionsPast[48 + layout::event::kActionCount] = 255;
  const IndexedRecord first = SpriteEntry({.id = 1, .width = 2, .height = 1, .frames = {{1, 2}}});
  const IndexedRecord second = SpriteEntry({.id = 7, .width = 2, .height = 2, .frames = {{1, 2, 3}, {0, 0}}});
  const Bytes sprites = Indexed({first, second});
  const size_t secondStart = 4 + 16 + first.bytes.size(), secondFrames = secondStart + layout::sprite::kHeaderSize;
  Bytes tableLong = sprites, runsOff = sprites;
  tableLong[secondStart + layout::sprite::kFrameCount] = 6;  // 24 bytes of offsets in 18 bytes of frame data
  // Frame 2's end marker 0, 0 becomes two pixels, and the frame wants a third word that is not there.
  layout::write16(runsOff.data() + runsOff.size() - 4, 7);
  layout::write16(runsOff.data() + runsOff.size() - 2, 8);
  // Each file refused whole (nothing of it kept) with one line naming the file and the problem.
  const std::pair<const char*, Bytes> cases[] = {
      {"images.dat", {2, 0}},
      {"images.dat", set32(images, 0, 1000)},
      {"images.dat", set32(images, 0, 0xFFFFFFFF)},
      {"images.dat", set32(images, 12, 0xFFFFFFF0)},
      {"images.dat", cut(images, 4 + 5)},
      {"images.dat", set32(images, 8, 0xFFFFFFFF)},
      {"images.dat", cut(images, 1)},
      {"fonts.dat", cut(Indexed({FontEntry({3, 1, 1, FullSheet(1, 1)})}), 2)},
      {"art.dat", {1}},
      {"art.dat", Artifacts({{.id = 1}}, 1000)},
      {"art.dat", cut(Artifacts({{.id = 1}, {.id = 2}}), 1)},
      {"art.dat", Artifacts({}, 0xFFFFFFFF)},
      {"dialogs.dat", {3, 0}},
      {"dialogs.dat", cut(Dialogs({{1, "a"}, {2, "b"}}), 100)},
      {"dialogs.dat", Dialogs({}, 0xFFFFFFFF)},
      {"events.dat", {1, 0, 0}},
      {"events.dat", set32(events, 0, 11)},
      {"events.dat", set32(events, 12, 0x80000000)},
      {"events.dat", set32(events, 12, 85 - 20 - 18)},
      {"events.dat", actionsPast},
      {"events.dat", cut(events, 1)},
      {"sprites.dat", {1, 0, 0}},
      {"sprites.dat", set32(sprites, 0, 0x20000000)},
      {"sprites.dat", set32(sprites, 12, 0xFFFFFFFF)},
      {"sprites.dat", set32(sprites, 12, static_cast<uint32_t>(sprites.size() - 30))},
      {"sprites.dat", set32(sprites, 16, second.size + 1)},
      {"sprites.dat", tableLong},
      {"sprites.dat", set32(sprites, secondFrames + 4, 10)},
      {"sprites.dat", runsOff}};
  const std::map<std::string, LoadResult (*)()> loaders = {{"images.dat", loadImages}, {"fonts.dat", loadFonts},
                                                         {"art.dat", loadArtifacts}, {"dialogs.dat", loadDialogs},
                                                         {"events.dat", loadEvents}, {"sprites.dat", loadSprites}};
  std::string text = "the loader's result, the tables after it, log.txt\n";
  for (const auto& [file, bytes] : cases) {
    restart(1);
    write(file, bytes);
    text += std::to_string(loaders.at(file)()) + " tables '" + TablesText() + "'\n";
    for (const std::string& line : log()) text += "  " + line + "\n";
  }
  testing_support::ExpectGoldenText(text, "tables/malformed.txt");
}

TEST_F(Loaders, AllSevenFilesLoadInOrderAndEachMissingEmptyOrCutShortOneStopsLoadingThere) {
  // Which tables hold something, in the order of the files.
  auto filled = [] {
    std::string bits;
    for (bool table : {!spriteTable.empty(), !eventTable.empty(), !artifactList.empty(), !fontTable.empty(),
                       !imageTable.empty(), screenMap[0].screenNumber != 0, !dialogTable.empty()})
      bits += table ? '1' : '0';
    return bits;
  };
  const std::pair<const char*, LoadResult (*)()> files[] = {
      {"sprites.dat", loadSprites}, {"events.dat", loadEvents}, {"art.dat", loadArtifacts}, {"fonts.dat", loadFonts},
      {"images.dat", loadImages},   {"map.dat", loadScreenMap}, {"dialogs.dat", loadDialogs}};
  std::string text;
  for (const auto& [name, load] : files) {
    for (const std::string way : {"whole", "missing", "empty", "one byte short", "with no records"}) {
      if (way == "whole" && !text.empty()) continue;
      restart(1);
      auto world = SmallWorld();
      if (way == "empty") world[name].clear();
      if (way == "one byte short") world[name].pop_back();
      if (way == "with no records")
        world[name] = name == std::string("map.dat") ? Map({}) : Indexed({});  // a count of 0
      WriteAll(dir.path(), world);
      if (way == "missing") std::remove(dir.file(name).c_str());
      const int code = loadGameData();
      text += name + (" " + way) + ": " + std::to_string(code) + " tables " + filled() + "\n";
      for (const std::string& line : log()) text += "  " + line + "\n";
      unloadGameData();
      text += "  alone: " + std::to_string(load()) + "\n";  // the loader on its own gives its own code
    }
  }
  testing_support::ExpectGoldenText(text, "tables/loading-order.txt");
}
