// cli_test.cpp -- the zelvo-data program: help, usage errors, exit codes and its commands, as a golden
// transcript of every run (its words, its output and what it left in the folders, "ls" in the table).
#include <gtest/gtest.h>

#include "support/golden.h"
#include "world_builder.h"

namespace zdtest {
namespace {

TEST(Cli, EveryCommandItsHelpUsageErrorsAndExitCodesAsAGoldenTranscript) {
  TempDir src, out, empty, bad;
  writeJson(src / "world.json", goodWorld(src.path()));
  writeFile(bad / "world.json", "{}");
  writeFile(out / "world/mine.txt", "keep me");
  const std::string data = (out / "data").string(), world = (out / "world").string();
  const std::string defaultWorld = (fs::path(ZELVO_SOURCE_DIR) / "content/default").string();
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
      // Unpack never writes into a folder it may not replace, nor for data the game cannot load;
      // --force replaces the folder whole and leaves no temporary folders.
      {"unpack", data, "-o", world},
      {"ls", world},
      {"unpack", empty.path(), "-o", (out / "v").string()},
      {"unpack", data, "-o", world, "--force"},
      {"ls", out.path()},
      // The default world packs and checks clean, not even a warning from its sources: no picture or
      // frame has an opaque bottom-right pixel the game would never draw, no placement the game skips.
      {"pack", defaultWorld, "-o", (out / "default").string()},
      {"check", (out / "default").string()},
      // Screens as the game builds them, events marked, and the map with its bridges and doors.
      {"render", data, "-o", out.path()},
      {"render", src.path(), "-o", out.path()}};
  std::string text;
  for (const auto& args : runs) {
    ToolRun run;
    if (!args.empty() && args[0] == "ls")
      for (const std::string& name : listFolder(args[1])) run.out += name + "\n";
    else
      run = runTool(args);
    text += "$ zelvo-data";
    for (const std::string& arg : args) text += " " + arg;
    text += "\n" + run.out + run.err + "exit " + std::to_string(run.code) + "\n";
  }
  for (const fs::path& folder : {out / "data", out / "world", out / "default", empty / "data"})
    text += listing(folder, folder.string());
  for (const auto& [dir, word] : {std::pair{&src, "SRC"}, {&out, "OUT"}, {&empty, "EMPTY"}, {&bad, "BAD"}})
    text = namedPath(text, dir->path(), word);
  text = namedPath(text, defaultWorld, "DEFAULT");
  testing_support::ExpectGoldenText(text, "tools/cli.txt");
  testing_support::ExpectGoldenPictures(out, {"world", "screen-001", "screen-011"}, "render");
}

}  // namespace
}  // namespace zdtest
