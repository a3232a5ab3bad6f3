// world_builder.cpp -- test worlds for zelvo-data.
#include "world_builder.h"

#include <gtest/gtest.h>
#include <stb_image_write.h>

#include <sstream>

#include "check.h"
#include "commands.h"
#include "sources.h"
#include "text.h"

namespace zdtest {

Bytes readFile(const fs::path& path) {
  const std::string text = testing_support::ReadFile(path.string());
  return Bytes(text.begin(), text.end());
}

void writeFile(const fs::path& path, const Bytes& bytes) {
  fs::create_directories(path.parent_path());
  testing_support::WriteFile(path.string(), bytes);
}

void writeText(const fs::path& path, const std::string& text) { writeFile(path, Bytes(text.begin(), text.end())); }

void writeJson(const fs::path& path, const json& j) { writeText(path, j.dump(2)); }

json readJson(const fs::path& path) {
  const Bytes text = readFile(path);
  return json::parse(text.begin(), text.end(), nullptr, true, true);
}

Bytes hex(const std::string& text) {
  std::string digits;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) digits += c;
  return *zdata::fromHex(digits);
}

Bytes zeros(std::size_t n) { return Bytes(n, 0); }

Bytes cat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

std::string namedPath(std::string text, const std::string& path, const std::string& word) {
  for (std::size_t at; (at = text.find(path)) != std::string::npos;) {
    const bool backslash = at + path.size() < text.size() && text[at + path.size()] == '\\';
    text.replace(at, path.size() + backslash, backslash ? word + "/" : word);
  }
  return text;
}

std::vector<std::string> listFolder(const fs::path& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) names.push_back(it->path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

void writePng(const fs::path& path, int width, int height, const std::vector<uint32_t>& rgba) {
  fs::create_directories(path.parent_path());
  std::vector<uint8_t> bytes;
  for (uint32_t p : rgba)
    for (int shift : {24, 16, 8, 0}) bytes.push_back(static_cast<uint8_t>(p >> shift));
  ASSERT_TRUE(stbi_write_png(path.string().c_str(), width, height, 4, bytes.data(), width * 4));
}

void writePlainPng(const fs::path& path, int width, int height, uint32_t rgba) {
  std::vector<uint32_t> pixels(static_cast<std::size_t>(width) * height, rgba);
  pixels.back() = 0;
  writePng(path, width, height, pixels);
}

json goodWorld(const fs::path& dir) {
  writePlainPng(dir / "images/panel.png", 6, 4);
  writePlainPng(dir / "fonts/small.png", 32 * 6, 3 * 8, 0xFFFFFFFF);
  writePlainPng(dir / "sprites/player.png", 16 * 8, 10, 0xCC3333FF);
  writePlainPng(dir / "sprites/ground.png", 20, 5, 0x663300FF);
  writePlainPng(dir / "sprites/key.png", 6, 6, 0xFFCC00FF);
  // 8-bit mono PCM at 8000 Hz, four samples.
  const Bytes wav = hex("52494646 28000000 57415645 666d7420 10000000 0100 0100 401f0000 401f0000 0100 0800"
                        "64617461 04000000 80808080");
  writeFile(dir / "music/main.wav", wav);
  writeFile(dir / "music/ingame.wav", wav);
  return readJson(fs::path(ZELVO_SOURCE_DIR) / "tests/tools/worlds/good.json");
}

json patched(json world, const Patches& patches) {
  for (const auto& [pointer, value] : patches) {
    const json::json_pointer place(pointer);
    if (!value.empty()) world[place] = json::parse(value);
    else if (world.at(place.parent_pointer()).is_array()) world[place.parent_pointer()].erase(std::stoul(place.back()));
    else world[place.parent_pointer()].erase(place.back());
  }
  return world;
}

static ToolRun capture(const std::function<int(zdata::Streams)>& body) {
  std::ostringstream out, err;
  ToolRun run;
  run.code = body({out, err});
  run.out = out.str();
  run.err = err.str();
  return run;
}

ToolRun pack(const fs::path& sources, const fs::path& dir) {
  return capture([&](zdata::Streams io) { return zdata::packCommand(sources, dir, {}, io); });
}

ToolRun unpack(const fs::path& dir, const fs::path& sources, bool force) {
  zdata::UnpackOptions options;
  options.force = force;
  return capture([&](zdata::Streams io) { return zdata::unpackCommand(dir, sources, options, io); });
}

ToolRun check(const fs::path& dir, bool asJson) {
  zdata::ReportOptions options;
  options.json = asJson;
  return capture([&](zdata::Streams io) { return zdata::checkCommand(dir, options, io); });
}

ToolRun runTool(const std::vector<std::string>& args) {
  testing_support::SimResult run = testing_support::RunProgram(ZELVO_DATA_PATH, args);
  return {run.exitCode, run.out, run.err};
}

ToolRun tiled(const fs::path& world, const fs::path& out) {
  return capture([&](zdata::Streams io) { return zdata::tiledCommand(world, out, {}, io); });
}

zdata::Report readReport(const fs::path& sources) {
  zdata::Report report;
  zdata::readSources(sources, report);
  return report;
}

zdata::Report checkReport(const fs::path& dir) {
  zdata::Report report;
  zdata::LoadedSet set = zdata::loadDataSet(dir, report);
  zdata::checkDataSet(set, report);
  return report;
}

std::string dump(const zdata::Report& report) { return zdata::formatReport(report, "report"); }

std::vector<std::pair<std::string, Bytes>> dataFiles(const fs::path& dir) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (const char* name : {layout::kSpritesFile, layout::kEventsFile, layout::kArtifactsFile, layout::kFontsFile,
                           layout::kImagesFile, layout::kMapFile, layout::kDialogsFile})
    files.emplace_back(name, readFile(dir / name));
  return files;
}

std::vector<std::pair<std::string, Bytes>> tableBytes(const fs::path& dir) {
  zdata::Report report;
  zdata::LoadedSet set = zdata::loadDataSet(dir, report);
  EXPECT_TRUE(set.allLoad()) << dump(report);
  return zdata::writeDataFiles(zdata::tableView(set.records));
}

}  // namespace zdtest
