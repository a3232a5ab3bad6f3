// play_world.h -- small worlds to play in the tests, and a game set up on the headless device in
// this process, driven frame by frame.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/data_builder.h"
#include "support/testing.h"

namespace play_world {

using data_builder::Bytes;
using Files = std::map<std::string, Bytes>;

// The sprites every test world has (tests/worlds/play). The player is 10 x 14 with frames 1..8
// facing left and 9..16 facing right; the others are plain blocks unless said.
enum Id : uint32_t {
  Player = 3,
  Floor = 10,       // solid, 210 x 10
  Block = 11,       // solid, 20 x 20
  Ramp = 12,        // solid, 60 x 12, rising one pixel every five columns to the right
  Spikes = 13,      // hazard, 40 x 6
  Tree = 14,        // scenery, 30 x 40
  Leaves = 15,      // foreground, 24 x 24
  Post = 16,        // in front of the player, 6 x 30
  Walker = 17,      // scenery that patrols, 10 x 10, 50 steps a second
  Lamp = 18,        // scenery with two frames and an animation rate of 0
  Gem = 19,         // an artifact's picture, 8 x 8
  Ring = 20,        // an artifact's picture, 6 x 6, two frames
  Flag = 21,        // scenery with two frames (red, yellow) and an animation rate of 5
  Backdrop = 1001,  // screen 1's background picture, 210 x 190 with a hole; screen 12 has two
};

struct Screen {
  uint32_t number = 0;  // the grid slot is number - 1: column (number - 1) / 10, row (number - 1) % 10
  std::vector<data_builder::PlacementDef> objects = {};
  std::vector<data_builder::PlacementDef> events = {};
};

struct Content {
  std::vector<Screen> screens;
  std::vector<data_builder::EventDef> events = {};
  std::vector<data_builder::ArtifactDef> artifacts = {};
  std::vector<data_builder::DialogDef> dialogs = {};
};

// A data file of a world the build packs: the default world (ZELVO_BINARY_DIR) or one of tests/worlds.
Bytes Packed(const std::string& folder, const std::string& file);
inline const std::string kPlayArt = ZELVO_TEST_WORLDS_DIR "/play";
inline const std::string kBlocks = ZELVO_TEST_WORLDS_DIR "/blocks";

// The seven data files of a world with these screens; its fonts 1 and 2 and images 1, 2, 3, 5, 7
// and 8 are plain test pictures, packed with the sprites from tests/worlds/play.
Files World(const Content& content);

// The colour of each picture of tests/worlds/blocks: every picture the front end and the frame draw,
// each a block of its own colour, so that a screenshot tells which picture shows where.
inline uint16_t BlockColour(uint32_t id) { return static_cast<uint16_t>(0x0100 + id * 7); }

// A game on a fresh headless device in its own folder: the world loaded, Start pressed and the new
// game set up (one frame). Every frame lasts 10 ms of virtual time.
class Session {
 public:
  explicit Session(const Content& content);
  // Run n frames with exactly these keys held (virtual-key codes).
  void frames(int n, const std::vector<uint32_t>& held = {});
  // Tap the view at (x, y) before the next frame.
  void tap(uint32_t x, uint32_t y);
  const testing_support::TempDir& dir() const { return dir_; }

 private:
  testing_support::TempDir dir_;
  std::vector<uint32_t> held_;
};

}  // namespace play_world
