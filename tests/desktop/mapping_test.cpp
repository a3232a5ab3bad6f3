// mapping_test.cpp -- the desktop device's pure rules: screen layout, device points, key codes, volume, names.
#include <gtest/gtest.h>

#include "platform/keys.h"
#include "platform/sdl/keymap.h"
#include "platform/sdl/view.h"

using namespace desktop;

TEST(DesktopLayout, FitScaleIsTheLargestWholeScaleThatFits) {
  EXPECT_EQ(FitScale(240, 320, 240, 320), 1);
  EXPECT_EQ(FitScale(1008, 704, 240, 320), 2);    // a 1024x768 desktop less the window frame
  EXPECT_EQ(FitScale(1904, 1016, 240, 320), 3);   // 1920x1080
  EXPECT_EQ(FitScale(3824, 2096, 240, 320), 6);   // 3840x2160
  EXPECT_EQ(FitScale(200, 200, 240, 320), 1);     // never below 1, even when nothing fits
  EXPECT_EQ(FitScale(1000, 1000, 0, 320), 1);
}

TEST(DesktopLayout, ExactWindowsHaveNoBars) {
  for (int scale = 1; scale <= 4; ++scale) {
    const ViewLayout layout = LayoutScreen(240 * scale, 320 * scale, 240, 320);
    EXPECT_EQ(layout.scale, scale);
    EXPECT_EQ(layout.x, 0);
    EXPECT_EQ(layout.y, 0);
    EXPECT_EQ(layout.width, 240 * scale);
    EXPECT_EQ(layout.height, 320 * scale);
  }
}

TEST(DesktopLayout, LargerWindowsCentreTheScreenBetweenBars) {
  ViewLayout wide = LayoutScreen(1024, 768, 240, 320);  // scale 2, bars left and right
  EXPECT_EQ(wide.scale, 2);
  EXPECT_EQ(wide.x, (1024 - 480) / 2);
  EXPECT_EQ(wide.y, (768 - 640) / 2);
  ViewLayout tall = LayoutScreen(500, 1300, 240, 320);  // width decides: scale 2, bars above and below
  EXPECT_EQ(tall.scale, 2);
  EXPECT_EQ(tall.x, 10);
  EXPECT_EQ(tall.y, 330);
  ViewLayout odd = LayoutScreen(241, 321, 240, 320);  // the odd pixel goes to the right and bottom bars
  EXPECT_EQ(odd.x, 0);
  EXPECT_EQ(odd.y, 0);
  ViewLayout landscape = LayoutScreen(1000, 1000, 320, 240);
  EXPECT_EQ(landscape.scale, 3);
  EXPECT_EQ(landscape.x, 20);
  EXPECT_EQ(landscape.y, 140);
}

