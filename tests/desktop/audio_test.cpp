// audio_test.cpp -- the speaker through SDL's disk audio driver: what the game plays reaches the output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "desktop/harness.h"
#include "platform/audio.h"
#include "platform/sdl/desktop.h"
#include "support/testing.h"

using desktop_testing::Loudest;
using desktop_testing::SpeakerFile;
using testing_support::TempDir;

namespace {

constexpr int kRate = 24000;
constexpr int kBufferBytes = 1024 * 4;  // one mixer buffer: 1024 stereo 16-bit frames
constexpr int kAmplitude = 8000;

void put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void put32(std::string& out, uint32_t value) {
  put16(out, value & 0xFFFF);
  put16(out, value >> 16);
}

// A quarter second of a 440 Hz tone, 16-bit stereo at the game's rate.
std::string toneWav() {
  std::string samples;
  for (int i = 0; i < kRate / 4; ++i) {
    const auto value = static_cast<int16_t>(std::lround(kAmplitude * std::sin(2 * M_PI * 440.0 * i / kRate)));
    put16(samples, static_cast<uint16_t>(value));
    put16(samples, static_cast<uint16_t>(value));
  }
  std::string wav = "RIFF";
  put32(wav, static_cast<uint32_t>(36 + samples.size()));
  wav += "WAVEfmt ";
  put32(wav, 16);
  put16(wav, 1);  // PCM
  put16(wav, 2);
  put32(wav, kRate);
  put32(wav, kRate * 4);
  put16(wav, 4);
  put16(wav, 16);
  wav += "data";
  put32(wav, static_cast<uint32_t>(samples.size()));
  return wav + samples;
}

class DesktopAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", output_.c_str(), 1);
    testing_support::WriteFile(wav_, toneWav());
  }
  void TearDown() override { desktop::Stop(); }

  // Open the speaker as the game does and start the tone looping at full volume.
  void playTone() {
    ASSERT_EQ(SpeakerOpen(24000, 16, true, 1, 8), 0);
    SoundHandle tone = SoundCreate();
    ASSERT_EQ(SoundLoad(tone, wav_), 0);
    SoundSetLoop(tone, true);
    SpeakerSetVolume(64);
    ASSERT_EQ(SpeakerPlaySound(tone, 0x10000000), 0);
  }

  int loudestFromNowOn() const { return speaker_.LoudestFromNowOn(kBufferBytes); }

  TempDir dir_;
  std::string output_ = dir_.file("speaker.raw");
  SpeakerFile speaker_{output_};
  std::string wav_ = dir_.file("tone.wav");
};

}  // namespace

TEST_F(DesktopAudio, ALoopingSoundReachesTheSpeakerAtTheGamesRate) {
  ASSERT_NO_FATAL_FAILURE(playTone());
  // A second and a half: far past the quarter second the tone lasts, so it must have looped.
  ASSERT_TRUE(speaker_.WaitForBytes(kRate * 4 * 3 / 2));
  const std::vector<int16_t> late = speaker_.SamplesFrom(kRate * 4);
  EXPECT_GT(Loudest(late), kAmplitude * 9 / 10);
  // 440 Hz at 24 kHz: about 880 sign changes a second on the left channel.
  int changes = 0;
  const size_t frames = std::min<size_t>(late.size() / 2, kRate / 2);
  for (size_t i = 1; i < frames; ++i) changes += (late[2 * i - 2] < 0) != (late[2 * i] < 0);
  EXPECT_NEAR(changes, 440, 30);
}

TEST_F(DesktopAudio, VolumeZeroIsSilenceAndHalfVolumeIsHalfAsLoud) {
  ASSERT_NO_FATAL_FAILURE(playTone());
  EXPECT_GT(loudestFromNowOn(), kAmplitude * 9 / 10);
  SpeakerSetVolume(0);
  EXPECT_EQ(loudestFromNowOn(), 0);
  SpeakerSetVolume(32);
  EXPECT_NEAR(loudestFromNowOn(), kAmplitude / 2, kAmplitude / 20);
}

TEST_F(DesktopAudio, StoppingEverythingIsSilence) {
  ASSERT_NO_FATAL_FAILURE(playTone());
  EXPECT_GT(loudestFromNowOn(), kAmplitude * 9 / 10);
  SpeakerStopSounds();
  EXPECT_EQ(loudestFromNowOn(), 0);
}

TEST_F(DesktopAudio, FilesThatAreNoWavAreRefused) {
  ASSERT_EQ(SpeakerOpen(24000, 16, true, 1, 8), 0);
  testing_support::WriteFile(dir_.file("text.wav"), "RIFF but not really");
  SoundHandle sound = SoundCreate();
  EXPECT_NE(SoundLoad(sound, dir_.file("missing.wav")), 0);
  EXPECT_NE(SoundLoad(sound, dir_.file("text.wav")), 0);
  EXPECT_NE(SpeakerPlaySound(sound, 0), 0);
  EXPECT_NE(SpeakerPlaySound(nullptr, 0), 0);
}

TEST_F(DesktopAudio, WithoutAnAudioDeviceTheSpeakerStaysClosedAndAllIsQuiet) {
  setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
  EXPECT_NE(SpeakerOpen(24000, 16, true, 1, 8), 0);
  SoundHandle tone = SoundCreate();
  EXPECT_EQ(SoundLoad(tone, wav_), 0);  // the music is still there; it just cannot be heard
  SoundSetLoop(tone, true);
  SpeakerSetVolume(64);
  EXPECT_NE(SpeakerPlaySound(tone, 0x10000000), 0);
  SpeakerStopSounds();
  EXPECT_NE(SoundLoad(tone, dir_.file("missing.wav")), 0);
}
