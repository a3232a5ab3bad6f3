// tiled_test.cpp -- zelvo-data tiled: screens as Tiled maps that pack to the same bytes, after Tiled too.
#include <gtest/gtest.h>

#include <functional>

#include "support/golden.h"
#include "world_builder.h"

namespace zdtest {
namespace {

// Screens at the grid's four corners and an empty one, layer overrides, an event placed twice on a
// screen and again elsewhere, an animated sprite, an artifact lying on a screen.
json oddWorld(const fs::path& dir) {
  json world = goodWorld(dir);
  world["screens"] = fixture("tiled-screens.json");
  world["artifacts"][0]["screen"] = 1;
  return world;
}

// The world's screens as Tiled files under maps/, which the manifest then names in place of its screens.
void switchToTiled(const fs::path& dir) {
  ToolRun run = tiled(dir, dir / "maps");
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("\"tiled\": \"maps/world.world\""), std::string::npos) << run.out;
  json manifest = readJson(dir / "world.json");
  manifest.erase("screens");
  manifest["tiled"] = "maps/world.world";
  writeJson(dir / "world.json", manifest);
}

json defaultWorld(const fs::path& dir) {
  const fs::path world = fs::path(ZELVO_SOURCE_DIR) / "content/default";
  for (const char* part : {"images", "fonts", "sprites"})
    fs::copy(world / part, dir / part, fs::copy_options::recursive);
  json manifest = readJson(world / "world.json");
  manifest.erase("music");
  // The adventure's include folded in: Tiled maps replace a manifest's screens, and these are there.
  for (const json& name : manifest.value("include", json::array())) {
    const json included = readJson(world / name.get<std::string>());
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
  EXPECT_TRUE(folderFiles(before.path()) == folderFiles(after.path()));
}

TEST(Tiled, TheDefaultAndAnOddWorldPackToTheSameBytesFromTiledMapsAlsoResavedByTiled) {
  for (bool resave : {false, true}) {
    if (resave && testing_support::kCrossBuilt) break;  // Tiled is a program of the build machine
    expectSameBytesThroughTiled(defaultWorld, resave);
    expectSameBytesThroughTiled(oddWorld, resave);
  }
  // A data folder gives the same Tiled files as the sources it was packed from.
  TempDir src, data, fromSources, fromData;
  writeJson(src / "world.json", oddWorld(src.path()));
  ASSERT_EQ(pack(src.path(), data.path()).code, 0);
  ASSERT_EQ(tiled(src.path(), fromSources.path()).code, 0);
  ASSERT_EQ(tiled(data.path(), fromData.path()).code, 0);
  EXPECT_EQ(listFolder(fromSources / "sprites"), listFolder(fromData / "sprites"));
  EXPECT_TRUE(folderFiles(fromSources.path()) == folderFiles(fromData.path()));
  // Tile objects hang from their bottom-left corner: sprite 10 (20 x 5) placed at (0, 170).
  EXPECT_EQ(readJson(fromSources / "screen-001.tmj")["layers"][1]["objects"][0]["y"], 175);
  EXPECT_EQ(readJson(fromSources / "world.world")["maps"][4],
            json::parse(R"({"fileName": "screen-100.tmj", "x": 1890, "y": 1710, "width": 210, "height": 190})"));
}

TEST(Tiled, WhatAScreenCannotHoldIsAnErrorNamingTheMapAndTheObject) {
  // Changes to a file of the world switched to Tiled, as [JSON pointer, value] pairs (see patched).
  const json changes = json::parse(R"([
    ["world.json", [["/sprites/2", null]]],
    ["maps/screen-001.tmj", [["/layers/1/objects/0/x", 210.4]]],
    ["maps/screen-001.tmj", [["/layers/1/objects",
                              {"repeat": 65, "of": {"gid": 11, "x": 0, "y": 180, "width": 20, "height": 5}}]]],
    ["maps/screen-001.tmj", [["/layers/3/objects",
                              {"repeat": 17, "of": {"x": 0, "y": 0, "properties": [{"name": "event", "value": 2}]}}]]]
  ])");
  std::string text;
  for (const json& change : changes) {
    TempDir dir;
    writeJson(dir / "world.json", oddWorld(dir.path()));
    switchToTiled(dir.path());
    const fs::path file = dir / change[0].get<std::string>();
    writeJson(file, patched(readJson(file), change[1]));
    text += dump(readReport(dir.path()));
  }
  // And the tool does not write a placement a map cannot hold.
  TempDir dir;
  json world = oddWorld(dir.path());
  world["screens"][0]["objects"][0]["x"] = 300;
  writeJson(dir / "world.json", world);
  const ToolRun run = tiled(dir.path(), dir / "maps");
  text += run.err + "tiled: " + std::to_string(run.code) + (fs::exists(dir / "maps") ? ", maps written\n" : "\n");
  testing_support::ExpectGoldenText(text, "tools/tiled-errors.txt");
}

TEST(Tiled, TheProjectPlaysTheOpenMapInZelvoAndChecksTheWorldWithProgramsBesideTheTool) {
  TempDir dir;
  writeJson(dir / "world.json", goodWorld(dir.path()));
  ASSERT_EQ(runTool({"tiled", dir.path(), "-o", (dir / "maps").string()}).code, 0);
  const json commands = readJson(dir / "maps/zelvo.tiled-project")["commands"];
  ASSERT_EQ(commands.size(), 2u);
  const std::string world = "\"" + fs::path(dir.path()).lexically_normal().string() + "\"";
  EXPECT_EQ(commands[0]["name"].get<std::string>() + ": " + commands[0]["arguments"].get<std::string>(),
            "Play this screen in Zelvo: --world " + world + " --start-screen \"%mapfile\" --watch");
  EXPECT_EQ(commands[1]["name"].get<std::string>() + ": " + commands[1]["arguments"].get<std::string>(),
            "Check the world: check " + world);
  for (const json& command : commands) EXPECT_TRUE(fs::is_regular_file(command["command"].get<std::string>())) << command;
}

}  // namespace
}  // namespace zdtest
