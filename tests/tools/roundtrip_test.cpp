// roundtrip_test.cpp -- pack, unpack and pack again: the same bytes, or the same tables for odd data, in
// the tool and in the game's own loaders.
#include <gtest/gtest.h>

#include "data/loaders.h"
#include "services/log.h"
#include "support/data_builder.h"
#include "support/device.h"
#include "support/golden.h"
#include "support/tables_text.h"
#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

// Every field the sources can express, odd values included.
json everyFeature(const fs::path& dir) {
  json world = goodWorld(dir);
  std::vector<uint32_t> big(300 * 300, 0);
  big[0] = 0x102030FF;
  big[150 * 300 + 7] = 0xFFFFFFFF;
  writePng(dir / "images/big.png", 300, 300, big);
  writePng(dir / "sprites/a.png", 3, 2, {0xFF0000FF, 0, 0x000000FF, 0, 0x00FF00FF, 0});
  writePng(dir / "sprites/b.png", 3, 2, {0, 0, 0, 0, 0, 0});
  // Image 901's words skip nothing at first, and sprite 62's two frames share one set of words:
  // loadable, but not pack's form.
  const json more = readJson(fs::path(ZELVO_SOURCE_DIR) / "tests/tools/worlds/every-feature.json");
  for (const auto& [section, items] : more.items()) {
    for (const json& item : items) world[section].push_back(item);
  }
  world["artifacts"][1]["nameBytes"] = std::string(64, 'A');
  world["dialogs"][2]["textBytes"] = "4100" + std::string(2, '4') + std::string(250, '0');  // "A", its end, a stray byte
  world["dialogs"][3]["textBytes"] = std::string(256, 'F');
  return world;
}

TEST(RoundTrip, EveryFeatureUnpacksToPicturesNamesOrRawDataAndPacksToIdenticalBytes) {
  TempDir src, first, out, second;
  writeJson(src / "world.json", everyFeature(src.path()));
  zdata::Report report = readReport(src.path());
  ASSERT_FALSE(report.hasErrors()) << dump(report);
  ASSERT_EQ(pack(src.path(), first.path()).code, 0);
  ToolRun run = unpack(first.path(), (out / "w").string());
  ASSERT_EQ(run.code, 0) << run.err;
  // What unpack said, the folders it made and the manifest it wrote, with pictures, names or raw data.
  std::string text = run.out.substr(0, run.out.rfind(" into ")) + "\n";
  for (const char* folder : {"w", "w/images", "w/fonts", "w/sprites", "w/music"}) {
    text += std::string(folder) + ":";
    for (const std::string& name : listFolder(out / folder)) text += " " + name;
    text += "\n";
  }
  const Bytes manifest = readFile(out / "w/world.json");
  testing_support::ExpectGoldenText(text + std::string(manifest.begin(), manifest.end()), "tools/every-feature-unpacked.txt");

  run = pack(out / "w", second.path());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(listFolder(first.path()), listFolder(second.path()));
  for (const auto& name : listFolder(first.path())) {
    EXPECT_TRUE(readFile(first / name) == readFile(second / name)) << name << " differs";
  }
}

// Load a data set with the game's loaders and write down everything the tables hold.
std::string gameTables(const TempDir& folder) {
  headless::DeviceConfig config;
  config.seed = 99;
  testing_support::StartDevice(folder, config);
  imageTable.clear();
  fontTable.clear();
  dialogTable.clear();
  const int loaded = loadGameData();
  LogClose();
  EXPECT_EQ(loaded, 0) << "the game cannot load " << folder.path() << ":" << testing_support::ReadFile(folder.file("log.txt"));
  return TablesText();
}

