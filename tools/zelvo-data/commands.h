// commands.h -- zelvo-data's five commands, callable from the program and from tests.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace zdata {

// Exit codes: 0 done, 1 the input has errors (nothing written). Messages go to `out` and `err`.
struct Streams {
  std::ostream& out;
  std::ostream& err;
};

struct PackOptions {
  bool quiet = false;  // no summary line
};
int packCommand(const std::filesystem::path& sources, const std::filesystem::path& dir, const PackOptions& options,
                Streams io);

struct UnpackOptions {
  bool force = false;  // replace a folder that is not empty
};
int unpackCommand(const std::filesystem::path& dir, const std::filesystem::path& sources,
                  const UnpackOptions& options, Streams io);

struct TiledOptions {
  bool force = false;  // write into a folder that is not empty
  std::filesystem::path program;  // this program's file: the project's commands run it, and zelvo beside it
};
// The screens of a world (its sources, or a data folder) as Tiled maps, tileset and world file.
int tiledCommand(const std::filesystem::path& world, const std::filesystem::path& dir, const TiledOptions& options,
                 Streams io);

struct ReportOptions {
  bool json = false;
};
// A data folder, or a world's sources as they pack (pack's messages first, then the packed data's report).
int checkCommand(const std::filesystem::path& dir, const ReportOptions& options, Streams io);
int infoCommand(const std::filesystem::path& dir, const ReportOptions& options, Streams io);

}  // namespace zdata
