// data_fixture.h -- a headless device in a temporary app folder with the log open, and empty tables.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/loaders.h"
#include "support/data_builder.h"
#include "support/testing.h"

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override { restart(1); }
  void TearDown() override;
  // Put a file into the app folder.
  void write(const std::string& name, const data_builder::Bytes& bytes);
  // Start the device afresh with a random seed (the log is reopened, so it starts empty).
  void restart(uint32_t seed);
  // The lines of log.txt so far, empty ones left out.
  std::vector<std::string> log() const;

  testing_support::TempDir dir;
};
