// inventory.h -- the inventory panel and the artifacts the player carries (at most three).
#pragma once

#include <cstdint>
#include <list>

#include "data/tables.h"

constexpr uint32_t kMaxCarried = 3;

// Copies of the carried artifacts, made when the panel opens; read only while it is shown.
extern std::list<Artifact> inventoryList;
// The highlighted line, 1-based; the line after the last artifact is the exit line.
extern uint8_t inventorySelection;

bool hasInventoryRoom();
bool isInventoryEmpty();
uint32_t carriedCount();

// In-game update: lay the panel over the game with the exit line selected.
void openInventory();
// The panel's lines, highlighted as selected.
void drawInventory();
// The id of the selected artifact, or 0 on the exit line.
uint32_t selectedItemId();
// Put the selected artifact on a screen with the bottom centre of its picture at (x, y).
void dropItem(uint32_t screenNumber, uint16_t x, uint16_t y);

// Every frame while the inventory is open.
void inventoryFrame();