TEST(DesktopLayout, WindowPointsBecomeDevicePointsAtEveryScale) {
  for (int scale = 1; scale <= 4; ++scale) {
    const ViewLayout layout = LayoutScreen(240 * scale, 320 * scale, 240, 320);
    int x = -1, y = -1;
    ASSERT_TRUE(WindowToDevice(layout, 0, 0, &x, &y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    // Every window pixel of a scaled device pixel touches that device pixel.
    ASSERT_TRUE(WindowToDevice(layout, 120 * scale + scale - 1, 41 * scale, &x, &y));
    EXPECT_EQ(x, 120);
    EXPECT_EQ(y, 41);
    ASSERT_TRUE(WindowToDevice(layout, 240 * scale - 1, 320 * scale - 1, &x, &y));
    EXPECT_EQ(x, 239);
    EXPECT_EQ(y, 319);
    EXPECT_FALSE(WindowToDevice(layout, 240 * scale, 0, &x, &y));
    EXPECT_FALSE(WindowToDevice(layout, 0, 320 * scale, &x, &y));
    EXPECT_FALSE(WindowToDevice(layout, -1, 0, &x, &y));
  }
}

TEST(DesktopLayout, PressesOnTheBarsAreOutsideTheScreen) {
  const ViewLayout layout = LayoutScreen(1024, 768, 240, 320);  // screen at (272, 64), 480x640
  int x = -1, y = -1;
  EXPECT_FALSE(WindowToDevice(layout, 271, 300, &x, &y));  // left bar, next to the screen
  EXPECT_FALSE(WindowToDevice(layout, 752, 300, &x, &y));  // right bar
  EXPECT_FALSE(WindowToDevice(layout, 500, 63, &x, &y));   // top bar
  EXPECT_FALSE(WindowToDevice(layout, 500, 704, &x, &y));  // bottom bar
  EXPECT_FALSE(WindowToDevice(layout, 0, 0, &x, &y));
  EXPECT_EQ(x, -1);  // untouched when outside
  ASSERT_TRUE(WindowToDevice(layout, 272, 64, &x, &y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  ASSERT_TRUE(WindowToDevice(layout, 751, 703, &x, &y));
  EXPECT_EQ(x, 239);
  EXPECT_EQ(y, 319);
  ASSERT_TRUE(WindowToDevice(layout, 272 + 2 * 120 + 1, 64 + 2 * 41, &x, &y));
  EXPECT_EQ(x, 120);
  EXPECT_EQ(y, 41);
}

TEST(DesktopLayout, ScaleThreeWithBarsOnBothSides) {
  const ViewLayout layout = LayoutScreen(800, 1000, 240, 320);  // scale 3: 720x960 at (40, 20)
  ASSERT_EQ(layout.scale, 3);
  int x = -1, y = -1;
  EXPECT_FALSE(WindowToDevice(layout, 39, 20, &x, &y));
  EXPECT_FALSE(WindowToDevice(layout, 40, 19, &x, &y));
  ASSERT_TRUE(WindowToDevice(layout, 42, 22, &x, &y));
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  ASSERT_TRUE(WindowToDevice(layout, 43, 23, &x, &y));
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 1);
}

TEST(DesktopLayout, DevicePointsGoBackToTheMiddleOfTheirWindowPixels) {
  for (int scale = 1; scale <= 4; ++scale) {
    const ViewLayout layout = LayoutScreen(240 * scale + 50, 320 * scale + 30, 240, 320);
    for (int device : {0, 1, 119, 239}) {
      int wx = 0, wy = 0, x = -1, y = -1;
      DeviceToWindow(layout, device, device, &wx, &wy);
      ASSERT_TRUE(WindowToDevice(layout, wx, wy, &x, &y));
      EXPECT_EQ(x, device);
      EXPECT_EQ(y, device);
    }
  }
}

TEST(DesktopKeys, KeysBecomeTheHandheldsVirtualKeyCodes) {
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), VK_LEFT);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_UP), VK_UP);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_RIGHT), VK_RIGHT);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), VK_DOWN);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_LEFT), 37u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_DOWN), 40u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_RETURN), 13u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_ENTER), 13u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_SPACE), 32u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_ESCAPE), 27u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_BACKSPACE), 8u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_TAB), 9u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_LSHIFT), 16u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_RCTRL), 17u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_LALT), 18u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_HOME), 36u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_DELETE), 46u);
}

TEST(DesktopKeys, LettersAndDigitsAreTheirUpperCaseCodes) {
  for (char c = 'a'; c <= 'z'; ++c)
    EXPECT_EQ(VirtualKeyFromSdl(static_cast<SDL_Keycode>(c)), static_cast<uint32_t>(c - 'a' + 'A')) << c;
  for (char c = '0'; c <= '9'; ++c)
    EXPECT_EQ(VirtualKeyFromSdl(static_cast<SDL_Keycode>(c)), static_cast<uint32_t>(c)) << c;
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_z), 90u);
}

TEST(DesktopKeys, FunctionKeysAndKeypad) {
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F1), 0x70u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F11), 0x7Au);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F12), 0x7Bu);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F13), 0x7Cu);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_F24), 0x87u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_0), 0x60u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_1), 0x61u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_9), 0x69u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_KP_PLUS), 0x6Bu);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_SEMICOLON), 0xBAu);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_QUOTE), 0xDEu);
}

