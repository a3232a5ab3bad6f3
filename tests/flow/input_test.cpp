// input_test.cpp -- the one-tap latch in view coordinates, the four game keys and the device's key list.
#include <gtest/gtest.h>

#include "flow/input.h"
#include "gfx/display.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "shell/settings.h"
#include "shell/shell.h"
#include "support/testing.h"

using testing_support::RunFresh;

namespace {

// A fresh device on which the given keys are held.
void holdKeys(const std::vector<uint32_t>& down) {
  headless::Configure(headless::DeviceConfig{});
  for (uint32_t key : down) {
    headless::ScriptEvent event;
    event.kind = headless::EventKind::KeyDown, event.a = key;
    headless::Schedule(event);
  }
  SysSleep(1);
}

}  // namespace

TEST(Taps, OnlyTapsInsideTheViewBorderAreLatchedAndOnlyOneAtATime) {
  EXPECT_TRUE(RunFresh([] {
    display.viewOffsetY = 40;  // a 240x320 screen
    struct Case {
      uint32_t sx, sy, tap;
    };
    for (Case c : {Case{0, 100, 0}, Case{1, 41, 0x00010001}, Case{238, 278, 0x00EE00EE}, Case{239, 100, 0},
                   Case{120, 40, 0}, Case{120, 279, 0}, Case{0xFFFF, 0xFFFF, 0}}) {
      LatchTap(c.sx, c.sy);
      EXPECT_EQ(TapPending(), c.tap != 0) << c.sx << "," << c.sy;
      EXPECT_EQ(TakeTap(), c.tap) << c.sx << "," << c.sy;
    }
    // Through the window procedure: x in the low half of lParam.
    MainWndProc(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, (50 << 16) | 10);
    LatchTap(20, 60);  // lost while the first is held
    EXPECT_EQ(TakeTap(), (10u << 16) | 10u);
    EXPECT_EQ(TakeTap(), 0u);
    LatchTap(20, 60);
    EXPECT_EQ(TakeTap(), (20u << 16) | 20u);
  }));
}

TEST(Keys, GameKeysReadTheirSlotsAndAnyGapiKeyTakesTheListInOrder) {
  EXPECT_TRUE(RunFresh([] {
    keySlots[SlotLeft] = VK_LEFT, keySlots[SlotRight] = VK_RIGHT, keySlots[SlotUp] = 0, keySlots[SlotAction] = 0xC1;
    holdKeys({VK_LEFT, VK_UP, 0xC1});
    ReadGameKeys();
    EXPECT_EQ(std::vector<uint8_t>(keyDown, keyDown + 4), (std::vector<uint8_t>{1, 0, 0, 1}));  // slot 0 is no key

    keyList = headless::DeviceConfig::DefaultKeyList();
    const uint32_t a = 0xC1, b = 0xC2, c = 0xC3, start = 0xC4;
    const std::vector<std::pair<std::vector<uint32_t>, uint32_t>> cases = {
        {{}, 0},        {{VK_UP, VK_LEFT}, VK_LEFT}, {{VK_UP, VK_RIGHT}, VK_RIGHT}, {{VK_DOWN, VK_UP}, VK_UP},
        {{start, VK_DOWN}, VK_DOWN}, {{a, start}, start}, {{c, b, a}, a}, {{c, b}, b}, {{c, VK_RETURN}, c}};
    for (const auto& [held, first] : cases) {
      holdKeys(held);
      EXPECT_EQ(AnyGapiKey(), first) << first;
    }
    keyList.left.vkCode = 0;  // a device without that key
    holdKeys({VK_RIGHT});
    EXPECT_EQ(AnyGapiKey(), VK_RIGHT);
  }));
}
