// manifest.cpp -- a libFuzzer target for zelvo-data's sources reader: the input is world.json, beside
// the seed pictures and a WAV file. What reads without an error packs into files the game loads.
#include <filesystem>
#include <fstream>

#include "codec.h"
#include "data/loaders.h"
#include "fuzz/fuzz.h"
#include "sources.h"

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const void* data, size_t size) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

// The world folder: the seed pictures (which the manifest seeds name) and a WAV file of 8 samples.
const fs::path& worldFolder() {
  static const fs::path folder = [] {
    const fs::path world = fs::path(fuzz::ScratchFolder()) / "world";
    fs::create_directories(world);
    fs::create_directory_symlink(ZELVO_FUZZ_PICTURES, world / "pictures");
    const uint8_t wav[] = {'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1,
                           0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0, 'd', 'a', 't', 'a', 8, 0, 0, 0,
                           128, 128, 128, 128, 128, 128, 128, 128};
    writeFile(world / "music.wav", wav, sizeof wav);
    return world;
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  writeFile(worldFolder() / "world.json", data, size);
  zdata::Report report;
  const zdata::DataSet world = zdata::readSources(worldFolder(), report);
  for (const auto& d : report.diagnostics()) {
    if (d.file.empty() || d.message.empty()) fuzz::Fail("a diagnostic without its file or message");
  }
  if (report.hasErrors()) return 0;
  // Pack writes in memory what the game's own loaders then read.
  fuzz::StartInput();
  for (const auto& [name, bytes] : zdata::writeDataFiles(world)) fuzz::PutFile(name, bytes.data(), bytes.size());
  if (loadGameData() != 0) fuzz::Fail("packed sources that the game refuses:%s", fuzz::FileText("log.txt").c_str());
  return 0;
}
