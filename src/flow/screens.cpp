// screens.cpp -- the front-end screens: numbered pictures over the game frame, drawn and presented.
#include "flow/screens.h"

#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "platform/system.h"
#include "services/settings.h"

static constexpr uint32_t kPanelImage = 4;
static constexpr uint32_t kPanelX = 15;
static constexpr uint32_t kPanelY = 25;
static constexpr uint32_t kClosingHoldMs = 3000;

// Every full screen starts black (shown at once) inside the game frame, behind the common panel.
static void startScreen(bool full) {
  if (full) {
    clearBackBuffer(1);
    drawGameFrame();
  }
  drawImageById(kPanelImage, kPanelX, kPanelY);
}

void ShowTitleScreen() {
  startScreen(true);
  drawImageById(100, 45, 22);
  drawImageById(110, 50, 55);
  drawImageById(120, 50, 83);
  drawImageById(130, 35, 115);
  drawImageById(140, 70, 145);
  drawImageById(150, 95, 175);
  selectFont(1);
  setTextBackground(0);
  setTextColor(0xFFFF);
  drawText("version 0.9.8", 80, 205, 1);
  presentAll();
}

void ShowKeysScreen(bool full) {
  startScreen(full);
  drawImageById(122, kPanelX, kPanelY);
  if (full) presentAll();
}

void ShowVolumeLevel() {
  uint32_t id;
  if (volumeSetting == 0)
    id = 133;
  else if (volumeSetting <= 84)
    id = 134;
  else if (volumeSetting <= 126)
    id = 135;
  else if (volumeSetting <= 168)
    id = 136;
  else if (volumeSetting <= 210)
    id = 137;
  else
    id = 138;
  drawImageById(id, 68, 100);
}

void ShowVolumeScreen(bool full) {
  startScreen(full);
  drawImageById(139, kPanelX, kPanelY);
  ShowVolumeLevel();
  if (full) presentAll();
}

void ShowInfoScreen() {
  startScreen(true);
  drawImageById(500, kPanelX, kPanelY);
  presentAll();
}

// The closing screens hold everything, message handling included, while the player looks.
static void showClosing(uint32_t id) {
  startScreen(true);
  drawImageById(id, kPanelX, kPanelY);
  presentAll();
  SysSleep(kClosingHoldMs);
}

void ShowGameOver() { showClosing(5555); }
void ShowGameEnd() { showClosing(5556); }
