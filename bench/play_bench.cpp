// play_bench.cpp -- one frame of play on the default world with the player walking, beside one
// copy of the whole view.
#include "bench.h"

#include "flow/modes.h"
#include "gfx/display.h"
#include "platform/display.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "services/app.h"
#include "services/settings.h"
#include "world/objects.h"

namespace {

void hold(uint32_t press, uint32_t release) {
  headless::ScriptEvent event;
  event.time = headless::Now();
  event.kind = headless::EventKind::KeyUp;
  event.a = release;
  headless::Schedule(event);
  event.kind = headless::EventKind::KeyDown;
  event.a = press;
  headless::Schedule(event);
}

// Frames of 10 ms of virtual time; the player walks right for 1.5 s, then left, and so on, so it
// stays on the first screen among its objects.
void BM_PlayFrame(benchmark::State& state) {
  if (!bench::StartGame(bench::RawDevice(), bench::DefaultWorld())) return state.SkipWithError("no default world");
  keyList = DispGetDefaultKeys(KEYS_NORMAL);
  SettingsUseDeviceKeys(keyList);
  gameMode = ModePlay;
  gameSetUp = 0;
  titleShown = 1;
  GameFrame(0.01);  // sets the game up
  uint64_t frame = 0, walking = 0;
  bench::CopyFloor floor(kViewSize * kViewSize * 2);
  bench::Paired(
      state, 8,
      [&] {
        if (frame % 300 == 0) hold(VK_RIGHT, VK_LEFT);
        if (frame % 300 == 150) hold(VK_LEFT, VK_RIGHT);
        ++frame;
        SysSleep(10);
        GameFrame(0.01);
        walking += playerState == Walking;
      },
      floor);
  if (gameMode != ModePlay) state.SkipWithError("play ended");
  state.counters["walking"] = static_cast<double>(walking) / static_cast<double>(frame);
}
BENCHMARK(BM_PlayFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
