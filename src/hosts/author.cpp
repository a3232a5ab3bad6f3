// author.cpp -- sources played as they are, a new game started where the author works, and the world
// packed and loaded again when its sources change.
#include "hosts/author.h"

#include <iostream>
#include <sstream>

#include "data/loaders.h"
#include "flow/modes.h"
#include "platform/common/process.h"
#include "services/author.h"
#include "services/log.h"
#include "services/settings.h"
#include "services/timer.h"
#include "sound/music.h"
#include "world.h"
#include "world/objects.h"

namespace author {

void (*showProblem)(const std::string& problem) = nullptr;

namespace {

constexpr double kPollSeconds = 0.5;

zdata::PreparedWorld prepared;
std::string worldPath;  // the sources --watch looks at
AuthorStart chosen;  // the start the options asked for
struct Entry {
  uint32_t screen = 0;
  double x = 0.0, y = 0.0;
} entry;  // where the player came onto the screen it is on
bool wasInGame = false;
bool restarting = false;  // the next new game starts where the player was, once
double nextPoll = 0.0;

bool inGame() { return gameSetUp && (gameMode == ModePlay || gameMode == ModeInventory); }

// Play goes on from where the player entered its screen, on the new world; a front-end screen is
// drawn again from it.
void reload() {
  const bool playing = inGame();
  objectList.clear();  // live objects borrow the templates' pixels
  unloadGameData();
  LogWrite(loadGameData() == 0 ? "\nThe world changed: packed and loaded again" : "\nThe world changed and does not load");
  SndStopAll();
  SndInit();
  if (playing) {
    authorStart = AuthorStart{entry.screen, true, entry.x, entry.y};
    restarting = true;
    gameMode = ModePlay;
    gameSetUp = 0;
    SndSetVolume(soundMuted ? 0 : volumeSetting);
    SndPlayGameMusic();
  } else {
    titleShown = keysScreenShown = volumeScreenShown = infoScreenShown = 0;
    SndSetVolume(volumeSetting);
    SndPlayTitleMusic();
  }
  wasInGame = false;
}

}  // namespace

void AddOptions(CLI::App& app, Options& options, bool desktop) {
  const std::string group = "For a world's authors (these change where a game starts)";
  app.add_option("--world", options.world,
                 "Play this world: its sources (a folder with world.json, or a manifest), packed into a cache "
                 "folder when they changed, or a folder of data files")
      ->group(group);
  app.add_option("--start-screen", options.startScreen,
                 "Start begins new games on this screen: its number, or its Tiled map in the world")
      ->group(group);
  app.add_option("--start-at", options.startAt, "N,X,Y: new games begin on screen N with the player at (X, Y)")
      ->group(group);
  app.add_flag("--watch", options.watch,
               desktop ? "Pack the sources again when one changes and go on playing them from the screen the "
                         "player is on (a pack error shows in the title bar and the log)"
                       : "Pack the sources again when one changes (script lines 'T copy FROM TO') and go on "
                         "playing them from the screen the player is on")
      ->group(group);
}

int Prepare(const Options& options, const std::string& program, const std::string& defaultFolder,
            std::string* appDirectory) {
  auto refuse = [&](const std::string& problem) {
    std::cerr << program << ": " << problem << "\n";
    return 2;
  };
  if (options.watch && options.world.empty()) return refuse("--watch needs --world");
  if (!options.startScreen.empty() && !options.startAt.empty())
    return refuse("give --start-screen or --start-at, not both");
  if (!options.world.empty()) {
    if (!appDirectory->empty()) return refuse("give --app-dir or --world, not both");
    if (const int code = zdata::prepareWorld(PathFromUtf8(options.world), prepared, {std::cout, std::cerr}))
      return code;
    if (options.watch && !prepared.fromSources) return refuse("--watch needs a world's sources, not data files");
    *appDirectory = PathToUtf8(prepared.dataDir);
    if (options.watch) worldPath = options.world;
  }
  std::string word = options.startScreen;
  if (!options.startAt.empty()) {
    const size_t second = options.startAt.rfind(',');
    const size_t first = second == std::string::npos || second == 0 ? std::string::npos
                                                                     : options.startAt.rfind(',', second - 1);
    char *endX = nullptr, *endY = nullptr;
    if (first != std::string::npos) {
      word = options.startAt.substr(0, first);
      chosen.x = std::strtod(options.startAt.c_str() + first + 1, &endX);
      chosen.y = std::strtod(options.startAt.c_str() + second + 1, &endY);
    }
    if (first == std::string::npos || endX != options.startAt.c_str() + second || *endY != '\0' ||
        !(chosen.x >= 0 && chosen.x < 210 && chosen.y >= 0 && chosen.y < 190))
      return refuse("--start-at " + options.startAt + " is not N,X,Y with X 0..209 and Y 0..189 on the screen");
    chosen.at = true;
  }
  if (!word.empty()) {
    std::string problem;
    chosen.screen = zdata::screenOfWord(word, &problem);
    if (chosen.screen == 0) return refuse(problem);
    const std::string folder = appDirectory->empty() ? defaultFolder : *appDirectory;
    if (!zdata::dataHasScreen(PathFromUtf8(folder), chosen.screen))
      return refuse("the world has no screen " + std::to_string(chosen.screen) + " to start on");
    authorStart = chosen;
  }
  return -1;
}

void AfterFrame() {
  if (inGame()) {
    const Sprite* player = findPlayer();
    const uint32_t screen = currentScreenNumber();
    if (player && (!wasInGame || screen != entry.screen)) entry = Entry{screen, player->x, player->y};
    if (restarting) authorStart = chosen;
    restarting = false;
  }
  wasInGame = inGame();
  if (worldPath.empty() || TimerNow() < nextPoll) return;
  nextPoll = TimerNow() + kPollSeconds;
  if (zdata::sourcesStamp(PathFromUtf8(worldPath)) == prepared.stamp) return;
  std::ostringstream messages;
  if (zdata::prepareWorld(PathFromUtf8(worldPath), prepared, {messages, messages}) != 0) {
    // The old world plays on until the sources pack again.
    std::cerr << messages.str();
    std::istringstream lines(messages.str());
    std::string line, first;
    while (std::getline(lines, line)) {
      if (first.empty()) first = line;
      LogWrite("\n%s", line.c_str());
    }
    if (showProblem) showProblem(first);
    return;
  }
  if (showProblem) showProblem("");
  reload();
}

}  // namespace author