TEST(DesktopKeys, KeysTheHandheldCouldNotReportHaveNoCode) {
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_UNKNOWN), 0u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_MODE), 0u);
  EXPECT_EQ(VirtualKeyFromSdl(SDLK_AUDIOPLAY), 0u);
}

TEST(DesktopKeys, TheDefaultKeyListBindsTheEightHandheldKeys) {
  const KeyList keys = DesktopDefaultKeys();
  EXPECT_EQ(keys.up.vkCode, 38);
  EXPECT_EQ(keys.down.vkCode, 40);
  EXPECT_EQ(keys.left.vkCode, 37);
  EXPECT_EQ(keys.right.vkCode, 39);
  EXPECT_EQ(keys.a.vkCode, 32);  // Space, the Action key of a new player
  EXPECT_EQ(keys.b.vkCode, 'X');
  EXPECT_EQ(keys.c.vkCode, 'C');
  EXPECT_EQ(keys.start.vkCode, 13);
  // Every key of the list is one the keyboard can produce.
  for (int16_t code : {keys.up.vkCode, keys.down.vkCode, keys.left.vkCode, keys.right.vkCode, keys.a.vkCode,
                       keys.b.vkCode, keys.c.vkCode, keys.start.vkCode}) {
    bool reachable = false;
    for (SDL_Keycode key : {SDLK_UP, SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_SPACE, SDLK_x, SDLK_c, SDLK_RETURN})
      reachable = reachable || VirtualKeyFromSdl(key) == static_cast<uint32_t>(code);
    EXPECT_TRUE(reachable) << code;
  }
}

TEST(DesktopVolume, TheGamesRangeCoversTheMixersRange) {
  EXPECT_EQ(MixerVolume(0), 0);
  EXPECT_EQ(MixerVolume(1), 2);
  EXPECT_EQ(MixerVolume(16), 32);
  EXPECT_EQ(MixerVolume(32), 64);
  EXPECT_EQ(MixerVolume(63), 126);
  EXPECT_EQ(MixerVolume(64), 128);
  EXPECT_EQ(MixerVolume(65), 128);
  EXPECT_EQ(MixerVolume(0xFFFFFFFFu), 128);
}

TEST(DesktopScreenshots, NamesAreNumberedWithThreeDigits) {
  EXPECT_EQ(ScreenshotName(1), "zelvo-shot-001.png");
  EXPECT_EQ(ScreenshotName(42), "zelvo-shot-042.png");
  EXPECT_EQ(ScreenshotName(999), "zelvo-shot-999.png");
}

TEST(DesktopScreenshots, PixelsExpandToFullRangeColours) {
  EXPECT_EQ(Expand565(0xFFFF), (std::array<uint8_t, 3>{255, 255, 255}));
  EXPECT_EQ(Expand565(0x0000), (std::array<uint8_t, 3>{0, 0, 0}));
  EXPECT_EQ(Expand565(0xF800), (std::array<uint8_t, 3>{255, 0, 0}));
  EXPECT_EQ(Expand565(0x07E0), (std::array<uint8_t, 3>{0, 255, 0}));
  EXPECT_EQ(Expand565(0x001F), (std::array<uint8_t, 3>{0, 0, 255}));
  EXPECT_EQ(Expand565(0xCE5F), (std::array<uint8_t, 3>{206, 203, 255}));
}

TEST(DesktopOptions, ScreenSizes) {
  int w = 0, h = 0;
  ASSERT_TRUE(ParseScreenSize("240x320", &w, &h));
  EXPECT_EQ(w, 240);
  EXPECT_EQ(h, 320);
  ASSERT_TRUE(ParseScreenSize("480X640", &w, &h));
  EXPECT_EQ(w, 480);
  EXPECT_EQ(h, 640);
  for (const char* bad : {"", "240", "x320", "240x", "240x320x2", "-240x320", "0x320", "240x0", "4097x320",
                          "240 x320", "240x320 ", "abcxdef", "99999999999x1"}) {
    w = h = 7;
    EXPECT_FALSE(ParseScreenSize(bad, &w, &h)) << bad;
    EXPECT_EQ(w, 7);
  }
}
