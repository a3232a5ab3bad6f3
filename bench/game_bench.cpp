// game_bench.cpp -- how fast the game's hot paths run on the headless device: decoding, presenting, text, loading.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "data/layout.h"
#include "data/loaders.h"
#include "flow/screens.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "platform/headless/headless.h"
#include "shell/shell.h"

namespace {

// The packed default world beside the benchmark, and the display started on a fresh device.
bool startGame() {
  static bool started = false;
  static bool ok = false;
  if (started) return ok;
  started = true;
  headless::DeviceConfig config;
  config.appDirectory = ZELVO_BINARY_DIR;
  headless::Configure(config);
  appDirectory = std::string(ZELVO_BINARY_DIR) + "/";
  ok = CreateMainWindow(1, SW_SHOW) && GfxInit() == 0 && loadGameData() == 0;
  return ok;
}

void BM_LoadDefaultWorld(benchmark::State& state) {
  if (!startGame()) return state.SkipWithError("the default world is not packed beside the benchmark");
  for (auto _ : state) {
    imageTable.clear();
    fontTable.clear();
    dialogTable.clear();
    benchmark::DoNotOptimize(loadGameData());
  }
}
BENCHMARK(BM_LoadDefaultWorld)->Unit(benchmark::kMillisecond);

void BM_DrawSplash(benchmark::State& state) {
  if (!startGame()) return state.SkipWithError("the default world is not packed beside the benchmark");
  ImageRecord splash;
  if (!getImage(6, &splash)) return state.SkipWithError("no splash picture");
  for (auto _ : state) {
    drawImage(0, 0, splash);
    dirtyList.clear();
  }
  state.SetItemsProcessed(state.iterations() * splash.width * splash.height);
}
BENCHMARK(BM_DrawSplash)->Unit(benchmark::kMicrosecond);

void BM_PresentAll(benchmark::State& state) {
  if (!startGame()) return state.SkipWithError("the default world is not packed beside the benchmark");
  for (auto _ : state) benchmark::DoNotOptimize(presentAll());
  state.SetItemsProcessed(state.iterations() * kViewSize * kViewSize);
}
BENCHMARK(BM_PresentAll)->Unit(benchmark::kMicrosecond);

void BM_TitleScreen(benchmark::State& state) {
  if (!startGame()) return state.SkipWithError("the default world is not packed beside the benchmark");
  for (auto _ : state) ShowTitleScreen();
}
BENCHMARK(BM_TitleScreen)->Unit(benchmark::kMicrosecond);

void BM_DrawStatusLine(benchmark::State& state) {
  if (!startGame()) return state.SkipWithError("the default world is not packed beside the benchmark");
  selectFont(1);
  setTextColor(1);
  setTextBackground(0x7F4F);
  for (auto _ : state) {
    benchmark::DoNotOptimize(drawText("Score: 0042", 160, 220, 1));
    dirtyList.clear();
  }
}
BENCHMARK(BM_DrawStatusLine)->Unit(benchmark::kMicrosecond);

}  // namespace
