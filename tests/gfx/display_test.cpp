// display_test.cpp -- display start-up and its refusals, view placement, frame-buffer layouts and presents.
#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/primitives.h"
#include "platform/system.h"
#include "services/log.h"
#include "shell/shell.h"
#include "support/device.h"

using gfx_testing::StartDisplay;
using headless::DisplayPath;
using headless::Layout;
using testing_support::LogLines;
using testing_support::ReadFile;
using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

uint16_t patternAt(uint32_t x, uint32_t y) { return static_cast<uint16_t>(1 + (x * 251 + y * 241) % 0xFFFE); }

headless::DeviceConfig device(int32_t width, int32_t height, DisplayPath path = DisplayPath::Raw565,
                              Layout layout = Layout::Normal, uint32_t bitsPerPixel = 16) {
  headless::DeviceConfig config;
  config.screenWidth = width, config.screenHeight = height;
  config.display = path, config.layout = layout, config.bitsPerPixel = bitsPerPixel;
  return config;
}

std::string logAtMessageBox;
void recordLog(const headless::MessageBoxRecord&) { logAtMessageBox = ReadFile(appDirectory + "log.txt"); }

}  // namespace

TEST(Display, TheViewIsCentredAndEveryLayoutShowsTheSamePicture) {
  struct Case {
    headless::DeviceConfig config;
    uint32_t left, top;
  };
  std::vector<Case> cases = {{device(240, 320), 0, 40}, {device(320, 240), 40, 0}, {device(480, 640), 120, 200},
                             {device(240, 320, DisplayPath::Gapi555), 0, 40}};
  for (Layout layout : {Layout::Rotated90, Layout::Rotated180, Layout::Rotated270, Layout::Mirrored})
    for (DisplayPath path : {DisplayPath::Raw565, DisplayPath::Gapi565})
      cases.push_back({device(240, 320, path, layout), 0, 40});
  for (const Case& c : cases) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      ASSERT_EQ(StartDisplay(dir, c.config), GfxOk);
      EXPECT_EQ(display.useGapiDraw, c.config.display != DisplayPath::Raw565);
      EXPECT_EQ(display.rgbToPixel, c.config.display == DisplayPath::Gapi555 ? &rgbTo555 : &rgbTo565);
      // The top half through presentAll, the rest through two dirty rectangles.
      for (uint32_t y = 0; y < 240; ++y) {
        if (y == 120) presentAll();
        for (uint32_t x = 0; x < 240; ++x) putPixel(x, y, patternAt(x, y));
      }
      addDirtyRect(0, 120, 100, 120);
      addDirtyRect(100, 120, 140, 120);
      EXPECT_EQ(presentDirty(), GfxOk);
      EXPECT_TRUE(dirtyList.empty());
      std::vector<uint16_t> expected;
      for (int32_t y = 0; y < c.config.screenHeight; ++y)
        for (int32_t x = 0; x < c.config.screenWidth; ++x) {
          const uint32_t vx = static_cast<uint32_t>(x) - c.left, vy = static_cast<uint32_t>(y) - c.top;
          expected.push_back(vx < 240 && vy < 240 ? patternAt(vx, vy) : 0);
        }
      EXPECT_EQ(headless::ScreenPixels(), expected);
      // Regaining the focus clears the screen and puts the whole view back.
      putPixel(0, 0, 0x1234);
      MainWndProc(mainWindow, WM_SETFOCUS, 0, 0);
      expected[c.top * c.config.screenWidth + c.left] = 0x1234;
      EXPECT_EQ(headless::ScreenPixels(), expected);
    })) << c.config.screenWidth << "x" << c.config.screenHeight << " path " << static_cast<int>(c.config.display)
        << " layout " << static_cast<int>(c.config.layout);
    const std::string gapi = c.config.display == DisplayPath::Raw565 ? "no" : "yes";
    if (c.config.layout == Layout::Normal && c.top == 40) {
      EXPECT_EQ(ReadFile(dir.file("log.txt")), "GfxInit\n\nDevice: [240x320x16][240x320] (2,480), GAPI: " + gapi + "\n");
    }
  }
}

