// render.h -- a world's screens and its map as pictures, drawn by the game's own drawing code.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "commands.h"
#include "gfx/display.h"

namespace zdata {

struct RenderOptions {
  bool events = true;  // outline and label the event rectangles
};

// DIR holds the seven data files; OUT receives screen-NNN.png for every screen and world.png.
int renderCommand(const std::filesystem::path& dir, const std::filesystem::path& out, const RenderOptions& options,
                  Streams io);

// The game's tables filled from a data folder by the game's own loaders, on the headless device;
// false when the game cannot load it.
bool loadIntoGame(const std::filesystem::path& dir);
// The game draws into its own back buffer; while this lives, that is ours, the view's 240 x 240 pixels.
struct GameCanvas {
  std::vector<uint16_t> pixels = std::vector<uint16_t>(kBackStride * kViewSize, 0);
  GameCanvas();
  ~GameCanvas();
};
// Screen n built the way entering it builds it (objects, artifacts, collision map), without the player.
void buildScreen(uint32_t number);

}  // namespace zdata
