// actions.cpp -- the twelve event actions: the game's whole scripting vocabulary.
#include "data/layout.h"
#include "events/events.h"
#include "events/screens.h"
#include "flow/dialog.h"
#include "flow/modes.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "inventory/status.h"
#include "services/timer.h"
#include "sound/music.h"
#include "world/artifacts.h"
#include "world/collision.h"
#include "world/objects.h"

static constexpr uint32_t kScoreCap = 9999;
static constexpr double kFullEnergy = 50.0;

static Artifact* findArtifact(uint32_t id) {
  for (Artifact& artifact : artifactList)
    if (artifact.id == id) return &artifact;
  return nullptr;
}

// True when the screen exists and was entered: the rest of the list must not run.
static bool goToScreen(const EventAction& action, Sprite* player) {
  const int32_t column = columnOfScreen(action.argument), row = rowOfScreen(action.argument);
  if (column == -1 || row == -1) return false;
  if (player) eraseSprite(*player);
  clearScreenObjects();
  if (player) {
    player->x = action.x;
    player->y = action.y;
  }
  screenRow = static_cast<uint32_t>(row);
  screenColumn = static_cast<uint32_t>(column);
  changeScreen(currentScreenNumber());
  return true;
}

static void placeArtifact(uint32_t id) {
  Artifact* artifact = findArtifact(id);
  if (!artifact) return;
  artifact->state = Lying;
  artifact->screenNumber = static_cast<uint16_t>(currentScreenNumber());
  Sprite object;
  if (getSprite(id, &object)) {
    // Beside the player's feet, in the 16-bit arithmetic the artifact file stores.
    artifact->x = static_cast<uint16_t>(playerX - object.width / 2 + 12);
    artifact->y = static_cast<uint16_t>(playerY - object.height + 32);
    object.x = artifact->x;
    object.y = artifact->y;
    objectList.push_back(object);
  }
  redrawScreenArtifacts(currentScreenNumber());
}

static void removeSprite(uint32_t id, Sprite*& player) {
  for (auto it = objectList.begin(); it != objectList.end(); ++it) {
    if (it->id != id) continue;
    eraseSprite(*it);
    markDirty(*it);
    presentDirty();
    if (&*it == player) player = nullptr;
    objectList.erase(it);
    break;
  }
  auto found = spriteTable.find(id);
  if (found != spriteTable.end()) found->second.flags &= static_cast<uint8_t>(~SpriteEnabled);
}

bool runEventActions(ActiveEvent& fired, Sprite*& player) {
  // The list is copied: an action may not change it, but the event itself may be rebuilt away.
  const std::vector<EventAction> actions = fired.event.actions;
  for (const EventAction& action : actions) {
    switch (action.opcode) {
      case GoToScreen:
        if (goToScreen(action, player)) return true;
        break;
      case PlaceArtifact:
        placeArtifact(action.argument);
        break;
      case SpendArtifact:
        if (Artifact* artifact = findArtifact(action.argument)) artifact->state = Spent;
        break;
      case ShowDialog:
        showDialog(action.argument);
        actionDeadline = TimerCount() + counterFrequency / 2;
        break;
      case DisarmEvent: {
        if (action.argument == fired.event.id) fired.event.armState = Disarmed;
        auto found = eventTable.find(action.argument);
        if (found != eventTable.end()) found->second.armState = Disarmed;
        break;
      }
      case ArmEvent: {
        // Only the table: the event fires from the next entry into a screen that places it.
        auto found = eventTable.find(action.argument);
        if (found != eventTable.end()) found->second.armState = Armed;
        break;
      }
      case RemoveSprite:
        removeSprite(action.argument, player);
        break;
      case KillPlayer:
        previousPlayerState = playerState;
        deathStepTime = 0;
        deathStep = 0;
        playerState = Dying;
        break;
      case FinishGame:
        SndStopAll();
        ShowGameEnd();
        gameMode = ModeTitle;
        gameSetUp = 0;
        SndPlayTitleMusic();
        break;
      case AddScore:
        score += action.argument;  // 32-bit, wrapping
        if (score > kScoreCap) score = kScoreCap;
        drawScore();
        presentDirty();
        break;
      case AddEnergy:
        energy += static_cast<double>(action.argument);
        if (energy > kFullEnergy) energy = kFullEnergy;
        drawEnergyBar();
        presentDirty();
        break;
      default:
        break;  // 0, 10 and anything above 12 do nothing
    }
  }
  return false;
}
