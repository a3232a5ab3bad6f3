// world_builder.h -- test worlds for zelvo-data: fixture worlds in temporary folders, manifests, runs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "check.h"
#include "codec.h"
#include "commands.h"
#include "sources.h"
#include "support/testing.h"
#include "text.h"

namespace zdtest {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using testing_support::TempDir;
using zdata::Bytes;
inline fs::path operator/(const TempDir& dir, const std::string& name) { return fs::path(dir.path()) / name; }

inline Bytes readFile(const fs::path& path) {
  const std::string text = testing_support::ReadFile(path.string());
  return Bytes(text.begin(), text.end());
}
// Bytes or text; makes the folders it needs.
template <class T>
void writeFile(const fs::path& path, const T& bytes) {
  fs::create_directories(path.parent_path());
  testing_support::WriteFile(path.string(), bytes);
}
inline void writeJson(const fs::path& path, const json& j) { writeFile(path, j.dump(2)); }
inline json readJson(const fs::path& path) {  // comments allowed, as in manifests
  const Bytes text = readFile(path);
  return json::parse(text.begin(), text.end(), nullptr, true, true);
}
inline json fixture(const std::string& name) {
  return readJson(fs::path(ZELVO_SOURCE_DIR) / "tests/tools/worlds" / name);
}

// "01 00 ff" to bytes, "00*128" for 128 zero bytes; spaces and line breaks only part the words.
inline Bytes hex(const std::string& text) {
  Bytes out;
  std::istringstream words(text);
  for (std::string word; words >> word;) {
    const std::size_t star = word.find('*');
    const Bytes part = *zdata::fromHex(word.substr(0, star));
    for (std::size_t n = star == std::string::npos ? 1 : std::stoul(word.substr(star + 1)); n > 0; --n)
      out.insert(out.end(), part.begin(), part.end());
  }
  return out;
}

// Text with every mention of the folder path written as word; the separator after it is written
// '/' (Windows joins with a backslash), so that a golden transcript reads the same on every system.
inline std::string namedPath(std::string text, const std::string& path, const std::string& word) {
  for (std::size_t at; (at = text.find(path)) != std::string::npos;) {
    const bool backslash = at + path.size() < text.size() && text[at + path.size()] == '\\';
    text.replace(at, path.size() + backslash, backslash ? word + "/" : word);
  }
  return text;
}

inline std::vector<std::string> listFolder(const fs::path& dir) {  // sorted; none when it does not exist
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// A line of a golden text: the label, then the folder's names.
inline std::string listing(const fs::path& dir, const std::string& label) {
  std::string text = label + ":";
  for (const std::string& name : listFolder(dir)) text += " " + name;
  return text + "\n";
}

// A good small world (worlds/good.json): every image, font and sprite the game asks for, each fit for
// where the game draws it, screens 1, 2 and 11, two events, an artifact, a dialog and music. Its
// pictures and music (worlds/good/), and the files of the folder `more` if named, are copied to `dir`;
// the manifest is returned and written by the caller (tests change it first).
inline json goodWorld(const fs::path& dir, const std::string& more = "") {
  const fs::path worlds = fs::path(ZELVO_SOURCE_DIR) / "tests/tools/worlds";
  for (const std::string& folder : {std::string("good"), more})
    if (!folder.empty())
      fs::copy(worlds / folder, dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  return readJson(worlds / "good.json");
}

// Changes to a manifest, as in worlds/reports.json: [JSON pointer, value] pairs ("/images/-" appends;
// null removes the place; {"repeat": N, "of": X} is N copies of X).
inline json patched(json world, const json& patches) {
  for (const json& change : patches) {
    const json& value = change[1];
    const json::json_pointer place(change[0].get<std::string>()), parent = place.parent_pointer();
    if (!value.is_null())
      world[place] = value.contains("repeat") ? json(value["repeat"].get<std::size_t>(), value["of"]) : value;
    else if (world.at(parent).is_array())
      world[parent].erase(std::stoul(place.back()));
    else
      world[parent].erase(place.back());
  }
  return world;
}

// A command run in this process, or the command-line program itself (runTool).
struct ToolRun {
  int code = 0;
  std::string out, err;
};
template <class Command>
ToolRun capture(Command command) {
  std::ostringstream out, err;
  const int code = command(zdata::Streams{out, err});
  return {code, out.str(), err.str()};
}
inline ToolRun pack(const fs::path& sources, const fs::path& dir) {
  return capture([&](zdata::Streams io) { return zdata::packCommand(sources, dir, {}, io); });
}
inline ToolRun unpack(const fs::path& dir, const fs::path& sources, bool force = false) {
  return capture([&](zdata::Streams io) { return zdata::unpackCommand(dir, sources, {force}, io); });
}
inline ToolRun check(const fs::path& dir, bool asJson = false) {
  return capture([&](zdata::Streams io) { return zdata::checkCommand(dir, {asJson}, io); });
}
inline ToolRun tiled(const fs::path& world, const fs::path& out) {
  return capture([&](zdata::Streams io) { return zdata::tiledCommand(world, out, {}, io); });
}
inline ToolRun runTool(const std::vector<std::string>& args) {
  testing_support::SimResult run = testing_support::RunProgram(ZELVO_DATA_PATH, args);
  return {run.exitCode, run.out, run.err};
}

inline zdata::Report readReport(const fs::path& sources) {  // reading sources alone
  zdata::Report report;
  zdata::readSources(sources, report);
  return report;
}
inline zdata::Report checkReport(const fs::path& dir) {  // a data set's check report
  zdata::Report report;
  zdata::LoadedSet set = zdata::loadDataSet(dir, report);
  zdata::checkDataSet(set, report);
  return report;
}
inline std::string dump(const zdata::Report& report) { return zdata::formatReport(report, "report"); }

// Every file of a folder (not its folders), by name.
inline std::map<std::string, Bytes> folderFiles(const fs::path& dir) {
  std::map<std::string, Bytes> files;
  for (const std::string& name : listFolder(dir))
    if (fs::is_regular_file(dir / name)) files[name] = readFile(dir / name);
  return files;
}
// The tool's tables of a data folder, written out again: equal bytes mean equal tables.
inline std::vector<std::pair<std::string, Bytes>> tableBytes(const fs::path& dir) {
  zdata::Report report;
  zdata::LoadedSet set = zdata::loadDataSet(dir, report);
  EXPECT_TRUE(set.allLoad()) << dump(report);
  return zdata::writeDataFiles(zdata::tableView(set.records));
}

}  // namespace zdtest
