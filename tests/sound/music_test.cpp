// music_test.cpp -- the title and in-game music on the headless speaker: what a listener would hear.
#include <gtest/gtest.h>

#include "services/settings.h"
#include "sound/music.h"
#include "support/device.h"

using testing_support::RunFresh;
using testing_support::TempDir;
using testing_support::WriteFile;
using Paths = std::vector<std::string>;

namespace {

// The smallest WAV file the speaker accepts: a RIFF header, a format chunk and no samples.
const std::string kWav = std::string("RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\xC0\x5D\0\0\x80\xBB\0\0\x02\0\x10\0data\0\0\0\0", 44);

Paths playing() {
  Paths paths;
  for (const auto& piece : headless::Audio().playing) paths.push_back(piece.path);
  return paths;
}

}  // namespace

TEST(Music, OpensLoadsLoopsAndSwitchesPiecesAtTheScaledVolume) {
  for (auto [volume, library] : {std::pair{0, 0}, {64, 16}, {148, 37}, {252, 63}, {255, 64}}) {
    EXPECT_EQ(SndLibraryVolume(static_cast<uint32_t>(volume)), static_cast<uint32_t>(library)) << volume;
  }
  TempDir dir;
  WriteFile(dir.file("main.wav"), kWav);
  WriteFile(dir.file("ingame.wav"), kWav);
  EXPECT_TRUE(RunFresh([&] {
    testing_support::StartDevice(dir);
    volumeSetting = 64;
    EXPECT_EQ(SndInit(), 0);
    EXPECT_EQ(headless::Audio().calls,
              (Paths{"open 24000 16 stereo 1 8", "load " + dir.file("ingame.wav") + " ok",
                     "load " + dir.file("main.wav") + " ok", "loop " + dir.file("ingame.wav") + " on",
                     "loop " + dir.file("main.wav") + " on", "volume 16"}));
    SndPlayTitleMusic();
    EXPECT_EQ(playing(), Paths{dir.file("main.wav")});
    EXPECT_TRUE(headless::Audio().playing[0].loops);

    // Start with the sound muted: the game piece plays, silently, and the title piece stops.
    SndSetVolume(0);
    SndStopAll();
    SndPlayGameMusic();
    EXPECT_EQ(playing(), Paths{dir.file("ingame.wav")});
    EXPECT_EQ(headless::Audio().volume, 0u);
    SndSetVolume(252);
    EXPECT_EQ(headless::Audio().volume, 63u);
    SndStopAll();
    EXPECT_TRUE(headless::Audio().playing.empty());
    EXPECT_EQ(SndUninit(), 0);
  }));
}

TEST(Music, AMissingPieceOrASpeakerThatDoesNotOpenIsSilentAndNothingFails) {
  TempDir dir;
  WriteFile(dir.file("main.wav"), kWav);
  WriteFile(dir.file("ingame.wav"), "not a wave file");
  EXPECT_TRUE(RunFresh([&] {
    testing_support::StartDevice(dir);
    SndInit();
    SndPlayTitleMusic();
    SndSetVolume(64);
    SndStopAll();
    SndPlayGameMusic();  // Start: the title piece stops and nothing replaces it
    EXPECT_TRUE(headless::Audio().playing.empty());
    SndStopAll();
    SndPlayTitleMusic();  // Menu brings the title piece back
    EXPECT_EQ(playing(), Paths{dir.file("main.wav")});
  }));
  WriteFile(dir.file("ingame.wav"), kWav);
  EXPECT_TRUE(RunFresh([&] {
    headless::DeviceConfig config;
    config.speakerFails = true;
    testing_support::StartDevice(dir, config);
    EXPECT_EQ(SndInit(), 0);
    const size_t afterInit = headless::Audio().calls.size();
    EXPECT_EQ(afterInit, 5u);  // the pieces are still loaded, but no volume is set
    EXPECT_EQ(SndPlayTitleMusic(), 0);
    EXPECT_EQ(SndSetVolume(200), 0);
    EXPECT_EQ(SndStopAll(), 0);
    EXPECT_EQ(SndPlayGameMusic(), 0);
    EXPECT_EQ(headless::Audio().calls.size(), afterInit);
    EXPECT_FALSE(headless::Audio().speakerOpen);
  }));
}
