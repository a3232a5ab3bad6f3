// music.cpp -- main.wav on the front end, ingame.wav in play, both looping; the only caller of the speaker.
#include "sound/music.h"

#include "data/layout.h"
#include "platform/audio.h"
#include "services/app.h"
#include "services/settings.h"

static SoundHandle titleMusic = nullptr;
static SoundHandle gameMusic = nullptr;
static bool speakerOpen = false;
static bool titleMusicLoaded = false;
static bool gameMusicLoaded = false;

static constexpr uint32_t kRate = 24000;
static constexpr uint32_t kBits = 16;
static constexpr uint32_t kChannels = 1;
static constexpr uint32_t kVoices = 8;
static constexpr uint32_t kPlayFlags = 0x10000000;

uint32_t SndLibraryVolume(uint32_t volume) { return static_cast<uint32_t>(volume * 0.25098039215686274); }

int SndInit() {
  speakerOpen = titleMusicLoaded = gameMusicLoaded = false;
  // The sound objects live until the program ends; they are made here, once the device is up.
  if (!titleMusic) titleMusic = SoundCreate();
  if (!gameMusic) gameMusic = SoundCreate();
  const std::string gamePath = appDirectory + layout::kGameMusicFile;
  const std::string titlePath = appDirectory + layout::kTitleMusicFile;
  speakerOpen = SpeakerOpen(kRate, kBits, true, kChannels, kVoices) == 0;
  gameMusicLoaded = SoundLoad(gameMusic, gamePath) == 0;
  titleMusicLoaded = SoundLoad(titleMusic, titlePath) == 0;
  if (gameMusicLoaded) SoundSetLoop(gameMusic, true);
  if (titleMusicLoaded) SoundSetLoop(titleMusic, true);
  if (speakerOpen) SpeakerSetVolume(SndLibraryVolume(volumeSetting));
  return 0;
}

int SndSetVolume(uint32_t volume) {
  if (speakerOpen) SpeakerSetVolume(SndLibraryVolume(volume));
  return 0;
}

int SndPlayTitleMusic() {
  if (speakerOpen && titleMusicLoaded) SpeakerPlaySound(titleMusic, kPlayFlags);
  return 0;
}

int SndPlayGameMusic() {
  if (speakerOpen && gameMusicLoaded) SpeakerPlaySound(gameMusic, kPlayFlags);
  return 0;
}

int SndStopAll() {
  if (speakerOpen) SpeakerStopSounds();
  return 0;
}

int SndUninit() { return 0; }
