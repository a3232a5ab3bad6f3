// pending.cpp -- the music until the sound subsystem lands: every call succeeds silently.
#include "sound/music.h"

int SndInit() { return 0; }
int SndSetVolume(uint32_t) { return 0; }
int SndPlayTitleMusic() { return 0; }
int SndPlayGameMusic() { return 0; }
int SndStopAll() { return 0; }
int SndUninit() { return 0; }
