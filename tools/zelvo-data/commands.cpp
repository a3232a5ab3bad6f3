// commands.cpp -- pack, unpack, check and info: files in, files or reports out, nothing half done.
#include "commands.h"

#include <fstream>
#include <iostream>
#include <set>

#include "codec.h"
#include "platform/common/process.h"
#include "sources.h"
#include "tiled.h"
#include "world.h"

namespace zdata {

namespace fs = std::filesystem;

namespace {

void printDiagnostics(const Report& report, std::ostream& err) {
  for (const auto& d : report.diagnostics()) err << formatDiagnostic(d) << "\n";
}

bool readBytes(const fs::path& path, Bytes& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

std::string tempSuffix() { return ".zelvo-data-" + std::to_string(ProcessId()); }

// Every file goes to a temporary name first; only when all are written are they renamed into place.
bool writeFiles(const fs::path& dir, const std::vector<std::pair<std::string, Bytes>>& files, std::string& problem) {
  std::error_code ec;
  fs::create_directories(dir, ec);
  if (!fs::is_directory(dir, ec)) {
    problem = "cannot create the folder " + dir.string();
    return false;
  }
  std::vector<fs::path> temps;
  auto cleanUp = [&] {
    for (const auto& t : temps) fs::remove(t, ec);
  };
  for (const auto& [name, bytes] : files) {
    fs::path final = dir / name;
    fs::create_directories(final.parent_path(), ec);
    fs::path temp = final.parent_path() / ("." + final.filename().string() + tempSuffix());
    temps.push_back(temp);
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      problem = "cannot write " + (dir / name).string();
      cleanUp();
      return false;
    }
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    fs::rename(temps[i], dir / files[i].first, ec);
    if (ec) {
      problem = "cannot rename " + temps[i].string() + " to " + files[i].first + ": " + ec.message();
      cleanUp();
      return false;
    }
  }
  return true;
}

std::string counts(const DataSet& d) {
  return std::to_string(d.images.size()) + " images, " + std::to_string(d.fonts.size()) + " fonts, " +
         std::to_string(d.sprites.size()) + " sprites, " + std::to_string(d.screens.size()) + " screens, " +
         std::to_string(d.events.size()) + " events, " + std::to_string(d.artifacts.size()) + " artifacts, " +
         std::to_string(d.dialogs.size()) + " dialogs";
}

bool folderIsEmpty(const fs::path& dir) {
  std::error_code ec;
  return fs::directory_iterator(dir, ec) == fs::directory_iterator();
}

// Prints the report; true when it holds errors, and then says that nothing was written.
bool failed(const Report& report, const char* command, std::ostream& err) {
  printDiagnostics(report, err);
  if (!report.hasErrors()) return false;
  err << command << ": " << report.errorCount() << " error" << (report.errorCount() == 1 ? "" : "s")
      << "; nothing written\n";
  return true;
}

// An output folder must be new or empty, unless the user says it may be written into.
bool mayWriteInto(const fs::path& dir, bool force, std::ostream& err) {
  std::error_code ec;
  if (!fs::exists(dir, ec)) return true;
  if (!fs::is_directory(dir, ec)) {
    err << "error: " << dir.string() << ": is a file, not a folder\n";
    return false;
  }
  if (!force && !folderIsEmpty(dir)) {
    err << "error: " << dir.string() << ": the folder is not empty (use --force to write over it)\n";
    return false;
  }
  return true;
}

}  // namespace

int packCommand(const fs::path& sources, const fs::path& dir, const PackOptions& options, Streams io) {
  Report report;
  DataSet data = readSources(sources, report);
  if (failed(report, "pack", io.err)) return 1;
  auto files = writeDataFiles(data);
  const std::pair<const std::string*, const char*> music[] = {{&data.titleMusic, layout::kTitleMusicFile},
                                                              {&data.gameMusic, layout::kGameMusicFile}};
  for (const auto& [path, name] : music) {
    if (path->empty()) continue;
    Bytes bytes;
    if (!readBytes(*path, bytes)) {
      io.err << "error: " << *path << ": cannot be read; nothing written\n";
      return 1;
    }
    files.emplace_back(name, std::move(bytes));
  }
  std::string problem;
  if (!writeFiles(dir, files, problem)) {
    io.err << "error: " << problem << "; nothing written\n";
    return 1;
  }
  if (!options.quiet) io.out << "packed " << counts(data) << " into " << dir.string() << "\n";
  return 0;
}

int unpackCommand(const fs::path& dir, const fs::path& sources, const UnpackOptions& options, Streams io) {
  std::error_code ec;
  bool exists = fs::exists(sources, ec);
  if (!mayWriteInto(sources, options.force, io.err)) return 1;
  Report report;
  LoadedSet set = loadDataSet(dir, report);
  printDiagnostics(report, io.err);
  if (!set.allLoad()) {
    io.err << "unpack: the game cannot load this data set; nothing written\n";
    return 1;
  }
  DataSet tables = tableView(set.records);
  std::vector<std::string> notes;
  auto dropped = [&](std::size_t all, std::size_t kept, const char* what) {
    if (all > kept) notes.push_back(std::to_string(all - kept) + " " + what + " left out: a later record of an id the game ignores");
  };
  dropped(set.records.images.size(), tables.images.size(), "image(s)");
  dropped(set.records.fonts.size(), tables.fonts.size(), "font(s)");
  dropped(set.records.sprites.size(), tables.sprites.size(), "sprite(s)");
  dropped(set.records.events.size(), tables.events.size(), "event(s)");
  dropped(set.records.dialogs.size(), tables.dialogs.size(), "dialog(s)");

  // Build the whole folder beside its final place, then swap it in.
  fs::path target = fs::absolute(sources, ec).lexically_normal();
  if (!target.has_filename()) target = target.parent_path();  // "out/" names the folder out
  fs::path temp = target.parent_path() / ("." + target.filename().string() + tempSuffix());
  fs::path old = target.parent_path() / ("." + target.filename().string() + tempSuffix() + "-old");
  try {
    fs::remove_all(temp);
    fs::create_directories(temp);
    writeSources(tables, temp, notes);
    if (exists) fs::rename(target, old);
    fs::rename(temp, target);
    if (exists) fs::remove_all(old);
  } catch (const std::exception& e) {
    fs::remove_all(temp, ec);
    if (exists && !fs::exists(target, ec)) fs::rename(old, target, ec);
    io.err << "error: " << e.what() << "; nothing written\n";
    return 1;
  }
  for (const auto& n : notes) io.out << "note: " << n << "\n";
  io.out << "unpacked " << counts(tables) << " into " << sources.string() << "\n";
  return 0;
}

int tiledCommand(const fs::path& world, const fs::path& dir, const TiledOptions& options, Streams io) {
  std::error_code ec;
  const bool sources = isSources(world);
  if (!sources && !fs::exists(world / layout::kMapFile, ec)) {
    io.err << "error: " << world.string() << ": holds neither " << kManifestName << " nor " << layout::kMapFile
           << " (give a world's sources or a data folder)\n";
    return 1;
  }
  if (!mayWriteInto(dir, options.force, io.err)) return 1;
  Report report;
  DataSet data;
  if (sources) {
    data = readSources(world, report);
  } else {
    // A data folder is unpacked in memory, as unpack would read it.
    LoadedSet set = loadDataSet(world, report);
    if (set.allLoad()) data = tableView(set.records);
    if (!set.allLoad() && !report.hasErrors()) report.error(world.string(), "", "", "the game cannot load this data set");
  }
  if (failed(report, "tiled", io.err)) return 1;
  const std::string shown = sources ? (fs::is_regular_file(world, ec) ? world.filename().string() : kManifestName)
                                    : layout::kMapFile;
  // The project plays the open map's screen in zelvo, and checks the world, with the programs beside this one.
  std::vector<TiledCommand> commands;
  if (!options.program.empty()) {
    const fs::path zelvo = options.program.parent_path() / ("zelvo" + options.program.extension().string());
    const std::string quoted = "\"" + fs::absolute(world, ec).lexically_normal().string() + "\"";
    commands = {{"Play this screen in Zelvo", zelvo.string(), "--world " + quoted + " --start-screen \"%mapfile\" --watch",
                 "F5"},
                {"Check the world", options.program.string(), "check " + quoted, "F6"}};
  }
  auto files = writeTiled(data, shown, report, commands);
  if (failed(report, "tiled", io.err)) return 1;
  std::string problem;
  if (!writeFiles(dir, files, problem)) {
    io.err << "error: " << problem << "; nothing written\n";
    return 1;
  }
  io.out << "wrote " << data.screens.size() << (data.screens.size() == 1 ? " screen" : " screens")
         << " and the sprite tileset into " << dir.string() << "; open "
         << (dir / kTiledWorldName).string() << " in Tiled\n";
  if (sources) {
    fs::path base = fs::absolute(fs::is_regular_file(world, ec) ? world.parent_path() : world, ec);
    fs::path relative = fs::proximate(fs::absolute(dir / kTiledWorldName, ec), base, ec);
    io.out << "to pack from these maps, the manifest names them in place of its screens: \"tiled\": \""
           << relative.generic_string() << "\"\n";
  }
  return 0;
}

}  // namespace zdata
