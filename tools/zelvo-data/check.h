// check.h -- what is wrong with a data set: what stops the game, what it lacks, what leads nowhere.
#pragma once

#include "codec.h"
#include "report.h"

namespace zdata {

// Adds to the report (after the loading problems loadDataSet found): malformed records, content the
// game asks for and the data lack, references that lead nowhere, screens nothing leads to, artifacts
// that never reach the inventory, dialogs never shown, dialog texts the box cuts. Errors are what breaks the game; warnings what is odd or lost.
void checkDataSet(const LoadedSet& set, Report& report);

}  // namespace zdata
