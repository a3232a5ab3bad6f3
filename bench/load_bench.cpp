// load_bench.cpp -- each loader, and all of them, on the default world and on the largest world,
// beside reading the same files' bytes into fresh memory. Before each load the tables it refills
// are emptied and the memory they held is given back, so that the load starts as at start-up.
#include "bench.h"

#include "data/layout.h"
#include "data/loaders.h"

namespace {

struct Loader {
  const char* file;  // null: every file, through loadGameData
  LoadResult (*load)();
  void (*clear)();  // what a second load of the same file needs emptied to keep its records again
};

void noClear() {}

// Images and fonts keep their buffers until exit, so repeated loads hold more memory each time:
// the iteration counts below keep that to some hundred megabytes.
const Loader kLoaders[] = {
    {nullptr, [] { return static_cast<LoadResult>(loadGameData()); },
     [] { imageTable.clear(), fontTable.clear(), dialogTable.clear(); }},
    {layout::kSpritesFile, loadSprites, noClear},
    {layout::kEventsFile, loadEvents, noClear},
    {layout::kArtifactsFile, loadArtifacts, noClear},
    {layout::kFontsFile, loadFonts, [] { fontTable.clear(); }},
    {layout::kImagesFile, loadImages, [] { imageTable.clear(); }},
    {layout::kMapFile, loadScreenMap, noClear},
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
        loader.clear();
        bench::ReturnFreeMemory();
      });
  if (!ok) state.SkipWithError("a load failed");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * floor.bytes()));
}

void BM_LoadDefault(benchmark::State& state) { load(state, bench::DefaultWorld()); }
BENCHMARK(BM_LoadDefault)->DenseRange(0, 7)->Iterations(100)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LoadMaximal(benchmark::State& state) { load(state, bench::MaximalWorld()); }
BENCHMARK(BM_LoadMaximal)->DenseRange(0, 7)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
