// tiled_test.cpp -- zelvo-data tiled: screens as Tiled maps that pack to the same bytes, after Tiled too.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "commands.h"
#include "world_builder.h"

namespace zdtest {
namespace {

// Screens at the grid's four corners and an empty one, layer overrides, an event placed twice on a
// screen and again elsewhere, an animated sprite, an artifact lying on a screen.
json oddWorld(const fs::path& dir) {
  json world = goodWorld(dir);
  world["screens"] = json::parse(R"([
    {"number": 1, "objects": [{"sprite": 10, "x": 0, "y": 170}, {"sprite": 50, "x": 209, "y": 189, "layer": 261}],
     "events": [{"event": 1, "x": 60, "y": 150}, {"event": 1, "x": 0, "y": 0}]},
    {"number": 10, "events": [{"event": 2, "x": 180, "y": 130}]},
    {"number": 91, "objects": [{"sprite": 3, "x": 5, "y": 6, "layer": 16}]},
    {"number": 100, "objects": [{"sprite": 10, "x": 0, "y": 170, "layer": 1}], "events": [{"event": 1, "x": 1, "y": 2}]},
    {"number": 55}])");
  world["artifacts"][0]["screen"] = 1;
  return world;
}

ToolRun tiled(const fs::path& world, const fs::path& out) {
  std::ostringstream o, e;
  int code = zdata::tiledCommand(world, out, {}, {o, e});
  return {code, o.str(), e.str()};
}

// The world's screens as Tiled files under maps/, which the manifest then names in place of its screens.
void switchToTiled(const fs::path& dir) {
  ToolRun run = tiled(dir, dir / "maps");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"tiled\": \"maps/world.world\""), std::string::npos) << run.out;
  Bytes text = readFile(dir / "world.json");
  json manifest = json::parse(text.begin(), text.end(), nullptr, true, true);
  manifest.erase("screens");
  manifest["tiled"] = "maps/world.world";
  writeJson(dir / "world.json", manifest);
}

json defaultWorld(const fs::path& dir) {
  const fs::path world = fs::path(ZELVO_SOURCE_DIR) / "content/default";
  for (const char* part : {"images", "fonts", "sprites"})
    fs::copy(world / part, dir / part, fs::copy_options::recursive);
  Bytes text = readFile(world / "world.json");
  json manifest = json::parse(text.begin(), text.end(), nullptr, true, true);
  manifest.erase("music");
  // The adventure's include folded in: Tiled maps replace a manifest's screens, and these are there.
  for (const json& name : manifest.value("include", json::array())) {
    Bytes part = readFile(world / name.get<std::string>());
    json included = json::parse(part.begin(), part.end(), nullptr, true, true);
    for (auto it = included.begin(); it != included.end(); ++it)
      if (it->is_array())
        for (const json& entry : *it) manifest[it.key()].push_back(entry);
  }
  manifest.erase("include");
  return manifest;
}

// Packs the world, switches it to Tiled maps (re-saved by Tiled itself when asked), packs again.
void expectSameBytesThroughTiled(const std::function<json(const fs::path&)>& makeWorld, bool resaveInTiled) {
  TempDir dir, before, after;
  writeJson(dir / "world.json", makeWorld(dir.path()));
  ASSERT_EQ(pack(dir.path(), before.path()).code, 0);
  switchToTiled(dir.path());
  for (const auto& name : listFolder(dir / "maps")) {
    if (!resaveInTiled || fs::path(name).extension() != ".tmj") continue;
    const std::string map = (dir / "maps" / name).string();
    auto run =
        testing_support::RunProgram("env", {"QT_QPA_PLATFORM=offscreen", "tiled", "--export-map", "json", map, map});
    ASSERT_NE(run.exitCode, 127) << "tiled is not installed (scripts/setup-deps --test installs it): " << run.err;
    ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
  }
  ToolRun run = pack(dir.path(), after.path());
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(dataFiles(before.path()) == dataFiles(after.path()));
}

