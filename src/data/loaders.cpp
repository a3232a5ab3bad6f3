// loaders.cpp -- loading all game data at start-up, in the one order that works.
#include "data/loaders.h"

#include <algorithm>

int loadGameData() {
  // Sprites come first and dialogs last; the first failure ends loading and the later files are
  // never opened.
  LoadResult (*const loaders[])() = {loadSprites, loadEvents,    loadArtifacts, loadFonts,
                                     loadImages,  loadScreenMap, loadDialogs};
  for (auto load : loaders) {
    if (load() != LoadOk) return LoadOther;
  }
  return LoadOk;
}

void unloadGameData() {
  unloadSprites();
  unloadFonts();
  unloadImages();
  eventTable.clear();
  artifactList.clear();
  dialogTable.clear();
  std::fill(screenMap.begin(), screenMap.end(), ScreenRecord{});
}
