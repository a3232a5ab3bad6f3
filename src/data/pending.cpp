// pending.cpp -- data loading until the loaders land: empty tables, nothing to load, nothing fails.
#include "data/loaders.h"

std::array<ScreenRecord, layout::map::kScreens> screenMap;
std::map<uint32_t, ImageRecord> imageTable;
std::map<uint32_t, FontRecord> fontTable;
std::list<Artifact> artifactList;
std::map<uint32_t, Dialog> dialogTable;
std::map<uint32_t, Event> eventTable;

int loadGameData() { return 0; }
