// events_test.cpp -- event triggers and the inventory, in a game played in this process on small test
// worlds (what the actions do is played through zelvo-sim in the scenarios).
#include <gtest/gtest.h>

#include "data/layout.h"
#include "events/events.h"
#include "flow/modes.h"
#include "inventory/inventory.h"
#include "platform/keys.h"
#include "support/golden.h"
#include "support/play_world.h"
#include "world/objects.h"

using namespace play_world;
using data_builder::ArtifactDef;
using data_builder::EventDef;

namespace {

constexpr uint32_t kA = 0xC1;  // the device's A key, Action by default
using namespace layout;        // the opcodes, triggers and states by name

// Screen 1 with a floor and two trees; screen 11 to its right is empty. The player lands at
// (20, 166) after 130 frames.
Content world(std::vector<EventDef> events, std::vector<data_builder::PlacementDef> placed,
              std::vector<ArtifactDef> artifacts) {
  return {{{.number = 1, .objects = {{Floor, 0, 180}, {Tree, 100, 140}, {Tree, 150, 140}}, .events = placed},
           {.number = 11, .objects = {{Floor, 0, 180}}}},
          events,
          artifacts,
          {{1, "Hello"}}};
}

// The mode, the panel's lines and highlight, the score, then each artifact: id, state, place and drawn copies.
std::string state() {
  std::string text = std::to_string(gameMode) + " lines " + std::to_string(inventoryList.size()) + " at " +
                     std::to_string(inventorySelection) + " carried " + std::to_string(carriedCount()) + " score " +
                     std::to_string(score);
  for (const Artifact& a : artifactList)
    text += " | " + std::to_string(a.id) + ": " + std::to_string(a.state) + " " + std::to_string(a.x) + "," +
            std::to_string(a.y) + " x" +
            std::to_string(
                std::count_if(objectList.begin(), objectList.end(), [&](const ::Sprite& s) { return s.id == a.id; }));
  return text + "\n";
}

// The trigger rectangle includes its far edges; so does the player's (10 x 14 at its position).
TEST(EventTriggers, RectanglesArmingAndTheThreeTriggers) {
  Session game(
      world({{.id = 1, .width = 10, .height = 10, .trigger = 1, .actions = {{AddScore, 1}}},
             {.id = 2, .trigger = 1, .actions = {{AddScore, 100}, {DisarmEvent, 2}}},
             {.id = 3, .width = 5, .height = 5, .trigger = 2, .actions = {{AddScore, 1000}}},
             {.id = 4, .width = 5, .height = 5, .trigger = 3, .triggerParam = Gem, .actions = {{SpendArtifact, Gem}}}},
            {{1, 100, 50}, {2, 150, 20}, {2, 150, 20}, {3, 60, 166}, {4, 60, 166}},
            {{.id = Ring, .name = "Ring", .state = 3}, {.id = Gem, .name = "Gem", .state = 3}}));
  game.frames(130);
  ::Sprite* player = findPlayer();
  // Event 1 (100,50 10x10) from the player's right and bottom edges, then its left edge; a 0 x 0
  // event placed twice is one pixel: the first copy disarms itself, the second fires anyway.
  std::string fired;
  for (auto [x, y] : {std::pair{90, 40}, {89, 40}, {110, 60}, {111, 60}, {100, 61}, {140, 6}, {145, 10}}) {
    player->x = x, player->y = y, score = 0;
    fired += std::to_string(checkEvents(Touch, player, 0));
    fired += ":" + std::to_string(score) + " ";
  }
  EXPECT_EQ(fired, "1:1 0:0 1:1 0:0 0:0 1:200 0:0 ");
  EXPECT_EQ(eventTable.at(2).armState, Disarmed);
  // Action: the deadline is pushed only when an armed ActionKey event overlaps the player.
  actionDeadline = 0;
  player->x = 20, player->y = 166;
  EXPECT_FALSE(checkEvents(ActionKey, player, 0));
  EXPECT_EQ(actionDeadline, 0u);
  player->x = 50;
  EXPECT_TRUE(checkEvents(ActionKey, player, 0));
  EXPECT_GT(actionDeadline, 0u);
  // Use: only the artifact the event names.
  EXPECT_FALSE(checkEvents(UseArtifact, player, Ring));
  EXPECT_TRUE(checkEvents(UseArtifact, player, Gem));
  EXPECT_EQ(artifactList.back().state, Spent);
}

TEST(Inventory, PickUpChooseUseAndDrop) {
  Session game(
      world({{.id = 4, .width = 40, .height = 20, .trigger = 3, .triggerParam = Ring, .actions = {{AddScore, 5}}}},
            {{4, 0, 160}},
            {{.id = Ring, .name = "Ring", .state = 3},
             {.id = Lamp, .name = "Lamp", .state = 3},
             {.id = Gem, .name = "Gem", .screenNumber = 1, .x = 24, .y = 172, .state = 1}}));
  // Keys held for some frames: Action on the gem picks it up and opens the panel on the exit line; nothing is past it,
  // and there only Left acts; on an item line Left and Right go down and back up in one frame; Left stops at the ring,
  // which Action uses through the event and keeps (the opening Action's deadline is long past). Then the lamp, two
  // lines up after two 200 ms pauses: Action within half a second of opening is ignored, later it drops the lamp
  // centred under the player (no event takes it); Action picks it up again, and on the exit line only closes the panel.
  const std::pair<int, const char*> steps[] = {
      {130, ""}, {1, "A"}, {1, "R"}, {1, "LR"}, {1, "LR"}, {1, "L"}, {1, "L"}, {1, "L"}, {1, "L"}, {1, "L"}, {1, "A"},
      {60, ""},  {1, "A"}, {1, "L"}, {1, "L"},  {1, "A"},  {10, ""}, {1, "A"}, {60, ""}, {1, "A"}, {60, ""}, {1, "A"}};
  std::string text = "mode, panel lines, highlight, carried, score | artifact: state x,y drawn copies\n";
  for (const auto& [n, keys] : steps) {
    std::vector<uint32_t> held;  // Action, Left, Right
    for (char key : std::string(keys)) held.push_back(key == 'A' ? kA : key == 'L' ? VK_LEFT : VK_RIGHT);
    game.frames(n, held);
    text += state();
  }
  testing_support::ExpectGoldenText(text, "events/inventory.txt");
}

}  // namespace
