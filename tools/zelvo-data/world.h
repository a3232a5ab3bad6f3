// world.h -- a world as the game and check want it: a data folder, packed from sources into a cache
// folder when it is given as sources, and packed again only when a source changed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "commands.h"

namespace zdata {

struct PreparedWorld {
  std::filesystem::path dataDir;  // the seven data files (and the music)
  bool fromSources = false;       // dataDir is the cache of packed sources
  std::string stamp = {};         // the sources' files as last seen (empty for a data folder)
};

// A manifest file or a folder holding world.json (else a data folder, or nothing).
bool isSources(const std::filesystem::path& world);

// A folder with world.json, a manifest file, or a folder of data files. Sources are packed as `pack`
// packs them, its messages on io.err, into a cache folder of their own (under $XDG_CACHE_HOME or
// ~/.cache, or %LOCALAPPDATA% on Windows: zelvo/worlds/). 0 ready, 1 the sources have errors (the
// cache keeps what it had), 2 neither sources nor data.
int prepareWorld(const std::filesystem::path& world, PreparedWorld& prepared, Streams io);

// The size and time of every file under the sources' folder: what a change of a source changes.
std::string sourcesStamp(const std::filesystem::path& world);

// --start-screen's word: a screen number 1..100, or a Tiled map of the world (a file named in a
// .world file beside it, whose place there is the screen). 0 and *problem when it is neither.
uint32_t screenOfWord(const std::string& word, std::string* problem);

// Whether the data folder's map holds that screen.
bool dataHasScreen(const std::filesystem::path& dataDir, uint32_t screen);

}  // namespace zdata
