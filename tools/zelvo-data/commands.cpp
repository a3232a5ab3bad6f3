// commands.cpp -- pack, unpack, check and info: files in, files or reports out, nothing half done.
#include "commands.h"

#include <unistd.h>

#include <fstream>
#include <iostream>
#include <set>

#include "check.h"
#include "codec.h"
#include "sources.h"

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

std::string tempSuffix() { return ".zelvo-data-" + std::to_string(getpid()); }

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
    fs::path temp = dir / ("." + name + tempSuffix());
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

}  // namespace

int packCommand(const fs::path& sources, const fs::path& dir, const PackOptions& options, Streams io) {
  Report report;
  DataSet data = readSources(sources, report);
  printDiagnostics(report, io.err);
  if (report.hasErrors()) {
    io.err << "pack: " << report.errorCount() << " error" << (report.errorCount() == 1 ? "" : "s")
           << "; nothing written\n";
    return 1;
  }
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
  if (exists && !fs::is_directory(sources, ec)) {
    io.err << "error: " << sources.string() << ": is a file, not a folder\n";
    return 1;
  }
  if (exists && !folderIsEmpty(sources) && !options.force) {
    io.err << "error: " << sources.string() << ": the folder is not empty (use --force to replace it)\n";
    return 1;
  }
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

int checkCommand(const fs::path& dir, const ReportOptions& options, Streams io) {
  Report report;
  LoadedSet set = loadDataSet(dir, report);
  checkDataSet(set, report);
  io.out << (options.json ? reportJson(report) : formatReport(report, "check"));
  return report.hasErrors() ? 1 : 0;
}

}  // namespace zdata
