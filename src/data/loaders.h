// loaders.h -- loading the seven data files into the content tables.
#pragma once

#include "data/tables.h"

// Start-up: load all seven files in their fixed order; 0, or 255 at the first failure.
int loadGameData();

// The seven loaders; each returns a LoadResult and logs what it loaded.
LoadResult loadSprites();
LoadResult loadEvents();
LoadResult loadArtifacts();
LoadResult loadFonts();
LoadResult loadImages();
LoadResult loadScreenMap();
LoadResult loadDialogs();

// Tests and fuzzing: empty every table and free every buffer the loaders kept; the game itself
// keeps them until it exits. The loaders with buffers of their own do their part.
void unloadGameData();
void unloadSprites();
void unloadFonts();
void unloadImages();
