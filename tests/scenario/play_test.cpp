// play_test.cpp -- scenarios of play on small worlds, run by zelvo-sim and checked against golden
// traces (every frame's mode, state, position, screen, lives, energy, score) and pictures.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "data/layout.h"
#include "support/golden.h"
#include "support/play_world.h"

using namespace play_world;
using data_builder::PlacementDef;
using testing_support::TempDir;

namespace {

// Play a world from the title: Start is tapped at 4 s, then the script's own lines; the trace (the
// sound calls at its end) and the screenshots (shot NAME) are compared with their golden files.
// Timed with --benchmark, which changes nothing of the run and counts every frame the trace numbers.
void play(const std::string& name, const Files& world, const std::string& script, double seconds,
          const std::vector<std::string>& shots = {}) {
  TempDir dir;
  data_builder::WriteAll(dir.path(), world);
  std::string lines = "4.0 tap 110 105\n";
  std::istringstream in(script);
  for (std::string line; std::getline(in, line); lines += line + "\n")
    if (const size_t at = line.find(" shot "); at != std::string::npos)
      line.replace(at + 6, std::string::npos, dir.file(line.substr(at + 6) + ".png"));
  const auto result = testing_support::RunSim({"--app-dir", dir.path(), "--seconds", std::to_string(seconds),
                                               "--trace", dir.file("trace.txt"), "--audio-log", dir.file("audio.txt"),
                                               "--benchmark"}, lines);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string trace = testing_support::ReadFile(dir.file("trace.txt"));
  std::string audio = testing_support::ReadFile(dir.file("audio.txt"));
  for (size_t at; (at = audio.find(dir.path())) != std::string::npos;) audio.replace(at, dir.path().size(), "APP");
  testing_support::ExpectGoldenText(trace + audio, "traces/" + name + ".trace");
  unsigned long long frames = 0, lastTraced = std::stoull(trace.substr(trace.rfind('\n', trace.size() - 2) + 1));
  char played[32] = {};
  const size_t report = result.out.find("benchmark: ");
  ASSERT_NE(report, std::string::npos) << result.out;
  ASSERT_EQ(std::sscanf(result.out.c_str() + report, "benchmark: %llu frames, %31s s of virtual", &frames, played), 2);
  EXPECT_GE(frames, lastTraced);
  EXPECT_EQ(std::stod(played), seconds);
  testing_support::ExpectGoldenPictures(dir, shots, "play");
}

const PlacementDef kFloor{Floor, 0, 180};

}  // namespace

// Falling onto the floor with the largest step that fits, walking on flat ground (the one-pixel
// bob), climbing a ramp, stopping at an edge without a neighbour; the player drawn in front of
// scenery and behind objects in front, patrollers at the right edge and too far left to start,
// animations of rate 0 (never advances) and 5 beside the player; the inventory with nothing carried.
TEST(PlayScenario, FallWalkClimbAndDepth) {
  play("fall-walk-climb",
       World({{{.number = 1,
                .objects = {kFloor,
                            {Ramp, 120, 168},
                            {Tree, 40, 140},
                            {Post, 75, 150},
                            {Leaves, 185, 150},
                            {Lamp, 5, 30},
                            {Walker, 196, 100},
                            {Walker, 1, 60},  // too far left to start
                            {Flag, 32, 168}}}}}),
       "5.8 shot landed\n5.8 key down right\n6.3 shot before-tree\n6.9 shot behind-post\n9.8 shot at-edge\n"
       "10.0 key up right\n10.1 key down a-button\n10.2 key up a-button\n10.4 shot inventory-empty\n",
       10.5, {"landed", "before-tree", "behind-post", "at-edge", "inventory-empty"});
}

