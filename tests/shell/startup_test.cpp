// startup_test.cpp -- the start-up sequence, its failures and the shutdown, run through zelvo-sim.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/data_builder.h"
#include "support/golden.h"
#include "support/testing.h"

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::RunSim;
using testing_support::TempDir;

TEST(Startup, RunsToTheCloseRequestOrEndsAtAFailingStepWithExitCodeZeroAndNoShutdown) {
  // The options of each run, "installed" when the data files are there (but for dialogs.dat with
  // "no dialogs"), "running" when log.txt is the running copy's; what zelvo-sim prints (the message
  // boxes) and log.txt, or that there is none, are the golden text.
  const std::vector<std::string> runs[] = {
      // A close request ends the program through WM_DESTROY and WM_QUIT; no settings file is no failure.
      {"installed", "--seconds", "100", "--script", "focus and close"},
      {"installed", "--seconds", "4", "--memory", "10485760"},
      // The log is not open yet when memory is checked, so nothing is written anywhere.
      {"installed", "--seconds", "4", "--memory", "10485759"},
      {"--no-counter"},
      {"--no-window"},
      // Displays the game cannot draw on: each refusal logged, then one message box.
      {"--display", "none"},
      {"--display", "dram"},
      {"--screen", "239x320"},
      {"--screen", "320x239", "--display", "gapi565"},
      {"--bpp", "8"},
      {"--display", "rawother", "--bpp", "32"},
      {"running", "--instance-running"},
      {"installed", "no dialogs", "--seconds", "5"},
  };
  std::string text;
  for (const auto& run : runs) {
    TempDir dir;
    std::vector<std::string> args = {"--app-dir", dir.path()};
    text += "---";
    for (const std::string& option : run) {
      text += " " + option;
      if (option == "installed")
        data_builder::WriteAll(dir.path(), data_builder::SmallWorld());
      else if (option == "no dialogs")
        std::remove(dir.file("dialogs.dat").c_str());
      else if (option == "running")
        testing_support::WriteFile(dir.file("log.txt"), "\nStarting up\n\nthe running copy's log\n");
      else if (option != "focus and close")
        args.push_back(option);
      else {
        testing_support::WriteFile(dir.file("s.txt"), "1.0 focus lost\n1.5 focus gained\n3.5 close\n");
        args.push_back(dir.file("s.txt"));
      }
    }
    auto result = RunSim(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_FALSE(FileExists(dir.file("settings.dat")));
    text += "\n" + result.out +
            (FileExists(dir.file("log.txt")) ? "log.txt:" + ReadFile(dir.file("log.txt")) : "no log.txt\n");
  }
  testing_support::ExpectGoldenText(text, "startup/runs.txt");
}

TEST(Startup, AFileThatIsNotARegularFileFailsExactlyLikeAMissingOne) {
  const auto kinds = testing_support::NotRegularFiles();
  for (const char* name : {"sprites.dat", "events.dat", "art.dat", "fonts.dat", "images.dat", "map.dat",
                           "dialogs.dat", "settings.dat"}) {
    testing_support::SimResult missing;
    std::string missingLog;
    for (int kind = -1; kind < static_cast<int>(kinds.size()); ++kind) {
      SCOPED_TRACE(std::string(name) + " as " + (kind < 0 ? "nothing" : kinds[kind].name));
      TempDir dir;
      data_builder::WriteAll(dir.path(), data_builder::SmallWorld());
      std::filesystem::remove(dir.file(name));
      if (kind >= 0) kinds[kind].make(dir.file(name));
      auto run = RunSim({"--app-dir", dir.path(), "--seconds", "2"});
      const std::string log = ReadFile(dir.file("log.txt"));
      if (kind < 0) {
        // Without settings.dat the game runs on its defaults; without a data file it stops.
        const bool settings = std::string(name) == "settings.dat";
        EXPECT_EQ(run.out.find("message box: Error: Failed to load game data.") != std::string::npos, !settings);
        EXPECT_NE(log.find(settings ? "Exiting" : "Failed to load game data"), std::string::npos) << log;
        missing = run, missingLog = log;
        continue;
      }
      EXPECT_EQ(run.exitCode, missing.exitCode) << run.err;
      EXPECT_EQ(run.out, missing.out);
      EXPECT_EQ(log, missingLog);
    }
  }
}

// The help, then bad options and a bad script refused before anything runs: what zelvo-sim says is golden.
TEST(Startup, ZelvoSimNamesItsOptionsAndRejectsBadOnesAndScriptsBeforeRunning) {
  TempDir dir;
  testing_support::WriteFile(dir.file("s.txt"), "# a comment\n1.0 key down left\n2.0 jump\n");
  std::string text;
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"},
                                             {"--app-dir", dir.path(), "--script", dir.file("s.txt")},
                                             {"--app-dir", dir.path(), "--default-keys", "1,2,3"},
                                             {"--app-dir", dir.path(), "--screen", "wide"},
                                             {"--app-dir", dir.file("nowhere")}}) {
    auto run = RunSim(args);
    text += "--- " + args.back() + ": exit " + std::to_string(run.exitCode) + "\n" + run.out + run.err;
  }
  const size_t usage = text.find("Usage:");  // names the program by its path on this machine
  text.erase(usage, text.find('\n', usage) - usage);
  for (size_t at; (at = text.find(dir.path())) != std::string::npos;) text.replace(at, dir.path().size(), "APP");
  testing_support::ExpectGoldenText(text, "startup/options.txt");
  EXPECT_FALSE(FileExists(dir.file("log.txt")));
}
