// display_test.cpp -- a failed begin-draw, the shutdown of the display and dirty rectangles at every edge (its
// start-up on every device model is played through zelvo-sim in the scenarios and start-up tests).
#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/primitives.h"
#include "shell/shell.h"

using testing_support::ReadFile;
using testing_support::TempDir;

namespace {

uint16_t patternAt(uint32_t x, uint32_t y) { return static_cast<uint16_t>(1 + (x * 251 + y * 241) % 0xFFFE); }

}  // namespace

TEST(Display, AFailedBeginDrawChangesNothingAndKeepsTheDirtyList) {
  TempDir dir;
  EXPECT_TRUE(testing_support::RunFresh([&] {
    ASSERT_EQ(gfx_testing::StartDisplay(dir, {.display = headless::DisplayPath::Gapi565}), GfxOk);
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
    // Regaining the focus clears the screen and puts the whole view back.
    putPixel(0, 0, 0x1234);
    MainWndProc(mainWindow, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(headless::ScreenPixel(0, 40), 0x1234);
    EXPECT_EQ(headless::EndDrawCount(), ends + 3);
    // Shutdown ends drawing once more and lets the back buffer go.
    EXPECT_EQ(GfxUninit(), GfxOk);
    EXPECT_EQ(headless::EndDrawCount(), ends + 4);
    EXPECT_EQ(display.backBuffer, nullptr);
    EXPECT_EQ(testing_support::LogLines(ReadFile(dir.file("log.txt"))).back(), "GfxUninit");
  }));
}

// Rectangles reaching past the view, the screen and the back buffer copy exactly the pixels a
// pixel-by-pixel rule picks: element x + 240 * y of the back buffer when it exists, at screen
// position (x, y) + view offset when that lies on the screen (so a row past column 239 goes on
// with the next back-buffer row).
TEST(Display, DirtyRectanglesReachExactlyThePixelsTheyCover) {
  const std::vector<DirtyRect> rects = {{0, 0, 240, 240}, {230, 10, 60, 3},   {5, 230, 20, 30},  {0, 300, 240, 60},
                                        {239, 239, 1, 1}, {100, 50, 0, 9},    {7, 8, 300, 2},    {65000, 3, 600, 2},
                                        {3, 65000, 4, 4}, {235, 100, 65535, 1}};
  using enum headless::DisplayPath;
  using enum headless::Layout;
  for (const headless::DeviceConfig& config :
       {headless::DeviceConfig{.screenWidth = 320, .screenHeight = 240},
        headless::DeviceConfig{.screenWidth = 480, .screenHeight = 640, .layout = Rotated90},
        headless::DeviceConfig{.screenWidth = 250, .screenHeight = 330, .display = Gapi565, .layout = Mirrored},
        headless::DeviceConfig{.layout = Rotated270}}) {
    TempDir dir;
    EXPECT_TRUE(testing_support::RunFresh([&] {
      ASSERT_EQ(gfx_testing::StartDisplay(dir, config), GfxOk);
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
