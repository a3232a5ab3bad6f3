// data_fixture.cpp -- the app folder, device and log that the loader tests run in.
#include "data/data_fixture.h"

#include "platform/system.h"
#include "services/log.h"
#include "shell/shell.h"
#include "support/device.h"
#include "world/objects.h"

data_builder::Bytes Set32(data_builder::Bytes bytes, size_t at, uint32_t value) {
  layout::write32(bytes.data() + at, value);
  return bytes;
}

data_builder::Bytes Cut(data_builder::Bytes bytes, size_t n) {
  bytes.resize(bytes.size() - n);
  return bytes;
}

void DataFileTest::SetUp() { restart(1); }

void DataFileTest::restart(uint32_t seed) {
  if (logFile) LogClose();
  headless::DeviceConfig config;
  config.seed = seed;
  testing_support::StartDevice(dir, config);
  unloadGameData();
}

void DataFileTest::TearDown() {
  unloadGameData();
  LogClose();
  logFile = nullptr;  // LogClose keeps the stale handle; later writes must find none
}

std::vector<uint32_t> DataFileTest::randomDraws(uint32_t seed, size_t count) {
  restart(seed);
  std::vector<uint32_t> draws(count);
  for (uint32_t& d : draws) d = SysRandom();
  restart(seed);
  return draws;
}

void DataFileTest::write(const std::string& name, const data_builder::Bytes& bytes) {
  testing_support::WriteFile(dir.file(name), bytes);
}

std::vector<std::string> DataFileTest::log() const {
  std::vector<std::string> lines;
  for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt")))) {
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

::testing::AssertionResult OneProblemLine(const std::vector<std::string>& log, const std::string& file,
                                          const std::string& problem) {
  std::string all;
  for (const auto& line : log) all += "\n  " + line;
  if (log.size() != 1) return ::testing::AssertionFailure() << log.size() << " log lines:" << all;
  if (log[0].rfind(file + ": ", 0) != 0) return ::testing::AssertionFailure() << "not about " << file << ":" << all;
  if (log[0].find(problem) == std::string::npos) {
    return ::testing::AssertionFailure() << "no \"" << problem << "\" in:" << all;
  }
  return ::testing::AssertionSuccess();
}
