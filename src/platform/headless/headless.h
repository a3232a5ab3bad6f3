// headless.h -- the deterministic device: its model, scripted input, virtual clock and what can be observed.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/display.h"

namespace headless {

// Which way to the frame buffer the device offers.
enum class DisplayPath {
  Raw565,   // the raw frame-buffer query answers with 5-6-5 pixels (the target handheld)
  RawOther, // the raw query answers, but with a format other than 5-6-5; the display library offers 5-6-5
  Gapi565,  // no raw query; the display library offers 5-6-5
  Gapi555,  // no raw query; the display library offers 5-5-5
  Dram,     // no raw query; the display library reports a DRAM buffer
  None,     // no raw query; the display library offers no format the game knows
};

// How the frame buffer lies in memory; the pitches tell the game, the picture is the same.
enum class Layout { Normal, Rotated90, Rotated180, Rotated270, Mirrored };

struct DeviceConfig {
  std::string appDirectory = ".";    // where the program "is installed"
  std::string userDirectory = {};    // where what the game writes goes; empty: the app directory
  std::string programName = "zelvo-sim";
  uint32_t availableMemory = 32u << 20;  // bytes of virtual memory free
  int32_t screenWidth = 240;
  int32_t screenHeight = 320;
  DisplayPath display = DisplayPath::Raw565;
  uint32_t bitsPerPixel = 16;
  Layout layout = Layout::Normal;
  bool counterAvailable = true;
  uint64_t counterHz = 3579545;
  uint64_t counterStart = 0;  // counter reading at virtual time 0
  KeyList defaultKeys = DefaultKeyList();
  bool instanceRunning = false;      // another copy runs and holds log.txt
  bool classRegistrationFails = false;
  bool windowCreationFails = false;
  bool speakerFails = false;
  uint32_t seed = 1;
  uint64_t pollQuantumUs = 1000;  // virtual time that passes at each poll of an empty queue
  double stopAfter = 600.0;       // seconds of virtual time; then the game is asked to close
  double hardStop = 60.0;         // seconds after the close request before the run is abandoned

  // The target handheld's keys: the four directions and A, B, C, Start on their usual codes.
  static KeyList DefaultKeyList();
};

enum class EventKind { KeyDown, KeyUp, Tap, FocusLost, FocusGained, Close, Shot };

struct ScriptEvent {
  double time = 0.0;  // seconds of virtual time
  EventKind kind = EventKind::Close;
  uint32_t a = 0;  // key code, or tap x
  uint32_t b = 0;  // tap y
  std::string file;  // screenshot file
  int line = 0;      // line in the script file, for messages
};

// Parse a script (one event a line, '#' comments). Throws ScriptError naming the line.
std::vector<ScriptEvent> ParseScript(const std::string& text, const std::string& name);

struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Thrown out of the game's platform calls when a run goes on past its hard stop.
struct RunAbandoned : std::runtime_error {
  using std::runtime_error::runtime_error;
};

struct MessageBoxRecord {
  std::string text;
  std::string caption;
  uint32_t style = 0;
};

struct AudioState {
  bool speakerOpen = false;
  uint32_t volume = 0;           // 0..64, the last volume set
  struct Playing {
    std::string path;
    bool loops = false;
  };
  std::vector<Playing> playing;    // the sounds playing now, oldest first
  std::vector<std::string> calls;  // every audio call in order, as text
};

// Start a fresh device: forget windows, messages, keys, files held, screenshots and records.
void Configure(const DeviceConfig& config);
const DeviceConfig& Config();

// Add events to the script (kept in time order, stable for equal times).
void Schedule(const std::vector<ScriptEvent>& events);
void Schedule(const ScriptEvent& event);

// Make the next count begin-draw calls fail (return no frame buffer).
void FailBeginDraw(int count);

// Move the performance counter by ticks at once (negative steps it back), without time passing.
void AdjustCounter(int64_t ticks);

// Virtual time now, in seconds and in microseconds.
double Now();
uint64_t NowUs();

// The emulated screen: raw 16-bit display values of its pixels, row by row (screenWidth x
// screenHeight), read through the device's pitches.
std::vector<uint16_t> ScreenPixels();
uint16_t ScreenPixel(int32_t x, int32_t y);

// Save the emulated screen as a PNG (colours as the display's format shows them). False on failure.
bool SaveScreenshot(const std::string& path);

// Observation.
const std::vector<MessageBoxRecord>& MessageBoxes();
const AudioState& Audio();
int BeginDrawCount();  // successful begin-draws so far
int EndDrawCount();
int FocusMessagesPosted();  // focus lost/gained messages the device has queued
WindowHandle RaisedWindow();  // the other copy's window the game brought forward, or 0

// Called for every message box as it is shown (zelvo-sim prints it).
void OnMessageBox(void (*callback)(const MessageBoxRecord& box));

// Called when a screenshot event of the script has been saved or has failed.
void OnScreenshot(void (*callback)(const std::string& path, bool saved));

}  // namespace headless
