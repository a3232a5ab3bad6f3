// world_builder.h -- test worlds for zelvo-data: temporary folders, PNGs made here, manifests, runs.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "codec.h"
#include "model.h"
#include "report.h"
#include "support/testing.h"

namespace zdtest {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;
using zdata::Bytes;
using testing_support::TempDir;
inline fs::path operator/(const TempDir& dir, const std::string& name) { return fs::path(dir.path()) / name; }

Bytes readFile(const fs::path& path);
void writeFile(const fs::path& path, const Bytes& bytes);  // makes the folders it needs
void writeText(const fs::path& path, const std::string& text);
void writeJson(const fs::path& path, const json& j);
json readJson(const fs::path& path);  // comments allowed, as in manifests
Bytes hex(const std::string& text);  // "01 00 ff" to bytes; spaces and line breaks are ignored
Bytes zeros(std::size_t n);
Bytes cat(std::initializer_list<Bytes> parts);
// text with every mention of the folder path written as word; the separator after it is written
// '/' (Windows joins with a backslash), so that a golden transcript reads the same on every system.
std::string namedPath(std::string text, const std::string& path, const std::string& word);
std::vector<std::string> listFolder(const fs::path& dir);  // sorted; none when it does not exist

// A PNG made here: pixels as 0xRRGGBBAA, row by row.
void writePng(const fs::path& path, int width, int height, const std::vector<uint32_t>& rgba);
// A PNG of one opaque colour whose bottom-right pixel is transparent (the game never draws it).
void writePlainPng(const fs::path& path, int width, int height, uint32_t rgba = 0x3366CCFF);

// A good small world (worlds/good.json): every image, font and sprite the game asks for, screens 1, 2
// and 11, two events, an artifact, a dialog and music. Pictures go under `dir`; the manifest is
// returned and written by the caller (tests change it first).
json goodWorld(const fs::path& dir);

// Changes to a manifest: the JSON text value set at the JSON pointer ("/images/-" appends), or the
// place removed when the value is empty.
using Patches = std::vector<std::pair<std::string, std::string>>;
json patched(json world, const Patches& patches);

struct ToolRun {
  int code = 0;
  std::string out, err;
};
ToolRun pack(const fs::path& sources, const fs::path& dir);
ToolRun unpack(const fs::path& dir, const fs::path& sources, bool force = false);
ToolRun check(const fs::path& dir, bool json = false);
ToolRun runTool(const std::vector<std::string>& args);  // the command-line program itself
ToolRun tiled(const fs::path& world, const fs::path& out);

zdata::Report readReport(const fs::path& sources);  // reading sources alone
zdata::Report checkReport(const fs::path& dir);     // a data set's check report
std::string dump(const zdata::Report& report);      // as the tool prints it

// The seven files of a folder, by name.
std::vector<std::pair<std::string, Bytes>> dataFiles(const fs::path& dir);
// The tool's tables of a data folder, written out again: equal bytes mean equal tables.
std::vector<std::pair<std::string, Bytes>> tableBytes(const fs::path& dir);

}  // namespace zdtest
