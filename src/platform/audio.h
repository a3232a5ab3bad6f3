// audio.h -- the speaker and the sounds it plays (the game's music).
#pragma once

#include <cstdint>
#include <string>

struct PlatformSound;
using SoundHandle = PlatformSound*;

// Music start-up: open the speaker (sample rate, bits per sample, stereo, and two mixer
// settings: channels and voices). 0 when the output is ready; anything else means no sound.
int SpeakerOpen(uint32_t rate, uint32_t bits, bool stereo, uint32_t channels, uint32_t voices);

// Music: start a sound (flags as the game passes them). The result is not used by the game.
int SpeakerPlaySound(SoundHandle sound, uint32_t flags);

// Music: stop every playing sound.
void SpeakerStopSounds();

// Music: volume of the sounds played, 0 (silent) to 64 (full).
void SpeakerSetVolume(uint32_t volume);

// Music start-up: a new, empty sound object. It lives until the program ends.
SoundHandle SoundCreate();

// Music start-up: load a WAV file into the sound. 0 when the file is loaded.
int SoundLoad(SoundHandle sound, const std::string& path);

// Music start-up: whether the sound repeats for as long as it plays.
void SoundSetLoop(SoundHandle sound, bool loop);
