// startup_test.cpp -- the start-up sequence, its failures and the shutdown, run through zelvo-sim.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/data_builder.h"
#include "support/testing.h"

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::RunSim;
using testing_support::TempDir;
using testing_support::WriteFile;

TEST(Startup, RunsToTheCloseRequestOrEndsAtAFailingStepWithExitCodeZeroAndNoShutdown) {
  struct Run {
    const char* what;
    std::vector<std::string> options;
    bool installed;     // the data files are there
    const char* before;  // log.txt before the run, or null
    const char* out;     // what zelvo-sim prints: the message boxes
    std::string log;     // log.txt afterwards ("..." stands for any lines); empty: there is none
    const char* script = "";
  };
  const std::string gfx = "\nStarting up\nGfxInit\n\nDevice: [240x320x16][240x320] (2,480), GAPI: no\n";
  const char* const running = "\nStarting up\n\nthe running copy's log\n";
  const Run runs[] = {
      // A close request ends the program through WM_DESTROY and WM_QUIT; no settings file is no failure.
      {"close", {"--seconds", "100"}, true, nullptr, "", "\nStarting up\n...\nExiting\n", "3.5 close\n"},
      {"exactly 10 MiB", {"--seconds", "4", "--memory", "10485760"}, true, nullptr, "", "\nStarting up\n...\nExiting\n"},
      // The log is not open yet when memory is checked, so nothing is written anywhere.
      {"a byte less", {"--seconds", "4", "--memory", "10485759"}, true, nullptr,
       "message box: Error: Not enough free memory.\\nFree up some memory by closing other applications and try "
       "again.\n",
       ""},
      {"no counter", {"--no-counter"}, false, nullptr, "", gfx + "\nNo performance counter\n\nTimerInit failed\n"},
      {"no window", {"--no-window"}, false, nullptr, "", "\nStarting up\n"},
      {"a second copy", {"--instance-running"}, false, running, "", running},
  };
  for (const Run& run : runs) {
    SCOPED_TRACE(run.what);
    TempDir dir;
    if (run.installed) data_builder::WriteAll(dir.path(), data_builder::SmallWorld());
    if (run.before) WriteFile(dir.file("log.txt"), run.before);
    std::vector<std::string> args = {"--app-dir", dir.path()};
    args.insert(args.end(), run.options.begin(), run.options.end());
    auto result = RunSim(args, run.script);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, run.out);
    EXPECT_EQ(FileExists(dir.file("log.txt")), !run.log.empty());
    const std::string log = ReadFile(dir.file("log.txt"));
    const size_t any = run.log.find("...");
    if (any == std::string::npos) {
      EXPECT_EQ(log, run.log);
    } else {
      EXPECT_EQ(log.rfind(run.log.substr(0, any), 0), 0u) << log;
      EXPECT_TRUE(log.size() >= run.log.size() - 3 && log.substr(log.size() - (run.log.size() - any - 3)) ==
                                                            run.log.substr(any + 3)) << log;
    }
    EXPECT_EQ(log.find("settings"), std::string::npos);
    EXPECT_FALSE(FileExists(dir.file("settings.dat")));
  }
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

TEST(Startup, ZelvoSimRejectsBadOptionsAndScriptsBeforeRunning) {
  TempDir dir;
  auto help = RunSim({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--app-dir", "--script", "--seconds", "--seed", "--memory", "--screen", "--counter-hz",
                             "--no-counter", "--display", "--bpp", "--instance-running", "--no-window", "--no-speaker",
                             "--default-keys", "--screenshot", "--kill-at", "T tap X Y"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;

  auto script = RunSim({"--app-dir", dir.path()}, "# a comment\n1.0 key down left\n2.0 jump\n");
  EXPECT_EQ(script.exitCode, 2);
  EXPECT_NE(script.err.find("script.txt:3: unknown event 'jump'"), std::string::npos) << script.err;
  EXPECT_FALSE(FileExists(dir.file("log.txt")));

  auto keys = RunSim({"--app-dir", dir.path(), "--default-keys", "1,2,3"});
  EXPECT_EQ(keys.exitCode, 2);
  EXPECT_NE(keys.err.find("--default-keys"), std::string::npos);
  auto screen = RunSim({"--app-dir", dir.path(), "--screen", "wide"});
  EXPECT_EQ(screen.exitCode, 2);
  auto missing = RunSim({"--app-dir", dir.file("nowhere")});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("is not a folder"), std::string::npos);
}

TEST(Startup, TheSameScriptGivesTheSameLogAndPictures) {
  const std::string script =
      "0.5 tap 120 160\n1.0 key down left\n1.2 key up left\n1.5 focus lost\n2.0 focus gained\n"
      "6.0 close\n";
  TempDir first, second;
  for (const TempDir* dir : {&first, &second}) {
    data_builder::WriteAll(dir->path(), data_builder::SmallWorld());
    auto result = RunSim({"--app-dir", dir->path(), "--seconds", "30", "--screenshot", "1:" + dir->file("b.png"),
                          "--seed", "7"},
                         "4.0 shot " + dir->file("a.png") + "\n" + script);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(FileExists(dir->file("a.png")));
    EXPECT_TRUE(FileExists(dir->file("b.png")));
  }
  EXPECT_EQ(ReadFile(first.file("log.txt")), ReadFile(second.file("log.txt")));
  EXPECT_EQ(ReadFile(first.file("a.png")), ReadFile(second.file("a.png")));
  EXPECT_EQ(ReadFile(first.file("b.png")), ReadFile(second.file("b.png")));
}
