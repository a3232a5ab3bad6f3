// objects.h -- sprite templates, the live objects of the current screen, and the world state.
#pragma once

#include <cstdint>
#include <list>
#include <map>

// One record for sprite templates and live objects. A live object is a plain copy of its
// template and borrows the template's frame buffers; it never owns memory.
struct Sprite {
  uint32_t id = 0;
  double speedX = 0.0;  // pixels per movement step (patrolling objects)
  double x = 0.0;       // playfield pixels
  double y = 0.0;
  double prevX = 0.0;  // position before the last move, 0.0 = none
  double prevY = 0.0;
  int16_t width = 0;
  int16_t height = 0;
  uint8_t animRate = 0;  // frames per second
  uint8_t motion = 0;    // bit 0: random start; exactly 2: horizontal patrol
  uint8_t moveRate = 0;  // movement steps per second
  uint64_t animTime = 0;  // counter ticks of the last frame change
  uint64_t moveTime = 0;  // counter ticks of the last movement step
  uint8_t frameCount = 0;
  uint8_t firstFrame = 0;  // 1-based animation range
  uint8_t lastFrame = 0;
  uint8_t frame = 0;
  uint8_t kind = 0;
  uint8_t flags = 0;  // SpriteEnabled | SpriteDrawn | SpriteAnimated
  uint8_t layer = 0;  // 0..31: depth and collision bit
  uint8_t reservedB = 0;  // the file's two reserved header bytes, carried along
  uint8_t reservedC = 0;
  uint16_t* pixels = nullptr;  // frameCount x height x width decoded pixels, 0 = transparent
  uint8_t pixelsReady = 0;
  uint8_t* frameData = nullptr;  // the frame data as read from the file
  uint32_t frameDataSize = 0;    // bytes in frameData
};

constexpr uint8_t SpriteEnabled = 1;
constexpr uint8_t SpriteDrawn = 2;
constexpr uint8_t SpriteAnimated = 4;

constexpr uint8_t PlayerLayer = 16;
constexpr uint8_t SolidLayer = 1;
constexpr uint8_t HazardLayer = 25;

// Templates by sprite id (filled by the sprite loader).
extern std::map<uint32_t, Sprite> spriteTable;

// Live objects of the current screen, kept sorted by descending layer.
extern std::list<Sprite> objectList;

// The player's movement states.
enum PlayerState : uint32_t {
  Standing = 1,
  Jumping = 2,
  Falling = 3,
  Walking = 4,
  WalkJumping = 5,
  WalkFalling = 6,
  Dying = 7,
};

struct Checkpoint {
  uint32_t screenNumber = 0;
  uint16_t x = 0;
  uint16_t y = 0;
  uint8_t firstFrame = 0;
  uint8_t lastFrame = 0;
  uint8_t frame = 0;
};

// World state kept between frames of play.
extern uint32_t screenRow;
extern uint32_t screenColumn;
extern uint32_t playerState;
extern uint32_t previousPlayerState;
extern uint8_t lives;
extern uint32_t score;
extern double energy;
extern Checkpoint checkpoint;
extern uint64_t actionDeadline;  // the Action key is ignored until the counter passes this
extern uint32_t jumpStep;
extern uint32_t fallStep;
extern uint64_t jumpStepTime;
extern uint64_t fallStepTime;
extern uint32_t deathStep;
extern uint64_t deathStepTime;
extern int16_t playerX;  // the player's integer position, copied while standing
extern int16_t playerY;
