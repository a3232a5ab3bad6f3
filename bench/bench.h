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
// per run (floor_us) and the ratio of the two (x_floor). Register with ->UseManualTime(). Setup,
// untimed, runs before each batch of both.
template <class Subject, class Floor, class Setup>
void Paired(benchmark::State& state, int batch, Subject&& subject, Floor&& floor, Setup&& setup) {
  double subjectSeconds = 0.0, floorSeconds = 0.0;
  for (auto _ : state) {
    setup();
    const double t0 = ThreadSeconds();
    for (int i = 0; i < batch; ++i) subject();
    const double t1 = ThreadSeconds();
    setup();
    const double t2 = ThreadSeconds();
    for (int i = 0; i < batch; ++i) floor();
    const double t3 = ThreadSeconds();
    subjectSeconds += t1 - t0;
    floorSeconds += t3 - t2;
    state.SetIterationTime((t1 - t0) / batch);
  }
  const double runs = static_cast<double>(state.iterations()) * batch;
  state.counters["floor_us"] = floorSeconds / runs * 1e6;
  state.counters["x_floor"] = floorSeconds > 0 ? subjectSeconds / floorSeconds : 0.0;
}

template <class Subject, class Floor>
void Paired(benchmark::State& state, int batch, Subject&& subject, Floor&& floor) {
  Paired(state, batch, subject, floor, [] {});
}

// Give the memory the program no longer uses back to the system, so that what a loader allocates
// next is fresh memory, as at start-up.
void ReturnFreeMemory();

// A byte copy the size of a picture: the least any present of it could cost.
class CopyFloor {
 public:
  explicit CopyFloor(size_t bytes) : from_(bytes, 0x5A), to_(bytes) {}
  void operator()();

 private:
  std::vector<uint8_t> from_;
  std::vector<uint8_t> to_;
};

// Reading files' bytes (open, size, allocate, read, close) and holding them all: the least any
// loader of them could cost. Run after ReturnFreeMemory, the memory is fresh, as at start-up.
class ReadFloor {
 public:
  ReadFloor(const std::string& folder, std::vector<std::string> names);
  void operator()();
  uint64_t bytes() const { return bytes_; }

 private:
  std::vector<std::string> paths_;
  uint64_t bytes_ = 0;
};

// The seven data files of the largest world the formats carry: 100 screens with 64 placements
// and 16 events each, 1000 sprites (200 full-playfield backgrounds among them), 1600 events of 32
// actions, 1000 dialogs of 127 characters, 255 artifacts, 100 images and two fonts. Written once
// into a folder of the system's temporary directory, whose path is returned.
std::string MaximalWorld();

}  // namespace bench
