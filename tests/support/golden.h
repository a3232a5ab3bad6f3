// golden.h -- comparing what a run produced with the golden files under tests/golden; with
// ZELVO_UPDATE_GOLDEN=1 in the environment the run's files become the golden ones.
#pragma once

#include <string>
#include <vector>

#include "support/testing.h"

namespace testing_support {

// Each screenshot SHOT.png taken into dir has the pixels of tests/golden/SET/SHOT.png.
void ExpectGoldenPictures(const TempDir& dir, const std::vector<std::string>& shots, const std::string& set);

// A zelvo-sim trace equals tests/golden/traces/NAME.trace; a difference is reported by the first
// frame and field that differ.
void ExpectGoldenTrace(const std::string& tracePath, const std::string& name);

}  // namespace testing_support
