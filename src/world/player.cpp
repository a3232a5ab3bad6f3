// player.cpp -- walking, climbing, stepped jumps and falls, and leaving the screen at its edges.
#include "world/player.h"

#include <cmath>

#include "events/screens.h"
#include "services/timer.h"
#include "world/collision.h"
#include "world/objects.h"

double jumpTable[kJumpSteps];
double fallTable[kFallSteps];

static constexpr double kWalkSpeed = 50.0;   // pixels per second
static constexpr double kClimbSpeed = 10.0;  // pixels per second, up a slope while walking
static constexpr double kStepSeconds = 0.04;

void buildStepTables() {
  for (uint32_t i = 0; i < kJumpSteps; ++i) jumpTable[i] = -2.0;
  for (uint32_t i = 0; i < kFallSteps; ++i) {
    double step = i * (2.0 / 3.0);
    if (step < 1.0) step = 1.0;
    if (step > 8.0) step = 8.0;
    fallTable[i] = step;
  }
}

void setPlayerState(uint32_t state) {
  previousPlayerState = playerState;
  playerState = state;
}

namespace {

enum class Edge { Up, Down, Left, Right };

// One frame of movement: the integer position and size taken at its start, and what was done.
struct Move {
  Sprite& p;
  double elapsed;
  int32_t x, y, w, h;
  double d;  // this frame's walking distance
  bool erased = false;
  bool screenChanged = false;

  Move(Sprite& player, double seconds)
      : p(player),
        elapsed(seconds),
        x(pixelOf(player.x)),
        y(pixelOf(player.y)),
        w(player.width),
        h(player.height),
        d(seconds * kWalkSpeed) {}

  bool solid(int32_t px, int32_t py) const { return isSolidAt(px, py); }

