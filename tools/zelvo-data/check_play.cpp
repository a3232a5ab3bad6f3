// check_play.cpp -- where a player who enters a screen first stands, against the hazards that move there.
#include "check_play.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "data/tables.h"
#include "gfx/image.h"
#include "render.h"
#include "world/collision.h"
#include "world/objects.h"

namespace zdata {

namespace {

// These mirror the game's rules (world/player.cpp, world/collision.cpp).
constexpr int32_t kBottom = 189;     // the playfield's last row
constexpr int32_t kRightTurn = 206;  // a patroller turns back when its right edge passes this column
constexpr int32_t kLeftTurn = 2;     // ... and when its x falls below 3
constexpr int32_t kEdgeRight = 209;  // entering from the right, the player stands at 209 - width / 2

struct Spot {
  int32_t x, y;
  std::string how;
};

int32_t w = 0, h = 0;  // the player's size

// The player's body at (x, y) is out of the ground; it stands when the row under its feet is solid too
// (the game's own test, over the columns it tests).
bool bodyClear(int32_t x, int32_t y) {
  for (int32_t dy = 0; dy < h; ++dy)
    if (!isRowClear(x, y, w, dy)) return false;
  return true;
}
bool stands(int32_t x, int32_t y) { return bodyClear(x, y) && !isRowClear(x, y, w, h); }

// Every height at which the player can stand at column x of the built screen.
std::vector<int32_t> surfaces(int32_t x) {
  std::vector<int32_t> ys;
  for (int32_t y = 0; y + h <= kBottom; ++y)
    if (stands(x, y)) ys.push_back(y);
  return ys;
}

// Where a player put at (x, y) comes to stand, falling straight down; nothing when it falls out.
std::optional<int32_t> landing(int32_t x, int32_t y) {
  if (!bodyClear(x, y)) return std::nullopt;
  for (; y + h <= kBottom; ++y)
    if (!isRowClear(x, y, w, h)) return y;
  return std::nullopt;
}

bool exists(int32_t column, int32_t row) {
  return column >= 0 && column < 10 && row >= 0 && row < 10 && screenMap[column * 10 + row].screenNumber != 0;
}

// The heights at which a player leaves screen n across its right (or left) edge.
std::vector<int32_t> leaving(uint32_t n, bool right) {
  buildScreen(n);
  return surfaces(right ? kEdgeRight - (w >> 1) - 1 : 1);
}

std::vector<Spot> entrySpots(uint32_t n) {
  std::vector<Spot> spots;
  const int32_t column = columnOfScreen(n), row = rowOfScreen(n);
  // From the left the player comes in at x -w/2 and takes its checkpoint at x 1; from the right it
  // stands at once at 209 - w/2.
  std::vector<std::pair<int32_t, std::vector<int32_t>>> edges;
  if (exists(column - 1, row))
    edges.push_back({1, leaving(screenMap[(column - 1) * 10 + row].screenNumber, true)});
  if (exists(column + 1, row))
    edges.push_back({kEdgeRight - (w >> 1), leaving(screenMap[(column + 1) * 10 + row].screenNumber, false)});
  buildScreen(n);
  for (const auto& [x, ys] : edges)
    for (int32_t y : ys)
      if (auto at = landing(x, y)) spots.push_back({x, *at, x == 1 ? "from the left" : "from the right"});
  std::set<std::pair<int32_t, int32_t>> doors;
  for (const ScreenRecord& screen : screenMap) {
    if (screen.screenNumber == 0) continue;
    for (const EventPlacement& p : screen.events) {
      if (p.eventId == 0) break;
      auto found = eventTable.find(p.eventId);
      if (found == eventTable.end()) continue;
      for (const EventAction& a : found->second.actions) {
        if (a.opcode != GoToScreen || columnOfScreen(a.argument) < 0) continue;
        if (a.argument == n && doors.insert({a.x, a.y}).second)
          if (auto at = landing(a.x, a.y))
            spots.push_back({a.x, *at, "by event " + std::to_string(found->first) + "'s goToScreen"});
        break;  // the list ends at the first screen that exists
      }
    }
  }
  if (column == 0 && row == 0)  // a new game puts the player at (20, 1)
    if (auto at = landing(20, 1)) spots.push_back({20, *at, "at the start of a game"});
  return spots;
}

}  // namespace

void checkEntries(const LoadedSet& set, Report& report) {
  if (!set.allLoad() || !loadIntoGame(set.dir)) return;
  ::Sprite player;
  if (!getSprite(3, &player)) return;
  w = player.width, h = player.height;
  GameCanvas canvas;
  for (const ScreenRecord& screen : screenMap) {
    const uint32_t n = screen.screenNumber;
    if (n == 0 || columnOfScreen(n) < 0) continue;
    const std::vector<Spot> spots = entrySpots(n);
    std::set<uint32_t> warned;
    for (const ::Sprite& hazard : objectList) {
      const bool patrols = hazard.motion == 2 && hazard.moveRate != 0;
      const bool animates = hazard.frameCount > 1 && hazard.animRate != 0;
      if (hazard.layer != HazardLayer || !(patrols || animates) || warned.count(hazard.id)) continue;
      Box reach = boxOf(hazard);
      // A patroller starts only once its right edge is at the screen's; then it walks the whole width.
      if (patrols && reach.right + 1 > kRightTurn) reach.left = kLeftTurn;
      for (const Spot& s : spots) {
        if (!rectsOverlap({s.x, s.x + w, s.y, s.y + h}, reach)) continue;
        report.warning(layout::kMapFile, "screen " + std::to_string(n), "",
                       "sprite " + std::to_string(hazard.id) + (patrols ? " patrols" : " moves") +
                           " over (" + std::to_string(s.x) + "," + std::to_string(s.y) +
                           "), where a player entering " + s.how +
                           " first stands and comes back after losing a life");
        warned.insert(hazard.id);
        break;
      }
    }
  }
  objectList.clear();
}

}  // namespace zdata
