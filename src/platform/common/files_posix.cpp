// files_posix.cpp -- files.h on POSIX files; write sharing is refused with an exclusive lock.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/common/files_posix.h"
#include "platform/files.h"

struct PlatformFile {
  int fd = -1;
};

namespace {

void (*replaceObserver)(const std::string& target) = nullptr;

FileHandle wrap(int fd) {
  auto* file = new PlatformFile;
  file->fd = fd;
  return file;
}

}  // namespace

FileHandle FileOpenRead(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  return wrap(fd);
}

FileHandle FileCreate(const std::string& path, bool readable) {
  int fd = ::open(path.c_str(), (readable ? O_RDWR : O_WRONLY) | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  // Whoever writes a file holds it alone: a second writer, in this process or another, fails
  // here before it can truncate what the first is writing.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  return wrap(fd);
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
  uint32_t total = 0;
  const auto* in = static_cast<const char*>(buffer);
  while (total < size) {
    ssize_t n = ::write(file->fd, in + total, size - total);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    total += static_cast<uint32_t>(n);
  }
  if (done) *done = total;
  return true;
}

uint32_t FileSize(FileHandle file) {
  struct stat st {};
  if (!file || ::fstat(file->fd, &st) != 0 || st.st_size < 0 || st.st_size > 0xFFFFFFFEll) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(st.st_size);
}

bool FileSeek(FileHandle file, uint32_t offset) {
  return file && ::lseek(file->fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool FileFlush(FileHandle file) { return file && ::fsync(file->fd) == 0; }

void FileClose(FileHandle file) {
  if (!file) return;
  ::close(file->fd);
  delete file;
}

bool FileDelete(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool FileReplace(const std::string& source, const std::string& target) {
  if (::rename(source.c_str(), target.c_str()) != 0) return false;
  if (replaceObserver) replaceObserver(target);
  return true;
}

void FilesObserveReplace(void (*observer)(const std::string& target)) { replaceObserver = observer; }
