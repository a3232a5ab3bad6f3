// reports_test.cpp -- every kind of bad source is reported with its file and JSON path and a failed pack
// writes nothing; check finds what stops the game, what it lacks and what leads nowhere.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "text.h"
#include "world_builder.h"

using zdata::Severity;

namespace zdtest {
namespace {

class PackErrors : public ::testing::Test {
 protected:
  TempDir src, out;
  json world;

  void SetUp() override { world = goodWorld(src.path()); }

  // Packs the changed world: it must fail with this error, and leave no output at all.
  void expectError(const std::string& file, const std::string& path, const std::string& message) {
    writeJson(src / "world.json", world);
    expectReported(readReport(src.path()), {{Severity::Error, file, path, message}});
    ToolRun run = pack(src.path(), out / "data");
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find(file + ": " + path), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("nothing written"), std::string::npos) << run.err;
    EXPECT_TRUE(listFolder(out.path()).empty());
  }
};

TEST_F(PackErrors, GoodWorldPacks) {
  writeJson(src / "world.json", world);
  zdata::Report report = readReport(src.path());
  EXPECT_EQ(report.diagnostics().size(), 1u) << dump(report);  // the player strip's opaque corners
  ToolRun run = pack(src.path(), out / "data");
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(listFolder(out / "data").size(), 9u);
}

TEST_F(PackErrors, EveryBadSourceIsNamedByItsPath) {
  struct Case {
    std::function<void(json&)> change;
    const char* path;
    const char* message;
  };
  const Case cases[] = {
      {[](json& w) { w["images"][4]["picture"] = "images/nowhere.png"; }, "images[4].picture", "does not exist"},
      {[](json& w) { w["images"][0]["picture"] = "images/broken.png"; }, "images[0].picture", "cannot read the picture"},
      {[](json& w) { w["images"][0]["picture"] = "images/huge.png"; }, "images[0].picture",
       "has 5000 x 5000 pixels, more than the 4096 x 4096"},
      {[](json& w) { w["sprites"][1]["frames"] = {{"strip", "sprites/strip.png"}, {"count", 3}}; }, "sprites[1].frames",
       "strip width 50 is not divisible by 3 frames"},
      {[](json& w) { w["sprites"][1]["frames"] = {"sprites/wide.png"}; }, "sprites[1].frames", "at most 255x255"},
      {[](json& w) { w["sprites"][1]["frames"] = {{"size", {4, 1}}, {"count", 1}, {"data", "AAAAAAEA"}}; },
       "sprites[1].frames.data", "past the frame data after 1 of 3 positions; the game would refuse sprites.dat"},
      {[](json& w) { w["sprites"][1]["frames"] = {"sprites/ground.png", "sprites/key.png"}; }, "sprites[1].frames[1]",
       "but frame 1 is 20x5"},
      {[](json& w) { w["events"][0]["actions"][0] = {{"do", "explode"}}; }, "events[0].actions[0].do",
       "unknown do \"explode\""},
      {[](json& w) { w["sprites"][0]["kind"] = "hero"; }, "sprites[0].kind", "unknown kind \"hero\""},
      {[](json& w) { w["events"][1]["trigger"] = "step"; }, "events[1].trigger", "unknown trigger \"step\""},
      {[](json& w) { w["artifacts"][0]["state"] = "lost"; }, "artifacts[0].state", "unknown state \"lost\""},
      {[](json& w) { w["dialogs"][0]["text"] = std::string(128, 'a'); }, "dialogs[0].text",
       "text of 128 bytes is longer than its field (at most 127)"},
      {[](json& w) { w["artifacts"][0]["name"] = std::string(32, 'n'); }, "artifacts[0].name",
       "longer than its field (at most 31)"},
      {[](json& w) { w["dialogs"][0]["text"] = "5 \xE2\x82\xAC"; }, "dialogs[0].text", "cannot show"},
      {[](json& w) {
         w["images"].push_back({{"id", 6}, {"picture", "images/panel.png"}});
       },
       "images[37].id", "duplicate image id 6 (first at world.json: images[5])"},
      {[](json& w) {
         w["screens"].push_back({{"number", 2}});
       },
       "screens[3].number", "duplicate screen number 2"},
      {[](json& w) { w["screens"][0]["objects"][0]["x"] = 70000; }, "screens[0].objects[0].x",
       "70000 is out of range 0..65535"},
      {[](json& w) { w["screens"][0]["number"] = 101; }, "screens[0].number", "101 is out of range 1..100"},
      {[](json& w) { w["sprites"][0]["animRate"] = -1; }, "sprites[0].animRate", "-1 is out of range 0..255"},
      {[](json& w) {
         w["events"][0]["size"] = {1.5, 2};
       },
       "events[0].size[0]", "1.5 is not a whole number"},
      {[](json& w) {
         w["screens"][0]["objects"] = json::array();
         for (int i = 0; i < 65; ++i) w["screens"][0]["objects"].push_back({{"sprite", 10}, {"x", i}, {"y", 0}});
       },
       "screens[0].objects", "65 object placements; a screen holds at most 64"},
      {[](json& w) {
         for (int i = 0; i < 16; ++i) w["screens"][0]["events"].push_back({{"event", 1}, {"x", i}, {"y", 0}});
       },
       "screens[0].events", "17 event placements; a screen holds at most 16"},
      {[](json& w) {
         for (int i = 0; i < 254; ++i) w["events"][0]["actions"].push_back({{"do", "nothing"}});
       },
       "events[0].actions", "256 actions; an event holds at most 255"},
      {[](json& w) { w["events"][0].erase("trigger"); }, "events[0]", "the field \"trigger\" is missing"},
      {[](json& w) { w["images"][2]["savebuffer"] = true; }, "images[2].savebuffer", "unknown field"},
      {[](json& w) { w["events"][1]["actions"][2].erase("x"); }, "events[1].actions[2]", "the field \"x\" is missing"},
      {[](json& w) { w["images"] = json::array({1}); }, "images[0]", "must be an object, not number"},
      {[](json& w) { w["dialogs"][0]["text"] = 5; }, "dialogs[0].text", "must be a string"},
      {[](json& w) {
         w["fonts"][0]["cell"] = {5, 8};
       },
       "fonts[0].sheet", "the sheet is 192 pixels wide; 32 cells of 5 need 160"},
      {[](json& w) {
         w["images"][0] = {{"id", 1}, {"size", {2, 2}}, {"data", "not base64!"}};
       },
       "images[0].data", "not valid base64"},
      {[](json& w) { w["events"][0]["reserved"] = "123"; }, "events[0].reserved", "must be 8 hex digits"},
      {[](json& w) { w["music"]["title"] = "music/text.wav"; }, "music.title", "is not a WAV file"},
      {[](json& w) { w["music"]["game"] = "music/none.wav"; }, "music.game", "does not exist"},
      {[](json& w) { w["format"] = "zelvo-world 2"; }, "format", "must be \"zelvo-world 1\""},
  };
  writeText(src / "images/broken.png", "not a picture");
  // A header alone: the size is refused before anything is decoded.
  writeText(src / "images/huge.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x13\x88\0\0\x13\x88\x08\x06\0\0\0\0\0\0\0", 33));
  writePlainPng(src / "sprites/strip.png", 50, 4);
  writePlainPng(src / "sprites/wide.png", 256, 4);
  writeText(src / "music/text.wav", "hello, not RIFF");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    world = goodWorld(src.path());
    c.change(world);
    expectError("world.json", c.path, c.message);
  }
  // Notes are not unknown fields.
  world = goodWorld(src.path());
  world["images"][0]["comment"] = "the frame";
  world["sprites"][0]["_source"] = "player.xcf";
  writeJson(src / "world.json", world);
  EXPECT_FALSE(readReport(src.path()).hasErrors());
}

