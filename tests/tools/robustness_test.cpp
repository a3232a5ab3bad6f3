// robustness_test.cpp -- damaged data files never crash check, info or unpack (run it under ASan).
#include <gtest/gtest.h>

#include <sstream>

#include "check.h"
#include "commands.h"
#include "world_builder.h"

namespace zdtest {
namespace {

TEST(Damaged, TruncatedAndMutatedFilesNeverCrashCheckInfoOrUnpack) {
  TempDir src, data;
  writeJson(src / "world.json", goodWorld(src.path()));
  ASSERT_EQ(pack(src.path(), data.path()).code, 0);
  const auto good = dataFiles(data.path());
  uint32_t seed = 12345;  // a fixed sequence: the same damage on every run
  auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
  for (const auto& [name, bytes] : good) {
    std::vector<Bytes> damaged;
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{3}, std::size_t{4}, std::size_t{7},
                            std::size_t{12}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
      if (cut < bytes.size()) damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(cut));
    }
    for (int round = 0; round < 12; ++round) {
      // Four bytes changed, mostly in the headers and indexes, where counts, offsets and sizes live.
      damaged.push_back(bytes);
      for (int k = 0; k < 4; ++k) {
        const std::size_t at = next() % std::min<std::size_t>(bytes.size(), round % 2 ? bytes.size() : 64);
        damaged.back()[at] = static_cast<uint8_t>(k % 2 ? 0xFF : next());
      }
    }
    for (size_t i = 0; i < damaged.size(); ++i) {
      SCOPED_TRACE(name + " damage " + std::to_string(i));
      writeFile(data / name, damaged[i]);
      // Only the absence of crashes counts.
      std::ostringstream out, err;
      zdata::checkCommand(data.path(), {}, {out, err});
      zdata::infoCommand(data.path(), {true}, {out, err});
      TempDir target;
      zdata::unpackCommand(data.path(), target / "w", {}, {out, err});
    }
    writeFile(data / name, bytes);
  }
}

}  // namespace
}  // namespace zdtest
