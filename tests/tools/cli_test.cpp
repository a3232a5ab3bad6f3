// cli_test.cpp -- the zelvo-data program: help, usage errors, exit codes, and its four commands.
#include <gtest/gtest.h>

#include "support/golden.h"
#include "world_builder.h"

namespace zdtest {
namespace {

TEST(Cli, HelpForTheProgramAndEveryCommand) {
  ToolRun run = runTool({"--help"});
  EXPECT_EQ(run.code, 0);
  for (const char* command : {"pack", "unpack", "tiled", "check", "info", "render"}) {
    EXPECT_NE(run.out.find(command), std::string::npos) << command;
    ToolRun sub = runTool({command, "--help"});
    EXPECT_EQ(sub.code, 0) << command;
    EXPECT_NE(sub.out.find(std::string("zelvo-data ") + command), std::string::npos) << sub.out;
  }
}

TEST(Cli, PackCheckInfoUnpack) {
  TempDir src, out;
  writeJson(src / "world.json", goodWorld(src.path()));
  ToolRun run = runTool({"pack", src.path(), "-o", (out / "data").string()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_NE(run.out.find("packed 37 images, 2 fonts, 3 sprites, 3 screens, 2 events, 1 artifacts, 1 dialogs"),
            std::string::npos)
      << run.out;
  EXPECT_TRUE(fs::exists(out / "data/main.wav"));
  EXPECT_TRUE(fs::exists(out / "data/ingame.wav"));

  run = runTool({"check", (out / "data").string()});
  EXPECT_EQ(run.code, 0) << run.out;

  run = runTool({"info", (out / "data").string()});
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.out.find("images (37)"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"Brass key\", lying, screen 11"), std::string::npos) << run.out;
  run = runTool({"info", "--json", (out / "data").string()});
  json info = json::parse(run.out);
  EXPECT_EQ(info["sprites"][0]["frames"], 16);
  EXPECT_EQ(info["files"][5]["name"], "map.dat");

  run = runTool({"unpack", (out / "data").string(), "-o", (out / "world").string()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(fs::exists(out / "world/world.json"));
  run = runTool({"unpack", (out / "data").string(), "-o", (out / "world").string()});
  EXPECT_EQ(run.code, 1);
  run = runTool({"unpack", (out / "data").string(), "-o", (out / "world").string(), "--force"});
  EXPECT_EQ(run.code, 0) << run.err;
}

TEST(Cli, UsageErrorsExitWithTwoAndErrorsInTheDataWithOne) {
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"frobnicate"}, {"pack", "world"}, {"check"}, {"check", "a", "b"}, {"unpack", "x", "--bogus"}}) {
    ToolRun run = runTool(args);
    EXPECT_EQ(run.code, 2) << testing::PrintToString(args);
    EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
  }
  TempDir empty, src;
  ToolRun run = runTool({"check", empty.path()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.out.find("error: map.dat: cannot be opened"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("check: 7 errors"), std::string::npos) << run.out;
  writeText(src / "world.json", "{}");
  run = runTool({"pack", src.path(), "-o", (empty / "data").string()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("world.json: the field \"format\" is missing"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(empty / "data"));
}

// The default world, once it is in the tree, packs and checks without errors.
TEST(DefaultWorld, PacksAndChecksClean) {
  fs::path world = fs::path(ZELVO_SOURCE_DIR) / "content/default";
  if (!fs::exists(world / "world.json")) GTEST_SKIP() << "content/default/world.json is not here yet";
  // Not even a warning from its sources: no picture or frame has an opaque bottom-right pixel the
  // game would never draw, no placement the game skips.
  zdata::Report sources = readReport(world);
  EXPECT_EQ(sources.diagnostics().size(), 0u) << dump(sources);
  TempDir out;
  ToolRun run = pack(world, out.path());
  ASSERT_EQ(run.code, 0) << run.err;
  zdata::Report report = checkReport(out.path());
  EXPECT_FALSE(report.hasErrors()) << dump(report);
}

// Screens as the game builds them, events marked, and the map with its bridges and doors.
TEST(Cli, RenderDrawsScreensAndTheMapAsTheGameDoes) {
  TempDir src, out;
  writeJson(src / "world.json", goodWorld(src.path()));
  ASSERT_EQ(runTool({"pack", src.path(), "-o", (out / "data").string()}).code, 0);
  ToolRun run = runTool({"render", (out / "data").string(), "-o", out.path()});
  ASSERT_EQ(run.code, 0) << run.err;
  EXPECT_EQ(run.out, "rendered 3 screens and the world map (1 doors) into " + out.path() + "\n");
  testing_support::ExpectGoldenPictures(out, {"world", "screen-001", "screen-011"}, "render");
  run = runTool({"render", src.path(), "-o", out.path()});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("does not load; nothing rendered"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace zdtest
