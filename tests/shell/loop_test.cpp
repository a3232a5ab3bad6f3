// loop_test.cpp -- the main window's procedure and the message loop's pacing, on the headless device.
#include <gtest/gtest.h>

#include <vector>

#include "gfx/display.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "services/timer.h"
#include "shell/shell.h"
#include "support/device.h"

using headless::EventKind;
using testing_support::At;
using testing_support::RunFresh;

namespace {

struct FrameCall {
  double at;       // virtual time of the frame
  double elapsed;  // what the loop passed
};
std::vector<FrameCall> frames;

void recordFrame(double elapsed) { frames.push_back({headless::Now(), elapsed}); }

// A device, a log, the main window (it takes the focus as it appears) and a started clock.
void startWindow(const testing_support::TempDir& dir, const std::vector<headless::ScriptEvent>& script = {}) {
  testing_support::StartDevice(dir);
  headless::Schedule(script);
  ASSERT_TRUE(CreateMainWindow(1, SW_SHOW));
  ASSERT_EQ(focusCount, 1);
  ASSERT_EQ(TimerInit(), 0);
  running = 1;
}

}  // namespace

TEST(MessageLoop, FramesStopWithoutFocusResumeMeasuredFromTheLastOneAndEndOnRunningOrQuit) {
  testing_support::TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startWindow(dir, {At(1.0, EventKind::FocusLost), At(2.0, EventKind::FocusGained), At(3.0, EventKind::Close)});
    TimerNow();      // the splash time: the clock's first reading, 0.0
    SysSleep(500);   // the splash hold
    Message last = RunMessageLoop(recordFrame);
    EXPECT_EQ(last.message, WM_QUIT);
    EXPECT_EQ(last.wParam, 0u);
    EXPECT_FALSE(WinIsWindow(mainWindow));
    EXPECT_EQ(focusCount, 1);
    ASSERT_FALSE(frames.empty());
    EXPECT_GT(frames[0].elapsed, 0.5);  // the first frame is measured from the clock's start
    EXPECT_LT(frames[0].at, 0.52);
    int before = 0, during = 0, after = 0;
    for (const FrameCall& frame : frames) (frame.at < 1.0 ? before : frame.at <= 2.0 ? during : after) += 1;
    EXPECT_EQ(during, 0);
    EXPECT_LE(frames.back().at, 3.0);
    // At most 100 frames a second, and more than 0.01 s apart.
    EXPECT_GT(before, 40);
    EXPECT_LE(before, 50);
    EXPECT_GT(after, 80);
    for (size_t i = 1; i < frames.size(); ++i)
      EXPECT_GT(frames[i].elapsed, frames[i - 1].at < 1.0 && frames[i].at > 2.0 ? 1.0 : 0.01) << i;
  }));
  // Clearing running ends the loop after the frame, and a quit already waiting skips the frame.
  EXPECT_TRUE(RunFresh([&] {
    startWindow(dir);
    static int count = 0;
    Message last = RunMessageLoop([](double) {
      if (++count == 5) running = 0;
    });
    EXPECT_EQ(count, 5);
    EXPECT_NE(last.message, WM_QUIT);
    EXPECT_TRUE(WinIsWindow(mainWindow));
    running = 1;
    WinPostQuitMessage(7);
    last = RunMessageLoop([](double) { ++count; });
    EXPECT_EQ(last.message, WM_QUIT);
    EXPECT_EQ(last.wParam, 7u);
    EXPECT_EQ(count, 5);
  }));
}

TEST(MainWindow, FocusMessagesCountPaintRequestsAreAnsweredAndASecondCopyCreatesNone) {
  testing_support::TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    startWindow(dir);
    for (auto [message, count] : {std::pair{WM_KILLFOCUS, 0}, {WM_KILLFOCUS, -1}, {WM_SETFOCUS, 0}, {WM_SETFOCUS, 1}}) {
      MainWndProc(mainWindow, message, 0, 0);
      EXPECT_EQ(focusCount, count);
    }
    for (bool ready : {false, true}) {
      display.gfxReady = ready;
      WinMoveWindow(mainWindow, 0, 0, 240, 320, true);  // asks for a repaint
      Message message;
      ASSERT_TRUE(WinPeekMessage(&message, true));
      ASSERT_EQ(message.message, WM_PAINT);
      EXPECT_EQ(WinDispatchMessage(&message), 0);
      // Once answered, the request is gone (the default handling validates too).
      EXPECT_FALSE(WinPeekMessage(&message, false)) << (ready ? "ready" : "not ready");
    }
    display.gfxReady = false;
  }));
  // A second copy brings the first forward and creates no window.
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.instanceRunning = true;
    testing_support::StartDevice(dir, config);
    EXPECT_FALSE(CreateMainWindow(1, SW_SHOW));
    EXPECT_EQ(mainWindow, 0u);
    EXPECT_EQ(headless::RaisedWindow() & 1, 1u);
    EXPECT_EQ(focusCount, 0);
  }));
}
