// input_test.cpp -- the one-tap latch in view coordinates, the four game keys and the device's key list.
#include <gtest/gtest.h>

#include "flow/input.h"
#include "gfx/display.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "shell/shell.h"
#include "support/testing.h"

using testing_support::RunFresh;

namespace {

headless::ScriptEvent keyAt(double time, uint32_t key, bool down = true) {
  headless::ScriptEvent event;
  event.time = time;
  event.kind = down ? headless::EventKind::KeyDown : headless::EventKind::KeyUp;
  event.a = key;
  return event;
}

// A fresh device whose keys in `down` are held from the start.
void holdKeys(const std::vector<uint32_t>& down) {
  headless::Configure(headless::DeviceConfig{});
  for (uint32_t key : down) headless::Schedule(keyAt(0.0, key));
  SysSleep(1);
}

}  // namespace

TEST(Taps, OnlyTapsInsideTheViewBorderAreLatchedInViewPixels) {
  EXPECT_TRUE(RunFresh([] {
    display.viewOffsetX = 0;
    display.viewOffsetY = 40;
    struct Case {
      uint32_t sx, sy, tap;
    };
    for (Case c : {Case{0, 100, 0}, Case{1, 41, 0x00010001}, Case{238, 278, 0x00EE00EE}, Case{239, 100, 0},
                   Case{120, 40, 0}, Case{120, 279, 0}, Case{120, 10, 0}, Case{0xFFFF, 0xFFFF, 0}}) {
      LatchTap(c.sx, c.sy);
      EXPECT_EQ(TapPending(), c.tap != 0) << c.sx << "," << c.sy;
      EXPECT_EQ(TakeTap(), c.tap) << c.sx << "," << c.sy;
      EXPECT_FALSE(TapPending());
    }
  }));
}

TEST(Taps, OneTapIsHeldUntilTheGameTakesIt) {
  EXPECT_TRUE(RunFresh([] {
    display.viewOffsetY = 40;
    EXPECT_EQ(TakeTap(), 0u);
    LatchTap(10, 50);
    LatchTap(20, 60);  // lost
    EXPECT_EQ(tapX, 10);
    EXPECT_EQ(tapY, 10);
    EXPECT_EQ(TakeTap(), (10u << 16) | 10u);
    LatchTap(20, 60);
    EXPECT_EQ(TakeTap(), (20u << 16) | 20u);
  }));
}

TEST(Taps, AStylusDownReachesTheLatchThroughTheWindow) {
  testing_support::TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.appDirectory = dir.path();
    config.screenWidth = 480;
    config.screenHeight = 640;
    headless::Configure(config);
    ASSERT_TRUE(CreateMainWindow(1, SW_SHOW));
    ASSERT_EQ(GfxInit(), GfxOk);
    headless::ScriptEvent tap;
    tap.time = 0.0, tap.kind = headless::EventKind::Tap, tap.a = 300, tap.b = 400;
    headless::Schedule(tap);
    SysSleep(1);
    Message message;
    while (WinPeekMessage(&message, true)) WinDispatchMessage(&message);
    EXPECT_EQ(TakeTap(), (180u << 16) | 200u);
  }));
}

TEST(GameKeys, EachSlotReadsItsKeyAsItIsNow) {
  EXPECT_TRUE(RunFresh([] {
    keySlots[SlotLeft] = VK_LEFT, keySlots[SlotRight] = VK_RIGHT, keySlots[SlotUp] = VK_UP;
    keySlots[SlotAction] = 0xC1;
    holdKeys({VK_LEFT, 0xC1});
    ReadGameKeys();
    EXPECT_EQ(std::vector<uint8_t>(keyDown, keyDown + 4), (std::vector<uint8_t>{1, 0, 0, 1}));
    // Held across polls it stays down; released it reads up.
    headless::Schedule({keyAt(0.5, VK_UP), keyAt(0.5, VK_LEFT, false)});
    SysSleep(500);
    ReadGameKeys();
    ReadGameKeys();
    EXPECT_EQ(std::vector<uint8_t>(keyDown, keyDown + 4), (std::vector<uint8_t>{0, 0, 1, 1}));
    // A slot holding 0, or a code that names no key, is never down.
    keySlots[SlotAction] = 0;
    keySlots[SlotUp] = 0x10026;
    ReadGameKeys();
    EXPECT_EQ(std::vector<uint8_t>(keyDown, keyDown + 4), (std::vector<uint8_t>{0, 0, 0, 0}));
  }));
}

TEST(GameKeys, AnyGapiKeyTakesTheListInItsFixedOrder) {
  EXPECT_TRUE(RunFresh([] {
    keyList = headless::DeviceConfig::DefaultKeyList();
    const uint32_t a = 0xC1, b = 0xC2, c = 0xC3, start = 0xC4;
    struct Case {
      std::vector<uint32_t> held;
      uint32_t first;
    };
    for (const Case& test : {Case{{}, 0}, Case{{VK_UP, VK_LEFT}, VK_LEFT}, Case{{VK_UP, VK_RIGHT}, VK_RIGHT},
                             Case{{VK_DOWN, VK_UP}, VK_UP}, Case{{start, VK_DOWN}, VK_DOWN}, Case{{a, start}, start},
                             Case{{c, b, a}, a}, Case{{c, b}, b}, Case{{c}, c}, Case{{VK_RETURN}, 0}}) {
      holdKeys(test.held);
      EXPECT_EQ(AnyGapiKey(), test.first) << test.first;
    }
    // A device without a key in some entry skips it.
    keyList.left.vkCode = 0;
    holdKeys({VK_RIGHT});
    EXPECT_EQ(AnyGapiKey(), VK_RIGHT);
  }));
}
