// modes_test.cpp -- taps and keys, and the mode machine on the headless device: title buttons, key
// definition, volume, information.
#include <gtest/gtest.h>

#include <array>

#include "flow/input.h"
#include "flow/modes.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/text.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "services/log.h"
#include "services/settings.h"
#include "shell/shell.h"
#include "services/timer.h"
#include "sound/music.h"
#include "support/device.h"
#include "world/objects.h"

using headless::EventKind;
using testing_support::At;
using testing_support::RunFresh;
using testing_support::ReadFile;
using testing_support::TempDir;

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


// Every picture of the front end as a plain block of its own colour: the colour tells which
// picture shows where.
struct Picture {
  uint32_t id;
  uint16_t width, height;
};
constexpr Picture kPictures[] = {
    {4, 210, 190},  {100, 150, 30}, {110, 121, 21}, {111, 122, 22}, {120, 131, 23}, {121, 131, 23},
    {130, 161, 21}, {131, 163, 19}, {140, 86, 20},  {141, 82, 18},  {150, 46, 21},  {151, 45, 19},
    {122, 210, 190}, {123, 172, 20}, {124, 180, 23}, {125, 180, 23}, {126, 180, 23}, {127, 188, 24},
    {139, 210, 190}, {132, 58, 15},  {133, 76, 21},  {134, 76, 21},  {135, 76, 21},  {136, 76, 21},
    {137, 76, 21},  {138, 76, 21},  {500, 210, 190}, {501, 46, 12}};

uint16_t colourOf(uint32_t id) { return static_cast<uint16_t>(0x0100 + id * 7); }

constexpr uint32_t kKeyB = 0xC2, kKeyC = 0xC3, kKeyStart = 0xC4;

std::vector<uint16_t> captured;  // the view at the last scripted screenshot
void capture(const std::string&, bool) { captured = testing_support::ViewPixels(); }

uint16_t shownAt(uint32_t x, uint32_t y) { return headless::ScreenPixel(static_cast<int32_t>(x), static_cast<int32_t>(y) + 40); }

// The display, clock, key list, music and all front-end pictures, as after start-up.
void startFrontEnd(const TempDir& dir, gfx_testing::Owned& owned) {
  ASSERT_EQ(gfx_testing::StartDisplay(dir), GfxOk);
  ASSERT_EQ(TimerInit(), 0);
  keyList = DispGetDefaultKeys(KEYS_NORMAL);
  for (const Picture& p : kPictures) owned.solid(p.id, p.width, p.height, colourOf(p.id));
  headless::OnScreenshot(capture);
  SndInit();
}

// One frame, a fiftieth of a second after the last, as the message loop paces them.
void frame() {
  SysSleep(20);
  GameFrame(0.02);
}

void tapView(uint32_t x, uint32_t y) { LatchTap(x, y + 40); }

using Slots = std::vector<uint32_t>;
Slots slots() { return Slots(keySlots, keySlots + kKeySlots); }

}  // namespace

TEST(TitleScreen, ButtonsActOnTheirInclusiveBoundsOnlyAfterTheTitleIsDrawn) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
    // A tap made while the title is first drawn waits for the next frame.
    tapView(50, 55);
    frame();
    EXPECT_EQ(titleShown, 1);
    EXPECT_TRUE(TapPending());

    // Just outside Start: taken and ignored.
    TakeTap();
    tapView(49, 55);
    frame();
    EXPECT_FALSE(TapPending());
    EXPECT_EQ(gameMode, ModeTitle);

    struct Button {
      uint32_t left, top, right, bottom, pressed, px, py, mode;
    };
    const Button buttons[] = {{50, 55, 170, 75, 111, 49, 54, ModePlay},    {45, 85, 180, 105, 121, 50, 83, ModeKeys},
                              {30, 115, 195, 135, 131, 33, 117, ModeVolume}, {70, 145, 155, 164, 141, 74, 147, ModeInfo}};
    for (const Button& b : buttons) {
      for (auto [x, y] : {std::pair{b.left, b.top}, std::pair{b.right, b.bottom}}) {
        gameMode = ModeTitle;
        titleShown = 0;
        frame();  // the title is drawn again
        headless::Schedule(At(headless::Now() + 0.03, EventKind::Shot));  // while the button shows pressed
        tapView(x, y);
        frame();
        EXPECT_EQ(gameMode, b.mode) << "tap at " << x << "," << y;
        EXPECT_EQ(captured[b.px + 240 * b.py], colourOf(b.pressed)) << "pressed " << b.pressed;
        EXPECT_EQ(shownAt(b.px, b.py), colourOf(b.pressed));
      }
    }
  }));
}

