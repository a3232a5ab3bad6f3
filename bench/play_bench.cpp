// play_bench.cpp -- one frame of play on the default world with the player walking, beside one
// copy of the whole view; and what recording costs such a frame.
#include "bench.h"

#include <filesystem>

#include "hosts/recording.h"

#include "flow/modes.h"
#include "gfx/display.h"
#include "platform/common/recorder.h"
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

// The default world in play, as a game just started.
bool startPlay() {
  if (!bench::StartGame(bench::RawDevice(), bench::DefaultWorld())) return false;
  keyList = DispGetDefaultKeys(KEYS_NORMAL);
  SettingsUseDeviceKeys(keyList);
  gameMode = ModePlay;
  gameSetUp = 0;
  titleShown = 1;
  GameFrame(0.01);  // sets the game up
  return true;
}

// Frames of 10 ms of virtual time; the player walks right for 1.5 s, then left, and so on, so it
// stays on the first screen among its objects.
struct Walk {
  uint64_t frame = 0, walking = 0;
  void operator()() {
    if (frame % 300 == 0) hold(VK_RIGHT, VK_LEFT);
    if (frame % 300 == 150) hold(VK_LEFT, VK_RIGHT);
    ++frame;
    SysSleep(10);
    GameFrame(0.01);
    walking += playerState == Walking;
  }
};

void BM_PlayFrame(benchmark::State& state) {
  if (!startPlay()) return state.SkipWithError("no default world");
  Walk walk;
  bench::CopyFloor floor(kViewSize * kViewSize * 2);
  bench::Paired(state, 8, walk, floor);
  if (gameMode != ModePlay) state.SkipWithError("play ended");
  state.counters["walking"] = static_cast<double>(walk.walking) / static_cast<double>(walk.frame);
}
BENCHMARK(BM_PlayFrame)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The same frames recorded (every reading, a checkpoint every 16 frames, written to the system at
// each frame), beside the same frames not recorded: x_floor is what recording costs a frame.
void BM_PlayFrameRecorded(benchmark::State& state) {
  if (!startPlay()) return state.SkipWithError("no default world");
  const std::string path = std::filesystem::temp_directory_path() / "zelvo-bench.zrec";
  RecSetStateReader(recording::ReadState);
  Walk walk;
  bool recording = false;
  std::string problem;
  bench::Paired(
      state, 16,
      [&] {
        walk();
        RecFrame();
      },
      walk,
      [&] {
        // Before each batch, untimed: the recorded batch opens the file, the plain one closes it.
        recording = !recording;
        if (recording) RecStart(path, {}, &problem); else RecStop(RecEndClosed);
      });
  RecStop(RecEndClosed);
  std::filesystem::remove(path);
  if (gameMode != ModePlay) state.SkipWithError("play ended");
}
BENCHMARK(BM_PlayFrameRecorded)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