TEST_F(PackErrors, UnreadableManifests) {
  zdata::Report report = readReport(src.path());
  EXPECT_TRUE(has(report, Severity::Error, (src / "world.json").string(), "", "no manifest")) << dump(report);
  writeText(src / "world.json", "{ \"format\": \"zelvo-world 1\",\n  \"images\": [ }");
  report = readReport(src.path());
  EXPECT_TRUE(has(report, Severity::Error, "world.json", "", "line 2")) << dump(report);
  writeText(src / "world.json", "{ \"images\": 3e333 }");  // too large for a double
  report = readReport(src.path());
  EXPECT_TRUE(has(report, Severity::Error, "world.json", "", "number overflow parsing '3e333'")) << dump(report);
  EXPECT_EQ(pack(src.path(), out / "data").code, 1);
  EXPECT_TRUE(listFolder(out.path()).empty());
}

TEST_F(PackErrors, IncludedFilesNameTheirErrorsAndHoldPathsOfTheirOwn) {
  json story = {{"events", world["events"]}, {"dialogs", world["dialogs"]}};
  world.erase("events");
  world.erase("dialogs");
  world["include"] = {"story/story.json"};
  story["events"][1]["actions"][0]["do"] = "spend";
  writeJson(src / "story/story.json", story);
  expectError("story/story.json", "events[1].actions[0].do", "unknown do \"spend\"");
  story["include"] = {"more.json"};
  story["events"][1]["actions"][0]["do"] = "spendArtifact";
  writeJson(src / "story/story.json", story);
  expectError("story/story.json", "include", "an included file may not include again");

  world = goodWorld(src.path());
  writePlainPng(src / "parts/pics/x.png", 3, 3);
  writeJson(src / "parts/more.json", {{"sprites", {{{"id", 77}, {"kind", "scenery"}, {"frames", {"pics/x.png"}}}}}});
  world["include"] = {"parts/more.json"};
  writeJson(src / "world.json", world);
  ToolRun run = pack(src.path(), out / "data");
  EXPECT_EQ(run.code, 0) << run.err;
}

