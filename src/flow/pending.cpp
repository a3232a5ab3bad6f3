// pending.cpp -- setting up a game until the world lands: nothing to set up.
#include "flow/newgame.h"

void NewGame() {}
