// modes.h -- the per-frame mode machine: title, keys, play, inventory, volume, information.
#pragma once

#include <cstdint>

// The message loop: run one frame of the current mode; elapsed is the time since the last frame.
void GameFrame(double elapsed);
