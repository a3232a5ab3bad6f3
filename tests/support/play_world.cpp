// play_world.cpp -- small worlds to play, and a game driven frame by frame in this process.
#include "support/play_world.h"

#include <algorithm>
#include <functional>

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

using data_builder::ImageEntry;
using data_builder::Indexed;
using data_builder::SpriteEntry;

namespace {

using Paint = std::function<uint16_t(int x, int y)>;  // 0 = transparent

// Run-length words of a picture: pixels as they are, transparent runs as skips.
std::vector<uint16_t> Encode(int width, int height, const Paint& paint) {
  std::vector<uint16_t> words;
  uint16_t skip = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint16_t p = paint(x, y);
      if (p == 0) {
        skip += 1;
        continue;
      }
      if (skip) words.insert(words.end(), {0, skip});
      skip = 0;
      words.push_back(p);
    }
  if (skip) words.insert(words.end(), {0, skip});
  return words;
}

Paint Solid(uint16_t colour) {
  return [colour](int, int) { return colour; };
}

data_builder::IndexedRecord Sprite(uint32_t id, uint8_t kind, uint8_t width, uint8_t height, std::vector<Paint> frames,
                                   uint8_t animRate = 0, uint8_t motion = 0, uint8_t moveRate = 0) {
  data_builder::SpriteDef def{.id = id, .kind = kind, .animRate = animRate, .motion = motion, .moveRate = moveRate};
  def.width = width, def.height = height;
  for (const Paint& frame : frames) def.frames.push_back(Encode(width, height, frame));
  return SpriteEntry(def);
}

data_builder::IndexedRecord Image(uint32_t id, uint16_t width, uint16_t height, uint16_t colour, uint8_t under = 0) {
  return ImageEntry({id, under, 0, width, height, Encode(width, height, Solid(colour))});
}

std::vector<data_builder::IndexedRecord> Sprites() {
  // The player: blue shades facing left, green shades facing right, a dark eye on the facing side.
  std::vector<Paint> player;
  for (int f = 1; f <= 16; ++f) {
    const bool left = f <= 8;
    const uint16_t body = left ? static_cast<uint16_t>(0x0010 + f) : static_cast<uint16_t>(0x0400 + (f << 6));
    player.push_back([body, left](int x, int y) -> uint16_t { return y == 3 && x == (left ? 1 : 8) ? 1 : body; });
  }
  auto ramp = [](int x, int y) -> uint16_t { return y >= 11 - x / 5 ? 0x8A22 : 0; };
  auto spikes = [](int x, int y) -> uint16_t { return y >= 5 - (x % 6 < 3 ? x % 6 : 5 - x % 6) * 2 ? 0xF800 : 0; };
  auto leaves = [](int x, int y) -> uint16_t { return (x + y) % 3 ? 0x2E05 : 0; };
  auto backdrop = [](int x, int y) -> uint16_t { return x > 80 && x < 130 && y > 40 && y < 90 ? 0 : 0xB71C; };
  return {
      Sprite(Player, 0, 10, 14, player, 8),
      Sprite(Floor, 3, 210, 10, {Solid(0x8A22)}),
      Sprite(Block, 3, 20, 20, {Solid(0x6180)}),
      Sprite(Ramp, 3, 60, 12, {ramp}),
      Sprite(Spikes, 6, 40, 6, {spikes}),
      Sprite(Tree, 1, 30, 40, {Solid(0x0300)}),
      Sprite(Leaves, 2, 24, 24, {leaves}),
      Sprite(Post, 5, 6, 30, {Solid(0xFFE0)}),
      Sprite(Walker, 1, 10, 10, {Solid(0x780F)}, 0, 2, 50),
      Sprite(Lamp, 1, 8, 8, {Solid(0xFD20), Solid(0x001F)}, 0),
      Sprite(Gem, 1, 8, 8, {Solid(0x07FF)}),
      Sprite(Ring, 1, 6, 6, {Solid(0xF81F), Solid(0x7BEF)}),
      Sprite(Backdrop, 4, 210, 190, {backdrop}),
  };
}

}  // namespace

Files World(const Content& content) {
  Files files;
  files[layout::kSpritesFile] = Indexed(Sprites());
  files[layout::kImagesFile] =
      Indexed({Image(1, 15, 190, 0x4208), Image(2, 240, 25, 0x4208), Image(3, 190, 140, 0x2104, 1),
               Image(5, 190, 110, 0x0011, 1), Image(7, 20, 15, 0x07E0), Image(8, 20, 15, 0xF800)});
  files[layout::kFontsFile] = Indexed({data_builder::FontEntry({1, 5, 7, data_builder::FullSheet(5, 7)}),
                                       data_builder::FontEntry({2, 6, 8, data_builder::FullSheet(6, 8)})});
  std::vector<data_builder::ScreenDef> screens;
  for (const Screen& screen : content.screens) screens.push_back({screen.number, screen.objects, screen.events});
  files[layout::kMapFile] = data_builder::Map(screens);
  std::vector<data_builder::IndexedRecord> events;
  for (const data_builder::EventDef& event : content.events) events.push_back(data_builder::EventEntry(event));
  files[layout::kEventsFile] = Indexed(events);
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
