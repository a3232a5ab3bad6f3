// pending.cpp -- play until the world lands: frames of play do nothing.
#include "world/update.h"

void GameUpdate(double) {}