// A loadable data set that pack would never write: pictures whose run-length words are not pack's
// form (empty skips, a skip across rows, a word for the never-drawn last pixel), repeated ids,
// records out of order and shared, half a pixel of sheet, frames that share words or end early,
// reserved bytes, index entries events do not use, map records the game ignores, bytes after the
// last record.
std::map<std::string, Bytes> oddData() {
  using namespace data_builder;
  auto files = SmallWorld();
  files[layout::kImagesFile] = Indexed(
      {ImageEntry({.id = 6, .reserved = 9, .width = 3, .height = 3, .words = {0, 0, 0x1234, 0, 4, 0xFFFF, 0x0001, 0x2222}}),
       ImageEntry({.id = 5, .saveUnder = 2, .width = 2, .height = 2, .words = {0x0F0F, 0, 0, 0x00F0, 0x0AAA}}),
       ImageEntry({.id = 6, .width = 1, .height = 1, .words = {0x7777}}),
       ImageEntry({.id = 3, .saveUnder = 1, .width = 4, .height = 1, .words = {0, 3}})},
      {3, 1, 0, 2});
  std::vector<uint16_t> sheet = FullSheet(2, 3);
  sheet.insert(sheet.end(), {0x0101, 0x0202, 0x0303});
  IndexedRecord font = FontEntry({.id = 1, .glyphWidth = 2, .glyphHeight = 3, .sheet = sheet});
  font.bytes.push_back(0x77);
  font.size += 1;
  files[layout::kFontsFile] = Indexed({font});
  Bytes shared = FrameData({{0x0505, 0x0606}});  // two offsets of 0 before the words: frames sharing them
  shared.insert(shared.begin(), {0, 0, 0, 0});
  IndexedRecord sharing = SpriteEntry({.id = 40, .kind = 9, .frameCount = 2, .width = 3, .height = 1});
  sharing.bytes.insert(sharing.bytes.end(), shared.begin(), shared.end());
  sharing.size = static_cast<uint32_t>(shared.size());
  files[layout::kSpritesFile] = Indexed(
      {SpriteEntry({.id = 3, .kind = 0, .animRate = 5, .reservedB = 7, .width = 2, .height = 2, .reservedC = 8,
                    .motion = 3, .moveRate = 2, .frames = {{0x1111, 0, 0}, {0, 1, 0x2222, 0x3333}, {0x4444, 0, 0}}}),
       sharing, SpriteEntry({.id = 2001, .kind = 4, .width = 1, .height = 2, .motion = 1, .frames = {{0x0707}}})});
  files[layout::kArtifactsFile] = Artifacts({{.id = 50, .name = std::string(32, 'n'), .screenNumber = 2, .state = 9},
                                             {.id = 50, .name = "Twin", .x = 65535, .y = 1, .state = 3}});
  files[layout::kArtifactsFile].push_back(0xFF);
  files[layout::kDialogsFile] = Dialogs({{1, std::string(128, 'a')}, {2, "@fF800Red\r\nline\xE9"}, {1, "hidden"}});
  files[layout::kDialogsFile][8 + 132 + 20] = 'x';  // after the end of dialog 2's text: kept in the record
  files[layout::kDialogsFile].push_back(0xAB);
  IndexedRecord again = EventEntry({.id = 7});
  again.offset = 0, again.size = 0x99, again.bytes.clear();  // the first event again, with a size the game does not read
  files[layout::kEventsFile] = Indexed(
      {EventEntry({.id = 7, .trigger = 7, .armState = 0, .reserved = {1, 2, 3, 4}, .triggerParam = 5,
                   .actions = {{.opcode = 13, .argument = 99, .x = 1, .y = 2}, {.opcode = 1, .argument = 2, .x = 3, .y = 4}}}),
       EventEntry({.id = 8, .width = 65535, .trigger = 3, .triggerParam = 50}), again});
  // Map: the later of two records with one number wins; records numbered 0 and 150 are ignored.
  files[layout::kMapFile] = Map({{.number = 0, .objects = {{.id = 3}}},
                                 {.number = 2, .objects = {{.id = 3, .x = 1}}},
                                 {.number = 150, .objects = {{.id = 3}}},
                                 {.number = 2, .objects = {{.id = 1500, .x = 9}, {.id = 40, .x = 5, .layerOverride = 0x105}},
                                  .events = {{.id = 7, .x = 3, .y = 4}, {.id = 8}}},
                                 {.number = 1}});
  return files;
}

TEST(RoundTrip, OddDataUnpacksToSourcesThatLoadIntoTheSameTablesInTheToolAndTheGame) {
  TempDir original, sources, repacked, again, third;
  data_builder::WriteAll(original.path(), oddData());
  ToolRun run = unpack(original.path(), sources / "w");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("left out"), std::string::npos) << run.out;
  ASSERT_EQ(pack(sources / "w", repacked.path()).code, 0);
  EXPECT_TRUE(tableBytes(original.path()) == tableBytes(repacked.path()));
  EXPECT_EQ(gameTables(original), gameTables(repacked));
  // And the repacked set is pack's own form: unpacking and packing it again changes nothing.
  ASSERT_EQ(unpack(repacked.path(), again / "w").code, 0);
  ASSERT_EQ(pack(again / "w", third.path()).code, 0);
  EXPECT_TRUE(dataFiles(repacked.path()) == dataFiles(third.path()));
}

}  // namespace
}  // namespace zdtest