// A jump bumping a ceiling falls back at once; holding Up jumps again on every landing, straight or
// walking (in the walk's frame); one put at y 176 under a block bumps one step up. Sound off and on.
TEST(PlayScenario, JumpsAndCeilings) {
  play("jumps", World({{{1, {kFloor, {Block, 60, 120}, {Block, 150, 157}}, {{1, 110, 100}}}},
                      {{.id = 1, .width = 20, .height = 30, .actions = {{GoToScreen, 1, 155, 176}}}}}),
       "5.8 key down right\n6.6 key up right\n6.8 key down up\n7.2 tap 75 50\n8.0 key down right\n8.2 shot walk-jump\n"
       "9.0 tap 75 50\n9.5 key up right\n9.5 key up up\n10.4 shot sound-back\n", 10.5, {"walk-jump", "sound-back"});
}

// Leaving by every edge: the top with no screen above turns a jump into a fall, the left edge with
// no neighbour stops the walk; right, down through a gap (erasing shows the lower screen's far
// background, stopping at its holes), up by a jump, right, back left jumping, and a drop at x 1.
TEST(PlayScenario, ScreenEdges) {
  std::vector<PlacementDef> gapFloor;
  for (uint16_t x : {0, 20, 40, 60, 110, 130, 150, 170, 190}) gapFloor.push_back({Block, x, 180});
  play("edges",
       World({{{.number = 1, .objects = {kFloor, {Block, 15, 16}}},
               {.number = 11, .objects = gapFloor},
               {.number = 12, .objects = {kFloor, {Block, 80, 20}}},
               {.number = 22, .objects = {kFloor}}}, {}, {{.id = Post, .name = "Post", .state = Carried}}}),
       "4.8 key down up\n4.9 key up up\n5.5 key down left\n6.0 shot turned-left\n7.5 key up left\n7.6 key down right\n"
       "8.0 shot turned-right\n12.5 key up right\n13.0 key down up\n13.1 key up up\n14.5 key down right\n"
       "16.1 key up right\n16.5 key down up\n16.6 key up up\n18.5 key down right\n22.0 key up right\n"
       "22.1 key down left\n22.1 key down up\n27.5 key up left\n27.5 key up up\n27.7 key down a-button\n"
       "27.8 key up a-button\n28.0 key down left\n28.1 key up left\n28.3 key down a-button\n28.4 key up a-button\n"
       "28.9 shot backgrounds\n", 29, {"turned-left", "turned-right", "backgrounds"});
}

// Standing in spikes drains the energy until the player dies; the dying sequence sinks it and
// brings it back to its checkpoint, taken on the screen before; the last life ends in the game-over
// picture and the title. A second game starts afresh, and Menu leaves it; a third dies facing left
// before it stands: back at (0, 0) in the last checkpoint's frames, lives and energy redrawn.
TEST(PlayScenario, HazardsDeathsAndGameOver) {
  Files world = World({{{.number = 1, .objects = {kFloor, {Spikes, 45, 174}}}, {11, {kFloor, {Spikes, 0, 174}}}}});
  world["fonts.dat"] = Packed(ZELVO_BINARY_DIR, "fonts.dat");
  play("hazards", world, "6.0 key down right\n9.95 key up right\n25.0 tap 110 105\n26.8 key down right\n"
       "27.0 tap 10 50\n27.1 key up right\n28.0 tap 110 105\n28.1 key down right\n29.5 key up right\n"
       "29.8 key down left\n29.9 key up left\n33.6 shot respawn\n34.4 key down left\n35.4 shot walk-left\n",
       35.5, {"respawn", "walk-left"});
}

