// pending.cpp -- the game flow until the mode machine lands: frames do nothing.
#include "flow/modes.h"

void GameFrame(double) {}
