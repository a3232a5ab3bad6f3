// cli_test.cpp -- the zelvo-data program: help, usage errors, exit codes and its commands, as a golden
// transcript of every run in worlds/cli.json (its words, its output and what it left in the folders).
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
  const std::string defaultWorld = (fs::path(ZELVO_SOURCE_DIR) / "content/default").string();
  const std::map<std::string, std::string> folders = {{"SRC", src.path()},
                                                      {"OUT", out.path()},
                                                      {"EMPTY", empty.path()},
                                                      {"BAD", bad.path()},
                                                      {"DEFAULT", defaultWorld}};
  std::string text;
  for (const json& run : fixture("cli.json")) {
    std::vector<std::string> args;
    text += "$ zelvo-data";
    for (const std::string word : run) {
      text += " " + word;
      const std::size_t slash = word.find('/');
      const auto folder = folders.find(word.substr(0, slash));
      args.push_back(folder == folders.end()      ? word
                     : slash == std::string::npos ? folder->second
                                                  : (fs::path(folder->second) / word.substr(slash + 1)).string());
    }
    ToolRun ran;
    if (!args.empty() && args[0] == "ls")
      for (const std::string& name : listFolder(args[1])) ran.out += name + "\n";
    else
      ran = runTool(args);
    text += "\n" + ran.out + ran.err + "exit " + std::to_string(ran.code) + "\n";
  }
  for (const auto& [word, path] : folders) text = namedPath(text, path, word);
  testing_support::ExpectGoldenText(text, "tools/cli.txt");
  testing_support::ExpectGoldenPictures(out, {"world", "screen-001", "screen-011"}, "render");
}

}  // namespace
}  // namespace zdtest
