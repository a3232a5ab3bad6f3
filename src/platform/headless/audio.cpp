// audio.cpp -- the headless speaker: plays nothing, remembers what a listener would hear.
#include <memory>

#include "platform/audio.h"
#include "platform/files.h"
#include "platform/headless/internal.h"

struct PlatformSound {
  std::string path;
  bool loaded = false;
  bool loop = false;
};

namespace headless {

namespace {
AudioState audio;
std::vector<std::unique_ptr<PlatformSound>> sounds;

void record(const std::string& call) { audio.calls.push_back(call); }

// A WAV file starts with "RIFF", a length and "WAVE".
bool looksLikeWav(const std::string& path) {
  FileHandle file = FileOpenRead(path);
  if (!file) return false;
  char header[12] = {};
  uint32_t done = 0;
  bool ok = FileRead(file, header, sizeof header, &done) && done == sizeof header &&
            std::string(header, 4) == "RIFF" && std::string(header + 8, 4) == "WAVE";
  FileClose(file);
  return ok;
}
}  // namespace

void ResetAudio() {
  audio = AudioState{};
  sounds.clear();
}

const AudioState& Audio() { return audio; }

}  // namespace headless

using headless::device;

int SpeakerOpen(uint32_t rate, uint32_t bits, bool stereo, uint32_t channels, uint32_t voices) {
  headless::record("open " + std::to_string(rate) + " " + std::to_string(bits) + " " + (stereo ? "stereo" : "mono") +
                   " " + std::to_string(channels) + " " + std::to_string(voices));
  if (device.config.speakerFails) return 1;
  headless::audio.speakerOpen = true;
  return 0;
}

int SpeakerPlaySound(SoundHandle sound, uint32_t flags) {
  if (!sound) return 1;
  headless::record("play " + sound->path + " " + std::to_string(flags));
  if (!headless::audio.speakerOpen || !sound->loaded) return 1;
  // Playing a sound that already plays starts it again; other sounds go on.
  auto& playing = headless::audio.playing;
  std::erase_if(playing, [&](const headless::AudioState::Playing& p) { return p.path == sound->path; });
  playing.push_back({sound->path, sound->loop});
  return 0;
}

void SpeakerStopSounds() {
  headless::record("stop");
  headless::audio.playing.clear();
}

void SpeakerSetVolume(uint32_t volume) {
  headless::record("volume " + std::to_string(volume));
  headless::audio.volume = volume > 64 ? 64 : volume;
}

SoundHandle SoundCreate() {
  headless::sounds.push_back(std::make_unique<PlatformSound>());
  return headless::sounds.back().get();
}

int SoundLoad(SoundHandle sound, const std::string& path) {
  if (!sound) return 1;
  sound->path = path;
  sound->loaded = headless::looksLikeWav(path);
  headless::record("load " + path + (sound->loaded ? " ok" : " failed"));
  return sound->loaded ? 0 : 1;
}

void SoundSetLoop(SoundHandle sound, bool loop) {
  if (!sound) return;
  sound->loop = loop;
  headless::record(std::string("loop ") + sound->path + (loop ? " on" : " off"));
}
