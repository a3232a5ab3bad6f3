// fuzz.cpp -- what the fuzz targets run in: files.h over memory (so a target feeds a loader a million
// files without the disk; every function of files.h and files_hold.h is here, so the linker never takes
// files_posix.cpp from its library), the device, log and scratch folder, and how they fail.
#include "fuzz/fuzz.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "data/loaders.h"
#include "platform/common/files_hold.h"
#include "platform/files.h"
#include "platform/headless/headless.h"
#include "services/app.h"
#include "services/log.h"

// A block above 64 MiB is memory the device does not have (the handheld has 32 MiB): the loaders'
// out-of-memory failure rather than a finding, though an image may ask for a save buffer of
// 65535 x 65535 pixels. The largest sprite needs 33 MB.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=64"; }

using Bytes = std::vector<uint8_t>;
struct PlatformFile {
  std::shared_ptr<Bytes> bytes;
  uint32_t at = 0;
};
static std::map<std::string, std::shared_ptr<Bytes>> files;

namespace fuzz {

void PutFile(const std::string& name, const uint8_t* data, size_t size) {
  files[kAppDirectory + name] = std::make_shared<Bytes>(data, data + size);
}

std::string FileText(const std::string& name) {
  auto found = files.find(kAppDirectory + name);
  return found == files.end() ? std::string() : std::string(found->second->begin(), found->second->end());
}

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

FileHandle FileOpenRead(const std::string& path) {
  auto found = files.find(path);
  return found == files.end() ? nullptr : new PlatformFile{found->second};
}

FileHandle FileCreate(const std::string& path, bool) {
  return new PlatformFile{files[path] = std::make_shared<Bytes>()};
}

FileHandle FileHoldForWriting(const std::string& path) {
  auto& bytes = files[path];
  if (!bytes) bytes = std::make_shared<Bytes>();
  return new PlatformFile{bytes};
}

bool FileRead(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (!file) return false;
  const size_t left = file->bytes->size() - std::min<size_t>(file->at, file->bytes->size());
  const uint32_t n = static_cast<uint32_t>(std::min<size_t>(size, left));
  if (n) std::memcpy(buffer, file->bytes->data() + file->at, n);
  file->at += n;
  if (done) *done = n;
  return true;
}

bool FileWrite(FileHandle file, const void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (!file) return false;  // the log writes through no handle when it could not be created
  if (file->bytes->size() < file->at + size) file->bytes->resize(file->at + size);
  const auto* in = static_cast<const uint8_t*>(buffer);
  std::copy(in, in + size, file->bytes->begin() + file->at);
  file->at += size;
  if (done) *done = size;
  return true;
}

uint32_t FileSize(FileHandle file) {
  return file ? static_cast<uint32_t>(std::min<size_t>(file->bytes->size(), 0xFFFFFFFEu)) : 0xFFFFFFFFu;
}

bool FileSeek(FileHandle file, uint32_t offset) {
  if (file) file->at = offset;
  return file != nullptr;
}
bool FileFlush(FileHandle file) { return file != nullptr; }
void FileClose(FileHandle file) { delete file; }
bool FileDelete(const std::string& path) { return files.erase(path) == 1; }

bool FileReplace(const std::string& source, const std::string& target) {
  auto found = files.find(source);
  if (found == files.end()) return false;
  files[target] = found->second;
  files.erase(found);
  return true;
}
