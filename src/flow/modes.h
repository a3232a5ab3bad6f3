// modes.h -- the per-frame mode machine: title, keys, play, inventory, volume, information.
#pragma once

#include <cstdint>

enum GameMode : uint32_t {
  ModeTitle = 1,
  ModeKeys = 2,
  ModePlay = 3,
  ModeInventory = 4,
  ModeVolume = 5,
  ModeInfo = 6,
};

extern uint32_t gameMode;
extern uint8_t titleShown;
extern uint8_t keysScreenShown;
extern uint8_t volumeScreenShown;
extern uint8_t infoScreenShown;
extern uint8_t gameSetUp;  // NewGame has run for the current game
extern uint32_t keyCaptureIndex;
extern uint8_t frameTick;
extern uint8_t soundMuted;

// The message loop: run one frame of the current mode; elapsed is the time since the last frame.
void GameFrame(double elapsed);
