// game_tables_test.cpp -- unpack then pack: the game's own loaders fill exactly the same tables as from the original.
#include <gtest/gtest.h>

#include <sstream>

#include "commands.h"
#include "data/layout.h"
#include "data/loaders.h"
#include "platform/headless/headless.h"
#include "shell/log.h"
#include "shell/shell.h"
#include "support/data_builder.h"
#include "support/tables_text.h"
#include "support/testing.h"

namespace {

using data_builder::Bytes;
using testing_support::TempDir;

// Load a data set with the game's loaders and write down everything the tables hold.
std::string gameTables(const std::string& folder) {
  headless::DeviceConfig config;
  config.appDirectory = folder;
  config.seed = 99;
  headless::Configure(config);
  appDirectory = folder + "/";
  imageTable.clear();
  fontTable.clear();
  dialogTable.clear();
  LogOpen();
  const int loaded = loadGameData();
  LogClose();
  EXPECT_EQ(loaded, 0) << "the game cannot load " << folder << ":" << testing_support::ReadFile(folder + "/log.txt");
  return TablesText();
}

// Unpack the data set, pack the sources again, and compare what the game loads from both.
void expectSameTables(const std::map<std::string, Bytes>& files) {
  TempDir original, sources, repacked;
  data_builder::WriteAll(original.path(), files);
  std::ostringstream out, err;
  ASSERT_EQ(zdata::unpackCommand(original.path(), sources.file("world"), {}, {out, err}), 0) << err.str();
  ASSERT_EQ(zdata::packCommand(sources.file("world"), repacked.path(), {}, {out, err}), 0) << err.str();
  EXPECT_EQ(gameTables(original.path()), gameTables(repacked.path()));
}

}  // namespace

TEST(GameTables, TheLoaderTestsWorldAndOddButLoadableDataComeBackIdentical) {
  using namespace data_builder;
  expectSameTables(SmallWorld());
  auto files = SmallWorld();
  // Pictures whose run-length words are not what pack would write: empty skips, a skip across
  // rows, a word for the never-drawn last pixel, a repeated id, records out of order.
  files[layout::kImagesFile] =
      Indexed({ImageEntry({.id = 6, .reserved = 9, .width = 3, .height = 3, .words = {0, 0, 0x1234, 0, 4, 0xFFFF, 0x0001, 0x2222}}),
               ImageEntry({.id = 5, .saveUnder = 2, .width = 2, .height = 2, .words = {0x0F0F, 0, 0, 0x00F0, 0x0AAA}}),
               ImageEntry({.id = 6, .width = 1, .height = 1, .words = {0x7777}}),
               ImageEntry({.id = 3, .saveUnder = 1, .width = 4, .height = 1, .words = {0, 3}})},
              {3, 1, 0, 2});
  // A sheet longer than its three cell rows by an odd number of pixels.
  std::vector<uint16_t> sheet = FullSheet(2, 3);
  sheet.insert(sheet.end(), {0x0101, 0x0202, 0x0303});
  files[layout::kFontsFile] = Indexed({FontEntry({.id = 1, .glyphWidth = 2, .glyphHeight = 3, .sheet = sheet})});
  // Sprites: an unknown kind, the random start, frames ending early, reserved bytes carried along.
  files[layout::kSpritesFile] = Indexed(
      {SpriteEntry({.id = 3, .kind = 0, .animRate = 5, .reservedB = 7, .width = 2, .height = 2, .reservedC = 8,
                    .motion = 3, .moveRate = 2, .frames = {{0x1111, 0, 0}, {0, 1, 0x2222, 0x3333}, {0x4444, 0, 0}}}),
       SpriteEntry({.id = 40, .kind = 9, .width = 3, .height = 1, .frames = {{0x0505, 0x0606}}}),
       SpriteEntry({.id = 2001, .kind = 4, .width = 1, .height = 2, .motion = 1, .frames = {{0x0707}}})});
  files[layout::kArtifactsFile] = Artifacts({{.id = 50, .name = std::string(32, 'n'), .screenNumber = 2, .state = 9},
                                             {.id = 50, .name = "Twin", .x = 65535, .y = 1, .state = 3}});
  files[layout::kDialogsFile] = Dialogs({{1, std::string(128, 'a')}, {2, "@fF800Red\r\nline\xE9"}, {1, "hidden"}});
  files[layout::kEventsFile] = Indexed(
      {EventEntry({.id = 7, .trigger = 7, .armState = 0, .reserved = {1, 2, 3, 4}, .triggerParam = 5,
                   .actions = {{.opcode = 13, .argument = 99, .x = 1, .y = 2}, {.opcode = 1, .argument = 2, .x = 3, .y = 4}}}),
       EventEntry({.id = 8, .width = 65535, .trigger = 3, .triggerParam = 50})});
  // Map: the later of two records with one number wins; records numbered 0 and 150 are ignored.
  files[layout::kMapFile] = Map({{.number = 0, .objects = {{.id = 3}}},
                                 {.number = 2, .objects = {{.id = 3, .x = 1}}},
                                 {.number = 150},
                                 {.number = 2, .objects = {{.id = 1500, .x = 9}, {.id = 40, .x = 5, .layerOverride = 0x105}},
                                  .events = {{.id = 7, .x = 3, .y = 4}, {.id = 8}}},
                                 {.number = 1}});
  expectSameTables(files);
}
