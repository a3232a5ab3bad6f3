// bench.h -- what the benchmarks share: a game started on a chosen device, paired timing against a
// floor, the floors themselves, and a generated world of the largest size the data files allow.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/headless/headless.h"

namespace bench {

// The packed default world beside the benchmark program.
std::string DefaultWorld();

// A fresh device of this configuration with the window, the display and the clock up, the game
// installed in appDir. False when the display does not start.
bool StartDevice(headless::DeviceConfig config, const std::string& appDir);
// The same, then every data file loaded. False when something fails.
bool StartGame(headless::DeviceConfig config, const std::string& appDir);

// Device configurations the presents are measured on: the target's raw 5-6-5 buffer, the same
// rotated a quarter turn, and the display library's 5-6-5 path.
headless::DeviceConfig RawDevice();
headless::DeviceConfig RotatedDevice();
headless::DeviceConfig GapiDevice();

// CPU time of this thread in seconds: unlike the wall clock it stands still while other programs
// on a shared machine have the processor.
double ThreadSeconds();

// Time subject and floor alternately, each run `batch` times per timing, so both see the same
// machine: the subject's time is the benchmark's (manual) time, and counters give the floor's time
// per run (floor_us) and the ratio of the two (x_floor). Register with ->UseManualTime().
template <class Subject, class Floor>
void Paired(benchmark::State& state, int batch, Subject&& subject, Floor&& floor) {
  double subjectSeconds = 0.0, floorSeconds = 0.0;
  for (auto _ : state) {
    const double t0 = ThreadSeconds();
    for (int i = 0; i < batch; ++i) subject();
    const double t1 = ThreadSeconds();
    for (int i = 0; i < batch; ++i) floor();
    const double t2 = ThreadSeconds();
    subjectSeconds += t1 - t0;
    floorSeconds += t2 - t1;
    state.SetIterationTime((t1 - t0) / batch);
  }
  const double runs = static_cast<double>(state.iterations()) * batch;
  state.counters["floor_us"] = floorSeconds / runs * 1e6;
  state.counters["x_floor"] = floorSeconds > 0 ? subjectSeconds / floorSeconds : 0.0;
}

// A byte copy the size of a picture: the least any present of it could cost.
class CopyFloor {
 public:
  explicit CopyFloor(size_t bytes) : from_(bytes, 0x5A), to_(bytes) {}
  void operator()();

 private:
  std::vector<uint8_t> from_;
  std::vector<uint8_t> to_;
};

// Reading files' bytes (open, size, read, close) into memory kept from run to run: the least any
// loader of them could cost.
class ReadFloor {
 public:
  ReadFloor(const std::string& folder, std::vector<std::string> names);
  void operator()();
  uint64_t bytes() const { return bytes_; }

 private:
  std::vector<std::string> paths_;
  std::vector<std::vector<uint8_t>> buffers_;
  uint64_t bytes_ = 0;
};

// The seven data files of the largest world the formats carry: 100 screens with 64 placements
// and 16 events each, 1000 sprites (200 full-playfield backgrounds among them), 1600 events of 32
// actions, 1000 dialogs of 127 characters, 255 artifacts, 100 images and two fonts. Written once
// into a folder of the system's temporary directory, whose path is returned.
std::string MaximalWorld();

}  // namespace bench
