// harness.h -- running zelvo for tests: a private Xvfb, child processes, windows found, clicked, photographed.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/testing.h"

namespace desktop_testing {

using Environment = std::map<std::string, std::optional<std::string>>;  // set (value) or remove (nullopt)

// Poll a condition every 10 ms until it holds or the time is up; true when it held.
bool WaitFor(const std::function<bool()>& condition, double seconds);

// A child process with our environment changed as given, its output in files; killed at the end.
class Process {
 public:
  Process(const std::vector<std::string>& argv, const Environment& environment, const std::string& outPath = "/dev/null",
          const std::string& errPath = "/dev/null");
  ~Process();
  pid_t pid() const { return pid_; }
  bool Running();
  std::optional<int> Wait(double seconds);  // its exit code, -1 after a signal; none when it did not end in time

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
  int status_ = 0;
};

// An X server of our own (1024x768 unless asked) on a free display number (Xvfb chooses it and tells us).
struct VirtualDisplay {
  explicit VirtualDisplay(const std::string& size = "1024x768");
  ~VirtualDisplay();
  // Run a shell command with this display: true when it ended with 0. Its output is added to *out.
  bool Run(const std::string& command, std::string* out = nullptr) const;

  std::unique_ptr<Process> server;
  std::string name;  // ":5", empty when it did not start
};

// An RGB picture read from a PNG (empty when there is none), its pixels as the 5-6-5 values they show.
struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  uint16_t At565(int x, int y) const;
};
Picture LoadPicture(const std::string& path);

// The window pixels inside the screen area that do not show the screen pixel under them at the
// window's scale; the first in words in *first.
int ScreenDifference(const Picture& window, const Picture& screen, std::string* first = nullptr);

// A top-level window on a virtual display, worked by xdotool and photographed by ImageMagick.
struct XWindow {
  const VirtualDisplay* display = nullptr;
  unsigned long id = 0;

  int Size(const std::string& field) const;  // "WIDTH" or "HEIGHT"
  Picture Shoot(const std::string& path) const;
  // Photograph it until accept takes a photograph or the time is up; the last one in *last.
  bool WaitForShot(const std::string& path, const std::function<bool(const Picture&)>& accept, Picture* last) const;
  // Click (or another xdotool button action) at a window point, or over the middle of device pixel (x, y).
  bool ClickWindow(int x, int y, const std::string& button = "click") const;
  bool ClickDevice(int x, int y, const std::string& button = "click") const;
  bool Do(const std::string& xdotool) const;  // "windowfocus --sync %", "key F12", ... with the window's id for %
  bool RequestClose() const;                  // as a window manager's close button does (WM_DELETE_WINDOW)
};

// A mapped top-level window (or one a window manager framed) titled exactly title (made by pid, unless that is 0),
// waiting for one to appear.
std::optional<XWindow> FindWindow(const VirtualDisplay& display, const std::string& title, pid_t pid = 0);

// A plain 100x100 X window of our own at the top left: to cover another, or to take the focus away.
struct CoverWindow {
  explicit CoverWindow(const VirtualDisplay& display);
  ~CoverWindow();
  void* connection = nullptr;
  unsigned long id = 0;
};

// Whether window a lies above window b in the stacking order.
bool StackedAbove(const VirtualDisplay& display, unsigned long a, unsigned long b);

// The loudest sample that SDL's disk audio driver writes to this file some mixer buffers from now
// on (what was being mixed is left out); -1 when it did not write that far in time.
int LoudestFromNowOn(const std::string& speakerFile);

// The environment zelvo gets in tests: this display, a silent audio driver, no Wayland. A click
// right after the window took the focus counts too (SDL drops it otherwise, taking it for the
// click that focused the window, and tests click as soon as the focus moves).
Environment ZelvoEnvironment(const VirtualDisplay& display);

// zelvo started on an app directory, with its output kept; program is the command that starts it:
// the zelvo built here, or a Windows zelvo.exe under Wine.
struct ZelvoRun {
  ZelvoRun(const VirtualDisplay& display, const std::string& appDirectory, const std::vector<std::string>& options,
           const Environment& environment = {}, const std::vector<std::string>& program = {ZELVO_PATH});
  std::optional<XWindow> Window() { return FindWindow(display, "Zelvo", process->pid()); }
  std::string Err() const { return testing_support::ReadFile(scratch.file("err.txt")); }

  const VirtualDisplay& display;
  testing_support::TempDir scratch;
  std::unique_ptr<Process> process;
};

// A test with a private Xvfb and an app directory where the default world (the data files and the
// music, as the build packs them beside zelvo) is installed.
class ZelvoTest : public ::testing::Test {
 protected:
  void SetUp() override;
  // Wait for zelvo to end by itself with 0, "Exiting" the last line of its log (in dir_ or appDirectory).
  void ExpectCleanExit(ZelvoRun& zelvo, const std::string& appDirectory = "");

  testing_support::TempDir dir_;
  std::unique_ptr<VirtualDisplay> display_;
};

}  // namespace desktop_testing
