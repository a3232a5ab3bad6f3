// recording.h -- what both hosts add to the recorder: the game's state at checkpoints, the header, its checks.
#pragma once

#include <string>
#include <vector>

#include "platform/common/recorder.h"

namespace recording {

// The game's state as a checkpoint holds it (registered with RecSetStateReader).
void ReadState(RecState* state);

// The header of a recording made now: format and program version, the device, and a hash of each
// data file and of settings.dat in the app directory (settings.dat is kept whole, to be replayed).
RecHeader Header(const std::string& appDirectory, const std::string& program, const RecHeader& device);

// What differs between the recording's header and the program and app directory here, one line
// each ("map.dat differs from the one recorded"); empty when nothing does.
std::vector<std::string> Mismatches(const RecFile& file, const std::string& appDirectory);

// How the running session ends: with a game that can go on, or finished (Quit, game over, the end).
RecEnd EndOfSession();

// Whether a recording's session can be resumed, judged by its end and last checkpoint.
bool CanResume(const RecFile& file);

// ---- the sessions a desktop keeps (the flight recorder) ----

constexpr int kSessionsKept = 5;

// A new recording's path in folder (made if missing): session-YYYYMMDD-HHMMSS.zrec, later ones sorting last.
std::string NewSessionPath(const std::string& folder);
// Remove all but the newest kept recordings in folder.
void KeepNewest(const std::string& folder, int kept);
// The newest recording in folder, or empty.
std::string LatestSession(const std::string& folder);

// Read path for resuming: true when it can go on here; else *why says why not (for the log).
bool LoadForResume(const std::string& path, const std::string& appDirectory, const std::string& settingsFolder,
                   RecFile* file, std::string* why);

// ---- a player's session (zelvo and the page) ----

struct Session {
  std::string folder;        // where the sessions are kept
  std::string recordPath;    // record here instead (--record), kept whatever happens
  std::string appDirectory;  // the game's
  bool resume = false;       // go on with the newest session in folder when it can
  RecHeader device;          // the device, for the header
};

// Resume when asked and the newest session can go on (the log says how it went, or why not),
// then record this session; a crash still leaves the recording whole up to its last frame.
void BeginSession(const Session& session);
// After the game: the end record. A session that ran no frame (another copy was running, the
// data would not load) leaves no recording behind.
void EndSession();
// Check every frame of a replay against its checkpoints (zelvo --replay).
void CheckReplay();

}  // namespace recording
