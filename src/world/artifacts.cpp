// artifacts.cpp -- artifacts in the world. Which artifact lies where is kept in the artifact list;
// a live object only shows it, and is found again by its sprite id.
#include "world/artifacts.h"

#include "data/layout.h"
#include "gfx/image.h"
#include "inventory/inventory.h"
#include "world/collision.h"
#include "world/objects.h"

static std::list<Sprite>::iterator objectOf(uint32_t id) {
  for (auto it = objectList.begin(); it != objectList.end(); ++it)
    if (it->id == id) return it;
  return objectList.end();
}

bool pickUpArtifact(const Sprite& player) {
  const Box me = boxOf(player);
  const uint32_t here = currentScreenNumber();
  for (Artifact& artifact : artifactList) {
    Sprite picture;
    if (artifact.state != Lying || artifact.screenNumber != here || !getSprite(artifact.id, &picture)) continue;
    // The artifact's own place and its template's size: the same whether or not its object is drawn.
    const Box box{artifact.x, artifact.x + picture.width, artifact.y, artifact.y + picture.height};
    if (!rectsOverlap(me, box)) continue;
    if (!hasInventoryRoom()) return false;
    artifact.state = Carried;
    auto object = objectOf(artifact.id);
    if (object == objectList.end()) return true;
    eraseSprite(*object);
    markDirty(*object);
    objectList.erase(object);
    return true;
  }
  return false;
}

void redrawScreenArtifacts(uint32_t number) {
  for (const Artifact& artifact : artifactList) {
    if ((artifact.state != Lying && artifact.state != Placed) || artifact.screenNumber != number) continue;
    Sprite copy;
    if (!getSprite(artifact.id, &copy)) continue;
    copy.x = artifact.x;
    copy.y = artifact.y;
    redrawSprite(copy);
    auto object = objectOf(artifact.id);
    if (object != objectList.end()) object->flags = copy.flags;
  }
}
