// dialog.h -- the modal dialog box over the running game.
#pragma once

#include <cstdint>

// Show the dialog text of an id and return when the player has dismissed the box with a key.
void showDialog(uint32_t id);
