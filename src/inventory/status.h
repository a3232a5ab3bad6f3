// status.h -- the lives line, the score line and the energy bar around the playfield.
#pragma once

// Each draws its piece and marks it dirty; the caller's next presentDirty shows it.
void drawLives();
void drawScore();
void drawEnergyBar();
