// check_test.cpp -- check finds what stops the game, what it lacks and what leads nowhere.
#include <gtest/gtest.h>

#include "text.h"
#include "world_builder.h"

namespace zdtest {
namespace {

using zdata::Severity;
constexpr Severity kError = Severity::Error, kWarning = Severity::Warning;

class Check : public ::testing::Test {
 protected:
  TempDir src, data;
  json world;

  void SetUp() override { world = goodWorld(src.path()); }

  // Packs the (changed) world and checks it.
  zdata::Report packed() {
    writeJson(src / "world.json", world);
    ToolRun run = pack(src.path(), data.path());
    EXPECT_EQ(run.code, 0) << run.err;
    return checkReport(data.path());
  }
  void expectOnly(const zdata::Report& report, Severity severity, const std::string& file, const std::string& record,
                  const std::string& message) {
    EXPECT_TRUE(has(report, severity, file, record, message)) << dump(report);
  }
};

TEST_F(Check, GoodWorldIsClean) {
  zdata::Report report = packed();
  EXPECT_EQ(report.diagnostics().size(), 0u) << dump(report);
  ToolRun run = check(data.path());
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("check: 0 errors, 0 warnings"), std::string::npos) << run.out;
}

TEST_F(Check, JsonReportForMachines) {
  world["images"].erase(4);  // image 5
  packed();
  ToolRun run = check(data.path(), true);
  EXPECT_EQ(run.code, 1);
  json report = json::parse(run.out);
  EXPECT_EQ(report["errors"], 1);
  EXPECT_EQ(report["diagnostics"][0],
            json({{"severity", "error"}, {"file", "images.dat"}, {"record", "image 5"}, {"field", ""},
                  {"message", "missing; the game draws it as the dialog box"}}));
}

// ---- loading failures ----

class CheckLoading : public Check {
 protected:
  void SetUp() override {
    Check::SetUp();
    packed();
  }
  void expectLoadError(const std::string& file, const Bytes& bytes, const std::string& record,
                       const std::string& message) {
    writeFile(data / file, bytes);
    zdata::Report report = checkReport(data.path());
    expectOnly(report, kError, file, record, message);
    EXPECT_EQ(check(data.path()).code, 1);
  }
};

TEST_F(CheckLoading, MissingFile) {
  fs::remove(data / "dialogs.dat");
  zdata::Report report = checkReport(data.path());
  expectOnly(report, kError, "dialogs.dat", "", "cannot be opened");
}

TEST_F(CheckLoading, EmptyFiles) {
  expectLoadError("sprites.dat", {}, "", "the file is empty");
  expectLoadError("events.dat", {}, "", "the file is empty");
  expectLoadError("art.dat", {}, "", "the file is empty");
}

TEST_F(CheckLoading, MapOfTheWrongSize) {
  expectLoadError("map.dat", zeros(90001), "", "the file has 90001 bytes; the game needs exactly 90000");
}

TEST_F(CheckLoading, CountsPastTheEnd) {
  expectLoadError("images.dat", hex("FF000000"), "count", "count 255 needs an index of 2040 bytes");
  expectLoadError("sprites.dat", hex("0100"), "count", "too few for its 4-byte count");
  expectLoadError("art.dat", hex("02000000"), "count", "count 2 needs 90 bytes, but the file has only 4");
  expectLoadError("dialogs.dat", cat({hex("02000000 01000000"), zeros(128)}), "count", "count 2 needs 268 bytes");
}

TEST_F(CheckLoading, RecordsPastTheEnd) {
  expectLoadError("images.dat", cat({hex("01000000 00000000 64000000"), zeros(10)}), "index entry 0: offset",
                  "the record at file offset 12 needs 110 bytes");
  expectLoadError("fonts.dat", hex("01000000 10000000 00000000 01000000 0100 0100"), "index entry 0: offset",
                  "needs 8 bytes");
  expectLoadError("events.dat", cat({hex("01000000 00000000 00000000"), zeros(18), hex("02"), zeros(9)}),
                  "index entry 0: actionCount", "2 actions need 18 bytes after the header");
}

TEST_F(CheckLoading, EmptyImagesFontsAndDialogsLoadNothingButACutCountFails) {
  writeFile(data / "dialogs.dat", {});
  zdata::Report report = checkReport(data.path());
  expectOnly(report, kWarning, "dialogs.dat", "count", "the game loads no dialogs");
  expectOnly(report, kError, "events.dat", "event 1: actions[0].argument", "shows dialog 1, which does not exist");
  expectLoadError("dialogs.dat", hex("00"), "count", "too few for its count");
  expectLoadError("fonts.dat", hex("000000"), "count", "too few for its 4-byte count");
}

TEST_F(CheckLoading, UndecodableWords) {
  world["images"][0] = {{"id", 1}, {"size", {4, 4}}, {"data", zdata::toBase64(hex("0100 0200"))}};
  world["sprites"][1]["frames"] = {{"size", {3, 1}}, {"count", 1}, {"data", zdata::toBase64(hex("00000000 0100"))}};
  zdata::Report report = packed();
  expectOnly(report, kError, "images.dat", "image 1: pixelData", "end after 2 of the 15 positions");
  expectOnly(report, kError, "sprites.dat", "sprite 10: frameData", "frame 1: the run-length words end");
}

// ---- what the game asks for ----

TEST_F(Check, MissingImages) {
  world["images"].erase(4);   // 5
  world["images"].erase(33);  // 501 (after the first erase)
  zdata::Report report = packed();
  expectOnly(report, kError, "images.dat", "image 5", "the dialog box");
  expectOnly(report, kError, "images.dat", "image 501", "the front-end screens draw it");
  EXPECT_EQ(report.errorCount(), 2u);
}

TEST_F(Check, PanelsNeedSaveBuffers) {
  world["images"][2]["saveBuffer"] = false;
  expectOnly(packed(), kError, "images.dat", "image 3: saveUnder", "needs a save buffer");
}

TEST_F(Check, FontsNeedAllGlyphs) {
  writePlainPng(src / "fonts/short.png", 32 * 6, 2 * 8);
  world["fonts"][0]["sheet"] = "fonts/short.png";
  world["fonts"].erase(1);
  zdata::Report report = packed();
  expectOnly(report, kError, "fonts.dat", "font 1: glyphSheet", "the sheet has 6144 bytes; the 96 glyphs of codes 32..127 need 9216");
  expectOnly(report, kError, "fonts.dat", "font 2", "missing");
}

TEST_F(Check, PlayerNeedsSixteenFrames) {
  world["sprites"][0]["frames"]["count"] = 8;
  expectOnly(packed(), kError, "sprites.dat", "sprite 3: frameCount", "at least 16 frames");
  world["sprites"][0]["kind"] = "front";
  expectOnly(packed(), kError, "sprites.dat", "sprite 3: kind", "the player must be of kind player");
  world["sprites"].erase(0);
  expectOnly(packed(), kError, "sprites.dat", "sprite 3", "missing; it is the player");
}

TEST_F(Check, GameStartsInTheTopLeftSlot) {
  world["screens"][0]["number"] = 3;
  world["events"][1]["actions"][2]["screen"] = 3;
  expectOnly(packed(), kError, "map.dat", "screen 1", "a new game starts in the top-left slot");
}

TEST_F(Check, MissingMusicWarns) {
  world.erase("music");
  zdata::Report report = packed();
  expectOnly(report, kWarning, "main.wav", "", "plays no music");
  expectOnly(report, kWarning, "ingame.wav", "", "plays no music");
  EXPECT_FALSE(report.hasErrors());
}

// ---- references that lead nowhere ----

TEST_F(Check, ActionsNamingWhatDoesNotExist) {
  world["events"][0]["actions"] = {
      {{"do", "showDialog"}, {"dialog", 9}},       {{"do", "placeArtifact"}, {"artifact", 8}},
      {{"do", "spendArtifact"}, {"artifact", 7}},  {{"do", "armEvent"}, {"event", 6}},
      {{"do", "disarmEvent"}, {"event", 5}},       {{"do", "removeSprite"}, {"sprite", 4}},
      {{"do", "goToScreen"}, {"screen", 99}, {"x", 0}, {"y", 0}}};
  zdata::Report report = packed();
  std::string rec = "event 1: actions[";
  expectOnly(report, kError, "events.dat", rec + "0].argument", "shows dialog 9, which does not exist");
  expectOnly(report, kError, "events.dat", rec + "1].argument", "names artifact 8, which does not exist");
  expectOnly(report, kError, "events.dat", rec + "2].argument", "names artifact 7, which does not exist");
  expectOnly(report, kError, "events.dat", rec + "3].argument", "names event 6, which does not exist");
  expectOnly(report, kError, "events.dat", rec + "4].argument", "names event 5, which does not exist");
  expectOnly(report, kError, "events.dat", rec + "5].argument", "removes sprite 4, which does not exist");
  expectOnly(report, kError, "events.dat", rec + "6].argument", "goes to screen 99, which does not exist");
  EXPECT_EQ(report.errorCount(), 7u) << dump(report);
}

TEST_F(Check, UseArtifactEventWaitingForNothing) {
  world["events"][1]["param"] = 51;
  expectOnly(packed(), kError, "events.dat", "event 2: triggerParam", "waits for artifact 51");
}

TEST_F(Check, ArtifactsOnMissingScreensOrWithoutSprites) {
  world["artifacts"].push_back({{"id", 10}, {"name", "Rock"}, {"screen", 40}, {"state", "placed"}});
  world["artifacts"].push_back({{"id", 77}, {"name", "Ghost"}, {"screen", 0}, {"state", "hidden"}});
  zdata::Report report = packed();
  expectOnly(report, kError, "art.dat", "artifact 10 (record 1): screenNumber", "lies on screen 40");
  expectOnly(report, kError, "art.dat", "artifact 77 (record 2): id", "no sprite 77 shows this artifact");
  EXPECT_FALSE(has(report, kError, "art.dat", "artifact 77 (record 2): screenNumber", ""));  // hidden: no place
}

TEST_F(Check, PlacementsOfWhatDoesNotExist) {
  world["screens"][1]["objects"].push_back({{"sprite", 11}, {"x", 0}, {"y", 0}});
  world["screens"][1]["events"] = {{{"event", 12}, {"x", 0}, {"y", 0}}};
  zdata::Report report = packed();
  expectOnly(report, kError, "map.dat", "screen 2: objects[1].sprite", "places sprite 11, which does not exist");
  expectOnly(report, kError, "map.dat", "screen 2: events[0].event", "places event 12, which does not exist");
}

// ---- screens, texts and odd values ----

TEST_F(Check, ScreensNothingLeadsTo) {
  world["screens"].push_back({{"number", 55}});
  world["screens"].push_back({{"number", 56}});  // below 55: reached only if 55 is
  zdata::Report report = packed();
  expectOnly(report, kWarning, "map.dat", "screen 55", "cannot be reached");
  expectOnly(report, kWarning, "map.dat", "screen 56", "cannot be reached");
  world["events"][0]["actions"].push_back({{"do", "goToScreen"}, {"screen", 55}, {"x", 0}, {"y", 0}});
  report = packed();
  EXPECT_FALSE(has(report, kWarning, "map.dat", "screen 5", "")) << dump(report);
}

TEST_F(Check, DialogTextsTheBoxCuts) {
  world["dialogs"][0]["text"] = "one\ntwo\nthree\nfour\nfive\nsix\nseven\neight";
  expectOnly(packed(), kWarning, "dialogs.dat", "dialog 1: text", "the box stops before \"eight\"");
}

TEST_F(Check, ValuesTheGameTreatsAsNothing) {
  world["events"].push_back({{"id", 3},
                             {"size", {1, 1}},
                             {"trigger", 0},
                             {"armed", 3},
                             {"actions",
                              {{{"opcode", 13}},
                               {{"do", "goToScreen"}, {"screen", 2}, {"x", 0}, {"y", 0}},
                               {{"do", "addScore"}, {"points", 1}}}}});
  world["sprites"][1]["kind"] = 7;
  world["artifacts"][0]["state"] = 9;
  zdata::Report report = packed();
  expectOnly(report, kWarning, "events.dat", "event 3: trigger", "never fires");
  expectOnly(report, kWarning, "events.dat", "event 3: armState", "never fires");
  expectOnly(report, kWarning, "events.dat", "event 3: actions[0].opcode", "does nothing");
  expectOnly(report, kWarning, "events.dat", "event 3: actions[2]", "never runs");
  expectOnly(report, kWarning, "events.dat", "event 3", "no screen places this event");
  expectOnly(report, kWarning, "sprites.dat", "sprite 10: kind", "gives no layer");
  expectOnly(report, kWarning, "art.dat", "artifact 50 (record 0): state", "behaves like hidden");
  EXPECT_FALSE(report.hasErrors()) << dump(report);
}

TEST_F(Check, RecordsTheGameIgnores) {
  packed();
  // A second image 6 at the end of images.dat, a map record numbered 200, a stray byte after the dialogs.
  zdata::Report ignored;
  std::vector<zdata::Image> images;
  std::vector<uint32_t> entries;
  ASSERT_TRUE(zdata::readImages(readFile(data / "images.dat"), images, entries, ignored));
  images.push_back(images[5]);
  writeFile(data / "images.dat", zdata::writeImages(images));
  Bytes map = readFile(data / "map.dat");
  map[900 * 50] = 200;
  writeFile(data / "map.dat", map);
  writeFile(data / "dialogs.dat", cat({readFile(data / "dialogs.dat"), hex("00")}));
  zdata::Report report = checkReport(data.path());
  expectOnly(report, kWarning, "images.dat", "image 6 (index entry 37): id", "the game keeps the first (index entry 5)");
  expectOnly(report, kWarning, "map.dat", "record 50: screenNumber", "is above 100");
  expectOnly(report, kWarning, "dialogs.dat", "", "1 byte after the last record is never read");
  EXPECT_FALSE(report.hasErrors()) << dump(report);
}

}  // namespace
}  // namespace zdtest
