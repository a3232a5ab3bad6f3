// order_test.cpp -- loadGameData: the fixed order, stopping at the first failure, and the game's start-up on real files.
#include <cstdio>
#include <functional>

#include "data/data_fixture.h"
#include "world/objects.h"

using namespace data_builder;
using Lines = std::vector<std::string>;

namespace {

struct FileInOrder {
  const char* name;
  const char* loaded;                  // its "Loaded" line for the small world
  const char* missing;                 // its own line when missing, or null
  std::function<bool()> tableEmpty;
};

bool noScreens() {
  for (const ScreenRecord& slot : screenMap) {
    if (slot.screenNumber != 0) return false;
  }
  return true;
}

const std::vector<FileInOrder>& loadingOrder() {
  static const std::vector<FileInOrder> order = {
      {"sprites.dat", "Loaded 2 sprites.", nullptr, [] { return spriteTable.empty(); }},
      {"events.dat", "Loaded 1 events.", nullptr, [] { return eventTable.empty(); }},
      {"art.dat", "Loaded 1 artifacts.", nullptr, [] { return artifactList.empty(); }},
      {"fonts.dat", "Loaded 2 fonts.", "Failed to open fonts.dat", [] { return fontTable.empty(); }},
      {"images.dat", "Loaded 2 images.", "Failed to open images.dat", [] { return imageTable.empty(); }},
      {"map.dat", "Loaded 1 screens.", nullptr, noScreens},
      {"dialogs.dat", "Loaded 2 dialogs.", "Failed to open dialogs.dat", [] { return dialogTable.empty(); }},
  };
  return order;
}

// How a file is spoilt, and what its loader then says and returns.
struct Spoilt {
  const char* how;
  std::function<void(Bytes&)> spoil;  // null: the file is removed
};

}  // namespace

class LoadingOrder : public DataFileTest {};

TEST_F(LoadingOrder, AllSevenFilesLoadInOrder) {
  WriteAll(dir.path(), SmallWorld());
  EXPECT_EQ(loadGameData(), 0);
  Lines expected;
  for (const FileInOrder& file : loadingOrder()) expected.push_back(file.loaded);
  EXPECT_EQ(log(), expected);
  for (const FileInOrder& file : loadingOrder()) EXPECT_FALSE(file.tableEmpty()) << file.name;
}

TEST_F(LoadingOrder, EachFileMissingEmptyOrCutShortStopsLoadingThere) {
  const std::vector<Spoilt> ways = {
      {"missing", nullptr},
      {"empty", [](Bytes& b) { b.clear(); }},
      {"one byte short", [](Bytes& b) { b.pop_back(); }},
  };
  const auto& order = loadingOrder();
  for (size_t at = 0; at < order.size(); ++at) {
    for (const Spoilt& way : ways) {
      const std::string name = order[at].name;
      SCOPED_TRACE(name + " " + way.how);
      restart(1);
      auto files = SmallWorld();
      if (way.spoil) way.spoil(files[name]);
      WriteAll(dir.path(), files);
      if (!way.spoil) std::remove(dir.file(name).c_str());

      // What this file's loader says and whether loading goes on past it.
      Lines own;
      bool goesOn = false;
      LoadResult code = LoadOther;
      const bool seekOrRecord = order[at].missing != nullptr;  // fonts, images, dialogs
      if (!way.spoil) {
        if (seekOrRecord) own = {order[at].missing};
        code = seekOrRecord ? LoadOther : LoadCannotOpen;
      } else if (std::string(way.how) == "empty") {
        if (name == "map.dat") {
          own = {"Map size mismatch. Expected 90000, found 0"};
        } else if (seekOrRecord) {
          // No count at all: an empty table, and loading goes on.
          own = {std::string("Loaded 0 ") + (name == "fonts.dat" ? "fonts." : name == "images.dat" ? "images." : "dialogs.")};
          goesOn = true;
          code = LoadOk;
        }
      } else if (name == "map.dat") {
        own = {"Map size mismatch. Expected 90000, found 89999"};
      } else {
        code = LoadReadFailed;  // its one line is checked below
      }

      EXPECT_EQ(loadGameData(), goesOn ? 0 : 255);
      Lines lines = log();
      Lines expected;
      for (size_t i = 0; i < at; ++i) expected.push_back(order[i].loaded);
      if (code == LoadReadFailed) {
        ASSERT_EQ(lines.size(), at + 1);
        EXPECT_EQ(lines[at].rfind(name + ": ", 0), 0u) << lines[at];
        expected.push_back(lines[at]);
      }
      expected.insert(expected.end(), own.begin(), own.end());
      if (goesOn) {
        for (size_t i = at + 1; i < order.size(); ++i) expected.push_back(order[i].loaded);
      }
      EXPECT_EQ(lines, expected);
      // Files after the failing one are never opened: their tables stay empty.
      for (size_t i = at + 1; i < order.size() && !goesOn; ++i) EXPECT_TRUE(order[i].tableEmpty()) << order[i].name;
      for (size_t i = 0; i < at; ++i) EXPECT_FALSE(order[i].tableEmpty()) << order[i].name;
      // The failing loader on its own gives its own code.
      LoadResult (*const loaders[])() = {loadSprites, loadEvents, loadArtifacts, loadFonts,
                                         loadImages,  loadScreenMap, loadDialogs};
      EXPECT_EQ(loaders[at](), code);
    }
  }
}

TEST(ZelvoSim, LoadsTheSevenFilesAtStartUp) {
  testing_support::TempDir dir;
  WriteAll(dir.path(), SmallWorld());
  auto run = testing_support::RunSim({"--app-dir", dir.path(), "--seconds", "5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  Lines loaded;
  for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt")))) {
    if (line.rfind("Loaded ", 0) == 0) loaded.push_back(line);
  }
  Lines expected;
  for (const FileInOrder& file : loadingOrder()) expected.push_back(file.loaded);
  EXPECT_EQ(loaded, expected);
  EXPECT_EQ(run.out.find("message box"), std::string::npos) << run.out;
}

TEST(ZelvoSim, MissingDialogsFailsStartUpWithAMessageBox) {
  testing_support::TempDir dir;
  auto files = SmallWorld();
  files.erase("dialogs.dat");
  WriteAll(dir.path(), files);
  auto run = testing_support::RunSim({"--app-dir", dir.path(), "--seconds", "5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("message box: Error: Failed to load game data.\\nReinstall the application."), std::string::npos)
      << run.out;
  Lines lines;
  for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt")))) {
    if (!line.empty()) lines.push_back(line);
  }
  Lines tail;
  for (size_t i = 0; i + 1 < loadingOrder().size(); ++i) tail.push_back(loadingOrder()[i].loaded);
  tail.push_back("Failed to open dialogs.dat");
  tail.push_back("Failed to load game data");
  ASSERT_GE(lines.size(), tail.size());
  EXPECT_EQ(Lines(lines.end() - static_cast<long>(tail.size()), lines.end()), tail);
}