TEST_F(PackErrors, AFailedPackLeavesOldFilesAlone) {
  writeJson(src / "world.json", world);
  ASSERT_EQ(pack(src.path(), out.path()).code, 0);
  Bytes before = readFile(out / "images.dat");
  std::vector<std::string> files = listFolder(out.path());
  world["images"][0]["picture"] = "images/missing.png";
  world["images"][1]["id"] = 99;
  writeJson(src / "world.json", world);
  EXPECT_EQ(pack(src.path(), out.path()).code, 1);
  EXPECT_EQ(readFile(out / "images.dat"), before);
  EXPECT_EQ(listFolder(out.path()), files);
}

TEST_F(PackErrors, StoredButIgnoredValuesWarn) {
  world["screens"][0]["objects"].push_back({{"sprite", 1500}, {"x", 0}, {"y", 0}});
  world["screens"][0]["objects"].push_back({{"sprite", 0}, {"x", 0}, {"y", 0}});
  world["screens"][0]["objects"].push_back({{"sprite", 10}, {"x", 0}, {"y", 0}, {"layer", 40}});
  world["sprites"][1]["kind"] = 8;
  world["artifacts"].push_back(world["artifacts"][0]);
  writeJson(src / "world.json", world);
  zdata::Report report = readReport(src.path());
  EXPECT_FALSE(report.hasErrors()) << dump(report);
  expectReported(report, {{Severity::Warning, "world.json", "screens[0].objects[1].sprite", "skips"},
                          {Severity::Warning, "world.json", "screens[0].objects[2].sprite", "ends the list"},
                          {Severity::Warning, "world.json", "screens[0].objects[3].layer", "above 31"},
                          {Severity::Warning, "world.json", "sprites[1].kind", "gives no layer"},
                          {Severity::Warning, "world.json", "artifacts[1].id", "a second artifact with id 50"}});
}

constexpr Severity kError = Severity::Error, kWarning = Severity::Warning;

class Check : public ::testing::Test {
 protected:
  TempDir src, data;
  json world;

  void SetUp() override { world = goodWorld(src.path()); }

  // Packs the (changed) world into the emptied data folder and checks it.
  zdata::Report packed() {
    for (const auto& name : listFolder(data.path())) fs::remove_all(data / name);
    writeJson(src / "world.json", world);
    ToolRun run = pack(src.path(), data.path());
    EXPECT_EQ(run.code, 0) << run.err;
    return checkReport(data.path());
  }
};

TEST_F(Check, GoodWorldIsCleanAndReportsReadAsTextOrJson) {
  EXPECT_EQ(packed().diagnostics().size(), 0u);
  ToolRun run = check(data.path());
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("check: 0 errors, 0 warnings"), std::string::npos) << run.out;

  world["images"].erase(4);  // image 5
  packed();
  run = check(data.path(), true);
  EXPECT_EQ(run.code, 1);
  json report = json::parse(run.out);
  EXPECT_EQ(report["errors"], 1);
  EXPECT_EQ(report["diagnostics"][0], json({{"severity", "error"},
                                            {"file", "images.dat"},
                                            {"record", "image 5"},
                                            {"field", ""},
                                            {"message", "missing; the game draws it as the dialog box"}}));
}

