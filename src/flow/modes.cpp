// modes.cpp -- the mode machine: one frame of the title, key, volume, information, play or inventory mode.
#include "flow/modes.h"

#include <cstdio>

#include "flow/input.h"
#include "flow/newgame.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "inventory/inventory.h"
#include "platform/system.h"
#include "services/app.h"
#include "services/settings.h"
#include "sound/music.h"
#include "world/objects.h"
#include "world/update.h"

uint32_t gameMode = ModeTitle;
uint8_t titleShown = 0;
uint8_t keysScreenShown = 0;
uint8_t volumeScreenShown = 0;
uint8_t infoScreenShown = 0;
uint8_t gameSetUp = 0;
uint32_t keyCaptureIndex = 0;
uint8_t frameTick = 0;
uint8_t soundMuted = 0;

static constexpr uint32_t kPressedPauseMs = 500;
static constexpr uint8_t kVolumeStep = 42;

namespace {

struct Point {
  uint32_t x;
  uint32_t y;
};

// Button bounds are inclusive on every side.
struct Area {
  uint32_t left, right, top, bottom;
  bool contains(Point p) const { return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom; }
};

Point takeTapPoint() {
  uint32_t tap = TakeTap();
  return Point{tap >> 16, tap & 0xFFFF};
}

// A pressed button: its picture if there is one, and the display brought up to date either way.
void drawPressed(uint32_t id, uint32_t x, uint32_t y) {
  drawImageById(id, x, y);
  presentDirty();
}

void titleFrame() {
  keyCaptureIndex = 0;
  if (!titleShown) {
    ShowTitleScreen();
    keysScreenShown = volumeScreenShown = infoScreenShown = 0;
    gameSetUp = 0;
    titleShown = 1;
    return;  // a tap made while the title was drawn waits for the next frame
  }
  if (!TapPending()) return;
  const Point tap = takeTapPoint();
  // Each button is tested on its own; the areas do not overlap, so at most one acts.
  if (Area{50, 170, 55, 75}.contains(tap)) {
    drawPressed(111, 49, 54);
    SysSleep(kPressedPauseMs);
    gameMode = ModePlay;
    SndSetVolume(soundMuted ? 0 : volumeSetting);
    SndStopAll();
    SndPlayGameMusic();
  }
  if (Area{45, 180, 85, 105}.contains(tap)) {
    drawPressed(121, 50, 83);
    SysSleep(kPressedPauseMs);
    gameMode = ModeKeys;
  }
  if (Area{30, 195, 115, 135}.contains(tap)) {
    drawPressed(131, 33, 117);
    SysSleep(kPressedPauseMs);
    gameMode = ModeVolume;
  }
  if (Area{70, 155, 145, 164}.contains(tap)) {
    drawPressed(141, 74, 147);
    SysSleep(kPressedPauseMs);
    gameMode = ModeInfo;
  }
  if (Area{80, 140, 175, 195}.contains(tap)) {
    drawPressed(151, 96, 177);
    SysSleep(kPressedPauseMs);
    SettingsSave();
    SndStopAll();
    running = 0;
  }
}

void keysFrame() {
  titleShown = 0;
  if (!keysScreenShown) {
    ShowKeysScreen(true);
    keysScreenShown = 1;
  }
  if (TapPending()) {
    TakeTap();
    drawPressed(123, 34, 143);
    SysSleep(kPressedPauseMs);
    gameMode = ModeTitle;
  }
  if (keyCaptureIndex == 4) gameMode = ModeTitle;
  if (keyCaptureIndex < 4) {
    static const struct {
      uint32_t id, x, y;
    } prompts[4] = {{124, 30, 90}, {125, 25, 90}, {126, 27, 90}, {127, 18, 91}};
    ShowKeysScreen(false);
    const auto& p = prompts[keyCaptureIndex];
    drawImageById(p.id, p.x, p.y);
    presentDirty();
  }
  if (keyCaptureIndex < 4) {
    // Keys take effect at once; only Quit saves them.
    if (uint32_t key = AnyGapiKey()) {
      keySlots[keyCaptureIndex] = key;
      keyCaptureIndex += 1;
      SysSleep(kPressedPauseMs);
    }
  }
}

void playFrame(double elapsed) {
  titleShown = 0;
  if (gameSetUp == 1) {
    GameUpdate(elapsed);
  } else {
    // The frame that sets a game up does not play it yet.
    NewGame();
    gameSetUp = 1;
  }
}

void volumeFrame() {
  titleShown = 0;
  if (!volumeScreenShown) {
    ShowVolumeScreen(true);
    volumeScreenShown = 1;
  }
  if (!TapPending()) return;
  const Point tap = takeTapPoint();
  if (Area{90, 150, 130, 160}.contains(tap)) {
    drawPressed(132, 93, 146);
    SysSleep(kPressedPauseMs);
    gameMode = ModeTitle;
  }
  ShowVolumeScreen(false);
  if (Area{60, 80, 90, 120}.contains(tap)) {
    volumeSetting = volumeSetting <= kVolumeStep ? 0 : static_cast<uint8_t>(volumeSetting - kVolumeStep);
    ShowVolumeLevel();
    presentDirty();
    SndSetVolume(volumeSetting);
  }
  if (Area{145, 185, 90, 120}.contains(tap) && volumeSetting < 211) {
    volumeSetting = static_cast<uint8_t>(volumeSetting + kVolumeStep);
    ShowVolumeLevel();
    presentDirty();
    SndSetVolume(volumeSetting);
  }
}

void infoFrame() {
  titleShown = 0;
  if (!infoScreenShown) {
    ShowInfoScreen();
    infoScreenShown = 1;
  }
  if (TapPending()) {
    TakeTap();
    drawPressed(501, 97, 203);
    gameMode = ModeTitle;
    SysSleep(kPressedPauseMs);
  }
}

}  // namespace

void GameFrame(double elapsed) {
  frameTick += 1;
  if (elapsed > 0.1)
    elapsed = 0.1;
  else if (elapsed < 0.001)
    elapsed = 0.001;

  if (frameTick % 100 == 0) {
    selectFont(1);
    setTextBackground(0x0320);
    setTextColor(0x67EC);
    if (gameMode == ModePlay) {
      char text[32];
      std::snprintf(text, sizeof text, "%d,%d   ", playerX, playerY);
      drawText(text, 0, 225, 1);
    }
  }
  ReadGameKeys();

  switch (gameMode) {
    case ModeTitle:
      titleFrame();
      break;
    case ModeKeys:
      keysFrame();
      break;
    case ModePlay:
      playFrame(elapsed);
      break;
    case ModeInventory:
      inventoryFrame();
      break;
    case ModeVolume:
      volumeFrame();
      break;
    case ModeInfo:
      infoFrame();
      break;
    default:
      break;
  }
}
