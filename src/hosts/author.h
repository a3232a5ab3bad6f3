// author.h -- what both hosts offer a world's author: play its sources (--world), start a new game on a
// chosen screen (--start-screen, --start-at) and play the sources again as they change (--watch).
#pragma once

#include <CLI/CLI.hpp>

#include <string>

namespace author {

struct Options {
  std::string world;        // sources or a data folder
  std::string startScreen;  // a screen number or a Tiled map of the world
  std::string startAt;      // N,X,Y
  bool watch = false;
};

void AddOptions(CLI::App& app, Options& options, bool desktop);

// After the options are read, before the game runs: the world packed when it is sources, the start
// checked against it. *appDirectory is the host's folder (empty: defaultFolder) and becomes the data
// folder of --world. -1 to go on; else the exit code, with the reason on standard error.
int Prepare(const Options& options, const std::string& program, const std::string& defaultFolder,
            std::string* appDirectory);

// --watch: run after every frame. Sources that changed are packed again and the game restarts on
// them, on the screen the player was on, where it entered that screen.
void AfterFrame();

// Where a pack error shows besides standard error and the log (zelvo: the window's title); "" clears it.
extern void (*showProblem)(const std::string& problem);

}  // namespace author
