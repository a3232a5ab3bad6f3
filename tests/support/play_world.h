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

// The sprites every test world has. The player is 10 x 14 with frames 1..8 facing left and 9..16
// facing right; the others are plain blocks unless said.
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
  Backdrop = 1001,  // screen 1's background picture, 210 x 190 with a hole
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

// The seven data files of a world with these screens; fonts 1 and 2 and images 1, 2, 3, 5, 7 and
// 8 are plain test pictures.
Files World(const Content& content);

// Every picture the front end and the frame draw: id, width, height. Tests make each a block of its
// own colour, so that a screenshot tells which picture shows where.
inline constexpr uint16_t kFrontEndPictures[][3] = {
    {6, 240, 240},   {1, 15, 190},    {2, 240, 26},   {4, 210, 190},  {100, 150, 30}, {110, 121, 21}, {111, 122, 22},
    {120, 131, 23},  {121, 131, 23},  {130, 161, 21}, {131, 163, 19}, {140, 86, 20},  {141, 82, 18},  {150, 46, 21},
    {151, 45, 19},   {122, 210, 190}, {123, 172, 20}, {124, 180, 23}, {125, 180, 23}, {126, 180, 23}, {127, 188, 24},
    {139, 210, 190}, {132, 58, 15},   {133, 76, 21},  {134, 76, 21},  {135, 76, 21},  {136, 76, 21},  {137, 76, 21},
    {138, 76, 21},   {500, 210, 190}, {501, 46, 12}};
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
