// present_bench.cpp -- copies of the back buffer to the screen, each beside a memcpy of the same bytes.
#include "bench.h"

#include "gfx/display.h"
#include "gfx/primitives.h"

namespace {

using bench::Paired;

// A view full of distinct pixels, so nothing is cheaper for being uniform.
void fillView() {
  for (uint32_t y = 0; y < kViewSize; ++y)
    for (uint32_t x = 0; x < kViewSize; ++x) putPixel(x, y, static_cast<uint16_t>(1 + (x * 251 + y * 241) % 0xFFFE));
}

bool start(int device) {
  const headless::DeviceConfig configs[] = {bench::RawDevice(), bench::RotatedDevice(), bench::GapiDevice()};
  if (!bench::StartDevice(configs[device], bench::DefaultWorld())) return false;
  fillView();
  return true;
}

const char* kDevices[] = {"raw565", "rotated", "gapi"};

void BM_PresentAll(benchmark::State& state) {
  if (!start(static_cast<int>(state.range(0)))) return state.SkipWithError("the display did not start");
  state.SetLabel(kDevices[state.range(0)]);
  bench::CopyFloor floor(kViewSize * kViewSize * 2);
  Paired(
      state, 16, [] { presentAll(); }, floor);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kViewSize * kViewSize * 2);
}
BENCHMARK(BM_PresentAll)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The rectangles of a frame of play: the player's old and new place, a patrolling object, the
// energy bar. Or many: a screen's worth of small animated objects.
struct Rects {
  std::vector<DirtyRect> rects;
  size_t bytes = 0;
};

Rects fewRects() {
  Rects r{{{60, 120, 12, 26}, {130, 150, 24, 10}, {168, 3, 52, 8}, {1, 1, 24, 10}}};
  for (const DirtyRect& d : r.rects) r.bytes += size_t{d.width} * d.height * 2;
  return r;
}

Rects manyRects() {
  Rects r;
  for (uint16_t i = 0; i < 64; ++i)
    r.rects.push_back({static_cast<uint16_t>(15 + i * 37 % 190), static_cast<uint16_t>(25 + i * 23 % 170), 20, 20});
  for (const DirtyRect& d : r.rects) r.bytes += size_t{d.width} * d.height * 2;
  return r;
}

void presentDirtyOn(benchmark::State& state, const Rects& r) {
  if (!start(static_cast<int>(state.range(0)))) return state.SkipWithError("the display did not start");
  state.SetLabel(kDevices[state.range(0)]);
  bench::CopyFloor floor(r.bytes);
  Paired(
      state, 16,
      [&] {
        for (const DirtyRect& d : r.rects) addDirtyRect(d.x, d.y, d.width, d.height);
        presentDirty();
      },
      floor);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * r.bytes));
}

void BM_PresentDirtyFew(benchmark::State& state) { presentDirtyOn(state, fewRects()); }
BENCHMARK(BM_PresentDirtyFew)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_PresentDirtyMany(benchmark::State& state) { presentDirtyOn(state, manyRects()); }
BENCHMARK(BM_PresentDirtyMany)->DenseRange(0, 2)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
