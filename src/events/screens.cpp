// screens.cpp -- entering and leaving screens. Nothing of a screen's live state outlives a visit:
// what persists is in the artifact list, the event table and the templates' enabled flags.
#include "events/screens.h"

#include "data/layout.h"
#include "events/events.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/primitives.h"
#include "services/log.h"
#include "world/collision.h"
#include "world/objects.h"

static void paintEmptyPlayfield() { fillRect(15, 25, 225, 215, 200, 200, 255); }

void changeScreen(uint32_t n) {
  paintEmptyPlayfield();
  spawnScreenObjects(n);
  buildActiveEvents(n);
  presentAll();
}

void clearScreenObjects() {
  sortObjects();
  for (auto it = objectList.begin(); it != objectList.end();) {
    if (it->layer == PlayerLayer) {
      eraseSprite(*it);
      ++it;
    } else {
      it = objectList.erase(it);
    }
  }
  clearCollisionMap();
  paintEmptyPlayfield();
}

// A copy of an enabled template at (x, y), drawn and appended; false when there is none.
static bool placeObject(uint32_t id, double x, double y, uint32_t layerOverride = 0) {
  Sprite object;
  if (!getSprite(id, &object)) return false;
  object.x = x;
  object.y = y;
  if (layerOverride != 0) {
    // The map has 32 bits; a layer past them goes to the front-most one rather than nowhere.
    const uint8_t layer = static_cast<uint8_t>(layerOverride & 0xFF);
    object.layer = layer > 31 ? 31 : layer;
  }
  redrawSprite(object);
  objectList.push_back(object);
  return true;
}

void spawnScreenObjects(uint32_t n) {
  clearScreenObjects();
  placeObject(n + 2000, 0.0, 0.0);
  placeObject(n + 1000, 0.0, 0.0);
  const int32_t column = columnOfScreen(n), row = rowOfScreen(n);
  if (column == -1 || row == -1) {
    LogWrite("\nScreen %d not found.", static_cast<int>(n));
    return;
  }
  const ScreenRecord& screen = screenMap[static_cast<size_t>(column * 10 + row)];
  for (const ObjectPlacement& placement : screen.objects) {
    if (placement.spriteId == 0) break;
    if (placement.spriteId >= 1000) continue;  // the background pictures' ids are not placed
    placeObject(placement.spriteId, placement.x, placement.y, placement.layerOverride);
  }
  sortObjects();
  spawnScreenArtifacts(n);
}

void spawnScreenArtifacts(uint32_t n) {
  for (const Artifact& artifact : artifactList) {
    if ((artifact.state == Lying || artifact.state == Placed) && artifact.screenNumber == n)
      placeObject(artifact.id, artifact.x, artifact.y);
  }
}
