// replay.cpp -- the desktop device in recordings: its model, and a recording shown in the window at a
// speed the viewer picks (zelvo --replay).
#include <algorithm>
#include <cstdlib>

#include "platform/common/recorder.h"
#include "platform/sdl/keymap.h"
#include "platform/system.h"
#include "platform/sdl/internal.h"

namespace desktop {
namespace {

struct Pacing {
  bool started = false;
  bool paused = false;
  double speed = 1.0;
  double wallAnchor = 0.0;  // wall seconds when playAnchor was shown
  double playAnchor = 0.0;
  double shown = 0.0;  // seconds of play reached
} pacing;

double wallSeconds() { return static_cast<double>(SDL_GetTicks64()) / 1000.0; }

void anchor() {
  pacing.wallAnchor = wallSeconds();
  pacing.playAnchor = pacing.shown;
}

// The viewer's keys; the game hears none of them. False when the replay is to end.
bool viewerEvents() {
  for (SDL_Event event; SDL_PollEvent(&event);) {
    if (event.type == SDL_QUIT) return false;
    if (event.type == SDL_WINDOWEVENT) Repaint();
    if (event.type != SDL_KEYDOWN) continue;
    switch (event.key.keysym.sym) {
      case SDLK_ESCAPE: return false;
      case SDLK_SPACE: pacing.paused = !pacing.paused; break;
      case SDLK_RIGHT: case SDLK_PLUS: case SDLK_KP_PLUS: case SDLK_EQUALS:
        pacing.speed = std::min(pacing.speed * 2, 64.0);
        break;
      case SDLK_LEFT: case SDLK_MINUS: case SDLK_KP_MINUS:
        pacing.speed = std::max(pacing.speed / 2, 1.0 / 16);
        break;
      default: break;
    }
    anchor();
  }
  return true;
}

}  // namespace

std::map<std::string, std::string> RecordingDevice() {
  const KeyList keys = DesktopDefaultKeys();
  return {{"screen", std::to_string(device.options.screenWidth) + "x" + std::to_string(device.options.screenHeight)},
          {"display", "gapi565"},
          {"layout", "normal"},
          {"bpp", "16"},
          {"memory", std::to_string(SysAvailableVirtualMemory())},
          {"default-keys", RecKeyListText(keys)}};
}

std::string RecordingsFolder() { return UserFolder() + "/recordings"; }

void ReplayPace(double seconds) {
  pacing.shown = seconds;
  if (!pacing.started) {
    pacing.started = true;
    anchor();
  }
  for (;;) {
    if (!viewerEvents()) ReplayLeave();
    const double due = pacing.wallAnchor + (seconds - pacing.playAnchor) / pacing.speed;
    const double wait = due - wallSeconds();
    if (!pacing.paused && wait <= 0) return;
    SDL_Delay(pacing.paused ? 10 : static_cast<Uint32>(std::min(wait * 1000, 10.0)) + 0);
  }
}

void ReplayHold() {
  pacing.paused = true;
  while (viewerEvents()) SDL_Delay(10);
  ReplayLeave();
}

// The viewer is done: the game is left where it stands (it may be waiting for a key the replay
// will never give), and the program ends.
void ReplayLeave() {
  Stop();
  std::exit(0);
}

}  // namespace desktop
