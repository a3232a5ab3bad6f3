// music_test.cpp -- the title and in-game music on the headless speaker when pieces or the speaker fail.
#include <gtest/gtest.h>

#include "services/settings.h"
#include "sound/music.h"
#include "support/device.h"

using testing_support::RunFresh;
using testing_support::TempDir;
using testing_support::WriteFile;
using Paths = std::vector<std::string>;

namespace {

Paths playing() {
  Paths paths;
  for (const auto& piece : headless::Audio().playing) paths.push_back(piece.path);
  return paths;
}

}  // namespace

// What plays when, at which volume, is played through zelvo-sim in the front end's scenario.
TEST(Music, AMissingPieceOrASpeakerThatDoesNotOpenIsSilentAndNothingFails) {
  for (auto [volume, library] : {std::pair{0, 0}, {3, 0}, {4, 1}, {148, 37}, {252, 63}, {255, 64}})
    EXPECT_EQ(SndLibraryVolume(static_cast<uint32_t>(volume)), static_cast<uint32_t>(library)) << volume;
  TempDir dir;
  WriteFile(dir.file("main.wav"), testing_support::kSilentWav);
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
  WriteFile(dir.file("ingame.wav"), testing_support::kSilentWav);
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
