// startup_test.cpp -- the start-up sequence, its failures and the shutdown, run through zelvo-sim.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "support/data_builder.h"
#include "support/testing.h"

using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::RunSim;
using testing_support::TempDir;

TEST(Startup, RunsToTheCloseRequestOrEndsAtAFailingStepWithExitCodeZeroAndNoShutdown) {
  struct Run {
    std::vector<std::string> options;
    bool installed;      // the data files are there (but for dialogs.dat when "no dialogs")
    const char* before;  // log.txt before the run, or null
    std::string out;     // what zelvo-sim prints: the message boxes
    std::string log;     // log.txt's first lines, "..." and its last ones; empty: there is none
    const char* script = "";
  };
  const std::string gfx = "\nStarting up\nGfxInit\n\nDevice: [240x320x16][240x320] (2,480), GAPI: no\n";
  const std::string unsupported = "message box: Error: This device is not supported.\n";
  const char* const running = "\nStarting up\n\nthe running copy's log\n";
  const Run runs[] = {
      // A close request ends the program through WM_DESTROY and WM_QUIT; no settings file is no failure.
      {{"--seconds", "100"}, true, nullptr, "", "\nStarting up\n...\nExiting\n", "1.0 focus lost\n1.5 focus gained\n3.5 close\n"},
      {{"--seconds", "4", "--memory", "10485760"}, true, nullptr, "", "\nStarting up\n...\nExiting\n"},
      // The log is not open yet when memory is checked, so nothing is written anywhere.
      {{"--seconds", "4", "--memory", "10485759"}, true, nullptr,
       "message box: Error: Not enough free memory.\\nFree up some memory by closing other applications and try again.\n", ""},
      {{"--no-counter"}, false, nullptr, "", gfx + "\nNo performance counter\n\nTimerInit failed\n"},
      {{"--no-window"}, false, nullptr, "", "\nStarting up\n"},
      // Displays the game cannot draw on: each refusal logged, then one message box.
      {{"--display", "none"}, false, nullptr, unsupported,
       "\nStarting up\nGfxInit\n\nDisplay with BPP 16 and GAPI ffFormat 32 not supported\nDisplay not supported(1)\n\nGfxInit failed\n"},
      {{"--display", "dram"}, false, nullptr, unsupported, "\nStarting up\nGfxInit\n\nDevice is not QVGA\nDisplay not supported(1)\n\nGfxInit failed\n"},
      {{"--screen", "239x320"}, false, nullptr, unsupported, "\nStarting up\nGfxInit\nDisplay not supported(2)\n\nGfxInit failed\n"},
      {{"--screen", "320x239", "--display", "gapi565"}, false, nullptr, unsupported, "\nStarting up\nGfxInit\nDisplay not supported(2)\n\nGfxInit failed\n"},
      {{"--bpp", "8"}, false, nullptr, unsupported,
       "\nStarting up\nGfxInit\n\nDevice: [240x320x8][240x320] (2,480), GAPI: no\nDisplay not supported(4)\n\nGfxInit failed\n"},
      {{"--display", "rawother", "--bpp", "32"}, false, nullptr, unsupported,
       "\nStarting up\nGfxInit\n\nDevice: [240x320x32][240x320] (2,480), GAPI: yes\nDisplay not supported(4)\n\nGfxInit failed\n"},
      {{"--instance-running"}, false, running, "", running},
      {{"--seconds", "5", "no dialogs"}, true, nullptr,
       "message box: Error: Failed to load game data.\\nReinstall the application.\n",
       gfx + "...\nLoaded 2 fonts.\n\nLoaded 2 images.\n\nLoaded 1 screens.\n\nFailed to open dialogs.dat\n\nFailed to load game data\n"},
  };
  for (const Run& run : runs) {
    SCOPED_TRACE(run.options[0]);
    TempDir dir;
    if (run.installed) data_builder::WriteAll(dir.path(), data_builder::SmallWorld());
    if (run.before) testing_support::WriteFile(dir.file("log.txt"), run.before);
    std::vector<std::string> args = {"--app-dir", dir.path()};
    for (const std::string& option : run.options)
      if (option == "no dialogs") std::remove(dir.file("dialogs.dat").c_str());
      else args.push_back(option);
    auto result = RunSim(args, run.script);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, run.out);
    EXPECT_EQ(FileExists(dir.file("log.txt")), !run.log.empty());
    const std::string log = ReadFile(dir.file("log.txt"));
    const size_t any = run.log.find("...");
    const std::string head = run.log.substr(0, any), tail = any == std::string::npos ? "" : run.log.substr(any + 3);
    EXPECT_EQ(log.substr(0, head.size()), head) << log;
    EXPECT_EQ(log.size() >= tail.size() ? log.substr(log.size() - tail.size()) : log, tail) << log;
    if (any == std::string::npos) {
      EXPECT_EQ(log, run.log);
    }
    EXPECT_EQ(log.find("settings"), std::string::npos);
    EXPECT_FALSE(FileExists(dir.file("settings.dat")));
  }
}

TEST(Startup, AFileThatIsNotARegularFileFailsExactlyLikeAMissingOne) {
  namespace fs = std::filesystem;
  const std::pair<const char*, std::function<void(const std::string&)>> kinds[] = {
      {"a folder", [](const std::string& path) { fs::create_directory(path); }},
      {"a device", [](const std::string& path) { fs::create_symlink("/dev/zero", path); }},
      {"a FIFO", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }},
      {"a broken link", [](const std::string& path) { fs::create_symlink(path + ".gone", path); }},
  };
  for (const char* name : {"sprites.dat", "events.dat", "art.dat", "fonts.dat", "images.dat", "map.dat",
                           "dialogs.dat", "settings.dat"}) {
    testing_support::SimResult missing;
    std::string missingLog;
    for (int kind = -1; kind < 4; ++kind) {
      SCOPED_TRACE(std::string(name) + " as " + (kind < 0 ? "nothing" : kinds[kind].first));
      TempDir dir;
      data_builder::WriteAll(dir.path(), data_builder::SmallWorld());
      fs::remove(dir.file(name));
      if (kind >= 0) kinds[kind].second(dir.file(name));
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

TEST(Startup, ZelvoSimNamesItsOptionsAndRejectsBadOnesAndScriptsBeforeRunning) {
  TempDir dir;
  auto help = RunSim({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--app-dir", "--script", "--seconds", "--seed", "--memory", "--screen", "--counter-hz",
                             "--no-counter", "--display", "--bpp", "--instance-running", "--no-window", "--no-speaker",
                             "--default-keys", "--screenshot", "--trace", "--kill-at", "T tap X Y"})
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  auto script = RunSim({"--app-dir", dir.path()}, "# a comment\n1.0 key down left\n2.0 jump\n");
  EXPECT_EQ(script.exitCode, 2);
  EXPECT_NE(script.err.find("script.txt:3: unknown event 'jump'"), std::string::npos) << script.err;
  for (const auto& [args, says] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"--app-dir", dir.path(), "--default-keys", "1,2,3"}, "--default-keys"},
           {{"--app-dir", dir.path(), "--screen", "wide"}, "--screen"},
           {{"--app-dir", dir.file("nowhere")}, "is not a folder"}}) {
    auto run = RunSim(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
  }
  EXPECT_FALSE(FileExists(dir.file("log.txt")));
}
