// display_test.cpp -- display start-up and its refusals, view placement, frame-buffer layouts and presents.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/primitives.h"
#include "platform/headless/headless.h"
#include "platform/system.h"
#include "shell/log.h"
#include "shell/shell.h"
#include "support/testing.h"

using gfx_testing::StartDisplay;
using gfx_testing::ViewOnScreen;
using headless::DisplayPath;
using headless::Layout;
using testing_support::LogLines;
using testing_support::ReadFile;
using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

// A picture with a different value at almost every view pixel, never 0.
uint16_t patternAt(uint32_t x, uint32_t y) { return static_cast<uint16_t>(1 + (x * 251 + y * 241) % 0xFFFE); }

void drawPattern() {
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < 240; ++x) putPixel(x, y, patternAt(x, y));
}

// The whole screen as it should look: the pattern in the view, black around it.
std::vector<uint16_t> expectedScreen(int32_t width, int32_t height, uint32_t left, uint32_t top) {
  std::vector<uint16_t> screen;
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t vx = static_cast<uint32_t>(x) - left, vy = static_cast<uint32_t>(y) - top;
      screen.push_back(vx < 240 && vy < 240 ? patternAt(vx, vy) : 0);
    }
  return screen;
}

headless::DeviceConfig device(int32_t width, int32_t height, DisplayPath path = DisplayPath::Raw565,
                              Layout layout = Layout::Normal, uint32_t bitsPerPixel = 16) {
  headless::DeviceConfig config;
  config.screenWidth = width;
  config.screenHeight = height;
  config.display = path;
  config.layout = layout;
  config.bitsPerPixel = bitsPerPixel;
  return config;
}

std::string logAtMessageBox;

void recordLogAtMessageBox(const headless::MessageBoxRecord&) {
  logAtMessageBox = ReadFile(appDirectory + "log.txt");
}

}  // namespace

TEST(Display, TheViewIsCentredOnTheReportedScreen) {
  struct Case {
    int32_t width, height;
    uint32_t left, top;
  };
  for (Case c : {Case{240, 320, 0, 40}, Case{320, 240, 40, 0}, Case{480, 640, 120, 200}}) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      ASSERT_EQ(StartDisplay(dir, device(c.width, c.height)), GfxOk);
      EXPECT_TRUE(display.gfxReady);
      EXPECT_FALSE(display.useGapiDraw);
      EXPECT_EQ(display.viewOffsetX, c.left);
      EXPECT_EQ(display.viewOffsetY, c.top);
      EXPECT_EQ(display.backBufferSize, static_cast<uint32_t>(c.width * c.height * 2));
      EXPECT_EQ(headless::ScreenPixels(), std::vector<uint16_t>(static_cast<size_t>(c.width) * c.height, 0));
      drawPattern();
      EXPECT_EQ(presentAll(), GfxOk);
      EXPECT_EQ(headless::ScreenPixels(), expectedScreen(c.width, c.height, c.left, c.top));
    })) << c.width << "x" << c.height;
  }
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] { ASSERT_EQ(StartDisplay(dir), GfxOk); }));
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "GfxInit\n\nDevice: [240x320x16][240x320] (2,480), GAPI: no\n");
}

TEST(Display, RotatedAndMirroredFrameBuffersShowTheSamePicture) {
  for (DisplayPath path : {DisplayPath::Raw565, DisplayPath::Gapi565}) {
    for (Layout layout : {Layout::Normal, Layout::Rotated90, Layout::Rotated180, Layout::Rotated270, Layout::Mirrored}) {
      TempDir dir;
      EXPECT_TRUE(RunFresh([&] {
        ASSERT_EQ(StartDisplay(dir, device(240, 320, path, layout)), GfxOk);
        EXPECT_EQ(display.useGapiDraw, path == DisplayPath::Gapi565);
        // Half through presentAll, the rest through dirty rectangles.
        for (uint32_t y = 0; y < 120; ++y)
          for (uint32_t x = 0; x < 240; ++x) putPixel(x, y, patternAt(x, y));
        presentAll();
        drawPattern();
        addDirtyRect(0, 120, 100, 120);
        addDirtyRect(100, 120, 140, 120);
        EXPECT_EQ(presentDirty(), GfxOk);
        EXPECT_EQ(headless::ScreenPixels(), expectedScreen(240, 320, 0, 40));
      })) << static_cast<int>(path) << " layout " << static_cast<int>(layout);
    }
  }
}

