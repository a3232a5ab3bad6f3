// inventory.cpp -- the inventory panel: carried artifacts by name and picture, chosen with Left and
// Right, used or dropped with Action. What is carried is the artifacts' own state, not a list.
#include "inventory/inventory.h"

#include "data/layout.h"
#include "events/events.h"
#include "flow/input.h"
#include "flow/modes.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "platform/system.h"
#include "services/settings.h"
#include "services/timer.h"
#include "world/collision.h"
#include "world/objects.h"

std::list<Artifact> inventoryList;
uint8_t inventorySelection = 0;

static constexpr uint32_t kPanelImage = 3;
static constexpr uint32_t kPanelX = 25;
static constexpr uint32_t kPanelY = 40;
static constexpr uint32_t kLineX = 50;
static constexpr uint32_t kFirstLineY = 70;
static constexpr uint32_t kLineStep = 18;
static constexpr uint32_t kPictureX = 145;
static constexpr uint32_t kMoveMs = 200;
static constexpr uint16_t kGreen = 0x7F4F;
static constexpr uint16_t kBlack = 1;  // 0 would mean transparent
static constexpr uint16_t kWhite = 0xFFFF;

uint32_t carriedCount() {
  uint32_t count = 0;
  for (const Artifact& artifact : artifactList)
    if (artifact.state == Carried) count += 1;
  return count;
}

bool hasInventoryRoom() {
  uint32_t count = 0;
  for (const Artifact& artifact : artifactList)
    if (artifact.state == Carried && ++count == kMaxCarried) return false;
  return true;
}

bool isInventoryEmpty() { return carriedCount() == 0; }

void openInventory() {
  presentDirty();
  inventoryList.clear();
  drawImageById(kPanelImage, kPanelX, kPanelY);
  if (isInventoryEmpty()) {
    selectFont(2);
    setTextBackground(kBlack);
    setTextColor(kWhite);
    drawText("Empty!", 90, 95, 1);
    inventorySelection = 1;
    drawInventory();
    return;
  }
  for (const Artifact& artifact : artifactList)
    if (artifact.state == Carried) inventoryList.push_back(artifact);
  inventorySelection = static_cast<uint8_t>(inventoryList.size() + 1);
  drawInventory();
}

void drawInventory() {
  if (isInventoryEmpty()) return;
  selectFont(1);
  uint32_t y = kFirstLineY, line = 1;
  for (const Artifact& artifact : inventoryList) {
    const bool selected = line == inventorySelection;
    setTextColor(selected ? kBlack : kGreen);
    setTextBackground(selected ? kGreen : kBlack);
    char name[sizeof artifact.name + 1] = {};
    for (size_t i = 0; i < sizeof artifact.name && artifact.name[i]; ++i) name[i] = artifact.name[i];
    drawText(name, kLineX, y, 1);
    // The icon is the raw frame data from its first word, offset table and all: a one-frame
    // sprite's table is a single 0 that decodes as an empty skip.
    Sprite picture;
    if (getSprite(artifact.id, &picture))
      drawRunLength(kPictureX, y, static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height),
                    picture.frameData, picture.frameDataSize);
    y += kLineStep;
    line += 1;
  }
  const bool selected = line == inventorySelection;
  setTextColor(selected ? kBlack : kWhite);
  setTextBackground(selected ? kWhite : kBlack);
  drawText("Exit inventory", kLineX, y, 1);
}

uint32_t selectedItemId() {
  uint32_t line = 1;
  for (const Artifact& artifact : inventoryList)
    if (line++ == inventorySelection) return artifact.id;
  return 0;
}

void dropItem(uint32_t screenNumber, uint16_t x, uint16_t y) {
  uint32_t id = 0, line = 1;
  for (auto it = inventoryList.begin(); it != inventoryList.end(); ++it, ++line) {
    if (line != inventorySelection) continue;
    id = it->id;
    inventoryList.erase(it);
    break;
  }
  Artifact* artifact = nullptr;
  for (Artifact& candidate : artifactList)
    if (candidate.id == id) {
      artifact = &candidate;
      break;
    }
  if (!artifact) return;
  artifact->state = Lying;
  artifact->screenNumber = static_cast<uint16_t>(screenNumber);
  Sprite object;
  if (!getSprite(id, &object)) return;
  artifact->x = static_cast<uint16_t>(x - object.width / 2);
  artifact->y = static_cast<uint16_t>(y - object.height);
  object.x = artifact->x;
  object.y = artifact->y;
  redrawSprite(object);
  objectList.push_back(object);
}

void inventoryFrame() {
  const uint64_t now = TimerCount();  // read once, before the highlight's pauses
  const uint32_t carried = carriedCount();
  if (carried != 0) {
    if (keyDown[SlotRight] && inventorySelection < carried + 1) {
      inventorySelection += 1;
      drawInventory();
      SysSleep(kMoveMs);
    }
    if (keyDown[SlotLeft] && inventorySelection > 1) {
      inventorySelection -= 1;
      drawInventory();
      SysSleep(kMoveMs);
    }
  }
  if (static_cast<int64_t>(now) > static_cast<int64_t>(actionDeadline) && keyDown[SlotAction]) {
    actionDeadline = TimerCount() + counterFrequency / 2;
    ImageRecord panel;
    if (getImage(kPanelImage, &panel)) restoreImage(kPanelX, kPanelY, panel);
    gameMode = ModePlay;
    presentDirty();
    if (carried != 0 && inventorySelection != carried + 1) {
      // The player lives for the whole game; without one there is nobody to use or drop anything.
      if (Sprite* player = findPlayer()) {
        const bool used = checkEvents(UseArtifact, player, selectedItemId());
        if (!used && playerX > 0 && playerY > 0) {
          player = findPlayer();
          if (player)
            dropItem(currentScreenNumber(), static_cast<uint16_t>(playerX + static_cast<uint16_t>(player->width) / 2),
                     static_cast<uint16_t>(playerY + player->height));
        }
      }
      presentDirty();
    }
  }
  presentDirty();
}
