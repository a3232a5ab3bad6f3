// data_fixture.cpp -- the app folder, device and log that the loader tests run in.
#include "data/data_fixture.h"

#include "services/log.h"
#include "shell/shell.h"
#include "support/device.h"
#include "world/objects.h"

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

void DataFileTest::write(const std::string& name, const data_builder::Bytes& bytes) {
  testing_support::WriteFile(dir.file(name), bytes);
}

std::vector<std::string> DataFileTest::log() const {
  std::vector<std::string> lines;
  for (const auto& line : testing_support::LogLines(testing_support::ReadFile(dir.file("log.txt"))))
    if (!line.empty()) lines.push_back(line);
  return lines;
}
