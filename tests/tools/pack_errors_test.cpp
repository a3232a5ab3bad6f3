// pack_errors_test.cpp -- every kind of bad source is reported with its file and JSON path, and a
// failed pack writes nothing.
#include <gtest/gtest.h>

#include <functional>

#include "world_builder.h"

namespace zdtest {
namespace {

using zdata::Severity;

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
      {[](json& w) { w["sprites"][1]["frames"] = {{"strip", "sprites/strip.png"}, {"count", 3}}; }, "sprites[1].frames",
       "strip width 50 is not divisible by 3 frames"},
      {[](json& w) { w["sprites"][1]["frames"] = {"sprites/wide.png"}; }, "sprites[1].frames", "at most 255x255"},
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
      {[](json& w) { w["images"].push_back({{"id", 6}, {"picture", "images/panel.png"}}); }, "images[37].id",
       "duplicate image id 6 (first at world.json: images[5])"},
      {[](json& w) { w["screens"].push_back({{"number", 2}}); }, "screens[3].number", "duplicate screen number 2"},
      {[](json& w) { w["screens"][0]["objects"][0]["x"] = 70000; }, "screens[0].objects[0].x",
       "70000 is out of range 0..65535"},
      {[](json& w) { w["screens"][0]["number"] = 101; }, "screens[0].number", "101 is out of range 1..100"},
      {[](json& w) { w["sprites"][0]["animRate"] = -1; }, "sprites[0].animRate", "-1 is out of range 0..255"},
      {[](json& w) { w["events"][0]["size"] = {1.5, 2}; }, "events[0].size[0]", "1.5 is not a whole number"},
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
      {[](json& w) { w["fonts"][0]["cell"] = {5, 8}; }, "fonts[0].sheet",
       "the sheet is 192 pixels wide; 32 cells of 5 need 160"},
      {[](json& w) { w["images"][0] = {{"id", 1}, {"size", {2, 2}}, {"data", "not base64!"}}; }, "images[0].data",
       "not valid base64"},
      {[](json& w) { w["events"][0]["reserved"] = "123"; }, "events[0].reserved", "must be 8 hex digits"},
      {[](json& w) { w["music"]["title"] = "music/text.wav"; }, "music.title", "is not a WAV file"},
      {[](json& w) { w["music"]["game"] = "music/none.wav"; }, "music.game", "does not exist"},
      {[](json& w) { w["format"] = "zelvo-world 2"; }, "format", "must be \"zelvo-world 1\""},
  };
  writeText(src / "images/broken.png", "not a picture");
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

}  // namespace
}  // namespace zdtest