TEST(TitleScreen, StartPlaysTheGamePieceAtTheMutedVolumeAndQuitSavesStopsTheMusicAndEnds) {
  TempDir dir;
  const std::string wav = std::string("RIFF\x24\0\0\0WAVEfmt ", 16);
  testing_support::WriteFile(dir.file("main.wav"), wav);
  testing_support::WriteFile(dir.file("ingame.wav"), wav);
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
    running = 1;
    SndPlayTitleMusic();
    soundMuted = 1;
    frame();
    tapView(100, 60);
    frame();
    ASSERT_EQ(headless::Audio().playing.size(), 1u);
    EXPECT_EQ(headless::Audio().playing[0].path, dir.file("ingame.wav"));
    EXPECT_EQ(headless::Audio().volume, 0u);
    // The frame after Start sets the game up, the one after plays it.
    frame();
    EXPECT_EQ(gameSetUp, 1);

    gameMode = ModeTitle;
    titleShown = 0;
    keySlots[SlotAction] = kKeyB;
    volumeSetting = 148;
    frame();
    tapView(140, 195);  // Quit's bottom-right corner
    frame();
    EXPECT_EQ(running, 0);
    EXPECT_EQ(shownAt(96, 177), colourOf(151));
    EXPECT_EQ(headless::Audio().calls.back(), "stop");
    LogClose();
  }));
  const std::string saved = ReadFile(dir.file("settings.dat"));
  ASSERT_EQ(saved.size(), 17u);
  EXPECT_EQ(static_cast<uint8_t>(saved[12]), kKeyB);
  EXPECT_EQ(static_cast<uint8_t>(saved[16]), 148);
  EXPECT_NE(ReadFile(dir.file("log.txt")).find("\nSaved settings.\n"), std::string::npos);
}

TEST(KeysScreen, DefinesLeftRightUpActionInOrderAndReturns) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
    headless::Schedule({At(0.10, EventKind::KeyDown, kKeyB), At(0.15, EventKind::KeyUp, kKeyB),
                        At(0.80, EventKind::KeyDown, kKeyC), At(0.85, EventKind::KeyUp, kKeyC),
                        At(1.50, EventKind::KeyDown, kKeyStart), At(1.55, EventKind::KeyUp, kKeyStart),
                        At(2.20, EventKind::KeyDown, VK_DOWN), At(2.25, EventKind::KeyUp, VK_DOWN)});
    gameMode = ModeKeys;
    while (keyCaptureIndex < 4 && headless::Now() < 5.0) frame();
    EXPECT_EQ(slots(), (Slots{kKeyB, kKeyC, kKeyStart, VK_DOWN}));  // left, right, up, action
    EXPECT_EQ(gameMode, ModeKeys);  // the frame that takes the fourth key shows no prompt and stays
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
  }));
}