TEST_F(Check, FilesTheGameCannotLoadAreErrors) {
  packed();
  const auto good = dataFiles(data.path());
  struct Damage {
    const char* file;
    std::optional<Bytes> bytes;  // none: the file is removed
    std::vector<Diag> expected;
  };
  const Damage cases[] = {
      {"dialogs.dat", std::nullopt, {{kError, "dialogs.dat", "", "cannot be opened"}}},
      {"sprites.dat", Bytes{}, {{kError, "sprites.dat", "", "the file is empty"}}},
      {"events.dat", Bytes{}, {{kError, "events.dat", "", "the file is empty"}}},
      {"art.dat", Bytes{}, {{kError, "art.dat", "", "the file is empty"}}},
      {"map.dat", zeros(90001), {{kError, "map.dat", "", "the file has 90001 bytes; the game needs exactly 90000"}}},
      {"images.dat", hex("FF000000"), {{kError, "images.dat", "count", "count 255 needs an index of 2040 bytes"}}},
      {"sprites.dat", hex("0100"), {{kError, "sprites.dat", "count", "too few for its 4-byte count"}}},
      {"art.dat", hex("02000000"), {{kError, "art.dat", "count", "count 2 needs 90 bytes, but the file has only 4"}}},
      {"dialogs.dat",
       cat({hex("02000000 01000000"), zeros(128)}),
       {{kError, "dialogs.dat", "count", "count 2 needs 268 bytes"}}},
      {"dialogs.dat", hex("00"), {{kError, "dialogs.dat", "count", "too few for its count"}}},
      {"fonts.dat", hex("000000"), {{kError, "fonts.dat", "count", "too few for its 4-byte count"}}},
      {"images.dat",
       cat({hex("01000000 00000000 64000000"), zeros(10)}),
       {{kError, "images.dat", "index entry 0: offset", "the record at file offset 12 needs 110 bytes"}}},
      {"fonts.dat",
       hex("01000000 10000000 00000000 01000000 0100 0100"),
       {{kError, "fonts.dat", "index entry 0: offset", "needs 8 bytes"}}},
      // Sprite 10, 3 x 1 pixels, whose one frame runs past its 6 bytes (pack refuses to write it).
      {"sprites.dat", cat({hex("01000000 00000000 06000000 0A000000"), zeros(32), hex("03010000 03010000 00"), zeros(4),
                           hex("00000000 0100")}),
       {{kError, "sprites.dat", "sprite 10: frameData", "frame 1: the run-length words end"}}},
      {"events.dat", cat({hex("01000000 00000000 00000000"), zeros(18), hex("02"), zeros(9)}),
       {{kError, "events.dat", "index entry 0: actionCount", "2 actions need 18 bytes after the header"}}},
      // An empty dialogs file loads no dialogs: only what names them fails.
      {"dialogs.dat",
       Bytes{},
       {{kWarning, "dialogs.dat", "count", "the game loads no dialogs"},
        {kError, "events.dat", "event 1: actions[0].argument", "shows dialog 1, which does not exist"}}},
  };
  for (const Damage& c : cases) {
    for (const auto& [name, bytes] : good) writeFile(data / name, bytes);
    if (c.bytes)
      writeFile(data / c.file, *c.bytes);
    else
      fs::remove(data / c.file);
    SCOPED_TRACE(c.expected[0].message);
    zdata::Report report = checkReport(data.path());
    expectReported(report, c.expected);
    EXPECT_EQ(check(data.path()).code, 1);
  }
}

