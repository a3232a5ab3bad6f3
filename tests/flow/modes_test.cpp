// modes_test.cpp -- taps and keys, and the mode machine on the headless device: title buttons, key
// definition, volume, information, the position display.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "flow/input.h"
#include "flow/modes.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/text.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "services/log.h"
#include "services/settings.h"
#include "services/timer.h"
#include "shell/shell.h"
#include "sound/music.h"
#include "support/device.h"
#include "world/objects.h"

using headless::EventKind;
using testing_support::At;
using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

constexpr uint32_t kKeyB = 0xC2, kKeyC = 0xC3, kKeyStart = 0xC4;

uint16_t colourOf(uint32_t id) { return static_cast<uint16_t>(0x0100 + id * 7); }

std::vector<uint16_t> captured;  // the view at the last scripted screenshot
uint16_t shownAt(uint32_t x, uint32_t y) { return headless::ScreenPixel(static_cast<int32_t>(x), static_cast<int32_t>(y) + 40); }

// Run body in a fresh process on the display, clock, key list, music and every front-end picture
// (each a plain block of its own colour, which tells which picture shows where), as after start-up.
void frontEnd(const std::function<void()>& body, const TempDir& dir = TempDir()) {
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    ASSERT_EQ(gfx_testing::StartDisplay(dir), GfxOk);
    ASSERT_EQ(TimerInit(), 0);
    keyList = DispGetDefaultKeys(KEYS_NORMAL);
    const std::array<uint16_t, 3> pictures[] = {
        {4, 210, 190},   {100, 150, 30},  {110, 121, 21},  {111, 122, 22}, {120, 131, 23}, {121, 131, 23}, {130, 161, 21},
        {131, 163, 19},  {140, 86, 20},   {141, 82, 18},   {150, 46, 21},  {151, 45, 19},  {122, 210, 190}, {123, 172, 20},
        {124, 180, 23},  {125, 180, 23},  {126, 180, 23},  {127, 188, 24}, {139, 210, 190}, {132, 58, 15}, {133, 76, 21},
        {134, 76, 21},   {135, 76, 21},   {136, 76, 21},   {137, 76, 21},  {138, 76, 21},  {500, 210, 190}, {501, 46, 12}};
    for (const auto& [id, width, height] : pictures) owned.solid(id, width, height, colourOf(id));
    headless::OnScreenshot([](const std::string&, bool) { captured = testing_support::ViewPixels(); });
    SndInit();
    body();
  }));
}

// One frame, a fiftieth of a second after the last, as the message loop paces them.
void frame() {
  SysSleep(20);
  GameFrame(0.02);
}

void tapView(uint32_t x, uint32_t y) { LatchTap(x, y + 40); }

// The title drawn afresh, then a tap at (x, y) and a frame, with a screenshot while a button shows pressed.
void tapTitle(uint32_t x, uint32_t y) {
  gameMode = ModeTitle;
  titleShown = 0;
  frame();
  headless::Schedule(At(headless::Now() + 0.03, EventKind::Shot));
  tapView(x, y);
  frame();
}

using Slots = std::vector<uint32_t>;
Slots slots() { return Slots(keySlots, keySlots + kKeySlots); }

}  // namespace

TEST(TitleScreen, ButtonsActOnTheirInclusiveBoundsOnlyAfterTheTitleIsDrawn) {
  frontEnd([] {
    tapView(50, 55);  // made while the title is first drawn: it waits for the next frame
    frame();
    EXPECT_EQ(titleShown, 1);
    EXPECT_TRUE(TapPending());
    TakeTap();
    tapView(49, 55);  // just outside Start: taken and ignored
    frame();
    EXPECT_FALSE(TapPending());
    EXPECT_EQ(gameMode, ModeTitle);
    const uint32_t buttons[][8] = {{50, 55, 170, 75, 111, 49, 54, ModePlay},    {45, 85, 180, 105, 121, 50, 83, ModeKeys},
                                   {30, 115, 195, 135, 131, 33, 117, ModeVolume}, {70, 145, 155, 164, 141, 74, 147, ModeInfo}};
    for (const auto& [left, top, right, bottom, pressed, px, py, mode] : buttons) {
      for (auto [x, y] : {std::pair{left, top}, std::pair{right, bottom}}) {
        tapTitle(x, y);
        EXPECT_EQ(gameMode, mode) << "tap at " << x << "," << y;
        EXPECT_EQ(captured[px + 240 * py], colourOf(pressed)) << "pressed " << pressed;
        EXPECT_EQ(shownAt(px, py), colourOf(pressed));
      }
    }
  });
}

