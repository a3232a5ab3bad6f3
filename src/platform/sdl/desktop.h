// desktop.h -- what the zelvo host sets up before the game runs on the desktop device, and tears down after.
#pragma once

#include <map>
#include <string>

namespace desktop {

// What the window shows: the view chosen last time, the whole handheld screen, or the game's square.
enum class View { Remembered, Screen, Game };

struct Options {
  std::string appDirectory;          // the folder the game is installed in
  // Where the port keeps its own files (key sets, the view, screenshots, recordings); empty: the
  // app directory, as for a portable copy.
  std::string userDirectory = {};
  std::string programName = "zelvo";  // the program file's name inside it
  int screenWidth = 240;             // the emulated handheld screen
  int screenHeight = 320;
  int scale = 0;                     // window pixels per screen pixel; 0 = the largest that fits the desktop
  bool fullscreen = false;
  View view = View::Remembered;
  bool resizable = true;             // false in a page, which sizes the canvas itself
  // A replay is shown as it plays (zelvo --replay); otherwise (--continue) it draws nothing until it
  // has caught up, and the window shows the moment the game goes on from.
  bool showReplay = false;
  // Where the device's news goes (controllers coming and going): the game's log. Standard error when unset.
  void (*report)(const std::string& line) = nullptr;
};

// Connect to the display. False when there is none; *problem then holds SDL's reason.
bool Start(const Options& options, std::string* problem);

// A note after the window's title (zelvo --watch: why the sources do not pack); "" takes it away.
void SetTitleNote(const std::string& note);

// The device as a recording's header names it (as zelvo-sim's options would): screen, display,
// free memory, default keys.
std::map<std::string, std::string> RecordingDevice();

// Where the sessions are recorded: recordings/ in the user's folder.
std::string RecordingsFolder();

// zelvo --replay: called at every replayed counter reading with the seconds of play so far; waits
// until the window has shown that much at the chosen speed. Keys: Space pauses, Right or + plays
// twice as fast, Left or - half as fast, Esc or closing the window ends the replay and the program.
void ReplayPace(double seconds);
// The end of a replay in the window: its last picture stays until Esc or closing the window ends
// the program; the game hears nothing more.
[[noreturn]] void ReplayHold();
[[noreturn]] void ReplayLeave();

// Close the window and the speaker, leave SDL and give up the single-copy lock.
void Stop();

}  // namespace desktop