TEST(Display, TheDisplayLibrarysFormatsAreUsedWhenTheRawFrameBufferIsNot) {
  TempDir dir555, rawOther;
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(StartDisplay(dir555, device(240, 320, DisplayPath::Gapi555)), GfxOk);
    EXPECT_TRUE(display.useGapiDraw);
    EXPECT_EQ(display.rgbToPixel, &rgbTo555);
    EXPECT_EQ(rgbToPixel(255, 255, 255), 0x7FFF);
    fillRect(10, 10, 20, 20, 255, 255, 255);
    addDirtyRect(10, 10, 10, 10);
    EXPECT_EQ(presentDirty(), GfxOk);
    EXPECT_EQ(headless::ScreenPixel(10, 50), 0x7FFF);
    EXPECT_EQ(headless::ScreenPixel(19, 59), 0x7FFF);
    EXPECT_EQ(headless::ScreenPixel(20, 59), 0);
  }));
  EXPECT_EQ(LogLines(ReadFile(dir555.file("log.txt"))).back(), "Device: [240x320x16][240x320] (2,480), GAPI: yes");

  // A raw frame buffer in another format is passed over for the display library.
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(StartDisplay(rawOther, device(240, 320, DisplayPath::RawOther)), GfxOk);
    EXPECT_TRUE(display.useGapiDraw);
    EXPECT_EQ(display.rgbToPixel, &rgbTo565);
    EXPECT_EQ(rgbToPixel(200, 200, 255), 0xCE5F);
  }));
}

TEST(Display, EveryRefusalLogsInOrderAndShowsOneMessageBox) {
  struct Case {
    headless::DeviceConfig config;
    std::vector<std::string> log;  // lines of log.txt
    size_t linesBeforeBox;         // how many of them were written when the box appeared
  };
  const std::vector<Case> cases = {
      {device(240, 320, DisplayPath::None),
       {"GfxInit", "", "Display with BPP 16 and GAPI ffFormat 32 not supported", "Display not supported(1)"},
       3},
      {device(240, 320, DisplayPath::Dram), {"GfxInit", "", "Device is not QVGA", "Display not supported(1)"}, 3},
      {device(239, 320), {"GfxInit", "Display not supported(2)"}, 1},
      {device(320, 239, DisplayPath::Gapi565), {"GfxInit", "Display not supported(2)"}, 1},
      {device(240, 320, DisplayPath::Raw565, Layout::Normal, 8),
       {"GfxInit", "", "Device: [240x320x8][240x320] (2,480), GAPI: no", "Display not supported(4)"},
       4},
      {device(240, 320, DisplayPath::Gapi555, Layout::Normal, 32),
       {"GfxInit", "", "Device: [240x320x32][240x320] (2,480), GAPI: yes", "Display not supported(4)"},
       4},
  };
  for (const Case& c : cases) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      EXPECT_EQ(StartDisplay(dir, c.config, recordLogAtMessageBox), GfxNotSupported);
      EXPECT_FALSE(display.gfxReady);
      ASSERT_EQ(headless::MessageBoxes().size(), 1u);
      EXPECT_EQ(headless::MessageBoxes()[0].text, "This device is not supported.");
      EXPECT_EQ(headless::MessageBoxes()[0].caption, "Error");
      EXPECT_EQ(headless::MessageBoxes()[0].style, MB_OK);
      const auto before = LogLines(logAtMessageBox);
      EXPECT_EQ(before, std::vector<std::string>(c.log.begin(), c.log.begin() + c.linesBeforeBox));
    })) << c.log.back();
    EXPECT_EQ(LogLines(ReadFile(dir.file("log.txt"))), c.log);
  }

  // Without a live main window nothing is probed, nothing is shown.
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.appDirectory = dir.path();
    headless::Configure(config);
    appDirectory = dir.path() + "/";
    LogOpen();
    EXPECT_EQ(GfxInit(), GfxNoWindow);
    EXPECT_TRUE(headless::MessageBoxes().empty());
  }));
  EXPECT_EQ(ReadFile(dir.file("log.txt")), "GfxInit\n");
}

