// check_looks.h -- what any world must hold to look right where the game draws and plays it.
#pragma once

#include "codec.h"
#include "report.h"

namespace zdata {

// Adds warnings (the game still runs): pictures that pass the view's edge where they are drawn, a game
// frame with holes, panels that leave their text over the game picture, buttons off their tap
// rectangles, volume levels over the volume buttons, sound icons of different shapes, fonts without ink
// or too large for the texts the game writes, and music whose loop clicks.
void checkLooks(const LoadedSet& set, Report& report);

}  // namespace zdata
