// screens.h -- leaving a screen and entering another: the live objects and events built afresh.
#pragma once

#include <cstdint>

// Make screen n live: empty playfield, its objects, its events, the whole view presented. The
// caller has already moved the grid position to n's slot.
void changeScreen(uint32_t n);
// Drop every live object but those of layer 16 (erased), clear the collision map and the playfield.
void clearScreenObjects();
// Create screen n's objects: background pictures, placed objects, lying artifacts.
void spawnScreenObjects(uint32_t n);
void spawnScreenArtifacts(uint32_t n);
