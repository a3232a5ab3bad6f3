// update.h -- one frame of play.
#pragma once

// Every frame of play once a game is set up; elapsed is already limited to 0.001..0.1 s.
void GameUpdate(double elapsed);
