// targets.cpp -- the libFuzzer targets other than the loaders'; the build names the target's function
// (ZELVO_FUZZ_TARGET).
#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "codec.h"
#include "commands.h"
#include "data/loaders.h"
#include "fuzz/fuzz.h"
#include "pixels.h"
#include "platform/common/recorder.h"
#include "platform/headless/headless.h"
#include "services/settings.h"
#include "sources.h"

namespace fuzz {

// settings.dat: any file loads, and saving writes back its first 17 bytes.
int settings(const uint8_t* data, size_t size) {
  StartInput();
  PutFile("settings.dat", data, size);
  SettingsLoad();
  SettingsSave();
  // Fields a short file does not supply are zero; bytes past the 17th do not count.
  uint8_t expected[17] = {};
  std::memcpy(expected, data, size < sizeof expected ? size : sizeof expected);
  if (FileText("settings.dat") != std::string(reinterpret_cast<const char*>(expected), sizeof expected))
    Fail("saved other bytes");
  return 0;
}

// zelvo-sim's script reader: events within their ranges, or one clear error.
int script(const uint8_t* data, size_t size) {
  try {
    const auto events = headless::ParseScript(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt");
    for (const auto& event : events) {
      if (!std::isfinite(event.time) || event.time < 0) Fail("line %d: time %g", event.line, event.time);
      if (event.kind == headless::EventKind::Tap && (event.a > 0xFFFF || event.b > 0xFFFF)) Fail("tap off screen");
      if ((event.kind == headless::EventKind::KeyDown || event.kind == headless::EventKind::KeyUp) && event.a > 0xFF)
        Fail("line %d: key %u", event.line, event.a);
    }
  } catch (const headless::ScriptError& e) {
    if (std::string(e.what()).rfind("fuzz.txt:", 0) != 0) Fail("error without its line: %s", e.what());
  }
  return 0;
}

// zelvo-data's PNG reader: a picture, or a problem naming the file.
int picture(const uint8_t* data, size_t size) {
  static const std::string path = Folder() + "picture.png";
  PutFile("picture.png", data, size);
  zdata::Picture read;
  std::string problem;
  if (!zdata::loadPicture(path, read, problem)) {
    if (problem.find(path) == std::string::npos) Fail("a problem that does not name the file: %s", problem.c_str());
    return 0;
  }
  if (read.width <= 0 || read.height <= 0 ||
      read.pixels.size() != static_cast<size_t>(read.width) * static_cast<size_t>(read.height))
    Fail("%d x %d picture with %zu pixels", read.width, read.height, read.pixels.size());
  return 0;
}

// Sources read: every problem names its file, and what reads without an error packs into files that
// the game's own loaders read.
void readsAndPacks(const std::string& world) {
  zdata::Report report;
  const zdata::DataSet sources = zdata::readSources(world, report);
  for (const auto& d : report.diagnostics()) {
    if (d.file.empty() || d.message.empty()) Fail("a diagnostic without its file or message");
  }
  if (report.hasErrors()) return;
  StartInput();
  for (const auto& [name, bytes] : zdata::writeDataFiles(sources)) PutFile(name, bytes.data(), bytes.size());
  if (loadGameData() != 0) Fail("packed sources that the game refuses:%s", FileText("log.txt").c_str());
}

// zelvo-data's sources reader: the input is world.json, beside the seed pictures (which the manifest
// seeds name) and a WAV file of 8 samples. What reads without an error packs into files the game loads.
int manifest(const uint8_t* data, size_t size) {
  static const std::string world = [] {
    std::filesystem::create_directory(Folder() + "world");
    std::filesystem::create_directory_symlink(ZELVO_FUZZ_PICTURES, Folder() + "world/pictures");
    const uint8_t wav[] = {'R', 'I', 'F', 'F', 44, 0, 0,    0,    'W', 'A', 'V',  'E',  'f', 'm', 't', ' ', 16, 0,
                           0,   0,   1,   0,   1,  0, 0x40, 0x1F, 0,   0,   0x40, 0x1F, 0,   0,   1,   0,   8,  0,
                           'd', 'a', 't', 'a', 8,  0, 0,    0,    128, 128, 128,  128,  128, 128, 128, 128};
    PutFile("world/music.wav", wav, sizeof wav);
    return Folder() + "world";
  }();
  PutFile("world/world.json", data, size);
  readsAndPacks(world);
  return 0;
}

using Files = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

// A target's small world: each file of its seeds TARGET/world-NAME ('/' in NAME written '-') after
// the byte that picks it.
Files seedWorld(const std::string& target, const std::vector<std::string>& names) {
  Files files;
  for (const std::string& name : names) {
    std::string seed = "world-" + name;
    std::replace(seed.begin(), seed.end(), '/', '-');
    std::ifstream in(ZELVO_FUZZ_SEEDS "/" + target + "/" + seed, std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    if (bytes.empty()) Fail("no seed %s", seed.c_str());
    files.emplace_back(name, std::vector<uint8_t>(bytes.begin() + 1, bytes.end()));
  }
  return files;
}

// The world's files into dir, with the input (after its first byte) as the file that byte picks.
void putWorld(const std::string& dir, const Files& world, const uint8_t* data, size_t size) {
  for (const auto& [name, bytes] : world) PutFile(dir + name, bytes.data(), bytes.size());
  PutFile(dir + world[data[0] % world.size()].first, data + 1, size - 1);
}

// zelvo-data's readers of data files: the input is one of the seven files (its first byte picks which,
// in loading order) among the other six of the seeds' small world. Check, info and unpack must never
// crash or read out of bounds; what they report is theirs to say.
int datafiles(const uint8_t* data, size_t size) {
  static const Files world = [] {
    std::filesystem::create_directory(Folder() + "data");
    std::vector<std::string> names;
    for (const auto& file : zdata::writeDataFiles({})) names.push_back(file.first);  // in loading order
    return seedWorld("datafiles", names);
  }();
  if (size == 0) return 0;
  putWorld("data/", world, data, size);
  std::ostringstream out, err;
  zdata::checkCommand(Folder() + "data", {}, {out, err});
  zdata::infoCommand(Folder() + "data", {true}, {out, err});
  zdata::unpackCommand(Folder() + "data", Folder() + "sources", {true}, {out, err});
  return 0;
}

// zelvo-data's readers of Tiled files: the input is the manifest, the Tiled world, a map or the tileset
// (its first byte picks which) of the seeds' small world with its screens in Tiled, among the others.
int tiled(const uint8_t* data, size_t size) {
  static const Files world = [] {
    std::filesystem::create_directories(Folder() + "tiled/maps");
    std::filesystem::create_directory_symlink(ZELVO_FUZZ_PICTURES, Folder() + "tiled/pictures");
    return seedWorld("tiled", {"world.json", "maps/world.world", "maps/screen-001.tmj", "maps/screen-011.tmj",
                               "maps/sprites.tsj"});
  }();
  if (size == 0) return 0;
  putWorld("tiled/", world, data, size);
  readsAndPacks(Folder() + "tiled");
  return 0;
}

// Recordings from bug reports: read to the last whole record or refused with the file's name; what
// was read replays through the readings without reading past its records.
int recording(const uint8_t* data, size_t size) {
  RecFile file;
  std::string problem;
  if (!RecParse({data, data + size}, "fuzz.zrec", &file, &problem)) {
    if (problem.rfind("fuzz.zrec: ", 0) != 0) Fail("error without the file's name: %s", problem.c_str());
    return 0;
  }
  if (file.recordsEnd > size || file.recordsStart > file.recordsEnd) Fail("records past the file");
  if (!RecCompare(file.lastCheckpoint, file.lastCheckpoint).empty()) Fail("a checkpoint differs from itself");
  static bool stopped;
  stopped = false;
  RecReplay(file, [](RecReplayEvent, const std::string&) { stopped = true; });
  for (int call = 0; !stopped && call < 100000; ++call) {
    Message message;
    uint64_t value = 0;
    switch (call % 6) {
      case 0: RecPeek(&message, true, [](Message*, bool) { return false; }); break;
      case 1: RecCounterValue(&value, [](uint64_t* count) { return *count = 0, true; }); break;
      case 2: RecKeyState(37, [](uint32_t) -> uint16_t { return 0; }); break;
      case 3: RecRandom([] { return 0u; }); break;
      case 4: RecCounterFrequency(&value, [](uint64_t* hz) { return *hz = 1, true; }); break;
      default: RecFrame(); break;
    }
  }
  RecGoLive();
  return 0;
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return fuzz::ZELVO_FUZZ_TARGET(data, size); }
