// places.h -- where the game's files really are: the world's folder, and the user's folder for what it writes.
#pragma once

#include <string>

#include "platform/files.h"

// The folders a host chose. The game sees one app directory, the world's; what it writes there
// (settings.dat, log.txt) and what the port writes (screenshots, recordings) goes to user instead,
// when user is not empty.
struct Places {
  std::string world;  // the data files and the music
  std::string user;   // empty: the world's folder holds everything, as in a portable copy
  std::string warning;  // why there is no user's folder where one was wanted
};

// Hosts: a program in programFolder finds its world beside itself (a portable copy) or, installed,
// in ../share/games/zelvo (from bin/ or games/); appDir, when not empty, names the world's folder
// itself (--app-dir). An installed world is never written; another is written unless it cannot be,
// and then the user's folder takes what is written. False, with *problem, when appDir is no folder.
bool PlacesChoose(const std::string& programFolder, const std::string& appDir, Places* places, std::string* problem);

// The user's folder for the game's files, created when missing: $XDG_DATA_HOME/zelvo (by default
// ~/.local/share/zelvo), %APPDATA%\zelvo on Windows, as SDL_GetPrefPath names it. Empty, with
// *problem, when it cannot be named or made.
std::string PlacesUserFolder(std::string* problem);

// Devices at start: the files the game names in appDirectory are written to userDirectory and read
// from there when they are there, else from appDirectory. Empty userDirectory: as named.
void FilesKeepUserFiles(const std::string& appDirectory, const std::string& userDirectory);

// The files backends: the real path of the game's path, for reading or for writing.
std::string FilesWhere(const std::string& path, bool writing);

// The files backends, after creating a file: a log kept in the user's folder starts by saying
// which folders were chosen.
void FilesCreated(FileHandle file, const std::string& path);
