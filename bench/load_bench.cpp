// load_bench.cpp -- each loader, and all of them, on the default world and on the largest world,
// beside reading the same files' bytes into fresh memory. Before each load the tables it refills
// are emptied and the memory they held is given back, so that the load starts as at start-up.
#include "bench.h"

#include <algorithm>

#include "data/layout.h"
#include "data/loaders.h"

namespace {

struct Loader {
  const char* file;  // null: every file, through loadGameData
  LoadResult (*load)();
  void (*unload)();  // what the load refills, emptied with its buffers freed
};

const Loader kLoaders[] = {
    {nullptr, [] { return static_cast<LoadResult>(loadGameData()); }, unloadGameData},
    {layout::kSpritesFile, loadSprites, unloadSprites},
    {layout::kEventsFile, loadEvents, [] { eventTable.clear(); }},
    {layout::kArtifactsFile, loadArtifacts, [] { artifactList.clear(); }},
    {layout::kFontsFile, loadFonts, unloadFonts},
    {layout::kImagesFile, loadImages, unloadImages},
    {layout::kMapFile, loadScreenMap, [] { std::fill(screenMap.begin(), screenMap.end(), ScreenRecord{}); }},
    {layout::kDialogsFile, loadDialogs, [] { dialogTable.clear(); }},
};

void load(benchmark::State& state, const std::string& world) {
  const Loader& loader = kLoaders[state.range(0)];
  if (!bench::StartGame(bench::RawDevice(), world)) return state.SkipWithError("the world does not load");
  std::vector<std::string> files;
  if (loader.file) {
    files = {loader.file};
  } else {
    files = {layout::kSpritesFile, layout::kEventsFile, layout::kArtifactsFile, layout::kFontsFile,
             layout::kImagesFile,  layout::kMapFile,    layout::kDialogsFile};
  }
  state.SetLabel(loader.file ? loader.file : "all");
  bench::ReadFloor floor(world, files);
  bool ok = true;
  bench::Paired(
      state, 1, [&] { ok = ok && loader.load() == LoadOk; }, floor,
      [&] {
        loader.unload();
        bench::ReturnFreeMemory();
      });
  if (!ok) state.SkipWithError("a load failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * floor.bytes()));
}

void BM_LoadDefault(benchmark::State& state) { load(state, bench::DefaultWorld()); }
BENCHMARK(BM_LoadDefault)->DenseRange(0, 7)->Iterations(200)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LoadMaximal(benchmark::State& state) { load(state, bench::MaximalWorld()); }
BENCHMARK(BM_LoadMaximal)->DenseRange(0, 7)->Iterations(30)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
