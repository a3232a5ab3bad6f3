// music.h -- the title and in-game music; silent instead of failing.
#pragma once

#include <cstdint>

int SndInit();
int SndSetVolume(uint32_t volume);  // 0..255, the player's setting
int SndPlayTitleMusic();
int SndPlayGameMusic();
int SndStopAll();
int SndUninit();
