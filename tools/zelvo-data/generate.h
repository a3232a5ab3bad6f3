// generate.h -- random worlds that load: for soak tests, fuzzing seeds and benchmarks.
#pragma once

#include <cstdint>
#include <filesystem>

#include "commands.h"
#include "model.h"

namespace zdata {

struct GenerateOptions {
  uint32_t seed = 1;
  bool maximal = false;  // 100 screens of 64 placements, 1000 sprites, full dialogs and events
};

// A world every loader accepts, drawn from the seed: the same seed gives the same world.
DataSet generateWorld(const GenerateOptions& options);

// Write a generated world's seven data files into out.
int generateCommand(const std::filesystem::path& out, const GenerateOptions& options, Streams io);

}  // namespace zdata
