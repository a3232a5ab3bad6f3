// pack_errors_test.cpp -- every kind of bad source is reported with its file and JSON path, and a
// failed pack writes nothing.
#include <gtest/gtest.h>

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
    zdata::Report report = readReport(src.path());
    EXPECT_TRUE(has(report, Severity::Error, file, path, message)) << dump(report);
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

TEST_F(PackErrors, MissingPicture) {
  world["images"][4]["picture"] = "images/nowhere.png";
  expectError("world.json", "images[4].picture", "does not exist");
}

TEST_F(PackErrors, PictureThatIsNoPng) {
  writeText(src / "images/broken.png", "not a picture");
  world["images"][0]["picture"] = "images/broken.png";
  expectError("world.json", "images[0].picture", "cannot read the picture");
}

TEST_F(PackErrors, StripNotDivisible) {
  writePlainPng(src / "sprites/strip.png", 50, 4);
  world["sprites"][1]["frames"] = {{"strip", "sprites/strip.png"}, {"count", 3}};
  expectError("world.json", "sprites[1].frames", "strip width 50 is not divisible by 3 frames");
}

TEST_F(PackErrors, SpriteWiderThan255) {
  writePlainPng(src / "sprites/wide.png", 256, 4);
  world["sprites"][1]["frames"] = {"sprites/wide.png"};
  expectError("world.json", "sprites[1].frames", "at most 255x255");
}

TEST_F(PackErrors, FramesOfDifferentSizes) {
  world["sprites"][1]["frames"] = {"sprites/ground.png", "sprites/key.png"};
  expectError("world.json", "sprites[1].frames[1]", "but frame 1 is 20x5");
}

TEST_F(PackErrors, UnknownActionName) {
  world["events"][0]["actions"][0] = {{"do", "explode"}};
  expectError("world.json", "events[0].actions[0].do", "unknown do \"explode\"");
}

TEST_F(PackErrors, UnknownKindTriggerAndState) {
  world["sprites"][0]["kind"] = "hero";
  expectError("world.json", "sprites[0].kind", "unknown kind \"hero\"");
  world = goodWorld(src.path());
  world["events"][1]["trigger"] = "step";
  expectError("world.json", "events[1].trigger", "unknown trigger \"step\"");
  world = goodWorld(src.path());
  world["artifacts"][0]["state"] = "lost";
  expectError("world.json", "artifacts[0].state", "unknown state \"lost\"");
}

TEST_F(PackErrors, TextLongerThanItsField) {
  world["dialogs"][0]["text"] = std::string(128, 'a');
  expectError("world.json", "dialogs[0].text", "text of 128 bytes is longer than its field (at most 127)");
  world = goodWorld(src.path());
  world["artifacts"][0]["name"] = std::string(32, 'n');
  expectError("world.json", "artifacts[0].name", "longer than its field (at most 31)");
}

TEST_F(PackErrors, CharacterWithoutAByte) {
  world["dialogs"][0]["text"] = "5 \xE2\x82\xAC";
  expectError("world.json", "dialogs[0].text", "cannot show");
}

TEST_F(PackErrors, DuplicateIds) {
  world["images"].push_back({{"id", 6}, {"picture", "images/panel.png"}});
  expectError("world.json", "images[37].id", "duplicate image id 6 (first at world.json: images[5])");
  world = goodWorld(src.path());
  world["screens"].push_back({{"number", 2}});
  expectError("world.json", "screens[3].number", "duplicate screen number 2");
}

TEST_F(PackErrors, OutOfRangeNumbers) {
  world["screens"][0]["objects"][0]["x"] = 70000;
  expectError("world.json", "screens[0].objects[0].x", "70000 is out of range 0..65535");
  world = goodWorld(src.path());
  world["screens"][0]["number"] = 101;
  expectError("world.json", "screens[0].number", "101 is out of range 1..100");
  world = goodWorld(src.path());
  world["sprites"][0]["animRate"] = -1;
  expectError("world.json", "sprites[0].animRate", "-1 is out of range 0..255");
  world = goodWorld(src.path());
  world["events"][0]["size"] = {1.5, 2};
  expectError("world.json", "events[0].size[0]", "1.5 is not a whole number");
}

