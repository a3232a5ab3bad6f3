// display_test.cpp -- a failed begin-draw and the shutdown of the display (its start-up on every device
// model is played through zelvo-sim in the scenarios and start-up tests).
#include <gtest/gtest.h>

#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/primitives.h"
#include "shell/shell.h"

using testing_support::ReadFile;
using testing_support::TempDir;

TEST(Display, AFailedBeginDrawChangesNothingAndKeepsTheDirtyList) {
  TempDir dir;
  EXPECT_TRUE(testing_support::RunFresh([&] {
    headless::DeviceConfig config;
    config.display = headless::DisplayPath::Gapi565;
    ASSERT_EQ(gfx_testing::StartDisplay(dir, config), GfxOk);
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
