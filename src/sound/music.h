// music.h -- the title and in-game music; silent instead of failing.
#pragma once

#include <cstdint>

// Start-up: open the speaker and load main.wav and ingame.wav, both looping. Always 0.
int SndInit();

// The player's volume 0..255, scaled to the speaker's 0..64. Always 0.
int SndSetVolume(uint32_t volume);

// Start one piece (nothing when the speaker or the piece is missing). Always 0.
int SndPlayTitleMusic();
int SndPlayGameMusic();

// Stop whatever plays. Always 0.
int SndStopAll();

// Shutdown: the speaker and sounds are released when the program ends. Always 0.
int SndUninit();

// The speaker's volume for a player's volume: volume x 64 / 255, truncated.
uint32_t SndLibraryVolume(uint32_t volume);
