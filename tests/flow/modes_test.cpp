// modes_test.cpp -- taps and keys, the position display and the volume level picture on the headless
// device (the front end's screens are played through zelvo-sim in the scenarios).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "data/loaders.h"
#include "flow/input.h"
#include "flow/modes.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/text.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "services/settings.h"
#include "services/timer.h"
#include "shell/shell.h"
#include "support/device.h"
#include "support/play_world.h"
#include "world/objects.h"

using headless::EventKind;
using play_world::BlockColour;
using testing_support::At;
using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

constexpr uint32_t kKeyB = 0xC2, kKeyC = 0xC3, kKeyStart = 0xC4;

// Run body in a fresh process on the display, clock, key list and every front-end picture loaded
// (tests/worlds/blocks: each a block of its own colour, which tells which picture shows where), as after start-up.
void frontEnd(const std::function<void()>& body) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    ASSERT_EQ(testing_support::CopyDataFiles(play_world::kBlocks, dir.path()), "");
    ASSERT_EQ(gfx_testing::StartDisplay(dir), GfxOk);
    ASSERT_EQ(TimerInit(), 0);
    ASSERT_EQ(loadImages(), LoadOk);
    keyList = DispGetDefaultKeys(KEYS_NORMAL);
    body();
  }));
}

}  // namespace

TEST(GameFrame, ShowsThePlayersPositionThreeTimesIn256FramesOfPlayAndTheVolumeLevelPicture) {
  frontEnd([] {
    for (auto [volume, picture] : {std::pair{0, 133}, {1, 134}, {84, 134}, {85, 135}, {126, 135}, {127, 136},
                                   {168, 136}, {169, 137}, {210, 137}, {211, 138}, {255, 138}}) {
      volumeSetting = static_cast<uint8_t>(volume);
      ShowVolumeLevel();
      EXPECT_EQ(display.backBuffer[68 + 240 * 100], BlockColour(static_cast<uint32_t>(picture))) << volume;
    }
    gfx_testing::Owned owned;
    owned.font(1, 6, 8, std::vector<uint16_t>(96 * 6 * 8, 0x1234));  // every cell solid ink
    gameMode = ModePlay;
    gameSetUp = 1;
    playerX = -7;
    playerY = 140;
    int shown = 0;
    for (int i = 0; i < 256; ++i) {
      dirtyList.clear();
      GameFrame(0.02);
      for (const DirtyRect& rect : dirtyList) {
        if (rect.x != 0 || rect.y != 225) continue;
        shown += 1;
        EXPECT_EQ(rect.width, 6 * 9);  // "-7,140   "
      }
    }
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(frameTick, 0);
    EXPECT_EQ(display.backBuffer[0 + 240 * 225], 0x67EC);
    EXPECT_EQ(textBackground, 0x0320);
  });
}

TEST(Input, OnlyTapsInsideTheViewBorderAreLatchedOneAtATimeAndAnyGapiKeyTakesTheListInOrder) {
  frontEnd([] {
    for (auto [sx, sy, tap] : {std::array<uint32_t, 3>{0, 100, 0}, {1, 41, 0x00010001}, {238, 278, 0x00EE00EE},
                               {239, 100, 0}, {120, 40, 0}, {120, 279, 0}, {0xFFFF, 0xFFFF, 0}}) {
      LatchTap(sx, sy);
      EXPECT_EQ(TapPending(), tap != 0) << sx << "," << sy;
      EXPECT_EQ(TakeTap(), tap) << sx << "," << sy;
    }
    MainWndProc(mainWindow, WM_LBUTTONDOWN, MK_LBUTTON, (50 << 16) | 10);  // x in the low half of lParam
    LatchTap(20, 60);  // lost while the first is held
    EXPECT_EQ(TakeTap(), (10u << 16) | 10u);
    EXPECT_EQ(TakeTap(), 0u);

    keySlots[SlotLeft] = VK_LEFT, keySlots[SlotRight] = VK_RIGHT, keySlots[SlotUp] = 0, keySlots[SlotAction] = 0xC1;
    const uint32_t a = 0xC1, b = kKeyB, c = kKeyC, start = kKeyStart;
    const std::pair<std::vector<uint32_t>, uint32_t> cases[] = {
        {{}, 0},        {{VK_UP, VK_LEFT}, VK_LEFT}, {{VK_UP, VK_RIGHT}, VK_RIGHT}, {{VK_DOWN, VK_UP}, VK_UP},
        {{start, VK_DOWN}, VK_DOWN}, {{a, start}, start}, {{c, b, a}, a}, {{c, b}, b}, {{c, VK_RETURN}, c}};
    for (const auto& [held, first] : cases) {
      for (uint32_t key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, a, b, c, start, uint32_t{VK_RETURN}})
        headless::Schedule(At(headless::Now(), EventKind::KeyUp, key));
      for (uint32_t key : held) headless::Schedule(At(headless::Now(), EventKind::KeyDown, key));
      SysSleep(1);
      EXPECT_EQ(AnyGapiKey(), first) << first;
      ReadGameKeys();
      auto holds = [&](uint32_t key) -> uint8_t { return std::find(held.begin(), held.end(), key) != held.end(); };
      EXPECT_EQ(std::vector<uint8_t>(keyDown, keyDown + 4),
                (std::vector<uint8_t>{holds(VK_LEFT), holds(VK_RIGHT), 0, holds(a)}));  // slot 2 is no key
    }
    keyList.left.vkCode = 0;  // a device without that key
    headless::Schedule(At(headless::Now(), EventKind::KeyDown, VK_RIGHT));
    SysSleep(1);
    EXPECT_EQ(AnyGapiKey(), VK_RIGHT);
  });
}
