// update.cpp -- one frame of play: buttons, keys, objects, hazards, checkpoint, the player's state,
// the Action key, dying, presenting, and the touch events.
#include "world/update.h"

#include "data/layout.h"
#include "events/events.h"
#include "flow/input.h"
#include "flow/modes.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "inventory/inventory.h"
#include "inventory/status.h"
#include "services/settings.h"
#include "services/timer.h"
#include "sound/music.h"
#include "world/artifacts.h"
#include "world/collision.h"
#include "world/objects.h"
#include "world/player.h"

static constexpr double kDrainPerSecond = 20.0;
static constexpr double kFullEnergy = 50.0;
static constexpr uint32_t kDyingSteps = 25;
static constexpr double kDyingStepSeconds = 0.04;
static constexpr double kDyingSink = 8.0;

// Menu (x < 50, y < 15) and sound (50 < x < 100, y < 25), both tested on the same tap.
static void stylusButtons() {
  if (!TapPending()) return;
  const uint32_t tap = TakeTap();
  const uint32_t x = tap >> 16, y = tap & 0xFFFF;
  if (x < 50 && y < 15) {
    // The game is abandoned, but this frame still runs to its end.
    gameMode = ModeTitle;
    gameSetUp = 0;
    SndStopAll();
    SndPlayTitleMusic();
  }
  if (x > 50 && x < 100 && y < 25) {
    soundMuted = !soundMuted;
    SndSetVolume(soundMuted ? 0 : volumeSetting);
    drawImageById(soundMuted ? 8 : 7, 50, 3);
  }
}

static void readKeys() {
  actionPressed = keyDown[SlotAction];
  leftHeld = keyDown[SlotLeft];
  rightHeld = keyDown[SlotRight];
  horizontalHeld = leftHeld || rightHeld;
  // A jump is asked for only by a player who stood on the ground at the end of the last frame,
  // and stays asked for while Up is held.
  if (!keyDown[SlotUp])
    jumpRequested = false;
  else if (!jumpRequested)
    jumpRequested = !previousInAir;
}

static void startDying() {
  previousPlayerState = playerState;
  deathStepTime = 0;
  deathStep = 0;
  playerState = Dying;
}

static bool stepDue(uint64_t since) {
  return (static_cast<double>(TimerCount()) - static_cast<double>(since)) / static_cast<double>(counterFrequency) >
         kDyingStepSeconds;
}

// One step of the dying sequence; false when the last life is gone and the frame must end.
static bool dyingStep(Sprite& player) {
  if (!stepDue(deathStepTime)) return true;
  deathStepTime = TimerCount();
  deathStep += 1;
  if (deathStep >= kDyingSteps) {
    eraseSprite(player);
    markDirty(player);
    lives -= 1;
    energy = kFullEnergy;
    drawLives();
    drawEnergyBar();
    if (lives != 0) {
      // Back at the checkpoint, on this screen, wherever the checkpoint was taken.
      player.x = checkpoint.x;
      player.y = checkpoint.y;
      player.firstFrame = checkpoint.firstFrame;
      player.lastFrame = checkpoint.lastFrame;
      player.frame = checkpoint.frame;
      playerState = Standing;
      redrawSprite(player);
      return true;
    }
    SndStopAll();
    ShowGameOver();
    gameMode = ModeTitle;
    SndPlayTitleMusic();
    return false;
  }
  if (player.y < 190.0) {
    eraseSprite(player);
    player.prevY = player.y;
    player.y += kDyingSink;
    redrawSprite(player);
  }
  return true;
}

// Action while standing: the events first, otherwise pick up what lies here and open the inventory.
static void actionKey(Sprite& player, int32_t x, int32_t y) {
  if (!actionPressed || x < 1 || y < 1 || TimerCount() <= actionDeadline) return;
  actionDeadline = TimerCount() + counterFrequency / 2;
  if (checkEvents(ActionKey, &player, 0)) return;
  pickUpArtifact(player);
  presentDirty();
  redrawScreenArtifacts(currentScreenNumber());
  presentDirty();
  openInventory();
  gameMode = ModeInventory;
}

void GameUpdate(double elapsed) {
  stylusButtons();
  readKeys();
  updateObjects(17, 31);
  Sprite* player = findPlayer();
  if (!player) return;

  const int32_t x = pixelOf(player->x), y = pixelOf(player->y);
  inAir = isRowClear(x, y, player->width, player->height);

  if (playerState != Dying) {
    if (touchesHazard(*player)) {
      energy -= elapsed * kDrainPerSecond;
      if (energy < 0.0)
        startDying();
      else
        drawEnergyBar();
    } else if (!inAir && x >= 1 && y >= 1 && currentScreenNumber() != checkpoint.screenNumber) {
      checkpoint = {currentScreenNumber(), static_cast<uint16_t>(x), static_cast<uint16_t>(y),
                    player->firstFrame,    player->lastFrame,        player->frame};
    }
  }

  const uint32_t state = playerState;
  if (state == Dying) {
    if (!dyingStep(*player)) return;
  } else {
    movePlayer(*player, elapsed);
    if (state == Standing) {
      actionKey(*player, x, y);
      player = findPlayer();  // an event may have removed the player
    }
  }

  updateObjects(2, 15);
  if (!dirtyList.empty()) presentDirty();
  if (playerState != Dying && player) checkEvents(Touch, player, 0);
  previousInAir = inAir;
}
