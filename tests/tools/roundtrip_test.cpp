// roundtrip_test.cpp -- pack, unpack and pack again: the same bytes, or the same tables for odd data, in
// the tool and in the game's own loaders.
#include <gtest/gtest.h>

#include "data/loaders.h"
#include "services/log.h"
#include "support/device.h"
#include "support/golden.h"
#include "support/tables_text.h"
#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

// Every field the sources can express, odd values included.
json everyFeature(const fs::path& dir) {
  json world = goodWorld(dir, "every-feature");  // a 300 x 300 picture of two pixels, two sprite frames
  // Image 901's words skip nothing at first, and sprite 62's two frames share one set of words:
  // loadable, but not pack's form. Dialog 3's text bytes are "A", its end and a stray byte.
  const json more = fixture("every-feature.json");
  for (const auto& [section, items] : more.items())
    for (const json& item : items) world[section].push_back(item);
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
  for (const char* folder : {"w", "w/images", "w/fonts", "w/sprites", "w/music"}) text += listing(out / folder, folder);
  const Bytes manifest = readFile(out / "w/world.json");
  testing_support::ExpectGoldenText(text + std::string(manifest.begin(), manifest.end()),
                                    "tools/every-feature-unpacked.txt");
  run = pack(out / "w", second.path());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(folderFiles(first.path()) == folderFiles(second.path()));
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
  EXPECT_EQ(loaded, 0) << "the game cannot load " << folder.path() << ":"
                       << testing_support::ReadFile(folder.file("log.txt"));
  return TablesText();
}

// worlds/odd-data: a loadable data set that pack would never write. Pictures whose run-length words
// are not pack's form (empty skips, a skip across rows, a word for the never-drawn last pixel), repeated
// ids, records out of order and shared, half a pixel of sheet, frames that share words or end early,
// reserved bytes, index entries events do not use, map records the game ignores (numbers 0 and 150, the
// earlier of two screens 2), bytes after the last record and after a dialog's text.
TEST(RoundTrip, OddDataUnpacksToSourcesThatLoadIntoTheSameTablesInTheToolAndTheGame) {
  TempDir original, sources, repacked, again, third;
  fs::copy(fs::path(ZELVO_SOURCE_DIR) / "tests/tools/worlds/odd-data", original.path());
  ToolRun run = unpack(original.path(), sources / "w");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("left out"), std::string::npos) << run.out;
  ASSERT_EQ(pack(sources / "w", repacked.path()).code, 0);
  EXPECT_TRUE(tableBytes(original.path()) == tableBytes(repacked.path()));
  // And the repacked set is pack's own form: unpacking and packing it again changes nothing.
  ASSERT_EQ(unpack(repacked.path(), again / "w").code, 0);
  ASSERT_EQ(pack(again / "w", third.path()).code, 0);
  EXPECT_TRUE(folderFiles(repacked.path()) == folderFiles(third.path()));
  EXPECT_EQ(gameTables(original), gameTables(repacked));
}

}  // namespace
}  // namespace zdtest
