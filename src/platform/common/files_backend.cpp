// files_backend.cpp -- what every files backend shares: the kill hook's counting, whole reads and writes.
#include "platform/common/files_backend.h"

namespace {

struct KillHook {
  std::string name;
  int step = 0;  // 0: off
  int seen = 0;
} killHook;

// Writes size bytes, adding what was written to *total.
bool writeAll(const FilesTransfer& write, const char* in, uint32_t size, uint32_t* total) {
  for (uint32_t written = 0; written < size;) {
    const int64_t n = write(const_cast<char*>(in + written), size - written);
    if (n <= 0) return false;
    written += static_cast<uint32_t>(n);
    *total += static_cast<uint32_t>(n);
  }
  return true;
}

}  // namespace

void FilesKillAt(const std::string& name, int step) { killHook = KillHook{name, step, 0}; }

bool FilesWatched(const std::string& path) {
  if (killHook.step == 0) return false;
  const size_t slash = path.find_last_of("/\\");
  return path.compare(slash == std::string::npos ? 0 : slash + 1, killHook.name.size(), killHook.name) == 0;
}

void FilesStep(bool watched) {
  if (watched && ++killHook.seen == killHook.step) FilesKillNow();
}

bool FilesReadAll(const FilesTransfer& read, void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  uint32_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    const int64_t n = read(out + total, size - total);
    if (n < 0) return false;
    if (n == 0) break;  // end of file
    total += static_cast<uint32_t>(n);
  }
  if (done) *done = total;
  return true;
}

bool FilesWriteAll(const FilesTransfer& write, bool watched, const void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  const auto* in = static_cast<const char*>(buffer);
  const uint32_t first = watched ? size / 2 : size;
  uint32_t total = 0;
  FilesStep(watched);
  bool ok = writeAll(write, in, first, &total);
  if (ok && first < size) {
    FilesStep(watched);
    ok = writeAll(write, in + first, size - first, &total);
  }
  if (done) *done = total;
  return ok;
}
