// order_test.cpp -- loadGameData: the fixed order, stopping at the first failure, and the game's start-up on real files.
#include <algorithm>
#include <cstdio>
#include <functional>

#include "data/data_fixture.h"
#include "world/objects.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

namespace {

struct FileInOrder {
  const char* name;
  const char* things;  // what its "Loaded" line counts
  int count;           // how many the small world's file holds
  // Fonts, images and dialogs read by seeking or a record at a time: a missing file has a line of
  // its own and fails with 255, an empty one holds no count and loads nothing.
  bool seeks;
  LoadResult (*load)();
  std::function<bool()> tableEmpty;
  Bytes noRecords;  // the file with a count of 0 (map.dat: all records zero)
};

std::string loaded(const FileInOrder& file, int count) {
  return "Loaded " + std::to_string(count) + " " + file.things + ".";
}

const std::vector<FileInOrder>& loadingOrder() {
  static const std::vector<FileInOrder> order = {
      {"sprites.dat", "sprites", 2, false, loadSprites, [] { return spriteTable.empty(); }, Indexed({})},
      {"events.dat", "events", 1, false, loadEvents, [] { return eventTable.empty(); }, Indexed({})},
      {"art.dat", "artifacts", 1, false, loadArtifacts, [] { return artifactList.empty(); }, Artifacts({})},
      {"fonts.dat", "fonts", 2, true, loadFonts, [] { return fontTable.empty(); }, Indexed({})},
      {"images.dat", "images", 2, true, loadImages, [] { return imageTable.empty(); }, Indexed({})},
      {"map.dat", "screens", 1, false, loadScreenMap,
       [] { return std::all_of(screenMap.begin(), screenMap.end(), [](const ScreenRecord& s) { return s.screenNumber == 0; }); },
       Map({})},
      {"dialogs.dat", "dialogs", 2, true, loadDialogs, [] { return dialogTable.empty(); }, Dialogs({})},
  };
  return order;
}

Lines allLoaded() {
  Lines lines;
  for (const FileInOrder& file : loadingOrder()) lines.push_back(loaded(file, file.count));
  return lines;
}

}  // namespace

class LoadingOrder : public DataFileTest {};

TEST_F(LoadingOrder, AllSevenFilesLoadInOrderAndEachMissingEmptyOrCutShortOneStopsLoadingThere) {
  WriteAll(dir.path(), SmallWorld());
  EXPECT_EQ(loadGameData(), 0);
  EXPECT_EQ(log(), allLoaded());
  for (const FileInOrder& file : loadingOrder()) EXPECT_FALSE(file.tableEmpty()) << file.name;

  enum Way { Missing, Empty, OneByteShort, NoRecords };
  const char* const wayNames[] = {"missing", "empty", "one byte short", "with no records"};
  const auto& order = loadingOrder();
  const Lines all = allLoaded();
  for (size_t at = 0; at < order.size(); ++at) {
    for (Way way : {Missing, Empty, OneByteShort, NoRecords}) {
      const FileInOrder& file = order[at];
      const std::string name = file.name;
      SCOPED_TRACE(name + " " + wayNames[way]);
      restart(1);
      auto files = SmallWorld();
      if (way == Empty) files[name].clear();
      if (way == OneByteShort) files[name].pop_back();
      if (way == NoRecords) files[name] = file.noRecords;
      WriteAll(dir.path(), files);
      if (way == Missing) std::remove(dir.file(name).c_str());

      // What this file's loader says and returns, and whether loading goes on past it.
      Lines own;
      LoadResult code = LoadOther;
      if (way == Missing) {
        if (file.seeks) own = {"Failed to open " + name};
        else code = LoadCannotOpen;
      } else if (way == NoRecords || (way == Empty && file.seeks)) {
        own = {loaded(file, 0)};
        code = LoadOk;
      } else if (name == "map.dat") {
        own = {"Map size mismatch. Expected 90000, found " + std::string(way == Empty ? "0" : "89999")};
      } else if (way == OneByteShort) {
        code = LoadReadFailed;  // its one line is checked below
      }
      const bool goesOn = code == LoadOk;

      EXPECT_EQ(loadGameData(), goesOn ? 0 : 255);
      Lines lines = log();
      Lines expected(all.begin(), all.begin() + static_cast<long>(at));
      if (code == LoadReadFailed) {
        ASSERT_EQ(lines.size(), at + 1);
        EXPECT_EQ(lines[at].rfind(name + ": ", 0), 0u) << lines[at];
        expected.push_back(lines[at]);
      }
      expected.insert(expected.end(), own.begin(), own.end());
      if (goesOn) expected.insert(expected.end(), all.begin() + static_cast<long>(at) + 1, all.end());
      EXPECT_EQ(lines, expected);
      // Files after the failing one are never opened: their tables stay empty; this one keeps nothing.
      for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(order[i].tableEmpty(), i == at || (i > at && !goesOn)) << order[i].name;
      }
      // The loader on its own gives its own code.
      EXPECT_EQ(file.load(), code);
    }
  }
}

TEST(ZelvoSim, LoadsTheSevenFilesAtStartUpAndFailsWithoutDialogs) {
  testing_support::TempDir dir;
  WriteAll(dir.path(), SmallWorld());
  auto run = testing_support::RunSim({"--app-dir", dir.path(), "--seconds", "5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out.find("message box"), std::string::npos) << run.out;
  Lines lines;
  for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt")))) {
    if (line.rfind("Loaded ", 0) == 0) lines.push_back(line);
  }
  EXPECT_EQ(lines, allLoaded());

  std::remove(dir.file("dialogs.dat").c_str());
  run = testing_support::RunSim({"--app-dir", dir.path(), "--seconds", "5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("message box: Error: Failed to load game data.\\nReinstall the application."), std::string::npos)
      << run.out;
  lines.clear();
  for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt")))) {
    if (!line.empty()) lines.push_back(line);
  }
  Lines tail = allLoaded();
  tail.pop_back();
  tail.push_back("Failed to open dialogs.dat");
  tail.push_back("Failed to load game data");
  ASSERT_GE(lines.size(), tail.size());
  EXPECT_EQ(Lines(lines.end() - static_cast<long>(tail.size()), lines.end()), tail);
}
