// cli_test.cpp -- the zelvo-data program: help, usage errors, exit codes and its commands, as a golden
// transcript of every run (its words, its output and what it left in the folders).
#include <gtest/gtest.h>

#include "support/golden.h"
#include "world_builder.h"

namespace zdtest {
namespace {

TEST(Cli, EveryCommandItsHelpUsageErrorsAndExitCodesAsAGoldenTranscript) {
  TempDir src, out, empty, bad;
  writeJson(src / "world.json", goodWorld(src.path()));
  writeText(bad / "world.json", "{}");
  const std::string data = (out / "data").string(), world = (out / "world").string();
  const std::vector<std::vector<std::string>> runs = {
      {"--help"},
      {"pack", "--help"},
      {"unpack", "--help"},
      {"tiled", "--help"},
      {"check", "--help"},
      {"info", "--help"},
      {"render", "--help"},
      // Usage errors exit with 2, errors in the data with 1.
      {},
      {"frobnicate"},
      {"pack", "world"},
      {"check"},
      {"check", "a", "b"},
      {"unpack", "x", "--bogus"},
      {"check", empty.path()},
      {"pack", bad.path(), "-o", (empty / "data").string()},
      {"pack", src.path(), "-o", data},
      {"check", data},
      {"info", data},
      {"info", "--json", data},
      {"unpack", data, "-o", world},
      {"unpack", data, "-o", world},
      {"unpack", data, "-o", world, "--force"},
      // Screens as the game builds them, events marked, and the map with its bridges and doors.
      {"render", data, "-o", out.path()},
      {"render", src.path(), "-o", out.path()}};
  std::string text;
  for (const auto& args : runs) {
    const ToolRun run = runTool(args);
    text += "$ zelvo-data";
    for (const std::string& arg : args) text += " " + arg;
    text += "\n" + run.out + run.err + "exit " + std::to_string(run.code) + "\n";
  }
  for (const fs::path& folder : {out / "data", out / "world", empty / "data"}) {
    text += folder.string() + ":";
    for (const std::string& name : listFolder(folder)) text += " " + name;
    text += "\n";
  }
  for (const auto& [dir, word] : {std::pair{&src, "SRC"}, {&out, "OUT"}, {&empty, "EMPTY"}, {&bad, "BAD"}})
    text = namedPath(text, dir->path(), word);
  testing_support::ExpectGoldenText(text, "tools/cli.txt");
  testing_support::ExpectGoldenPictures(out, {"world", "screen-001", "screen-011"}, "render");
}

// The default world packs and checks clean, and not even a warning from its sources: no picture or
// frame has an opaque bottom-right pixel the game would never draw, no placement the game skips.
TEST(DefaultWorld, PacksAndChecksClean) {
  const fs::path world = fs::path(ZELVO_SOURCE_DIR) / "content/default";
  EXPECT_EQ(dump(readReport(world)), "report: 0 errors, 0 warnings\n");
  TempDir out;
  ToolRun run = pack(world, out.path());
  ASSERT_EQ(run.code, 0) << run.err;
  zdata::Report report = checkReport(out.path());
  EXPECT_FALSE(report.hasErrors()) << dump(report);
}

}  // namespace
}  // namespace zdtest
