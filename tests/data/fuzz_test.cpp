// fuzz_test.cpp -- every loader fed thousands of mutated copies of good files: no crash, no stray read, a clear line.
#include <cstring>
#include <functional>
#include <random>

#include "data/data_fixture.h"
#include "services/log.h"
#include "world/objects.h"

using namespace data_builder;

namespace {

constexpr uint32_t kRoundsPerFile = 700;

volatile uint64_t sink = 0;  // keeps the reads below from being optimised away

// Reads every byte the tables say they hold, so a record that overstates its buffers shows up
// under AddressSanitizer, and checks what the loaders promise about each record.
void touchEverything() {
  uint64_t sum = 0;
  for (const auto& [id, s] : spriteTable) {
    EXPECT_EQ(s.pixelsReady, 1);
    EXPECT_GT(s.width, 0);
    EXPECT_GT(s.height, 0);
    const uint64_t pixels = static_cast<uint64_t>(s.frameCount) * s.width * s.height;
    for (uint64_t i = 0; i < pixels; ++i) sum += s.pixels[i];
    for (uint32_t i = 0; i < s.frameDataSize; ++i) sum += s.frameData[i];
  }
  for (const auto& [id, image] : imageTable) {
    for (uint32_t i = 0; i < image.pixelDataSize; ++i) sum += image.pixelData[i];
    const uint64_t area = static_cast<uint64_t>(image.width) * image.height;
    EXPECT_EQ(image.saveBuffer != nullptr, image.saveUnder == 1 && area > 0);
    if (image.saveBuffer && area <= (1u << 20)) std::memset(image.saveBuffer, 0, area * sizeof(uint16_t));
  }
  for (const auto& [id, font] : fontTable) {
    for (uint32_t i = 0; i < font.sheetPixels; ++i) sum += font.glyphSheet[i];
  }
  for (const Artifact& a : artifactList) EXPECT_LT(strnlen(a.name, sizeof a.name), sizeof a.name);
  for (const auto& [id, d] : dialogTable) EXPECT_LT(strnlen(d.text, sizeof d.text), sizeof d.text);
  for (const auto& [id, e] : eventTable) EXPECT_EQ(e.actions.size(), e.actionCount);
  sink = sink + sum;
}

// Richer than the small world: more records, more frames, skips and end markers to break.
std::map<std::string, Bytes> fuzzBases() {
  auto files = SmallWorld();
  files["sprites.dat"] = Indexed(
      {SpriteEntry({.id = 3, .kind = 0, .width = 3, .height = 2, .motion = 1,
                    .frames = {{1, 2, 0, 1, 3, 0, 0}, {0, 4, 5}, {7, 7, 7, 7, 7}}}),
       SpriteEntry({.id = 1001, .kind = 4, .width = 4, .height = 4, .frames = {{0, 5, 9, 0, 0}}}),
       SpriteEntry({.id = 12, .kind = 6, .width = 2, .height = 3, .motion = 2, .frames = {{1, 0, 0}, {0, 0}}})},
      {2, 0, 1});
  files["events.dat"] = Indexed(
      {EventEntry({.id = 7, .width = 10, .height = 20, .actions = {{.opcode = 1, .argument = 12}, {.opcode = 4}}}),
       EventEntry({.id = 8, .trigger = 3, .triggerParam = 50}),
       EventEntry({.id = 9, .actions = {{.opcode = 11, .argument = 100}}})},
      {1, 2, 0});
  files["images.dat"] =
      Indexed({ImageEntry({.id = 6, .width = 2, .height = 2, .words = {1, 0, 1, 2}}),
               ImageEntry({.id = 5, .saveUnder = 1, .width = 3, .height = 2, .words = {0, 4, 9}}),
               ImageEntry({.id = 3, .saveUnder = 1, .width = 1, .height = 1, .words = {}})},
              {1, 2, 0});
  files["art.dat"] = Artifacts({{.id = 50, .name = "Key", .screenNumber = 1, .state = 1},
                                {.id = 51, .name = std::string(32, 'x'), .state = 3}});
  files["map.dat"] = Map({{.number = 1, .objects = {{.id = 3}, {.id = 12, .layerOverride = 20}}, .events = {{.id = 7}}},
                          {.number = 2, .events = {{.id = 8}, {.id = 9}}}});
  return files;
}

struct Target {
  const char* file;
  LoadResult (*load)();
};

}  // namespace

class Fuzz : public DataFileTest {};

TEST_F(Fuzz, MutatedFilesNeverCrashAndAreRefusedWithALine) {
  const Target targets[] = {{"sprites.dat", loadSprites}, {"events.dat", loadEvents}, {"art.dat", loadArtifacts},
                            {"fonts.dat", loadFonts},     {"images.dat", loadImages}, {"map.dat", loadScreenMap},
                            {"dialogs.dat", loadDialogs}};
  const auto bases = fuzzBases();
  std::mt19937 rng(20240611);
  int refused = 0, loaded = 0;
  for (const Target& target : targets) {
    const Bytes& base = bases.at(target.file);
    for (uint32_t round = 0; round < kRoundsPerFile; ++round) {
      const Bytes bytes = Mutate(base, rng);
      write(target.file, bytes);
      LogClose();
      LogOpen();  // a fresh log per round
      ClearTables();
      const LoadResult result = target.load();
      SCOPED_TRACE(std::string(target.file) + " round " + std::to_string(round));
      ASSERT_TRUE(result == LoadOk || result == LoadReadFailed || result == LoadOther) << result;
      touchEverything();
      if (result == LoadReadFailed) {
        // Every refusal names the file in its own line; nothing was unreadable on disk here.
        bool named = false;
        for (const auto& line : log()) named = named || line.rfind(std::string(target.file) + ": ", 0) == 0;
        EXPECT_TRUE(named);
        ++refused;
      } else if (result == LoadOk) {
        ++loaded;
      }
      if (::testing::Test::HasFailure()) return;
    }
  }
  // The mutations reach both sides: plenty of files load and plenty are refused.
  EXPECT_GT(refused, 700);
  EXPECT_GT(loaded, 700);
}
