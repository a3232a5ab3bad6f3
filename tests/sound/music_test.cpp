// music_test.cpp -- the title and in-game music on the headless speaker: what a listener would hear.
#include <gtest/gtest.h>

#include "platform/headless/headless.h"
#include "shell/settings.h"
#include "shell/shell.h"
#include "sound/music.h"
#include "support/testing.h"

using testing_support::RunFresh;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// The smallest WAV file the speaker accepts: a RIFF header, a format chunk and no samples.
void writeWav(const std::string& path) {
  std::string wav = "RIFF";
  wav += std::string("\x24\x00\x00\x00", 4) + "WAVEfmt ";
  wav += std::string("\x10\x00\x00\x00\x01\x00\x01\x00\xC0\x5D\x00\x00\x80\xBB\x00\x00\x02\x00\x10\x00", 20);
  wav += std::string("data\x00\x00\x00\x00", 8);
  WriteFile(path, wav);
}

void startDevice(const TempDir& dir, bool speakerFails = false) {
  headless::DeviceConfig config;
  config.appDirectory = dir.path();
  config.speakerFails = speakerFails;
  headless::Configure(config);
  appDirectory = dir.path() + "/";
}

std::vector<std::string> playingPaths() {
  std::vector<std::string> paths;
  for (const auto& piece : headless::Audio().playing) paths.push_back(piece.path);
  return paths;
}

}  // namespace

TEST(Music, ScalesThePlayersVolumeToTheSpeakers) {
  EXPECT_EQ(SndLibraryVolume(0), 0u);
  EXPECT_EQ(SndLibraryVolume(64), 16u);
  EXPECT_EQ(SndLibraryVolume(148), 37u);
  EXPECT_EQ(SndLibraryVolume(252), 63u);
  EXPECT_EQ(SndLibraryVolume(255), 64u);
}

TEST(Music, OpensLoadsLoopsAndSwitchesPieces) {
  TempDir dir;
  writeWav(dir.file("main.wav"));
  writeWav(dir.file("ingame.wav"));
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir);
    volumeSetting = 64;
    EXPECT_EQ(SndInit(), 0);
    const auto& calls = headless::Audio().calls;
    ASSERT_EQ(calls.size(), 6u);
    EXPECT_EQ(calls[0], "open 24000 16 stereo 1 8");
    EXPECT_EQ(calls[1], "load " + dir.file("ingame.wav") + " ok");
    EXPECT_EQ(calls[2], "load " + dir.file("main.wav") + " ok");
    EXPECT_EQ(calls[3], "loop " + dir.file("ingame.wav") + " on");
    EXPECT_EQ(calls[4], "loop " + dir.file("main.wav") + " on");
    EXPECT_EQ(calls[5], "volume 16");

    SndPlayTitleMusic();
    EXPECT_EQ(playingPaths(), std::vector<std::string>{dir.file("main.wav")});
    EXPECT_TRUE(headless::Audio().playing[0].loops);

    // Start with the sound muted: the game piece plays, silently, and the title piece stops.
    SndSetVolume(0);
    SndStopAll();
    SndPlayGameMusic();
    EXPECT_EQ(playingPaths(), std::vector<std::string>{dir.file("ingame.wav")});
    EXPECT_EQ(headless::Audio().volume, 0u);
    SndSetVolume(252);
    EXPECT_EQ(headless::Audio().volume, 63u);
    SndStopAll();
    EXPECT_TRUE(headless::Audio().playing.empty());
    EXPECT_EQ(SndUninit(), 0);
  }));
}

TEST(Music, AMissingPieceIsSilentAndTheOtherStillPlays) {
  TempDir dir;
  writeWav(dir.file("main.wav"));
  WriteFile(dir.file("ingame.wav"), "not a wave file");
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir);
    SndInit();
    SndPlayTitleMusic();
    SndSetVolume(64);
    SndStopAll();
    SndPlayGameMusic();  // Start: the title piece stops and nothing replaces it
    EXPECT_TRUE(headless::Audio().playing.empty());
    SndStopAll();
    SndPlayTitleMusic();  // Menu brings the title piece back
    EXPECT_EQ(playingPaths(), std::vector<std::string>{dir.file("main.wav")});
  }));
}

TEST(Music, ASpeakerThatDoesNotOpenKeepsEveryCallSilent) {
  TempDir dir;
  writeWav(dir.file("main.wav"));
  writeWav(dir.file("ingame.wav"));
  EXPECT_TRUE(RunFresh([&] {
    startDevice(dir, true);
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
