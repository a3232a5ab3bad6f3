// render.h -- a world's screens and its map as pictures, drawn by the game's own drawing code.
#pragma once

#include <filesystem>

#include "commands.h"

namespace zdata {

struct RenderOptions {
  bool events = true;  // outline and label the event rectangles
};

// DIR holds the seven data files; OUT receives screen-NNN.png for every screen and world.png.
int renderCommand(const std::filesystem::path& dir, const std::filesystem::path& out, const RenderOptions& options,
                  Streams io);

}  // namespace zdata