  void erase() {
    if (!erased) eraseSprite(p);
    erased = true;
  }
  // Erase with the old rectangle marked at once.
  void eraseMarked() {
    if (!erased && eraseSprite(p)) markDirty(p);
    erased = true;
  }
};

bool stepDue(uint64_t stepTime) {
  return (static_cast<double>(TimerCount()) - static_cast<double>(stepTime)) / static_cast<double>(counterFrequency) >
         kStepSeconds;
}

bool pixelChanges(double from, double to) { return std::floor(from) != std::floor(to); }

void startFalling(uint32_t state) {
  setPlayerState(state);
  fallStep = 0;
  fallStepTime = 0;
}

void startJumping(uint32_t state) {
  setPlayerState(state);
  jumpStep = 0;
  jumpStepTime = 0;
}

// Into the neighbouring screen, if there is one; the player keeps its state and the coordinate
// along the edge.
bool leaveBy(Move& m, Edge edge) {
  const bool moved = edge == Edge::Up     ? moveScreenUp()
                     : edge == Edge::Down ? moveScreenDown()
                     : edge == Edge::Left ? moveScreenLeft()
                                          : moveScreenRight();
  if (!moved) return false;
  eraseSprite(m.p);
  clearScreenObjects();
  switch (edge) {
    case Edge::Up:
      m.p.y = 185.0;
      break;
    case Edge::Down:
      m.p.y = 10.0 - m.p.height;
      break;
    case Edge::Left:
      m.p.x = 209.0 - (m.p.width >> 1);
      break;
    case Edge::Right:
      m.p.x = -(m.p.width / 2);
      break;
  }
  changeScreen(currentScreenNumber());
  m.screenChanged = true;
  return true;
}

// The largest table step that leaves the feet in the air, or the 1-pixel step that lands.
void fallStepFrom(Sprite& p, int32_t x, int32_t y) {
  uint32_t i = fallStep < kFallSteps ? fallStep : kFallSteps - 1;
  while (i > 0 && !isRowClear(x, y, p.width, static_cast<int32_t>(p.height + fallTable[i]))) i -= 1;
  fallStep = i;
  p.prevY = p.y;
  p.y += fallTable[i];
  fallStep += 1;
  if (fallStep == kFallSteps) fallStep = kFallSteps - 1;
}

void faceLeft(Sprite& p) {
  p.firstFrame = 1;
  p.lastFrame = 8;
  p.frame = 1;
}

void faceRight(Sprite& p) {
  p.firstFrame = 9;
  p.lastFrame = 16;
  p.frame = 9;
}

void standing(Move& m) {
  m.p.x = m.x;
  m.p.y = m.y;
  playerX = static_cast<int16_t>(m.x);
  playerY = static_cast<int16_t>(m.y);
  if (horizontalHeld)
    setPlayerState(Walking);
  else if (jumpRequested)
    startJumping(Jumping);
  else if (inAir)
    startFalling(Falling);
  if (!(m.p.flags & SpriteDrawn)) redrawSprite(m.p);
}

void jumping(Move& m) {
  if (m.y <= 1) {
    if (!leaveBy(m, Edge::Up)) {
      startFalling(Falling);
      jumpRequested = false;
    }
    return;
  }
  if (m.y < 190 - m.h && m.solid(m.x + m.w / 2, m.y)) {
    startFalling(Falling);
    jumpRequested = false;
    return;
  }
  if (!stepDue(jumpStepTime)) return;
  // A walking jump can use its last step and then turn straight; there is no step left to take.
  if (jumpStep >= kJumpSteps) {
    startFalling(Falling);
    return;
  }
  jumpStepTime = TimerCount();
  eraseSprite(m.p);
  m.p.prevY = m.p.y;
  m.p.y += jumpTable[jumpStep];
  jumpStep += 1;
  redrawSprite(m.p);
  if (jumpStep < kJumpSteps && horizontalHeld) setPlayerState(WalkJumping);
  if (jumpStep == kJumpSteps) startFalling(Falling);
}

void falling(Move& m) {
  if (m.y >= 187) {
    leaveBy(m, Edge::Down);
  } else if (stepDue(fallStepTime)) {
    m.p.x = m.x;
    m.p.y = m.y;
    fallStepTime = TimerCount();
    if (eraseSprite(m.p)) markDirty(m.p);
    fallStepFrom(m.p, m.x, m.y);
    redrawSprite(m.p);
  }
  if (horizontalHeld)
    setPlayerState(WalkFalling);
  else if (!inAir)
    setPlayerState(Standing);
}

// One walking step to the side; the climb test looks at the foot in front (footX).
void walkStep(Move& m, int32_t footX, double dx) {
  Sprite& p = m.p;
  if (m.solid(footX, m.y + m.h)) {
    const double climb = m.elapsed * kClimbSpeed;
    if (pixelChanges(p.y, p.y - climb)) {
      p.prevY = p.y;
      m.erase();
    }
    p.y -= climb;
  }
  if (pixelChanges(p.x, p.x + dx)) m.erase();
  p.prevX = p.x;
  if (p.prevY == 0.0) p.prevY = p.y;
  p.x += dx;
  const bool left = dx < 0;
  if (p.firstFrame != (left ? 1 : 9)) {
    m.eraseMarked();
    left ? faceLeft(p) : faceRight(p);
  }
}

void walking(Move& m) {
  Sprite& p = m.p;
  const int32_t h2 = m.h >> 1, h4 = m.h >> 2;
  if (leftHeld) {
    if (m.x <= 1) {
      if (leaveBy(m, Edge::Left)) m.erased = true;
    } else {
      const int32_t side = m.x - 1;
      if (!m.solid(side, m.y) && !m.solid(side, m.y + h2) && !m.solid(side, m.y + h4) && !m.solid(side, m.y + h4 + h2))
        walkStep(m, m.x, -m.d);
    }
  } else if (rightHeld) {
    if (m.x + m.w + 2 >= 209) {
      if (leaveBy(m, Edge::Right)) m.erased = true;
    } else {
      const int32_t side = m.x + m.w + 1;
      if (!m.solid(side, m.y) && !m.solid(side, m.y + h2) && !m.solid(side, m.y + h4) &&
          !m.solid(side, m.y + h4 + h2)) {
        p.prevY = 0.0;
        walkStep(m, side, m.d);
      }
    }
  }
  // The walk cycle plays in every walking frame, moved or not.
  if (!animateSprite(p) && m.erased) {
    eraseSprite(p);
    redrawSprite(p);
  }
  if (!horizontalHeld)
    setPlayerState(Standing);
  else if (inAir)
    startFalling(WalkFalling);
  else if (jumpRequested)
    startJumping(WalkJumping);
}

// A sideways move in the air; frameFirst says whether a change of direction erases first.
void airStep(Move& m, double dx, bool eraseForFrames) {
  Sprite& p = m.p;
  if (pixelChanges(p.x, p.x + dx)) m.eraseMarked();
  p.prevX = p.x;
  p.prevY = p.y;
  p.x += dx;
  const bool left = dx < 0;
  if (p.firstFrame != (left ? 1 : 9)) {
    if (eraseForFrames) m.eraseMarked();
    left ? faceLeft(p) : faceRight(p);
  }
}

void walkJumping(Move& m) {
  const int32_t h2 = m.h >> 1, h4 = m.h >> 2;
  if (m.y <= 1) {
    if (!leaveBy(m, Edge::Up)) {
      startFalling(Falling);
      jumpRequested = false;
    }
    if (m.screenChanged) redrawSprite(m.p);
    return;
  }
  if (m.y < 190 - m.h && m.solid(m.x + m.w / 2, m.y)) {
    startFalling(WalkFalling);
    jumpRequested = false;
    return;
  }
  if (leftHeld) {
    if (m.x <= 3)
      leaveBy(m, Edge::Left);
    else if (m.solid(m.x, m.y + h2) || m.solid(m.x, m.y + h4) || m.solid(m.x, m.y + m.h))
      setPlayerState(Jumping);
    else
      airStep(m, -m.d, false);
  }
  if (rightHeld) {
    const int32_t side = m.x + m.w;
    if (m.x + m.w + 2 >= 209)
      leaveBy(m, Edge::Right);
    else if (!m.solid(side, m.y + h2) && !m.solid(side, m.y + h4) && !m.solid(side, m.y + m.h))
      airStep(m, m.d, false);
    else
      setPlayerState(Jumping);
  }
  if (stepDue(jumpStepTime)) {
    jumpStepTime = TimerCount();
    m.eraseMarked();
    m.p.prevY = m.p.y;
    if (jumpStep < kJumpSteps) {
      m.p.y += jumpTable[jumpStep];
      jumpStep += 1;
    } else {
      startFalling(WalkFalling);
    }
  }
  if (m.erased || m.screenChanged) redrawSprite(m.p);
}

void walkFalling(Move& m) {
  Sprite& p = m.p;
  const int32_t h2 = m.h >> 1, w2 = m.w / 2;
  bool sideways = false;  // a screen was entered to the left or right
  if (m.y + m.h >= 190) {
    leaveBy(m, Edge::Down);
  } else {
    if (leftHeld) {
      if (m.x <= 1)
        sideways = leaveBy(m, Edge::Left);
      else if (!m.solid(m.x, m.y + h2) && !m.solid(m.x + w2, m.y + m.h) && !m.solid(m.x, m.y + m.h))
        airStep(m, -m.d, true);
    }
    if (rightHeld) {
      const int32_t side = m.x + m.w;
      if (m.x + m.w + 2 >= 209)
        sideways = leaveBy(m, Edge::Right) || sideways;
      else if (!m.solid(side, m.y + h2) && !m.solid(m.x + w2, m.y + m.h) && !m.solid(side, m.y + m.h))
        airStep(m, m.d, true);
    }
    if (!sideways && stepDue(fallStepTime)) {
      // Late in a fall the sideways drift of this frame is taken back, except against the edges.
      if (fallStep > 6 && p.x != 3.0 && p.x != 206.0 - m.w) {
        p.x = m.x;
        p.y = m.y;
      }
      fallStepTime = TimerCount();
      m.eraseMarked();
      fallStepFrom(p, pixelOf(p.x), pixelOf(p.y));
    }
  }
  if (m.erased || m.screenChanged) redrawSprite(p);
  if (!horizontalHeld)
    setPlayerState(Falling);
  else if (!inAir)
    setPlayerState(Walking);
}

}  // namespace

void movePlayer(Sprite& player, double elapsed) {
  Move m(player, elapsed);
  switch (playerState) {
    case Standing:
      standing(m);
      break;
    case Jumping:
      jumping(m);
      break;
    case Falling:
      falling(m);
      break;
    case Walking:
      walking(m);
      break;
    case WalkJumping:
      walkJumping(m);
      break;
    case WalkFalling:
      walkFalling(m);
      break;
    default:
      break;  // Dying belongs to the in-game update
  }
}
