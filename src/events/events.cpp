// events.cpp -- the active events of a screen and the three triggers that set them off.
#include "events/events.h"

#include "data/layout.h"
#include "services/log.h"
#include "services/timer.h"
#include "world/objects.h"

std::list<ActiveEvent> activeEvents;

void buildActiveEvents(uint32_t n) {
  activeEvents.clear();
  const int32_t column = columnOfScreen(n), row = rowOfScreen(n);
  if (column == -1 || row == -1) {
    LogWrite("\nScreen %d not found.", static_cast<int>(n));
    return;
  }
  for (const EventPlacement& placement : screenMap[static_cast<size_t>(column * 10 + row)].events) {
    if (placement.eventId == 0) break;
    auto found = eventTable.find(placement.eventId);
    if (found == eventTable.end()) continue;
    activeEvents.push_back(ActiveEvent{found->second, placement.x, placement.y});
  }
}

bool checkEvents(uint8_t trigger, Sprite* player, uint32_t artifact) {
  if (!player) return false;
  bool fired = false;
  for (ActiveEvent& active : activeEvents) {
    const Event& e = active.event;
    if (e.trigger != trigger || e.armState != Armed) continue;
    // Both rectangles include their far edges.
    const int32_t px = pixelOf(player->x), py = pixelOf(player->y);
    const int32_t right = px + player->width, bottom = py + player->height;
    if (right < active.x || px > active.x + e.width || bottom < active.y || py > active.y + e.height) continue;
    if (trigger == ActionKey) actionDeadline = TimerCount() + counterFrequency / 2;
    if (trigger == UseArtifact && e.triggerParam != artifact) continue;
    // A screen change rebuilt the list under us: stop before touching it again.
    if (runEventActions(active, player)) return true;
    fired = true;
    if (!player) break;  // an action removed the player: nobody is left to touch anything
  }
  return fired;
}