TEST(Tiled, TheDefaultAndAnOddWorldPackToTheSameBytesFromTiledMaps) {
  expectSameBytesThroughTiled(defaultWorld, false);
  expectSameBytesThroughTiled(oddWorld, false);
  // A data folder gives the same Tiled files as the sources it was packed from.
  TempDir src, data, fromSources, fromData;
  writeJson(src / "world.json", oddWorld(src.path()));
  ASSERT_EQ(pack(src.path(), data.path()).code, 0);
  ASSERT_EQ(tiled(src.path(), fromSources.path()).code, 0);
  ASSERT_EQ(tiled(data.path(), fromData.path()).code, 0);
  EXPECT_EQ(listFolder(fromSources / "sprites"), listFolder(fromData / "sprites"));
  for (const auto& name : listFolder(fromSources.path())) {
    if (name != "sprites") {
      EXPECT_TRUE(readFile(fromSources / name) == readFile(fromData / name)) << name;
    }
  }
  // Tile objects hang from their bottom-left corner: sprite 10 (20 x 5) placed at (0, 170).
  Bytes text = readFile(fromSources / "screen-001.tmj");
  EXPECT_EQ(json::parse(text.begin(), text.end())["layers"][1]["objects"][0]["y"], 175);
  text = readFile(fromSources / "world.world");
  EXPECT_EQ(json::parse(text.begin(), text.end())["maps"][4],
            json::parse(R"({"fileName": "screen-100.tmj", "x": 1890, "y": 1710, "width": 210, "height": 190})"));
}

TEST(Tiled, MapsResavedByTiledItselfStillPackToTheSameBytes) {
  if (testing_support::kCrossBuilt) GTEST_SKIP() << "Tiled is a program of the build machine, not of this one";
  expectSameBytesThroughTiled(defaultWorld, true);
  expectSameBytesThroughTiled(oddWorld, true);
}

TEST(Tiled, WhatAScreenCannotHoldIsAnErrorNamingTheMapAndTheObject) {
  using Patch = std::function<void(json & map, json & manifest)>;
  const json extra = {{"gid", 11}, {"x", 0}, {"y", 180}, {"width", 20}, {"height", 5}};
  const json extraEvent = {{"x", 0}, {"y", 0}, {"properties", {{{"name", "event"}, {"value", 2}}}}};
  const struct {
    Patch patch;
    std::string record, message;
  } rows[] = {
      {[](json&, json& manifest) { manifest["sprites"].erase(2); }, "layer \"objects\": object 2",
       "sprite 50 is not in the world"},
      {[](json& map, json&) { map["layers"][1]["objects"][0]["x"] = 210.4; }, "layer \"objects\": object 1",
       "its top-left corner (210, 170) is off the screen"},
      {[&](json& map, json&) {
         map["layers"][1]["objects"] = json::array();
         for (int i = 0; i < 65; ++i) map["layers"][1]["objects"].push_back(extra);
       },
       "layer \"objects\"", "65 objects; a screen holds at most 64"},
      {[&](json& map, json&) {
         for (int i = 0; i < 15; ++i) map["layers"][3]["objects"].push_back(extraEvent);
       },
       "layer \"events\"", "17 event placements; a screen holds at most 16"},
  };
  for (const auto& row : rows) {
    TempDir dir;
    writeJson(dir / "world.json", oddWorld(dir.path()));
    switchToTiled(dir.path());
    Bytes text = readFile(dir / "maps/screen-001.tmj");
    json map = json::parse(text.begin(), text.end());
    text = readFile(dir / "world.json");
    json manifest = json::parse(text.begin(), text.end());
    row.patch(map, manifest);
    writeJson(dir / "maps/screen-001.tmj", map);
    writeJson(dir / "world.json", manifest);
    expectReported(readReport(dir.path()), {{zdata::Severity::Error, "maps/screen-001.tmj", row.record, row.message}});
  }
  // And the tool does not write a placement a map cannot hold.
  TempDir dir;
  json world = oddWorld(dir.path());
  world["screens"][0]["objects"][0]["x"] = 300;
  writeJson(dir / "world.json", world);
  ToolRun run = tiled(dir.path(), dir / "maps");
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("world.json: screen 1: objects[0]: (300, 170) is off the screen"), std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(dir / "maps"));
}

}  // namespace
}  // namespace zdtest
