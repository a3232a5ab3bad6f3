// process_posix.cpp -- process.h on POSIX: arguments are already bytes, /proc knows our file.
#include <cstddef>
#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's allocator counts what is in use; GCC ships no header declaring it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif
#include <sys/sysinfo.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/common/process.h"

std::vector<std::string> ProcessArguments(int argc, char** argv) { return std::vector<std::string>(argv, argv + argc); }

std::string ProcessProgramPath(const char* argv0) {
  std::error_code error;
  std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) self = std::filesystem::absolute(argv0, error);
  return self.string();
}

// As SDL_GetPrefPath reads them.
std::string ProcessUserDataHome() {
  if (const char* data = std::getenv("XDG_DATA_HOME")) return data;
  if (const char* home = std::getenv("HOME")) return std::string(home) + "/.local/share";
  return {};
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

// MemAvailable, or free RAM on older kernels.
uint64_t SystemAvailableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  for (std::string line; std::getline(meminfo, line);) {
    std::istringstream fields(line);
    std::string name;
    uint64_t kibibytes = 0;
    if (fields >> name >> kibibytes && name == "MemAvailable:") return kibibytes * 1024;
  }
  struct sysinfo info {};
  if (sysinfo(&info) != 0) return 0;
  return static_cast<uint64_t>(info.freeram) * info.mem_unit;
}

size_t ProcessHeapBytesInUse() {
#if defined(__SANITIZE_ADDRESS__)
  return __sanitizer_get_current_allocated_bytes();
#elif defined(__EMSCRIPTEN__)
  return mallinfo().uordblks;  // a page's malloc has no mallinfo2
#else
  return mallinfo2().uordblks;
#endif
}

std::FILE* OpenUtf8(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
