// newgame.cpp -- the whole world back to its start, and the first play screen drawn.
#include "flow/newgame.h"

#include "data/loaders.h"
#include "events/events.h"
#include "events/screens.h"
#include "flow/input.h"
#include "flow/modes.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "inventory/status.h"
#include "services/author.h"
#include "services/log.h"
#include "world/collision.h"
#include "world/objects.h"
#include "world/player.h"

static constexpr uint32_t kPlayerSprite = 3;

void NewGame() {
  clearCollisionMap();
  objectList.clear();

  screenColumn = 0;
  screenRow = 0;
  score = 0;
  // The frames stay the last checkpoint's: a run's first game has none yet, so they stay 0 from start-up.
  checkpoint.screenNumber = 0;
  checkpoint.x = 0;
  checkpoint.y = 0;
  previousPlayerState = Standing;
  playerState = Standing;
  lives = 3;
  energy = 50.0;

  for (auto& [id, sprite] : spriteTable) sprite.flags |= SpriteEnabled;
  // Events and artifacts come back as the files have them; a failed read leaves what the loader left.
  loadEvents();
  loadArtifacts();

  clearDisplay();
  drawGameFrame();
  drawScore();
  drawLives();
  drawEnergyBar();

  if (authorStart.screen != 0) {  // an author trying a screen of the world
    screenColumn = (authorStart.screen - 1) / 10;
    screenRow = (authorStart.screen - 1) % 10;
  }
  const uint32_t n = currentScreenNumber();
  fillRect(15, 25, 225, 215, 200, 200, 255);
  spawnScreenObjects(n);
  buildActiveEvents(n);
  presentAll();

  selectFont(2);
  setTextBackground(0x0320);
  setTextColor(0x67EC);
  drawText("Menu", 1, 1, 1);
  drawImageById(soundMuted ? 8 : 7, 50, 3);
  presentDirty();

  Sprite player;
  if (getSprite(kPlayerSprite, &player)) {
    player.x = authorStart.at ? authorStart.x : 20.0;
    player.y = authorStart.at ? authorStart.y : 1.0;
    player.firstFrame = 9;
    player.lastFrame = 16;
    player.frame = 9;
    objectList.push_front(player);
  } else {
    // Without an enabled sprite 3 there is nobody to play; the world is still shown, and the
    // in-game update simply finds no player.
    LogWrite("\nNo player sprite (sprite %d); playing without a player.", static_cast<int>(kPlayerSprite));
  }

  frameTick = 0;
  previousInAir = false;
  jumpRequested = false;
  inAir = false;
  for (uint8_t& key : keyDown) key = 0;
  buildStepTables();
  actionDeadline = 0;
}
