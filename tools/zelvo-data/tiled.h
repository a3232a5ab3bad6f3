// tiled.h -- a world's screens as Tiled files (JSON maps, a sprite tileset, a world) and back.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "model.h"
#include "report.h"

namespace zdata {

// A screen's map is the playfield; the world file lays the maps out on the 10 x 10 grid.
constexpr int kScreenWidth = 210;
constexpr int kScreenHeight = 190;
constexpr const char* kTiledWorldName = "world.world";

// A command of the Tiled project (Tiled's Command button and File menu): a program and its arguments,
// in which Tiled puts the open map's file for %mapfile.
struct TiledCommand {
  std::string name, program, arguments, shortcut;
};

// The Tiled files of a world's screens, by path inside their folder. What a Tiled map cannot hold
// (a placement off the screen or after its list's end, a sprite the tileset lacks, a layer beyond
// Tiled's whole numbers) is an error in the report, named after `shown`, where the records came from.
std::vector<std::pair<std::string, Bytes>> writeTiled(const DataSet& data, const std::string& shown, Report& report,
                                                      const std::vector<TiledCommand>& commands = {});

// The screens of a Tiled world file, each map's slot given by its place in the world. `shown` names
// the world file in reports, and the maps and tilesets are named relative to it. The placed sprites
// (their heights turn Tiled's bottom-left anchors into top edges) and events come from `data`.
std::vector<ScreenRecord> readTiled(const std::filesystem::path& world, const std::string& shown, const DataSet& data,
                                    Report& report);

}  // namespace zdata
