// golden.h -- comparing what a run produced with the golden files under tests/golden; with
// ZELVO_UPDATE_GOLDEN=1 in the environment the run's files become the golden ones.
#pragma once

#include <string>
#include <vector>

#include "support/testing.h"

namespace testing_support {

// Each screenshot SHOT.png taken into dir has the pixels of tests/golden/SET/SHOT.png.
void ExpectGoldenPictures(const TempDir& dir, const std::vector<std::string>& shots, const std::string& set);

// A text (a zelvo-sim trace, the tables written out) equals tests/golden/NAME; a difference is
// reported by its first line, after the golden text's first line (a trace's header).
void ExpectGoldenText(const std::string& text, const std::string& name);

}  // namespace testing_support
