// check_play.h -- what a data set does to a player, played out with the game's own code.
#pragma once

#include "codec.h"
#include "report.h"

namespace zdata {

// Warns where a patrolling or animated hazard reaches a place where a player entering a screen first
// stands (and where the game takes its checkpoint): entering across a side edge, by a goToScreen, or
// at the start of a game. Only for a data set the game loads.
void checkEntries(const LoadedSet& set, Report& report);

}  // namespace zdata
