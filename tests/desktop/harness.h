// harness.h -- running zelvo for tests: a private Xvfb, child processes, windows found, clicked, photographed.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sdl/view.h"
#include "support/testing.h"

namespace desktop_testing {

// Poll a condition every 10 ms until it holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, double seconds);

// Whether a program can be found on PATH.
bool OnPath(const std::string& program);

// A child process. Output goes to files; a child still running at the end is killed.
class Process {
 public:
  // environment: variables to set (value) or remove (nullopt) on top of ours.
  Process(const std::vector<std::string>& argv, const std::map<std::string, std::optional<std::string>>& environment,
          const std::string& outPath = "/dev/null", const std::string& errPath = "/dev/null");
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  pid_t pid() const { return pid_; }
  bool Running();
  // Wait for the end; false when it did not end in time. *exitCode is -1 after a signal.
  bool Wait(double seconds, int* exitCode);

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

// A virtual X server of our own on a free display number (Xvfb chooses it and tells us).
class VirtualDisplay {
 public:
  static bool Available();  // Xvfb and xdotool are installed
  VirtualDisplay(int width = 1024, int height = 768);
  ~VirtualDisplay();
  bool ok() const { return !name_.empty(); }
  const std::string& name() const { return name_; }  // ":5"

  // Run a command with this display; its standard output, or nullopt when it failed.
  std::optional<std::string> Run(const std::string& command) const;

 private:
  std::unique_ptr<Process> server_;
  std::string name_;
};

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
};

// An RGB picture read from a PNG.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint32_t At(int x, int y) const;      // 0xRRGGBB
  uint16_t At565(int x, int y) const;   // the 5-6-5 pixel it shows (renderers expand channels differently)
};
bool LoadPicture(const std::string& path, Picture* picture);

// Where a photograph of a window differs from a picture of the whole emulated screen: every window
// pixel inside the screen area against the screen pixel it shows, at the window's scale.
struct ScreenDifference {
  int pixels = 0;             // window pixels that differ
  Geometry box;               // screen pixels holding every difference (empty when none)
  std::string first;          // the first difference in words
  bool Inside(const Geometry& area) const;  // every difference lies in this screen rectangle
};
ScreenDifference CompareScreen(const Picture& window, const Picture& screen);

// The default world as the build packs it beside zelvo (the seven data files and the music),
// copied into an app directory. False, naming what is missing in *problem, when it is not there.
bool InstallDefaultWorld(const std::string& appDirectory, std::string* problem);

// A golden picture of one of the default world's screens (240x320, taken on the headless device).
Picture GoldenPicture(const std::string& name);

// The file SDL's disk audio driver writes: 16-bit stereo samples, as they are mixed, in real time.
class SpeakerFile {
 public:
  explicit SpeakerFile(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  uintmax_t Written() const;
  bool WaitForBytes(uintmax_t bytes, double seconds = 10) const;
  std::vector<int16_t> SamplesFrom(uintmax_t byte) const;
  // The loudest sample written from now on: a few mixer buffers later than what the file holds now,
  // so that what was being mixed, and what was mixed but not written yet, is left out. -1 when the
  // driver did not write that far in time.
  int LoudestFromNowOn(int bufferBytes) const;

 private:
  std::string path_;
};
int Loudest(const std::vector<int16_t>& samples);

// A top-level window on a virtual display.
struct XWindow {
  const VirtualDisplay* display = nullptr;
  unsigned long id = 0;

  Geometry GetGeometry() const;
  // Photograph the window (ImageMagick's import) and read the picture back.
  bool Shoot(const std::string& path, Picture* picture) const;
  // Photograph the window into path until a photograph is accepted or the time is up; true when one
  // was. The last photograph is left in *last.
  bool WaitForShot(const std::string& path, const std::function<bool(const Picture&)>& accept, double seconds,
                   Picture* last) const;
  // The emulated screen's pixels inside a photograph of the window, scale undone.
  Picture CropScreen(const Picture& window, int screenWidth, int screenHeight) const;
  // Left click at the window point over the middle of device pixel (x, y).
  bool ClickDevice(int x, int y, int screenWidth, int screenHeight) const;
  bool ClickWindow(int x, int y) const;
  // Press the left button over device pixel (x, y) and keep it down.
  bool TouchDevice(int x, int y, int screenWidth, int screenHeight) const;
  bool Focus() const;
  bool Key(const std::string& keys) const;  // xdotool key names, to the focused window
  // Hold one key down for a while, as a finger would, then let it go.
  bool Press(const std::string& key, double seconds) const;
  // Paint a rectangle of window pixels from outside, as any other program on the display could
  // (the pixel value means what the window's visual makes of it).
  bool Fill(Geometry area, unsigned long pixel) const;
  // Ask the window to close the way a window manager's close button does (WM_DELETE_WINDOW).
  bool RequestClose() const;
};

// A window titled exactly title (and, when pid is not 0, made by that process), waiting for one to appear.
std::optional<XWindow> FindWindow(const VirtualDisplay& display, const std::string& title, double seconds,
                                  pid_t pid = 0);

// Whether SDL can show a message box on this display: its boxes draw with a 12-point X core font,
// which Xvfb's built-in "fixed" is not. Otherwise they fall back to standard error, so fail at once.
::testing::AssertionResult MessageBoxesCanShow(const VirtualDisplay& display);

// A plain X window of our own (to cover another, or to take the focus away).
class CoverWindow {
 public:
  CoverWindow(const VirtualDisplay& display, Geometry where);
  ~CoverWindow();
  unsigned long id() const { return id_; }

 private:
  void* connection_ = nullptr;
  unsigned long id_ = 0;
};

// Top-level windows from the bottom of the stack to the top.
std::vector<unsigned long> StackingOrder(const VirtualDisplay& display);

// zelvo started on an app directory, with its output kept. program is the command that starts it
// (the zelvo built here, or another one: a Windows zelvo.exe under Wine).
class ZelvoRun {
 public:
  ZelvoRun(const VirtualDisplay& display, const std::string& appDirectory, const std::vector<std::string>& options,
           const std::map<std::string, std::optional<std::string>>& environment = {},
           const std::vector<std::string>& program = {ZELVO_PATH});
  // This copy's window (other copies may have theirs on the same display).
  std::optional<XWindow> Window(double seconds = 20);
  bool Wait(double seconds, int* exitCode) { return process_->Wait(seconds, exitCode); }
  bool Running() { return process_->Running(); }
  std::string Out() const;
  std::string Err() const;

 private:
  const VirtualDisplay& display_;
  testing_support::TempDir scratch_;
  std::unique_ptr<Process> process_;
};

// The environment zelvo gets in tests: this display, a silent audio driver, no Wayland. A click
// right after the window took the focus counts too (SDL drops it otherwise, taking it for the
// click that focused the window, and tests click as soon as the focus moves).
std::map<std::string, std::optional<std::string>> ZelvoEnvironment(const VirtualDisplay& display);

// A test with a private Xvfb and an app directory where the default world is installed.
class ZelvoTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Wait for zelvo to end by itself with 0, "Exiting" the last line of its log in appDirectory.
  static void ExpectCleanExit(ZelvoRun& zelvo, const std::string& appDirectory);

  testing_support::TempDir dir_;
  std::unique_ptr<VirtualDisplay> display_;
};

}  // namespace desktop_testing