TEST_F(Check, ReportsWhatTheGameLacksAndWhatLeadsNowhere) {
  struct Case {
    std::function<void(json&)> change;
    std::vector<Diag> expected;
    int errors = -1;  // the report's error count, where it matters
    std::vector<Diag> absent = {};
  };
  const Case cases[] = {
      // Data the game cannot decode.
      {[](json& w) {
         w["images"][0] = {{"id", 1}, {"size", {4, 4}}, {"data", zdata::toBase64(hex("0100 0200"))}};
       },
       {{kError, "images.dat", "image 1: pixelData", "end after 2 of the 15 positions"}}},
      // What the game asks for.
      {[](json& w) {
         w["images"].erase(4);   // 5
         w["images"].erase(33);  // 501 (after the first erase)
       },
       {{kError, "images.dat", "image 5", "the dialog box"},
        {kError, "images.dat", "image 501", "the front-end screens draw it"}},
       2},
      {[](json& w) { w["images"][2]["saveBuffer"] = false; },
       {{kError, "images.dat", "image 3: saveUnder", "needs a save buffer"}}},
      {[](json& w) {
         w["fonts"][0]["sheet"] = "fonts/short.png";
         w["fonts"].erase(1);
       },
       {{kError, "fonts.dat", "font 1: glyphSheet",
         "the sheet has 6144 bytes; the 96 glyphs of codes 32..127 need 9216"},
        {kError, "fonts.dat", "font 2", "missing"}}},
      {[](json& w) { w["sprites"][0]["frames"]["count"] = 8; },
       {{kError, "sprites.dat", "sprite 3: frameCount", "at least 16 frames"}}},
      {[](json& w) { w["sprites"][0]["kind"] = "front"; },
       {{kError, "sprites.dat", "sprite 3: kind", "the player must be of kind player"}}},
      {[](json& w) { w["sprites"].erase(0); }, {{kError, "sprites.dat", "sprite 3", "missing; it is the player"}}},
      {[](json& w) {
         w["screens"][0]["number"] = 3;
         w["events"][1]["actions"][2]["screen"] = 3;
       },
       {{kError, "map.dat", "screen 1", "a new game starts in the top-left slot"}}},
      {[](json& w) { w.erase("music"); },
       {{kWarning, "main.wav", "", "plays no music"}, {kWarning, "ingame.wav", "", "plays no music"}},
       0},
      // References that lead nowhere.
      {[](json& w) {
         w["events"][0]["actions"] = {{{"do", "showDialog"}, {"dialog", 9}},
                                      {{"do", "placeArtifact"}, {"artifact", 8}},
                                      {{"do", "spendArtifact"}, {"artifact", 7}},
                                      {{"do", "armEvent"}, {"event", 6}},
                                      {{"do", "disarmEvent"}, {"event", 5}},
                                      {{"do", "removeSprite"}, {"sprite", 4}},
                                      {{"do", "goToScreen"}, {"screen", 99}, {"x", 0}, {"y", 0}}};
       },
       {{kError, "events.dat", "event 1: actions[0].argument", "shows dialog 9, which does not exist"},
        {kError, "events.dat", "event 1: actions[1].argument", "names artifact 8, which does not exist"},
        {kError, "events.dat", "event 1: actions[2].argument", "names artifact 7, which does not exist"},
        {kError, "events.dat", "event 1: actions[3].argument", "names event 6, which does not exist"},
        {kError, "events.dat", "event 1: actions[4].argument", "names event 5, which does not exist"},
        {kError, "events.dat", "event 1: actions[5].argument", "removes sprite 4, which does not exist"},
        {kError, "events.dat", "event 1: actions[6].argument", "goes to screen 99, which does not exist"}},
       7},
      {[](json& w) { w["events"][1]["param"] = 51; },
       {{kError, "events.dat", "event 2: triggerParam", "waits for artifact 51"}}},
      {[](json& w) {
         w["artifacts"].push_back({{"id", 10}, {"name", "Rock"}, {"screen", 40}, {"state", "placed"}});
         w["artifacts"].push_back({{"id", 77}, {"name", "Ghost"}, {"screen", 0}, {"state", "hidden"}});
       },
       {{kError, "art.dat", "artifact 10 (record 1): screenNumber", "lies on screen 40"},
        {kError, "art.dat", "artifact 77 (record 2): id", "no sprite 77 shows this artifact"}},
       -1,
       {{kError, "art.dat", "artifact 77 (record 2): screenNumber", ""}}},  // hidden: it has no place
      {[](json& w) {
         w["screens"][1]["objects"].push_back({{"sprite", 11}, {"x", 0}, {"y", 0}});
         w["screens"][1]["events"] = {{{"event", 12}, {"x", 0}, {"y", 0}}};
       },
       {{kError, "map.dat", "screen 2: objects[1].sprite", "places sprite 11, which does not exist"},
        {kError, "map.dat", "screen 2: events[0].event", "places event 12, which does not exist"}}},
      // Screens nothing leads to; 56 lies below 55, so it is reached only if 55 is.
      {[](json& w) {
         w["screens"].push_back({{"number", 55}});
         w["screens"].push_back({{"number", 56}});
       },
       {{kWarning, "map.dat", "screen 55", "cannot be reached"},
        {kWarning, "map.dat", "screen 56", "cannot be reached"}}},
      {[](json& w) {
         w["screens"].push_back({{"number", 55}});
         w["screens"].push_back({{"number", 56}});
         w["events"][0]["actions"].push_back({{"do", "goToScreen"}, {"screen", 55}, {"x", 0}, {"y", 0}});
       },
       {},
       -1,
       {{kWarning, "map.dat", "screen 5", ""}}},
      // Content the player never meets: an artifact nothing brings into play, a text nobody shows;
      // the hidden one an event places is fine.
      {[](json& w) {
         w["artifacts"].push_back({{"id", 3}, {"name", "Lost"}, {"state", "hidden"}});
         w["artifacts"].push_back({{"id", 10}, {"name", "Found"}, {"state", "hidden"}});
         w["events"][0]["actions"].push_back({{"do", "placeArtifact"}, {"artifact", 10}});
         w["dialogs"].push_back({{"id", 2}, {"text", "Unsaid"}});
       },
       {{kWarning, "art.dat", "artifact 3 (record 1)", "can never be picked up"},
        {kWarning, "dialogs.dat", "dialog 2", "is never shown"}},
       0,
       {{kWarning, "art.dat", "artifact 10", "can never"},
        {kWarning, "art.dat", "artifact 50", ""},
        {kWarning, "dialogs.dat", "dialog 1", ""}}},
      // Picking artifact 50 up on screen 2 would take the placed sprite 50 instead.
      {[](json& w) { w["screens"][1]["objects"].push_back({{"sprite", 50}, {"x", 0}, {"y", 0}}); },
       {{kWarning, "art.dat", "artifact 50 (record 0)", "shares its id with a sprite placed on screen 2"}}},
      {[](json& w) { w["dialogs"][0]["text"] = "one\ntwo\nthree\nfour\nfive\nsix\nseven\neight"; },
       {{kWarning, "dialogs.dat", "dialog 1: text", "the box stops before \"eight\""}}},
      // Values the game treats as nothing.
      {[](json& w) {
         w["events"].push_back({{"id", 3},
                                {"size", {1, 1}},
                                {"trigger", 0},
                                {"armed", 3},
                                {"actions",
                                 {{{"opcode", 13}},
                                  {{"do", "goToScreen"}, {"screen", 2}, {"x", 0}, {"y", 0}},
                                  {{"do", "addScore"}, {"points", 1}}}}});
         w["sprites"][1]["kind"] = 7;
         w["artifacts"][0]["state"] = 9;
       },
       {{kWarning, "events.dat", "event 3: trigger", "never fires"},
        {kWarning, "events.dat", "event 3: armState", "never fires"},
        {kWarning, "events.dat", "event 3: actions[0].opcode", "does nothing"},
        {kWarning, "events.dat", "event 3: actions[2]", "never runs"},
        {kWarning, "events.dat", "event 3", "no screen places this event"},
        {kWarning, "sprites.dat", "sprite 10: kind", "gives no layer"},
        {kWarning, "art.dat", "artifact 50 (record 0): state", "behaves like hidden"}},
       0},
  };
  writePlainPng(src / "fonts/short.png", 32 * 6, 2 * 8);
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    world = goodWorld(src.path());
    cases[i].change(world);
    zdata::Report report = packed();
    expectReported(report, cases[i].expected);
    expectReported(report, cases[i].absent, false);
    if (cases[i].errors >= 0) {
      EXPECT_EQ(report.errorCount(), static_cast<size_t>(cases[i].errors)) << dump(report);
    }
  }
}

TEST_F(Check, RecordsTheGameIgnoresWarn) {
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
  expectReported(report,
                 {{kWarning, "images.dat", "image 6 (index entry 37): id", "the game keeps the first (index entry 5)"},
                  {kWarning, "map.dat", "record 50: screenNumber", "is above 100"},
                  {kWarning, "dialogs.dat", "", "1 byte after the last record is never read"}});
  EXPECT_FALSE(report.hasErrors()) << dump(report);
}

}  // namespace
}  // namespace zdtest
