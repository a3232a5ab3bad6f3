// audio.cpp -- the speaker on SDL2_mixer: WAV sounds on mixer channels, one volume for all of them.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/audio.h"
#include "platform/sdl/internal.h"

struct PlatformSound {
  Mix_Chunk* chunk = nullptr;  // decoded samples; null while the speaker is closed
  bool loaded = false;
  bool loop = false;
};

namespace desktop {

namespace {

bool speakerOpen = false;
int mixerVolume = MIX_MAX_VOLUME;
std::vector<std::unique_ptr<PlatformSound>> sounds;

// The speaker is closed: tell a readable WAV from anything else without a device to decode for.
bool readableWav(const std::string& path) {
  SDL_AudioSpec spec;
  Uint8* samples = nullptr;
  Uint32 length = 0;
  if (!SDL_LoadWAV(path.c_str(), &spec, &samples, &length)) return false;
  SDL_FreeWAV(samples);
  return true;
}

}  // namespace

void CloseAudio() {
  if (speakerOpen) Mix_HaltChannel(-1);
  for (auto& sound : sounds) {
    if (sound->chunk) Mix_FreeChunk(sound->chunk);
    sound->chunk = nullptr;
  }
  sounds.clear();
  if (speakerOpen) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  speakerOpen = false;
  mixerVolume = MIX_MAX_VOLUME;
}

}  // namespace desktop

using desktop::speakerOpen;

// Music start-up: the channels argument has no meaning for the mixer; voices is how many sounds
// may play at once.
int SpeakerOpen(uint32_t rate, uint32_t bits, bool stereo, uint32_t, uint32_t voices) {
  if (speakerOpen) return 0;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    std::fprintf(stderr, "zelvo: no sound: %s\n", SDL_GetError());
    return 1;
  }
  const Uint16 format = bits == 8 ? AUDIO_U8 : AUDIO_S16SYS;
  if (Mix_OpenAudio(static_cast<int>(rate), format, stereo ? 2 : 1, 1024) != 0) {
    std::fprintf(stderr, "zelvo: no sound: %s\n", Mix_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 1;
  }
  Mix_AllocateChannels(voices > 0 ? static_cast<int>(voices) : 1);
  Mix_Volume(-1, desktop::mixerVolume);
  speakerOpen = true;
  return 0;
}

int SpeakerPlaySound(SoundHandle sound, uint32_t) {
  if (!speakerOpen || !sound || !sound->chunk) return 1;
  // A sound started again begins from the start instead of playing twice over itself.
  for (int channel = 0, count = Mix_AllocateChannels(-1); channel < count; ++channel)
    if (Mix_Playing(channel) && Mix_GetChunk(channel) == sound->chunk) Mix_HaltChannel(channel);
  return Mix_PlayChannel(-1, sound->chunk, sound->loop ? -1 : 0) < 0 ? 1 : 0;
}

void SpeakerStopSounds() {
  if (speakerOpen) Mix_HaltChannel(-1);
}

void SpeakerSetVolume(uint32_t volume) {
  desktop::mixerVolume = desktop::MixerVolume(volume);
  if (speakerOpen) Mix_Volume(-1, desktop::mixerVolume);
}

SoundHandle SoundCreate() {
  desktop::sounds.push_back(std::make_unique<PlatformSound>());
  return desktop::sounds.back().get();
}

int SoundLoad(SoundHandle sound, const std::string& path) {
  if (!sound) return 1;
  if (sound->chunk) Mix_FreeChunk(sound->chunk);
  const std::string file = desktop::SoundFile(path);
  sound->chunk = speakerOpen ? Mix_LoadWAV(file.c_str()) : nullptr;
  sound->loaded = speakerOpen ? sound->chunk != nullptr : desktop::readableWav(file);
  return sound->loaded ? 0 : 1;
}

void SoundSetLoop(SoundHandle sound, bool loop) {
  if (sound) sound->loop = loop;
}
