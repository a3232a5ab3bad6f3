// fuzz.cpp -- the device, log and scratch folder the fuzz targets run in, and how they fail.
#include "fuzz/fuzz.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "data/loaders.h"
#include "platform/headless/headless.h"
#include "services/app.h"
#include "services/log.h"

// A block above 64 MiB is memory the device does not have (the handheld has 32 MiB): the loaders'
// out-of-memory failure rather than a finding, though an image may ask for a save buffer of
// 65535 x 65535 pixels. The largest sprite needs 33 MB.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=64"; }

namespace fuzz {

void StartInput() {
  static bool started = false;
  if (!started) {
    headless::DeviceConfig config;
    config.appDirectory = kAppDirectory;
    headless::Configure(config);
    appDirectory = kAppDirectory;
    started = true;
  }
  LogClose();
  LogOpen();
  unloadGameData();
}

void Fail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::abort();
}

const std::string& ScratchFolder() {
  // Never destroyed, so the clean-up at exit can still name it.
  static const std::string* folder = [] {
    namespace fs = std::filesystem;
    // Memory-backed where the system has it: these targets write a file for every input.
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    // A target that crashed left its folder behind; its process is gone.
    const std::string prefix = "zelvo-fuzz-";
    for (const auto& entry : fs::directory_iterator(base)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind(prefix, 0) != 0) continue;
      const long pid = std::strtol(name.c_str() + prefix.size(), nullptr, 10);
      if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) fs::remove_all(entry.path());
    }
    const fs::path path = base / (prefix + std::to_string(::getpid()));
    fs::remove_all(path);
    fs::create_directories(path);
    std::atexit([] { std::filesystem::remove_all(*folder); });
    return new std::string(path.string());
  }();
  return *folder;
}

}  // namespace fuzz
