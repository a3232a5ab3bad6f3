// draw_bench.cpp -- drawing into the back buffer: pictures, sprites through the layer map, the live
// objects' update and text, each beside a memcpy of the pixels it puts down.
#include "bench.h"

#include <cstring>

#include "flow/newgame.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "services/timer.h"
#include "world/collision.h"
#include "world/objects.h"

namespace {

using bench::Paired;

const char* kWorlds[] = {"default", "maximal"};

// A new game on the default world (range 0) or the generated largest one (range 1): screen 1 live,
// the player standing where a new game puts it.
bool startPlay(benchmark::State& state) {
  const std::string world = state.range(0) == 0 ? bench::DefaultWorld() : bench::MaximalWorld();
  if (!bench::StartGame(bench::RawDevice(), world)) return false;
  NewGame();
  state.SetLabel(kWorlds[state.range(0)]);
  return findPlayer() != nullptr;
}

void drawPicture(benchmark::State& state, uint32_t id) {
  if (!bench::StartGame(bench::RawDevice(), bench::DefaultWorld())) return state.SkipWithError("no default world");
  ImageRecord image;
  if (!getImage(id, &image)) return state.SkipWithError("the picture is missing");
  bench::CopyFloor floor(size_t{image.width} * image.height * 2);
  Paired(
      state, 4,
      [&] {
        drawImage(0, 0, image);
        if (image.saveBuffer) restoreImage(0, 0, image);
        dirtyList.clear();
      },
      floor);
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * image.width * image.height);
}

// The splash: a whole view of run-length pixels.
void BM_DrawImage(benchmark::State& state) { drawPicture(state, 6); }
BENCHMARK(BM_DrawImage)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The dialog panel: saved under, drawn, and put back.
void BM_DrawImageSaveRestore(benchmark::State& state) { drawPicture(state, 5); }
BENCHMARK(BM_DrawImageSaveRestore)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The player taken out of the layer map and put back, as every step of a walk does.
void BM_EraseDrawPlayer(benchmark::State& state) {
  if (!startPlay(state)) return state.SkipWithError("no game to play");
  Sprite& player = *findPlayer();
  redrawSprite(player);
  dirtyList.clear();
  bench::CopyFloor floor(static_cast<size_t>(player.width) * player.height * 2 * 2);
  Paired(
      state, 8,
      [&] {
        eraseSprite(player);
        drawSprite(player);
      },
      floor);
}
BENCHMARK(BM_EraseDrawPlayer)->DenseRange(0, 1)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Every live object of the screen due at once: each animated one changes frame, each patroller steps.
void BM_UpdateObjects(benchmark::State& state) {
  if (!startPlay(state)) return state.SkipWithError("no game to play");
  size_t bytes = 0;
  for (const Sprite& object : objectList)
    if ((object.flags & SpriteAnimated) || object.motion == 2)
      bytes += static_cast<size_t>(object.width) * object.height * 2;
  bench::CopyFloor floor(bytes == 0 ? 2 : bytes);
  Paired(
      state, 1,
      [] {
        headless::AdjustCounter(static_cast<int64_t>(counterFrequency));
        updateObjects(0, 31);
        dirtyList.clear();
      },
      floor);
  state.counters["objects"] = static_cast<double>(objectList.size());
}
BENCHMARK(BM_UpdateObjects)->DenseRange(0, 1)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The score line of the status display.
void BM_DrawText(benchmark::State& state) {
  if (!bench::StartGame(bench::RawDevice(), bench::DefaultWorld())) return state.SkipWithError("no default world");
  selectFont(1);
  setTextColor(1);
  setTextBackground(0x7F4F);
  const char* text = "Score: 0042";
  const auto font = fontTable.find(1);
  if (font == fontTable.end()) return state.SkipWithError("no font 1");
  bench::CopyFloor floor(std::strlen(text) * font->second.glyphWidth * font->second.glyphHeight * 2);
  Paired(
      state, 8,
      [&] {
        drawText(text, 160, 220, 1);
        dirtyList.clear();
      },
      floor);
}
BENCHMARK(BM_DrawText)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
