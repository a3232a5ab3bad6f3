// author.h -- where a world's author asked new games to start (zelvo --start-screen, --watch). Only the
// hosts set it, for authors; left alone, a new game starts where every new game starts.
#pragma once

#include <cstdint>

struct AuthorStart {
  uint32_t screen = 0;  // 1..100; 0: the top-left screen, as always
  bool at = false;      // the player at (x, y) of the playfield instead of its usual place
  double x = 0.0;
  double y = 0.0;
};
extern AuthorStart authorStart;
