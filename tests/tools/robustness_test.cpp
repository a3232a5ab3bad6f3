// robustness_test.cpp -- damaged data files never crash check, info or unpack (run it under ASan).
#include <gtest/gtest.h>

#include <sstream>

#include "check.h"
#include "commands.h"
#include "world_builder.h"

namespace zdtest {
namespace {

// Loads, checks, describes and (when it loads) unpacks the folder; only the absence of crashes counts.
void survive(const fs::path& dir) {
  std::ostringstream out, err;
  EXPECT_NO_THROW({
    zdata::checkCommand(dir, {}, {out, err});
    zdata::infoCommand(dir, {true}, {out, err});
    TempDir target;
    zdata::unpackCommand(dir, fs::path(target.path()) / "w", {}, {out, err});
  });
}

class Damaged : public ::testing::Test {
 protected:
  TempDir src, data;
  std::vector<std::pair<std::string, Bytes>> good;

  void SetUp() override {
    writeJson(src / "world.json", goodWorld(src.path()));
    ASSERT_EQ(pack(src.path(), data.path()).code, 0);
    good = dataFiles(data.path());
  }
  void restore() {
    for (const auto& [name, bytes] : good) writeFile(data / name, bytes);
  }
};

TEST_F(Damaged, TruncatedFiles) {
  for (const auto& [name, bytes] : good) {
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{7},
                            std::size_t{12}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      if (cut >= bytes.size()) continue;
      writeFile(data / name, Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut)));
      SCOPED_TRACE(name + " cut at " + std::to_string(cut));
      survive(data.path());
    }
    restore();
  }
}

TEST_F(Damaged, ChangedBytes) {
  uint32_t seed = 12345;  // a fixed sequence: the same damage on every run
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return seed >> 8;
  };
  for (const auto& [name, bytes] : good) {
    for (int round = 0; round < 12; ++round) {
      Bytes damaged = bytes;
      for (int k = 0; k < 4; ++k) {
        // Mostly the headers and indexes, where counts, offsets and sizes live.
        std::size_t at = next() % std::min<std::size_t>(damaged.size(), round % 2 ? damaged.size() : 64);
        damaged[at] = static_cast<uint8_t>(k % 2 ? 0xFF : next());
      }
      writeFile(data / name, damaged);
      SCOPED_TRACE(name + " round " + std::to_string(round));
      survive(data.path());
    }
    restore();
  }
}

}  // namespace
}  // namespace zdtest
