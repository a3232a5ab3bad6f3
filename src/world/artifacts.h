// artifacts.h -- artifacts lying in the world: picking one up, drawing a screen's again.
#pragma once

#include <cstdint>

#include "data/tables.h"

// Take the first lying artifact of this screen that touches the player, if there is room.
bool pickUpArtifact(const Sprite& player);
// Draw the lying and placed artifacts of screen number again and count their objects drawn.
void redrawScreenArtifacts(uint32_t number);
