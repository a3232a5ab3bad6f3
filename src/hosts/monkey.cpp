// monkey.cpp -- random play that never stops to think, and the checks that catch what it breaks.
#include "hosts/monkey.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <vector>

#include "data/tables.h"
#include "events/events.h"
#include "flow/modes.h"
#include "gfx/display.h"
#include "inventory/inventory.h"
#include "platform/common/process.h"
#include "services/watch.h"
#include "world/collision.h"
#include "world/objects.h"

namespace monkey {

namespace {

constexpr int kBroken = 4;
constexpr size_t kMostObjects = 256;  // a screen holds 67 and its artifacts; far more means a leak
constexpr size_t kMostDirty = 4096;   // rectangles waiting at the end of a frame
constexpr double kMemoryCheckSeconds = 60.0;
constexpr size_t kMemorySlack = 4 << 20;

uint32_t seed = 0;
uint64_t frame = 0;
uint64_t framesInPlay = 0;
size_t baselineBytes = 0;
double nextMemoryCheck = kMemoryCheckSeconds;
uint32_t carriedLimit = kMaxCarried;

[[noreturn]] void broken(const char* what, const std::string& detail = "") {
  std::fprintf(stderr, "zelvo-sim: monkey %u: invariant broken at frame %llu: %s%s%s\n", seed,
               static_cast<unsigned long long>(frame), what, detail.empty() ? "" : ": ", detail.c_str());
  std::fflush(nullptr);
  std::_Exit(kBroken);
}

bool hasOpaquePixelInPlayfield(const Sprite& s) {
  if (s.pixelsReady != 1 || s.frame < 1 || s.frame > s.frameCount) return false;
  const int x0 = pixelOf(s.x), y0 = pixelOf(s.y);
  for (int r = 0; r < s.height; ++r)
    for (int c = 0; c < s.width; ++c)
      if (x0 + c >= 0 && x0 + c < kPlayfieldWidth && y0 + r >= 0 && y0 + r < kPlayfieldHeight &&
          framePixel(s, c, r) != 0)
        return true;
  return false;
}

// What the map cannot tell on this screen, by what happened since the player came to it:
// - layers an object left: objects sharing a layer share its bit, so erasing one clears the bit
//   under the others (that is the game's); a twin at the same place (an artifact whose id the
//   screen also places) takes all of the other's bits along;
// - objects sharing their id with another (below);
// - objects once seen with nothing to show (no such frame, or a clear one): the game may turn an
//   object to another frame without drawing it again (a turn in mid-jump that moves no pixel; a
//   player brought back to a checkpoint never taken has frame 0), and then it has no bits yet.
// Objects are told apart by address: list nodes stay put.
uint32_t taintedLayers = 0;
uint32_t taintScreen = 0;
std::vector<const Sprite*> lastOnLayer[32];
std::vector<const Sprite*> unsure;
std::map<const uint16_t*, bool> clearFrames;  // frame pixels -> none of them opaque

bool showsNothing(const Sprite& s) {
  if (s.pixelsReady != 1 || !s.pixels || s.frame < 1 || s.frame > s.frameCount) return true;
  const uint16_t* pixels = s.pixels + (s.frame - 1) * s.height * s.width;
  auto [it, fresh] = clearFrames.try_emplace(pixels, true);
  if (fresh) it->second = std::all_of(pixels, pixels + s.height * s.width, [](uint16_t p) { return p == 0; });
  return it->second;
}

void updateTaint() {
  if (currentScreenNumber() != taintScreen) {
    taintScreen = currentScreenNumber();
    taintedLayers = 0;
    for (auto& objects : lastOnLayer) objects.clear();
    unsure.clear();
  }
  std::vector<const Sprite*> now[32];
  for (const Sprite& s : objectList) {
    now[s.layer & 31].push_back(&s);
    if (showsNothing(s) && std::find(unsure.begin(), unsure.end(), &s) == unsure.end()) unsure.push_back(&s);
  }
  for (uint32_t layer = 0; layer < 32; ++layer) {
    for (const Sprite* before : lastOnLayer[layer]) {
      if (std::find(now[layer].begin(), now[layer].end(), before) != now[layer].end()) continue;
      taintedLayers |= 1u << layer;
      unsure.erase(std::remove(unsure.begin(), unsure.end(), before), unsure.end());  // its node may be reused
    }
    lastOnLayer[layer] = std::move(now[layer]);
  }
}

// An object alone on its layer is drawn exactly when its bit is somewhere in the map, unless the
// screen's history leaves that open (above).
void checkDrawnFlags() {
  updateTaint();
  uint32_t bits = 0;
  for (uint32_t cell : collisionMap) bits |= cell;
  for (const Sprite& s : objectList) {
    const uint32_t layer = s.layer & 31;
    if (lastOnLayer[layer].size() != 1 || (taintedLayers >> layer) & 1) continue;
    // The game finds an artifact's object as the first object of its id: with two of one id, the
    // other may be the one it drew or marked.
    if (std::count_if(objectList.begin(), objectList.end(), [&](const Sprite& o) { return o.id == s.id; }) > 1) continue;
    const bool inMap = (bits >> layer) & 1;
    if (!(s.flags & SpriteDrawn) && inMap)
      broken("an object that is not drawn has its bit in the collision map", "sprite " + std::to_string(s.id));
    if ((s.flags & SpriteDrawn) && !inMap && hasOpaquePixelInPlayfield(s) &&
        std::find(unsure.begin(), unsure.end(), &s) == unsure.end())
      broken("a drawn object has no bit in the collision map", "sprite " + std::to_string(s.id));
  }
}

void checkSorted() {
  uint8_t last = 255;
  for (const Sprite& s : objectList) {
    if (s.layer > last) broken("objectList is not sorted by layer after an update pass");
    last = s.layer;
  }
}

void checkPresented() {
  if (!dirtyList.empty()) broken("the dirty list is not empty after a present");
}

}  // namespace

std::vector<headless::ScriptEvent> Input(uint32_t seedValue, double seconds, const KeyList& keys, int32_t screenWidth,
                                         int32_t screenHeight) {
  std::mt19937 rng(seedValue);
  auto below = [&](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
  std::vector<uint32_t> codes;
  for (const KeyListEntry* k : {&keys.up, &keys.down, &keys.left, &keys.right, &keys.a, &keys.b, &keys.c, &keys.start})
    if (k->vkCode > 0) codes.push_back(static_cast<uint32_t>(k->vkCode));
  std::vector<bool> down(codes.size(), false);
  // The title's Quit button, in screen pixels, with a margin.
  const int32_t left = (screenWidth - 240) / 2 + 70, top = (screenHeight - 240) / 2 + 165;
  std::vector<headless::ScriptEvent> events;
  auto add = [&](double time, headless::EventKind kind, uint32_t a = 0, uint32_t b = 0) {
    headless::ScriptEvent e;
    e.time = time, e.kind = kind, e.a = a, e.b = b;
    events.push_back(e);
  };
  for (double t = 0.5; t < seconds; t += (30 + below(570)) / 1000.0) {
    const uint32_t roll = below(100);
    if (roll < 60 && !codes.empty()) {
      const uint32_t k = below(static_cast<uint32_t>(codes.size()));
      add(t, down[k] ? headless::EventKind::KeyUp : headless::EventKind::KeyDown, codes[k]);
      down[k] = !down[k];
    } else if (roll < 95) {
      uint32_t x = 0, y = 0;
      do {
        x = below(static_cast<uint32_t>(screenWidth)), y = below(static_cast<uint32_t>(screenHeight));
      } while (static_cast<int32_t>(x) >= left && static_cast<int32_t>(x) <= left + 80 &&
               static_cast<int32_t>(y) >= top && static_cast<int32_t>(y) <= top + 40);
      add(t, headless::EventKind::Tap, x, y);
    } else if (roll < 97) {
      add(t, headless::EventKind::FocusLost);
      add(t + 0.2, headless::EventKind::FocusGained);
    }
  }
  // A dialog box holds the game, and the close that ends the run, until a game key is down; so
  // after the play every key is pressed in turn (held long enough for the box's polls to see it).
  for (size_t k = 0; k < codes.size(); ++k)
    if (down[k]) add(seconds, headless::EventKind::KeyUp, codes[k]);
  for (double t = seconds + 0.1; !codes.empty() && t < seconds + 30; t += 0.3) {
    const uint32_t code = codes[static_cast<size_t>((t - seconds) / 0.3) % codes.size()];
    add(t, headless::EventKind::KeyDown, code);
    add(t + 0.2, headless::EventKind::KeyUp, code);
  }
  return events;
}

void Watch(uint32_t seedValue) {
  seed = seedValue;
  baselineBytes = ProcessHeapBytesInUse();
  watch::afterObjectsUpdated = checkSorted;
  watch::afterPresented = checkPresented;
}

void AfterFrame() {
  frame += 1;
  framesInPlay += gameMode == ModePlay || gameMode == ModeInventory;
  // Picking up stops at three, but a world may hand out more at the start of every game: as many as
  // the artifacts loaded at start-up carry.
  if (frame == 1) carriedLimit = std::max(kMaxCarried, carriedCount());
  if (energy > 50.0) broken("energy above 50", std::to_string(energy));
  if (score > 9999) broken("score above 9999", std::to_string(score));
  checkDrawnFlags();
  if (objectList.size() > kMostObjects) broken("objectList keeps growing", std::to_string(objectList.size()));
  if (dirtyList.size() > kMostDirty) broken("the dirty list keeps growing", std::to_string(dirtyList.size()));
  if (activeEvents.size() > 16) broken("more active events than a screen places", std::to_string(activeEvents.size()));
  if (inventoryList.size() > carriedLimit)
    broken("more artifacts listed in the inventory than three or than the game started with");
  if (headless::Now() >= nextMemoryCheck) {
    // The first minute settles what play needs; after it, memory in use must stay level.
    const size_t now = ProcessHeapBytesInUse();
    if (nextMemoryCheck == kMemoryCheckSeconds)
      baselineBytes = now;
    else if (now > baselineBytes + kMemorySlack)
      broken("memory in use keeps growing", std::to_string(baselineBytes) + " -> " + std::to_string(now) + " bytes");
    nextMemoryCheck += kMemoryCheckSeconds;
  }
}

}  // namespace monkey

namespace monkey {

void Summary() {
  std::printf("zelvo-sim: monkey %u: %llu frames, %llu of them in play; no invariant broken\n", seed,
              static_cast<unsigned long long>(frame), static_cast<unsigned long long>(framesInPlay));
}

}  // namespace monkey