TEST(KeysScreen, AHeldKeyFillsTheNextSlotAndATapReturnsKeepingWhatWasDefined) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
    headless::Schedule({At(0.10, EventKind::KeyDown, kKeyB), At(0.75, EventKind::KeyUp, kKeyB)});
    gameMode = ModeKeys;
    while (headless::Now() < 1.0) frame();
    EXPECT_EQ(keyCaptureIndex, 2u);
    frame();
    EXPECT_EQ(shownAt(27, 90), colourOf(126));  // now asking for Up
    headless::Schedule(At(headless::Now() + 0.03, EventKind::Shot));
    tapView(200, 200);
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    EXPECT_EQ(captured[34 + 240 * 143], colourOf(123));  // shown while the tap's half second passes
    // The rest of that frame still redraws the panel and asks for the next key.
    EXPECT_EQ(shownAt(34, 143), colourOf(122));
    EXPECT_EQ(slots(), (Slots{kKeyB, kKeyB, VK_UP, 0}));
  }));
}

TEST(VolumeScreen, StepsOf42WithinItsLimitsAndTheSpeakerAndLevelPictureFollow) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
    gameMode = ModeVolume;
    volumeSetting = 64;
    frame();
    auto tapAndCheck = [&](uint32_t x, uint32_t y, int expected) {
      tapView(x, y);
      frame();
      EXPECT_EQ(volumeSetting, expected);
      EXPECT_EQ(headless::Audio().volume, SndLibraryVolume(static_cast<uint32_t>(expected)));
    };
    tapAndCheck(60, 90, 22);    // Down, top-left corner
    tapAndCheck(80, 120, 0);    // Down, bottom-right corner
    EXPECT_EQ(shownAt(68, 100), colourOf(133));
    volumeSetting = 64;
    for (int expected : {106, 148, 190, 232}) tapAndCheck(145, 90, expected);
    EXPECT_EQ(shownAt(68, 100), colourOf(138));
    // At the limits: Down at 42 or less gives 0, Up at 211 or more does nothing.
    for (auto [from, x, y, expected] : {std::array{43, 70, 100, 1}, {42, 70, 100, 0}, {0, 70, 100, 0},
                                        {210, 185, 120, 252}, {211, 185, 120, 211}, {232, 185, 120, 232}}) {
      volumeSetting = static_cast<uint8_t>(from);
      SndSetVolume(volumeSetting);
      tapAndCheck(static_cast<uint32_t>(x), static_cast<uint32_t>(y), expected);
    }
    tapView(90, 130);  // Back
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    EXPECT_EQ(volumeSetting, 232);
    EXPECT_EQ(shownAt(93, 146), colourOf(132));
    // The level picture follows the volume.
    for (auto [volume, picture] : {std::pair{0, 133}, {1, 134}, {84, 134}, {85, 135}, {126, 135}, {127, 136},
                                   {168, 136}, {169, 137}, {210, 137}, {211, 138}, {255, 138}}) {
      volumeSetting = static_cast<uint8_t>(volume);
      ShowVolumeLevel();
      EXPECT_EQ(display.backBuffer[68 + 240 * 100], colourOf(static_cast<uint32_t>(picture))) << volume;
    }
  }));
}

TEST(InfoScreen, AnyTapShowsBackPressedAndReturns) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
    gameMode = ModeInfo;
    frame();
    tapView(5, 5);
    frame();
    EXPECT_EQ(gameMode, ModeTitle);
    EXPECT_EQ(shownAt(97, 203), colourOf(501));
    frame();  // and the title is drawn in full again, clearing what the front-end screens showed
    EXPECT_EQ(shownAt(15, 25), colourOf(4));
    EXPECT_EQ(shownAt(50, 55), colourOf(110));
    EXPECT_EQ(infoScreenShown, 0);
  }));
}

TEST(GameFrame, ShowsThePlayersPositionThreeTimesIn256FramesOfPlay) {
  TempDir dir;
  EXPECT_TRUE(RunFresh([&] {
    gfx_testing::Owned owned;
    startFrontEnd(dir, owned);
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
        if (rect.x == 0 && rect.y == 225) {
          ++shown;
          EXPECT_EQ(rect.width, 6 * 9);  // "-7,140   "
        }
      }
    }
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(frameTick, 0);
    EXPECT_EQ(display.backBuffer[0 + 240 * 225], 0x67EC);
    EXPECT_EQ(textBackground, 0x0320);
  }));
}

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
