// startup_test.cpp -- the start-up sequence, its failures and the shutdown, run through zelvo-sim.
#include <gtest/gtest.h>

#include "support/data_builder.h"
#include "support/testing.h"

using testing_support::FileExists;
using testing_support::LogLines;
using testing_support::ReadFile;
using testing_support::RunSim;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// A folder holding a small but complete set of data files, as an installed game has.
struct InstalledGame : TempDir {
  InstalledGame() { data_builder::WriteAll(path(), data_builder::SmallWorld()); }
};

const char* kMemoryBox =
    "message box: Error: Not enough free memory.\\nFree up some memory by closing other applications and try "
    "again.\n";

}  // namespace

TEST(Startup, RunsToTheCloseRequestAndEndsThroughTheQuitMessage) {
  InstalledGame dir;
  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "100"}, "3.5 close\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
  auto lines = LogLines(ReadFile(dir.file("log.txt")));
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Starting up");
  EXPECT_EQ(lines[lines.size() - 2], "");
  EXPECT_EQ(lines.back(), "Exiting");
  // A missing settings file is no failure and leaves no trace in the log.
  EXPECT_EQ(ReadFile(dir.file("log.txt")).find("settings"), std::string::npos);
  EXPECT_FALSE(FileExists(dir.file("settings.dat")));
}

TEST(Startup, MemoryCheckPassesAtExactlyTenMebibytes) {
  InstalledGame enough, tooLittle;
  auto passed = RunSim({"--app-dir", enough.path(), "--seconds", "4", "--memory", "10485760"});
  EXPECT_EQ(passed.exitCode, 0);
  EXPECT_EQ(passed.out, "");
  EXPECT_NE(ReadFile(enough.file("log.txt")).find("Exiting"), std::string::npos);

  auto refused = RunSim({"--app-dir", tooLittle.path(), "--seconds", "4", "--memory", "10485759"});
  EXPECT_EQ(refused.exitCode, 0);
  EXPECT_EQ(refused.out, kMemoryBox);
  // The log is not open yet when memory is checked, so nothing is written anywhere.
  EXPECT_FALSE(FileExists(tooLittle.file("log.txt")));
}

TEST(Startup, EachFailingStepEndsTheProgramWithoutShutdown) {
  {
    TempDir dir;  // no performance counter
    auto result = RunSim({"--app-dir", dir.path(), "--no-counter"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(ReadFile(dir.file("log.txt")),
              "\nStarting up\nGfxInit\n\nDevice: [240x320x16][240x320] (2,480), GAPI: no\n\nNo performance counter\n"
              "\nTimerInit failed\n");
  }
  {
    TempDir dir;  // the window cannot be created: no message, no log line
    auto result = RunSim({"--app-dir", dir.path(), "--no-window"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(ReadFile(dir.file("log.txt")), "\nStarting up\n");
  }
}

TEST(Startup, ASecondCopyLeavesTheRunningCopysLogAlone) {
  TempDir dir;
  WriteFile(dir.file("log.txt"), "\nStarting up\n\nthe running copy's log\n");
  auto result = RunSim({"--app-dir", dir.path(), "--instance-running"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "\nStarting up\n\nthe running copy's log\n");
}

TEST(Startup, ZelvoSimRejectsBadOptionsAndScriptsBeforeRunning) {
  TempDir dir;
  auto help = RunSim({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  for (const char* option : {"--app-dir", "--script", "--seconds", "--seed", "--memory", "--screen", "--counter-hz",
                             "--no-counter", "--display", "--bpp", "--instance-running", "--no-window", "--no-speaker",
                             "--default-keys", "--screenshot", "T tap X Y"})
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
  InstalledGame first, second;
  for (const TempDir* dir : {&first, &second}) {
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
