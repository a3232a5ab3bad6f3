// newgame.h -- putting the world back to its start and drawing the first play screen.
#pragma once

// The first frame of play after Start.
void NewGame();