TEST_F(PackErrors, TooManyPlacementsAndActions) {
  world["screens"][0]["objects"] = json::array();
  for (int i = 0; i < 65; ++i) world["screens"][0]["objects"].push_back({{"sprite", 10}, {"x", i}, {"y", 0}});
  expectError("world.json", "screens[0].objects", "65 object placements; a screen holds at most 64");
  world = goodWorld(src.path());
  for (int i = 0; i < 16; ++i) world["screens"][0]["events"].push_back({{"event", 1}, {"x", i}, {"y", 0}});
  expectError("world.json", "screens[0].events", "17 event placements; a screen holds at most 16");
  world = goodWorld(src.path());
  for (int i = 0; i < 254; ++i) world["events"][0]["actions"].push_back({{"do", "nothing"}});
  expectError("world.json", "events[0].actions", "256 actions; an event holds at most 255");
}

TEST_F(PackErrors, MissingAndUnknownFields) {
  world["events"][0].erase("trigger");
  expectError("world.json", "events[0]", "the field \"trigger\" is missing");
  world = goodWorld(src.path());
  world["images"][2]["savebuffer"] = true;
  expectError("world.json", "images[2].savebuffer", "unknown field");
  world = goodWorld(src.path());
  world["events"][1]["actions"][2].erase("x");
  expectError("world.json", "events[1].actions[2]", "the field \"x\" is missing");
}

TEST_F(PackErrors, NotesAreNotUnknownFields) {
  world["images"][0]["comment"] = "the frame";
  world["sprites"][0]["_source"] = "player.xcf";
  writeJson(src / "world.json", world);
  EXPECT_FALSE(readReport(src.path()).hasErrors());
}

TEST_F(PackErrors, WrongTypes) {
  world["images"] = json::array({1});
  expectError("world.json", "images[0]", "must be an object, not number");
  world = goodWorld(src.path());
  world["dialogs"][0]["text"] = 5;
  expectError("world.json", "dialogs[0].text", "must be a string");
}

TEST_F(PackErrors, GlyphSheetOfTheWrongWidth) {
  world["fonts"][0]["cell"] = {5, 8};
  expectError("world.json", "fonts[0].sheet", "the sheet is 192 pixels wide; 32 cells of 5 need 160");
}

TEST_F(PackErrors, BadRawData) {
  world["images"][0] = {{"id", 1}, {"size", {2, 2}}, {"data", "not base64!"}};
  expectError("world.json", "images[0].data", "not valid base64");
  world = goodWorld(src.path());
  world["events"][0]["reserved"] = "123";
  expectError("world.json", "events[0].reserved", "must be 8 hex digits");
}

TEST_F(PackErrors, MusicThatIsNoWav) {
  writeText(src / "music/main.wav", "hello, not RIFF");
  expectError("world.json", "music.title", "is not a WAV file");
  world = goodWorld(src.path());
  world["music"]["game"] = "music/none.wav";
  expectError("world.json", "music.game", "does not exist");
}

TEST_F(PackErrors, BadJsonSyntax) {
  writeText(src / "world.json", "{ \"format\": \"zelvo-world 1\",\n  \"images\": [ }");
  zdata::Report report = readReport(src.path());
  EXPECT_TRUE(has(report, Severity::Error, "world.json", "", "line 2")) << dump(report);
  EXPECT_EQ(pack(src.path(), out / "data").code, 1);
  EXPECT_TRUE(listFolder(out.path()).empty());
}

TEST_F(PackErrors, WrongFormat) {
  world["format"] = "zelvo-world 2";
  expectError("world.json", "format", "must be \"zelvo-world 1\"");
}

TEST_F(PackErrors, NoManifest) {
  zdata::Report report = readReport(src.path());
  EXPECT_TRUE(has(report, Severity::Error, (src / "world.json").string(), "", "no manifest")) << dump(report);
}

TEST_F(PackErrors, ErrorsInIncludedFilesNameThatFile) {
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
}

TEST_F(PackErrors, IncludedPathsAreRelativeToTheirFile) {
  json more = {{"sprites", {{{"id", 77}, {"kind", "scenery"}, {"frames", {"pics/x.png"}}}}}};
  writePlainPng(src / "parts/pics/x.png", 3, 3);
  writeJson(src / "parts/more.json", more);
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
  EXPECT_TRUE(has(report, Severity::Warning, "world.json", "screens[0].objects[1].sprite", "skips"));
  EXPECT_TRUE(has(report, Severity::Warning, "world.json", "screens[0].objects[2].sprite", "ends the list"));
  EXPECT_TRUE(has(report, Severity::Warning, "world.json", "screens[0].objects[3].layer", "above 31"));
  EXPECT_TRUE(has(report, Severity::Warning, "world.json", "sprites[1].kind", "gives no layer"));
  EXPECT_TRUE(has(report, Severity::Warning, "world.json", "artifacts[1].id", "a second artifact with id 50"));
}

}  // namespace
}  // namespace zdtest
