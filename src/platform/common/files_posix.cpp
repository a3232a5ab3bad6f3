// files_posix.cpp -- files.h on POSIX files; write sharing is refused with an exclusive lock.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/common/files_kill.h"
#include "platform/common/files_posix.h"
#include "platform/files.h"

struct PlatformFile {
  int fd = -1;
  bool watched = false;  // the kill hook counts the steps of writing it
};

namespace {

void (*replaceObserver)(const std::string& target) = nullptr;

struct KillHook {
  std::string name;
  int step = 0;  // 0: off
  int seen = 0;
} killHook;

bool watched(const std::string& path) {
  if (killHook.step == 0) return false;
  const size_t slash = path.rfind('/');
  return path.compare(slash == std::string::npos ? 0 : slash + 1, killHook.name.size(), killHook.name) == 0;
}

// One step of writing a watched file is about to happen.
void writingStep(bool isWatched) {
  if (isWatched && ++killHook.seen == killHook.step) ::kill(::getpid(), SIGKILL);
}

// Writes size bytes from in, adding what was written to *total.
bool writeAll(int fd, const char* in, uint32_t size, uint32_t* total) {
  for (uint32_t written = 0; written < size;) {
    ssize_t n = ::write(fd, in + written, size - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<uint32_t>(n);
    *total += static_cast<uint32_t>(n);
  }
  return true;
}

FileHandle wrap(int fd, bool isWatched = false) {
  auto* file = new PlatformFile;
  file->fd = fd;
  file->watched = isWatched;
  return file;
}

// Only regular files hold data: a folder, a device or a FIFO under a file's name is refused as if
// the file were missing. The open does not wait (a FIFO would wait for a writer), and stays so.
int openRegular(const std::string& path, int flags) {
  int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::fcntl(fd, F_SETFL, 0) != 0) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

}  // namespace

void FilesKillAt(const std::string& name, int step) { killHook = KillHook{name, step, 0}; }

FileHandle FileOpenRead(const std::string& path) {
  int fd = openRegular(path, O_RDONLY);
  if (fd < 0) return nullptr;
  return wrap(fd);
}

FileHandle FileCreate(const std::string& path, bool readable) {
  const bool isWatched = watched(path);
  writingStep(isWatched);
  int fd = openRegular(path, (readable ? O_RDWR : O_WRONLY) | O_CREAT);
  if (fd < 0) return nullptr;
  // Whoever writes a file holds it alone: a second writer, in this process or another, fails
  // here before it can truncate what the first is writing.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  return wrap(fd, isWatched);
}

bool FileRead(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (!file) return false;
  uint32_t total = 0;
  auto* out = static_cast<char*>(buffer);
  while (total < size) {
    ssize_t n = ::read(file->fd, out + total, size - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) break;  // end of file: a short read is not a failure
    total += static_cast<uint32_t>(n);
  }
  if (done) *done = total;
  return true;
}

bool FileWrite(FileHandle file, const void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  if (!file) return false;
  const auto* in = static_cast<const char*>(buffer);
  // A watched write goes in two halves with a step between, so a kill can leave the file torn.
  const uint32_t first = file->watched ? size / 2 : size;
  uint32_t total = 0;
  writingStep(file->watched);
  bool ok = writeAll(file->fd, in, first, &total);
  if (ok && first < size) {
    writingStep(file->watched);
    ok = writeAll(file->fd, in + first, size - first, &total);
  }
  if (done) *done = total;
  return ok;
}

uint32_t FileSize(FileHandle file) {
  struct stat st {};
  if (!file || ::fstat(file->fd, &st) != 0 || st.st_size < 0 || st.st_size > 0xFFFFFFFEll) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(st.st_size);
}

bool FileSeek(FileHandle file, uint32_t offset) {
  return file && ::lseek(file->fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool FileFlush(FileHandle file) {
  if (!file) return false;
  writingStep(file->watched);
  return ::fsync(file->fd) == 0;
}

void FileClose(FileHandle file) {
  if (!file) return;
  writingStep(file->watched);
  ::close(file->fd);
  delete file;
}

bool FileDelete(const std::string& path) {
  writingStep(watched(path));
  return ::unlink(path.c_str()) == 0;
}

bool FileReplace(const std::string& source, const std::string& target) {
  writingStep(watched(source) || watched(target));
  if (::rename(source.c_str(), target.c_str()) != 0) return false;
  // The new name is on the disk only once its folder is; a failure here still leaves it in place.
  const size_t slash = target.rfind('/');
  int folder = ::open(slash == std::string::npos ? "." : target.substr(0, slash + 1).c_str(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  if (replaceObserver) replaceObserver(target);
  return true;
}

void FilesObserveReplace(void (*observer)(const std::string& target)) { replaceObserver = observer; }