// The dialog box and inventory panel in the default world's pictures and fonts: a text with colour
// markup on landing; pick-ups (not a placed artifact, the first of two, none with three carried).
TEST(PlayScenario, DialogBoxAndInventoryOnTheDefaultWorldsPictures) {
  Files world = World({{{.number = 1, .objects = {kFloor}, .events = {{1, 0, 150}}}},
                       {{.id = 1, .width = 60, .height = 40, .actions = {{4, 1}, {5, 1}}}},
                       {{.id = Post, .name = "Post", .screenNumber = 1, .x = 24, .y = 150, .state = Placed},
                        {.id = Ring, .name = "Silver ring", .screenNumber = 1, .x = 22, .y = 172, .state = Lying},
                        {.id = Gem, .name = "Blue gem", .screenNumber = 1, .x = 24, .y = 170, .state = Lying},
                        {.id = Lamp, .name = "Old lamp", .state = Carried},
                        {.id = Walker, .name = "Walker", .screenNumber = 1, .x = 18, .y = 168, .state = Lying}},
                       {{1,
                         "The path ends here. @f07E0Green@fFFFF text, then\nnew line and a long sentence that "
                         "wraps by words inside the panel."}}});
  for (const char* name : {"images.dat", "fonts.dat"}) world[name] = Packed(ZELVO_BINARY_DIR, name);
  play("dialog-inventory", world,
       "6.5 shot dialog\n7.0 key down a-button\n7.1 key up a-button\n8.0 key down a-button\n8.1 key up a-button\n"
       "8.3 shot picked-first\n8.6 key down a-button\n8.7 key up a-button\n9.3 key down a-button\n"
       "9.4 key up a-button\n9.6 shot inventory\n9.7 key down left\n9.8 key up left\n10.0 shot inventory-left\n"
       "10.1 key down right\n10.2 key up right\n10.3 key down a-button\n10.4 key up a-button\n11.0 key down a-button\n"
       "11.1 key up a-button\n11.3 shot refused\n",
       11.5, {"dialog", "picked-first", "inventory", "inventory-left", "refused"});
}

// Events on the way: each touched once for the whole game adds to the score, which caps at 9999 and
// wraps as a 32-bit sum; a missing screen is no screen change; energy is raised after spikes; an
// artifact is placed and another spent, a tree removed for the rest of the game (gone from the
// screen before the next frame), a spent event armed again. On the next screen a death, a screen
// change that ends its list before a dialog, then a dialog that waits for a key before going back;
// the end holds three seconds before the title, and the action after it still runs.
TEST(PlayScenario, EventsOnTheWay) {
  using namespace layout;
  auto touch = [](uint32_t id, std::vector<data_builder::ActionDef> actions, uint8_t armed = Armed) {
    actions.push_back({DisarmEvent, id});
    return data_builder::EventDef{.id = id, .width = 4, .height = 30, .armState = armed, .actions = actions};
  };
  play("events",
       World({{{.number = 1,
                .objects = {kFloor, {Spikes, 100, 174}, {Tree, 185, 140}},
                .events = {{1, 40, 150}, {2, 50, 150}, {3, 60, 150}, {4, 70, 150}, {5, 80, 150}, {6, 150, 150},
                           {7, 170, 150}, {9, 205, 150}}},
               {.number = 11, .objects = {kFloor}, .events = {{10, 15, 150}, {11, 30, 150}, {8, 70, 150}}}},
              {touch(1, {{AddScore, 4294967295u}}), touch(2, {{AddScore, 4294957304u}}), touch(3, {{AddScore, 4294967295u}}),
               touch(4, {{AddScore, 10000}}), touch(5, {{GoToScreen, 55, 5, 5}, {AddScore, 4294967295u}}),
               touch(6, {{AddEnergy, 10}}),
               touch(7, {{PlaceArtifact, Gem}, {SpendArtifact, Ring}, {RemoveSprite, Tree}, {ArmEvent, 1}}),
               touch(8, {{ShowDialog, 1}, {ArmEvent, 9}, {GoToScreen, 1, 20, 100}, {AddScore, 1}}),
               touch(9, {{FinishGame}, {AddScore, 1}}, Disarmed), touch(10, {{KillPlayer}, {AddEnergy, 5}}),
               touch(11, {{GoToScreen, 11, 45, 100}, {ShowDialog, 1}})},
              {{.id = Gem, .name = "Gem", .state = 3}, {.id = Ring, .name = "Ring", .state = 3}},
              {{1, "Hello"}}}),
       "5.8 key down right\n8.853 shot events-removed\n9.5 shot events-placed\n12.0 shot events-dialog\n"
       "13.5 shot events-back\n", 22, {"events-removed", "events-placed", "events-dialog", "events-back"});
}
