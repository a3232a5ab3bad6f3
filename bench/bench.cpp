// bench.cpp -- the benchmarks' device start-up, floors and the generated largest world.
#include "bench.h"

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "data/layout.h"
#include "data/loaders.h"
#include "gfx/display.h"
#include "gfx/text.h"
#include "platform/files.h"
#include "services/app.h"
#include "services/timer.h"
#include "shell/shell.h"

namespace bench {

double ThreadSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

std::string DefaultWorld() { return ZELVO_BINARY_DIR; }

bool StartDevice(headless::DeviceConfig config, const std::string& appDir) {
  // The last device's frame buffer goes with it: nothing may present there again.
  if (display.gfxReady) GfxUninit();
  display = Display{};
  config.appDirectory = appDir;
  config.stopAfter = 1e9;  // benchmarks play for as long as they like
  headless::Configure(config);
  appDirectory = appDir + "/";
  return CreateMainWindow(1, SW_SHOW) && GfxInit() == 0 && TimerInit() == 0 && TxtInit() == 0;
}

bool StartGame(headless::DeviceConfig config, const std::string& appDir) {
  return StartDevice(config, appDir) && loadGameData() == 0;
}

headless::DeviceConfig RawDevice() { return {}; }

headless::DeviceConfig RotatedDevice() {
  headless::DeviceConfig config;
  config.layout = headless::Layout::Rotated90;
  return config;
}

headless::DeviceConfig GapiDevice() {
  headless::DeviceConfig config;
  config.display = headless::DisplayPath::Gapi565;
  return config;
}

void CopyFloor::operator()() {
  std::memcpy(to_.data(), from_.data(), from_.size());
  benchmark::ClobberMemory();
}

ReadFloor::ReadFloor(const std::string& folder, std::vector<std::string> names) {
  for (const std::string& name : names) {
    paths_.push_back(folder + "/" + name);
    std::error_code error;
    bytes_ += std::filesystem::file_size(paths_.back(), error);
  }
}

void ReadFloor::operator()() {
  // Every file's bytes are held until all are read, as the tables hold theirs.
  std::vector<std::unique_ptr<uint8_t[]>> held;
  for (const std::string& path : paths_) {
    FileHandle file = FileOpenRead(path);
    const uint32_t size = FileSize(file);
    held.emplace_back(new uint8_t[size]);
    uint32_t done = 0;
    FileRead(file, held.back().get(), size, &done);
    FileClose(file);
    benchmark::DoNotOptimize(held.back().get());
  }
}

void ReturnFreeMemory() { ::malloc_trim(0); }

namespace {

using Bytes = std::vector<uint8_t>;
using layout::put16;
using layout::put32;
using layout::put8;

// A made-up picture: colours from the position, with transparent holes where hole() says.
uint16_t paint(uint32_t seed, uint32_t x, uint32_t y, bool holes) {
  if (holes && (x / 7 + y / 5 + seed) % 4 == 0) return 0;
  return static_cast<uint16_t>(1 + (x * 97 + y * 31 + seed * 13) % 0xFFFE);
}

// Run-length words: pixels as they are, transparent runs as skips.
void encode(Bytes& out, uint32_t seed, uint32_t width, uint32_t height, bool holes) {
  uint32_t skip = 0;
  for (uint32_t y = 0; y < height; ++y)
    for (uint32_t x = 0; x < width; ++x) {
      const uint16_t p = paint(seed, x, y, holes);
      if (p == 0) {
        ++skip;
        continue;
      }
      if (skip) put16(out, 0), put16(out, static_cast<uint16_t>(skip));
      skip = 0;
      put16(out, p);
    }
  if (skip) put16(out, 0), put16(out, static_cast<uint16_t>(skip));
}

// Count, index and data area of records laid out one after another.
Bytes indexed(const std::vector<Bytes>& records, const std::vector<uint32_t>& sizes) {
  Bytes out;
  put32(out, static_cast<uint32_t>(records.size()));
  uint32_t offset = 0;
  for (size_t r = 0; r < records.size(); ++r) {
    put32(out, offset);
    put32(out, sizes[r]);
    offset += static_cast<uint32_t>(records[r].size());
  }
  for (const Bytes& record : records) out.insert(out.end(), record.begin(), record.end());
  return out;
}

void putText(Bytes& out, const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

struct SpriteSpec {
  uint32_t id;
  uint8_t kind, frames, width, height, animRate, motion, moveRate;
  bool holes;
};

Bytes sprites() {
  std::vector<SpriteSpec> specs;
  specs.push_back({3, 0, 16, 16, 24, 12, 0, 0, true});
  for (uint32_t n = 1; n <= 100; ++n) {
    specs.push_back({1000 + n, 4, 1, 210, 190, 0, 0, 0, false});
    specs.push_back({2000 + n, 4, 1, 210, 190, 0, 0, 0, true});
  }
  const uint8_t kinds[] = {1, 2, 3, 5, 6, 3, 1};
  for (uint32_t id = 10; specs.size() < 1000; ++id) {
    const uint8_t size = static_cast<uint8_t>(8 + id % 57);
    specs.push_back({id, kinds[id % 7], static_cast<uint8_t>(1 + id % 8), size, static_cast<uint8_t>(8 + id * 7 % 41),
                     static_cast<uint8_t>(id % 3 == 0 ? 10 : 0), static_cast<uint8_t>(id % 5 == 0 ? 2 : 0),
                     static_cast<uint8_t>(id % 5 == 0 ? 30 : 0), true});
  }
  std::vector<Bytes> records;
  std::vector<uint32_t> sizes;
  for (const SpriteSpec& s : specs) {
    Bytes frames;
    std::vector<Bytes> each(s.frames);
    for (uint32_t f = 0; f < s.frames; ++f) encode(each[f], s.id * 16 + f, s.width, s.height, s.holes);
    uint32_t offset = 0;
    for (const Bytes& frame : each) put32(frames, offset), offset += static_cast<uint32_t>(frame.size());
    for (const Bytes& frame : each) frames.insert(frames.end(), frame.begin(), frame.end());
    Bytes record;
    put32(record, s.id);
    record.resize(record.size() + layout::sprite::kReservedASize, 0);
    for (uint8_t field :
         {s.kind, s.frames, s.animRate, uint8_t{0}, s.width, s.height, uint8_t{0}, s.motion, s.moveRate})
      put8(record, field);
    record.resize(record.size() + layout::sprite::kReservedDSize, 0);
    record.insert(record.end(), frames.begin(), frames.end());
    records.push_back(std::move(record));
    sizes.push_back(static_cast<uint32_t>(frames.size()));
  }
  return indexed(records, sizes);
}

Bytes images() {
  std::vector<Bytes> records;
  std::vector<uint32_t> sizes;
  for (uint32_t n = 0; n < 100; ++n) {
    const uint32_t id = n < 8 ? n + 1 : 100 + n;
    const uint16_t width = static_cast<uint16_t>(n == 5 ? 240 : 40 + n % 5 * 40);
    const uint16_t height = static_cast<uint16_t>(n == 5 ? 240 : 20 + n % 7 * 30);
    Bytes pixels;
    encode(pixels, n, width, height, n % 2 == 0);
    Bytes record;
    put32(record, id);
    put8(record, n % 3 == 0 ? 1 : 0);
    put8(record, 0);
    put16(record, width);
    put16(record, height);
    record.insert(record.end(), pixels.begin(), pixels.end());
    records.push_back(std::move(record));
    sizes.push_back(static_cast<uint32_t>(pixels.size()));
  }
  return indexed(records, sizes);
}

Bytes fonts() {
  std::vector<Bytes> records;
  std::vector<uint32_t> sizes;
  for (uint32_t id : {1u, 2u}) {
    const uint16_t w = static_cast<uint16_t>(6 + id * 2), h = static_cast<uint16_t>(8 + id * 4);
    Bytes record;
    put32(record, id);
    put16(record, w);
    put16(record, h);
    const uint32_t pixels = 96u * w * h;
    for (uint32_t i = 0; i < pixels; ++i) put16(record, static_cast<uint16_t>(i % 3 == 0 ? 0 : i % 0xFFFF + 1));
    records.push_back(std::move(record));
    sizes.push_back(pixels * 2);
  }
  return indexed(records, sizes);
}

Bytes events() {
  std::vector<Bytes> records;
  std::vector<uint32_t> sizes;
  for (uint32_t id = 1; id <= 1600; ++id) {
    Bytes record;
    put32(record, id);
    put16(record, static_cast<uint16_t>(10 + id % 50));
    put16(record, static_cast<uint16_t>(10 + id % 40));
    put8(record, static_cast<uint8_t>(1 + id % 3));
    put8(record, 1);
    put32(record, 0);
    put32(record, id % 255);
    put8(record, 32);
    for (uint32_t a = 0; a < 32; ++a) {
      put8(record, static_cast<uint8_t>(4 + a % 8));
      put32(record, id * 32 + a);
      put16(record, static_cast<uint16_t>(a * 5));
      put16(record, static_cast<uint16_t>(a * 3));
    }
    sizes.push_back(static_cast<uint32_t>(record.size()));
    records.push_back(std::move(record));
  }
  return indexed(records, sizes);
}

Bytes artifacts() {
  Bytes out;
  put32(out, 255);
  for (uint32_t id = 1; id <= 255; ++id) {
    put32(out, 10 + id);
    putText(out, "artifact number " + std::to_string(id), layout::artifact::kNameSize);
    put16(out, static_cast<uint16_t>(1 + id % 100));
    put16(out, static_cast<uint16_t>(id % 200));
    put16(out, static_cast<uint16_t>(id % 180));
    put8(out, static_cast<uint8_t>(id % 5));
  }
  return out;
}

Bytes dialogs() {
  Bytes out;
  put32(out, 1000);
  for (uint32_t id = 1; id <= 1000; ++id) {
    put32(out, id);
    std::string text;
    while (text.size() < layout::dialog::kTextSize - 1)
      text += "dialog " + std::to_string(id) + " says something long. ";
    text.resize(layout::dialog::kTextSize - 1);
    putText(out, text, layout::dialog::kTextSize);
  }
  return out;
}

Bytes map() {
  Bytes out;
  for (uint32_t number = 1; number <= 100; ++number) {
    put32(out, number);
    for (uint32_t k = 0; k < layout::map::kObjectCount; ++k) {
      put32(out, 10 + (number * 64 + k) % 990);
      put16(out, static_cast<uint16_t>(k * 37 % 200));
      put16(out, static_cast<uint16_t>(k * 23 % 180));
      put32(out, 0);
    }
    for (uint32_t k = 0; k < layout::map::kEventCount; ++k) {
      put32(out, (number - 1) * 16 + k + 1);
      put16(out, static_cast<uint16_t>(k * 13));
      put16(out, static_cast<uint16_t>(k * 11));
    }
  }
  return out;
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string maximalFolder;
void removeMaximal() {
  std::error_code error;
  if (!maximalFolder.empty()) std::filesystem::remove_all(maximalFolder, error);
}

}  // namespace

std::string MaximalWorld() {
  if (!maximalFolder.empty()) return maximalFolder;
  maximalFolder = (std::filesystem::temp_directory_path() / ("zelvo-bench-" + std::to_string(::getpid()))).string();
  std::filesystem::create_directories(maximalFolder);
  std::atexit(removeMaximal);
  writeFile(maximalFolder + "/" + layout::kSpritesFile, sprites());
  writeFile(maximalFolder + "/" + layout::kImagesFile, images());
  writeFile(maximalFolder + "/" + layout::kFontsFile, fonts());
  writeFile(maximalFolder + "/" + layout::kEventsFile, events());
  writeFile(maximalFolder + "/" + layout::kArtifactsFile, artifacts());
  writeFile(maximalFolder + "/" + layout::kDialogsFile, dialogs());
  writeFile(maximalFolder + "/" + layout::kMapFile, map());
  return maximalFolder;
}

}  // namespace bench
