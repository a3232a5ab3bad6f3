// fuzz.cpp -- what the fuzz targets run in: real files in a folder of their own, read and written
// through the game's own files_posix.cpp as the game does; the device, the log, and how they fail.
#include "fuzz/fuzz.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "data/loaders.h"
#include "platform/headless/headless.h"
#include "services/app.h"
#include "services/log.h"

// A block above 64 MiB is memory the device does not have (the handheld has 32 MiB): the loaders'
// out-of-memory failure rather than a finding, though an image may ask for a save buffer of
// 65535 x 65535 pixels. The largest sprite needs 33 MB.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=64"; }

namespace fuzz {

const std::string& Folder() {
  // Never destroyed, so the clean-up at exit can still name it.
  static const std::string* folder = [] {
    namespace fs = std::filesystem;
    // Memory-backed where the system has it: a target writes and reads files for every input.
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
    return new std::string(path.string() + "/");
  }();
  return *folder;
}

void PutFile(const std::string& name, const uint8_t* data, size_t size) {
  // Written over, then cut to size: the memory file system keeps the pages for the next input. A file
  // that is not all there would blame the game for the folder's fault.
  const int fd = ::open((Folder() + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, data, size) != static_cast<ssize_t>(size) ||
      ::ftruncate(fd, static_cast<off_t>(size)) != 0 || ::close(fd) != 0)
    Fail("could not write %s%s", Folder().c_str(), name.c_str());
}

std::string FileText(const std::string& name) {
  std::ifstream in(Folder() + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void StartInput() {
  static bool started = false;
  if (!started) {
    headless::DeviceConfig config;
    config.appDirectory = Folder();
    headless::Configure(config);
    appDirectory = Folder();
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

}  // namespace fuzz
