// data_fixture.h -- a headless device in a temporary app folder with the log open, and empty tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/loaders.h"
#include "support/data_builder.h"
#include "support/testing.h"

// The log holds exactly one line, naming file and saying what is wrong (a piece of it).
::testing::AssertionResult OneProblemLine(const std::vector<std::string>& log, const std::string& file,
                                          const std::string& problem);

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Put a file into the app folder.
  void write(const std::string& name, const data_builder::Bytes& bytes);
  // Start the device afresh with a random seed (the log is reopened, so it starts empty).
  void restart(uint32_t seed);
  // The lines of log.txt so far, empty ones left out.
  std::vector<std::string> log() const;
  // Draw count numbers from a device started with seed, then start it afresh with the same seed,
  // so the loaders see exactly these numbers.
  std::vector<uint32_t> randomDraws(uint32_t seed, size_t count);

  // A broken copy of a file, and a piece of the one log line that must name its problem.
  struct BadFile {
    const char* name;
    data_builder::Bytes bytes;
    const char* problem;
  };
  // Each file, loaded on a fresh device, is refused as a read failure with that one line, and
  // empty() still holds afterwards: nothing of a refused file is kept.
  template <class Empty>
  void expectRefused(const char* file, LoadResult (*load)(), const std::vector<BadFile>& cases, Empty empty) {
    for (const BadFile& c : cases) {
      SCOPED_TRACE(c.name);
      restart(1);
      write(file, c.bytes);
      EXPECT_EQ(load(), LoadReadFailed);
      EXPECT_TRUE(OneProblemLine(log(), file, c.problem));
      EXPECT_TRUE(empty());
    }
  }

  testing_support::TempDir dir;
};

// A copy of bytes with a 32-bit value written at offset at, or with its last n bytes cut off.
data_builder::Bytes Set32(data_builder::Bytes bytes, size_t at, uint32_t value);
data_builder::Bytes Cut(data_builder::Bytes bytes, size_t n);
