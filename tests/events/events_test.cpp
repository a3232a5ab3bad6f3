// events_test.cpp -- event triggers and the inventory, in a game played in this process on small test
// worlds (what the actions do is played through zelvo-sim in the scenarios).
#include <gtest/gtest.h>

#include "data/layout.h"
#include "events/events.h"
#include "flow/modes.h"
#include "inventory/inventory.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "support/device.h"
#include "support/play_world.h"
#include "world/objects.h"

using namespace play_world;
using data_builder::ArtifactDef;
using data_builder::EventDef;

namespace {

constexpr uint32_t kA = 0xC1;  // the device's A key, Action by default
using namespace layout;  // the opcodes, triggers and states by name

// Screen 1 with a floor and two trees; screen 11 to its right is empty. The player lands at
// (20, 166) after 130 frames.
Content world(std::vector<EventDef> events = {}, std::vector<data_builder::PlacementDef> placed = {},
              std::vector<ArtifactDef> artifacts = {}) {
  return {{{.number = 1, .objects = {{Floor, 0, 180}, {Tree, 100, 140}, {Tree, 150, 140}}, .events = placed},
           {.number = 11, .objects = {{Floor, 0, 180}}}},
          events,
          artifacts,
          {{1, "Hello"}}};
}

const Artifact& artifact(uint32_t id) {
  for (const Artifact& a : artifactList)
    if (a.id == id) return a;
  throw std::logic_error("no artifact");
}

int objectsWithId(uint32_t id) {
  return static_cast<int>(
      std::count_if(objectList.begin(), objectList.end(), [&](const ::Sprite& s) { return s.id == id; }));
}

// The trigger rectangle includes its far edges; so does the player's (10 x 14 at its position).
TEST(EventTriggers, RectanglesArmingAndTheThreeTriggers) {
  Session game(world({{.id = 1, .width = 10, .height = 10, .trigger = 1, .actions = {{AddScore, 1}}},
                      {.id = 2, .trigger = 1, .actions = {{AddScore, 100}, {DisarmEvent, 2}}},
                      {.id = 3, .width = 5, .height = 5, .trigger = 2, .actions = {{AddScore, 1000}}},
                      {.id = 4, .width = 5, .height = 5, .trigger = 3, .triggerParam = Gem, .actions = {{SpendArtifact, Gem}}}},
                     {{1, 100, 50}, {2, 150, 20}, {2, 150, 20}, {3, 60, 166}, {4, 60, 166}},
                     {{.id = Ring, .name = "Ring", .state = 3}, {.id = Gem, .name = "Gem", .state = 3}}));
  game.frames(130);
  ::Sprite* player = findPlayer();
  auto at = [&](double x, double y) {
    player->x = x, player->y = y, score = 0;
    return checkEvents(Touch, player, 0);
  };
  EXPECT_TRUE(at(90, 40));  // the player's right edge at 100, bottom at 54
  EXPECT_FALSE(at(89, 40));
  EXPECT_TRUE(at(110, 60));  // its left edge on the event's right edge
  EXPECT_FALSE(at(111, 60));
  EXPECT_FALSE(at(100, 61));
  // A 0 x 0 event placed twice: one pixel; the first copy disarms itself, the second fires anyway.
  EXPECT_TRUE(at(140, 6));
  EXPECT_EQ(score, 200u);
  EXPECT_FALSE(at(145, 10));
  EXPECT_EQ(eventTable.at(2).armState, Disarmed);

  // Action: the deadline is pushed only when an armed ActionKey event overlaps the player.
  actionDeadline = 0;
  at(20, 166);
  EXPECT_FALSE(checkEvents(ActionKey, player, 0));
  EXPECT_EQ(actionDeadline, 0u);
  player->x = 50;
  EXPECT_TRUE(checkEvents(ActionKey, player, 0));
  EXPECT_GT(actionDeadline, 0u);
  // Use: only the artifact the event names.
  EXPECT_FALSE(checkEvents(UseArtifact, player, Ring));
  EXPECT_TRUE(checkEvents(UseArtifact, player, Gem));
  EXPECT_EQ(artifact(Gem).state, Spent);
}

TEST(Inventory, PickUpChooseUseAndDrop) {
  Session game(
      world({{.id = 4, .width = 40, .height = 20, .trigger = 3, .triggerParam = Ring, .actions = {{AddScore, 5}}}},
            {{4, 0, 160}},
            {{.id = Ring, .name = "Ring", .state = 3},
             {.id = Lamp, .name = "Lamp", .state = 3},
             {.id = Gem, .name = "Gem", .screenNumber = 1, .x = 24, .y = 172, .state = 1}}));
  game.frames(130);
  game.frames(1, {kA});  // picks up the gem it stands on and opens the panel on the exit line
  EXPECT_EQ(gameMode, ModeInventory);
  EXPECT_EQ(artifact(Gem).state, Carried);
  EXPECT_EQ(objectsWithId(Gem), 0);
  EXPECT_EQ(inventoryList.size(), 3u);
  EXPECT_EQ(inventorySelection, 4);
  game.frames(1, {VK_RIGHT});  // nothing past the exit line
  EXPECT_EQ(inventorySelection, 4);
  game.frames(1, {VK_LEFT, VK_RIGHT});  // on the exit line only Left acts
  EXPECT_EQ(inventorySelection, 3);
  game.frames(1, {VK_LEFT, VK_RIGHT});  // on an item line: down and back up in one frame
  EXPECT_EQ(inventorySelection, 3);
  for (int i = 0; i < 5; ++i) game.frames(1, {VK_LEFT});
  EXPECT_EQ(inventorySelection, 1);  // stops at the first line: the ring
  game.frames(1, {kA});              // the Action that opened it set a deadline half a second on: long past
  EXPECT_EQ(gameMode, ModePlay);
  EXPECT_EQ(score, 5u);  // the ring was used by the event and stays carried
  EXPECT_EQ(artifact(Ring).state, Carried);

  game.frames(60);
  game.frames(1, {kA});
  game.frames(1, {VK_LEFT});
  game.frames(1, {VK_LEFT});  // the lamp, line 2, after two 200 ms pauses
  game.frames(1, {kA});       // within half a second of opening: ignored
  EXPECT_EQ(gameMode, ModeInventory);
  game.frames(10);
  game.frames(1, {kA});  // no event takes the lamp: it is dropped centred under the player
  EXPECT_EQ(gameMode, ModePlay);
  EXPECT_EQ(artifact(Lamp).state, Lying);
  EXPECT_EQ(artifact(Lamp).x, 20 + 10 / 2 - 8 / 2);
  EXPECT_EQ(artifact(Lamp).y, 166 + 14 - 8);
  EXPECT_EQ(objectsWithId(Lamp), 1);
  game.frames(60);
  game.frames(1, {kA});  // and picked up again
  EXPECT_EQ(artifact(Lamp).state, Carried);
  game.frames(60);
  game.frames(1, {kA});  // the exit line only closes the panel
  EXPECT_EQ(gameMode, ModePlay);
  EXPECT_EQ(carriedCount(), 3u);
}

}  // namespace