TEST(TitleScreen, StartPlaysTheGamePieceAtTheMutedVolumeAndQuitSavesStopsTheMusicAndEnds) {
  TempDir dir;
  const std::string wav = std::string("RIFF\x24\0\0\0WAVEfmt ", 16);
  testing_support::WriteFile(dir.file("main.wav"), wav);
  testing_support::WriteFile(dir.file("ingame.wav"), wav);
  frontEnd(
      [&] {
        running = 1;
        SndPlayTitleMusic();
        soundMuted = 1;
        tapTitle(100, 60);
        ASSERT_EQ(headless::Audio().playing.size(), 1u);
        EXPECT_EQ(headless::Audio().playing[0].path, dir.file("ingame.wav"));
        EXPECT_EQ(headless::Audio().volume, 0u);
        frame();  // the frame after Start sets the game up, the one after plays it
        EXPECT_EQ(gameSetUp, 1);
        keySlots[SlotAction] = kKeyB;
        volumeSetting = 148;
        tapTitle(140, 195);  // Quit's bottom-right corner
        EXPECT_EQ(running, 0);
        EXPECT_EQ(shownAt(96, 177), colourOf(151));
        EXPECT_EQ(headless::Audio().calls.back(), "stop");
        LogClose();
      },
      dir);
  const std::string saved = testing_support::ReadFile(dir.file("settings.dat"));
  ASSERT_EQ(saved.size(), 17u);
  EXPECT_EQ(static_cast<uint8_t>(saved[12]), kKeyB);
  EXPECT_EQ(static_cast<uint8_t>(saved[16]), 148);
  EXPECT_NE(testing_support::ReadFile(dir.file("log.txt")).find("\nSaved settings.\n"), std::string::npos);
}

TEST(KeysScreen, DefinesLeftRightUpActionInOrderAHeldKeyFillsTheNextSlotAndATapReturns) {
  frontEnd([] {
    headless::Schedule({At(0.10, EventKind::KeyDown, kKeyB), At(0.15, EventKind::KeyUp, kKeyB),
                        At(0.80, EventKind::KeyDown, kKeyC), At(0.85, EventKind::KeyUp, kKeyC),
                        At(1.50, EventKind::KeyDown, kKeyStart), At(1.55, EventKind::KeyUp, kKeyStart),
                        At(2.20, EventKind::KeyDown, VK_DOWN), At(2.25, EventKind::KeyUp, VK_DOWN),
                        At(3.10, EventKind::KeyDown, kKeyB), At(3.75, EventKind::KeyUp, kKeyB)});
    gameMode = ModeKeys;
    while (keyCaptureIndex < 4 && headless::Now() < 3.0) frame();
    EXPECT_EQ(slots(), (Slots{kKeyB, kKeyC, kKeyStart, VK_DOWN}));  // left, right, up, action
    EXPECT_EQ(gameMode, ModeKeys);  // the frame that takes the fourth key shows no prompt and stays
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    frame();  // a title frame: the next definition starts at the first slot again
    gameMode = ModeKeys;
    while (headless::Now() < 4.0) frame();
    EXPECT_EQ(keyCaptureIndex, 2u);
    frame();
    EXPECT_EQ(shownAt(27, 90), colourOf(126));  // now asking for Up
    headless::Schedule(At(headless::Now() + 0.03, EventKind::Shot));
    tapView(200, 200);
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    EXPECT_EQ(captured[34 + 240 * 143], colourOf(123));  // shown while the tap's half second passes
    EXPECT_EQ(shownAt(34, 143), colourOf(122));  // the rest of that frame still redraws the panel
    EXPECT_EQ(slots(), (Slots{kKeyB, kKeyB, kKeyStart, VK_DOWN}));
  });
}

TEST(VolumeScreen, StepsOf42WithinItsLimitsTheSpeakerAndLevelPictureFollowAndBackReturns) {
  frontEnd([] {
    gameMode = ModeVolume;
    volumeSetting = 64;
    frame();
    // From, tap, to: Down's corners, Up's; at the limits Down at 42 or less gives 0, Up at 211 or more does nothing.
    const int steps[][4] = {{64, 60, 90, 22},    {22, 80, 120, 0},    {64, 145, 90, 106}, {106, 145, 90, 148},
                            {43, 70, 100, 1},    {42, 70, 100, 0},    {0, 70, 100, 0},    {210, 185, 120, 252},
                            {211, 185, 120, 211}, {232, 185, 120, 232}};
    for (const auto& [from, x, y, to] : steps) {
      volumeSetting = static_cast<uint8_t>(from);
      SndSetVolume(volumeSetting);
      tapView(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
      frame();
      EXPECT_EQ(volumeSetting, to) << from;
      EXPECT_EQ(headless::Audio().volume, SndLibraryVolume(static_cast<uint32_t>(to)));
    }
    EXPECT_EQ(shownAt(68, 100), colourOf(138));
    tapView(90, 130);  // Back
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    EXPECT_EQ(shownAt(93, 146), colourOf(132));
    for (auto [volume, picture] : {std::pair{0, 133}, {1, 134}, {84, 134}, {85, 135}, {126, 135}, {127, 136},
                                   {168, 136}, {169, 137}, {210, 137}, {211, 138}, {255, 138}}) {
      volumeSetting = static_cast<uint8_t>(volume);
      ShowVolumeLevel();
      EXPECT_EQ(display.backBuffer[68 + 240 * 100], colourOf(static_cast<uint32_t>(picture))) << volume;
    }
    gameMode = ModeInfo;  // any tap on the information shows Back pressed and returns
    frame();
    tapView(5, 5);
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    EXPECT_EQ(shownAt(97, 203), colourOf(501));
    frame();  // and the title is drawn in full again, clearing what the front-end screens showed
    EXPECT_EQ(shownAt(15, 25), colourOf(4));
    EXPECT_EQ(shownAt(50, 55), colourOf(110));
    EXPECT_EQ(infoScreenShown, 0);
  });
}

TEST(GameFrame, ShowsThePlayersPositionThreeTimesIn256FramesOfPlay) {
  frontEnd([] {
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
