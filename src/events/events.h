// events.h -- the active events of the live screen, their triggers, and running their actions.
#pragma once

#include <cstdint>
#include <list>

#include "data/tables.h"

// A copy of an event as it was when the screen was entered, placed at the placement's (x, y).
struct ActiveEvent {
  Event event;
  uint16_t x = 0;
  uint16_t y = 0;
};

// The current screen's events in the order of its placements.
extern std::list<ActiveEvent> activeEvents;

// Rebuild activeEvents for screen n.
void buildActiveEvents(uint32_t n);

// Run every armed event of trigger kind t whose rectangle touches the player; artifact is read
// for UseArtifact only. True when one fired or the screen was changed.
bool checkEvents(uint8_t trigger, Sprite* player, uint32_t artifact);

// Carry out an event's actions; true when GoToScreen changed the screen (the rest did not run).
// player is set to null when an action removed the player's object.
bool runEventActions(ActiveEvent& fired, Sprite*& player);