// Rectangles reaching past the view, the screen and the back buffer copy exactly the pixels a
// pixel-by-pixel rule picks: element x + 240 * y of the back buffer when it exists, at screen
// position (x, y) + view offset when that lies on the screen (so a row past column 239 goes on
// with the next back-buffer row).
TEST(Display, DirtyRectanglesReachExactlyThePixelsTheyCover) {
  const std::vector<DirtyRect> rects = {{0, 0, 240, 240}, {230, 10, 60, 3},   {5, 230, 20, 30},  {0, 300, 240, 60},
                                        {239, 239, 1, 1}, {100, 50, 0, 9},    {7, 8, 300, 2},    {65000, 3, 600, 2},
                                        {3, 65000, 4, 4}, {235, 100, 65535, 1}};
  for (const headless::DeviceConfig& config :
       {device(320, 240), device(480, 640, DisplayPath::Raw565, Layout::Rotated90),
        device(250, 330, DisplayPath::Gapi565, Layout::Mirrored), device(240, 320, DisplayPath::Raw565, Layout::Rotated270)}) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      ASSERT_EQ(StartDisplay(dir, config), GfxOk);
      const uint32_t w = display.displayWidth, h = display.displayHeight, pixels = w * h;
      for (uint32_t i = 0; i < pixels; ++i) display.backBuffer[i] = patternAt(i % 240, i / 240);
      for (const DirtyRect& rect : rects) {
        clearDisplay();
        std::vector<uint16_t> expected(pixels, 0);
        for (uint32_t r = 0; r < rect.height; ++r)
          for (uint32_t c = 0; c < rect.width; ++c) {
            const uint64_t vx = rect.x + c, vy = rect.y + r, sx = vx + display.viewOffsetX, sy = vy + display.viewOffsetY;
            if (vx + 240 * vy < pixels && sx < w && sy < h) expected[sy * w + sx] = display.backBuffer[vx + 240 * vy];
          }
        addDirtyRect(rect.x, rect.y, rect.width, rect.height);
        presentDirty();
        EXPECT_EQ(headless::ScreenPixels(), expected) << rect.x << "," << rect.y << " " << rect.width << "x" << rect.height;
      }
    })) << config.screenWidth << "x" << config.screenHeight;
  }
}

TEST(Display, EveryRefusalLogsInOrderAndShowsOneMessageBox) {
  struct Case {
    headless::DeviceConfig config;
    std::vector<std::string> log;  // the lines of log.txt
    size_t beforeBox;              // how many of them were written when the box appeared
  };
  const std::vector<Case> cases = {
      {device(240, 320, DisplayPath::None),
       {"GfxInit", "", "Display with BPP 16 and GAPI ffFormat 32 not supported", "Display not supported(1)"}, 3},
      {device(240, 320, DisplayPath::Dram), {"GfxInit", "", "Device is not QVGA", "Display not supported(1)"}, 3},
      {device(239, 320), {"GfxInit", "Display not supported(2)"}, 1},
      {device(320, 239, DisplayPath::Gapi565), {"GfxInit", "Display not supported(2)"}, 1},
      {device(240, 320, DisplayPath::Raw565, Layout::Normal, 8),
       {"GfxInit", "", "Device: [240x320x8][240x320] (2,480), GAPI: no", "Display not supported(4)"}, 4},
      {device(240, 320, DisplayPath::RawOther, Layout::Normal, 32),
       {"GfxInit", "", "Device: [240x320x32][240x320] (2,480), GAPI: yes", "Display not supported(4)"}, 4},
  };
  for (const Case& c : cases) {
    TempDir dir;
    EXPECT_TRUE(RunFresh([&] {
      EXPECT_EQ(StartDisplay(dir, c.config, recordLog), GfxNotSupported);
      EXPECT_FALSE(display.gfxReady);
      ASSERT_EQ(headless::MessageBoxes().size(), 1u);
      const headless::MessageBoxRecord& box = headless::MessageBoxes()[0];
      EXPECT_EQ(box.text + "|" + box.caption, "This device is not supported.|Error");
      EXPECT_EQ(box.style, MB_OK);
      EXPECT_EQ(LogLines(logAtMessageBox), std::vector<std::string>(c.log.begin(), c.log.begin() + c.beforeBox));
    })) << c.log.back();
    EXPECT_EQ(LogLines(ReadFile(dir.file("log.txt"))), c.log);
  }
  TempDir dir;  // no live main window: nothing is probed or shown
  EXPECT_TRUE(RunFresh([&] {
    testing_support::StartDevice(dir);
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
    const int ends = headless::EndDrawCount();
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
    EXPECT_EQ(headless::EndDrawCount(), ends + 1);
    // Shutdown ends drawing once more and lets the back buffer go.
    EXPECT_EQ(GfxUninit(), GfxOk);
    EXPECT_EQ(headless::EndDrawCount(), ends + 2);
    EXPECT_EQ(display.backBuffer, nullptr);
    EXPECT_EQ(LogLines(ReadFile(dir.file("log.txt"))).back(), "GfxUninit");
  }));
}