TEST(Display, AFailedBeginDrawChangesNothingAndKeepsTheDirtyList) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(StartDisplay(dir, device(240, 320, DisplayPath::Gapi565)), GfxOk);
    fillRect(5, 6, 15, 16, 255, 0, 0);
    addDirtyRect(5, 6, 10, 10);
    addDirtyRect(5, 6, 10, 10);
    const int begins = headless::BeginDrawCount(), ends = headless::EndDrawCount();

    headless::FailBeginDraw(3);
    EXPECT_EQ(presentDirty(), GfxNoFrameBuffer);
    EXPECT_EQ(presentAll(), GfxNoFrameBuffer);
    EXPECT_EQ(clearDisplay(), GfxNoFrameBuffer);
    EXPECT_EQ(dirtyList.size(), 2u);
    EXPECT_EQ(headless::ScreenPixel(5, 46), 0);
    EXPECT_EQ(headless::EndDrawCount(), ends);

    EXPECT_EQ(presentDirty(), GfxOk);
    EXPECT_TRUE(dirtyList.empty());
    EXPECT_EQ(headless::ScreenPixel(5, 46), 0xF800);
    EXPECT_EQ(headless::ScreenPixel(14, 55), 0xF800);
    EXPECT_EQ(headless::ScreenPixel(15, 55), 0);
    EXPECT_EQ(headless::BeginDrawCount(), begins + 1);
    EXPECT_EQ(headless::EndDrawCount(), ends + 1);

    // With nothing to copy a present only opens and closes the frame buffer.
    EXPECT_EQ(presentDirty(), GfxOk);
    EXPECT_EQ(headless::BeginDrawCount(), begins + 2);
    EXPECT_EQ(headless::EndDrawCount(), ends + 2);
  }));
}

TEST(Display, PresentsCopyWhatTheyAreAskedToAndNoMore) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(StartDisplay(dir), GfxOk);
    drawPattern();
    addDirtyRect(10, 20, 3, 2);
    EXPECT_EQ(presentDirty(), GfxOk);
    EXPECT_EQ(headless::ScreenPixel(10, 60), patternAt(10, 20));
    EXPECT_EQ(headless::ScreenPixel(12, 61), patternAt(12, 21));
    EXPECT_EQ(headless::ScreenPixel(13, 60), 0);
    EXPECT_EQ(headless::ScreenPixel(10, 62), 0);

    // Clearing the back buffer shows nothing until a present; presentAll empties the list.
    clearBackBuffer(0);
    EXPECT_EQ(headless::ScreenPixel(10, 60), patternAt(10, 20));
    addDirtyRect(0, 0, 1, 1);
    clearBackBuffer(1);
    EXPECT_TRUE(dirtyList.empty());
    EXPECT_EQ(headless::ScreenPixels(), std::vector<uint16_t>(240 * 320, 0));

    // Rows below the view are drawn into but never shown.
    putPixel(0, 300, 0xFFFF);
    addDirtyRect(0, 0, 240, 240);
    presentDirty();
    presentAll();
    EXPECT_EQ(headless::ScreenPixels(), std::vector<uint16_t>(240 * 320, 0));
  }));
}

TEST(Display, RegainingTheFocusClearsTheScreenAndPutsTheViewBack) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(StartDisplay(dir, device(480, 640, DisplayPath::Gapi565)), GfxOk);
    presentAll();  // the view is black
    drawPattern();
    MainWndProc(mainWindow, WM_KILLFOCUS, 0, 0);
    MainWndProc(mainWindow, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(headless::ScreenPixels(), expectedScreen(480, 640, 120, 200));
    EXPECT_EQ(ViewOnScreen()[0], patternAt(0, 0));
  }));
}

TEST(Display, ShutdownReleasesTheDisplay) {
  for (DisplayPath path : {DisplayPath::Raw565, DisplayPath::Gapi565}) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      ASSERT_EQ(StartDisplay(dir, device(240, 320, path)), GfxOk);
      const int ends = headless::EndDrawCount();
      EXPECT_EQ(GfxUninit(), GfxOk);
      EXPECT_EQ(display.backBuffer, nullptr);
      // The display library is told once more that drawing has ended.
      EXPECT_EQ(headless::EndDrawCount(), ends + (path == DisplayPath::Gapi565 ? 1 : 0));
      // Nothing draws afterwards, but a stray call does no harm.
      putPixel(1, 1, 1);
      EXPECT_EQ(presentAll(), GfxOk);
    }));
    EXPECT_EQ(LogLines(ReadFile(dir.file("log.txt"))).back(), "GfxUninit");
  }
}
