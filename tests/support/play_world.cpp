// play_world.cpp -- small worlds to play, and a game driven frame by frame in this process.
#include "support/play_world.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "data/layout.h"
#include "data/loaders.h"
#include "flow/input.h"
#include "flow/modes.h"
#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/text.h"
#include "platform/display.h"
#include "platform/system.h"
#include "services/app.h"
#include "services/settings.h"
#include "services/timer.h"
#include "support/device.h"
#include "world/objects.h"

namespace play_world {

Bytes Packed(const std::string& folder, const std::string& file) {
  const std::string bytes = testing_support::ReadFile(folder + "/" + file);
  EXPECT_FALSE(bytes.empty()) << folder << "/" << file << " is missing: the build packs it";
  return {bytes.begin(), bytes.end()};
}

Files World(const Content& content) {
  Files files;
  for (const char* art : {layout::kSpritesFile, layout::kImagesFile, layout::kFontsFile})
    files[art] = Packed(kPlayArt, art);
  std::vector<data_builder::ScreenDef> screens;
  for (const Screen& screen : content.screens) screens.push_back({screen.number, screen.objects, screen.events});
  files[layout::kMapFile] = data_builder::Map(screens);
  std::vector<data_builder::IndexedRecord> events;
  for (const data_builder::EventDef& event : content.events) events.push_back(data_builder::EventEntry(event));
  files[layout::kEventsFile] = data_builder::Indexed(events);
  files[layout::kArtifactsFile] = data_builder::Artifacts(content.artifacts);
  files[layout::kDialogsFile] = data_builder::Dialogs(content.dialogs);
  return files;
}

Session::Session(const Content& content) {
  data_builder::WriteAll(dir_.path(), World(content));
  gfx_testing::StartDisplay(dir_);
  TimerInit();
  TxtInit();
  keyList = DispGetDefaultKeys(KEYS_NORMAL);
  SettingsUseDeviceKeys(keyList);
  loadGameData();  // no music: the sound service starts only once in a process
  gameMode = ModePlay;
  gameSetUp = 0;
  soundMuted = 0;
  titleShown = 1;
  frames(1);
}

void Session::frames(int n, const std::vector<uint32_t>& held) {
  for (uint32_t key : held_)
    if (std::find(held.begin(), held.end(), key) == held.end())
      headless::Schedule(testing_support::At(headless::Now(), headless::EventKind::KeyUp, key));
  for (uint32_t key : held)
    if (std::find(held_.begin(), held_.end(), key) == held_.end())
      headless::Schedule(testing_support::At(headless::Now(), headless::EventKind::KeyDown, key));
  held_ = held;
  for (int i = 0; i < n; ++i) {
    SysSleep(10);
    GameFrame(0.01);
  }
}

void Session::tap(uint32_t x, uint32_t y) { LatchTap(x + display.viewOffsetX, y + display.viewOffsetY); }

}  // namespace play_world
