// files_posix.cpp -- files.h on POSIX files; write sharing is refused with an exclusive lock.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/common/files_backend.h"
#include "platform/common/files_posix.h"
#include "platform/common/places.h"
#include "platform/files.h"

struct PlatformFile {
  int fd = -1;
  bool watched = false;  // the kill hook counts the steps of writing it
};

[[noreturn]] void FilesKillNow() {
  ::kill(::getpid(), SIGKILL);
  ::_exit(137);  // not reached: SIGKILL cannot be caught
}

namespace {

void (*replaceObserver)(const std::string& target) = nullptr;

// One read or write, tried again when a signal interrupts it.
FilesTransfer transfer(int fd, bool writing) {
  return [fd, writing](char* bytes, uint32_t size) -> int64_t {
    for (;;) {
      const ssize_t n = writing ? ::write(fd, bytes, size) : ::read(fd, bytes, size);
      if (n >= 0 || errno != EINTR) return n;
    }
  };
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

FileHandle FileOpenRead(const std::string& path) {
  int fd = openRegular(FilesWhere(path, false), O_RDONLY);
  if (fd < 0) return nullptr;
  return wrap(fd);
}

FileHandle FileCreate(const std::string& path, bool readable) {
  const bool isWatched = FilesWatched(path);
  FilesStep(isWatched);
  int fd = openRegular(FilesWhere(path, true), (readable ? O_RDWR : O_WRONLY) | O_CREAT);
  if (fd < 0) return nullptr;
  // Whoever writes a file holds it alone: a second writer, in this process or another, fails
  // here before it can truncate what the first is writing.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return nullptr;
  }
  FileHandle file = wrap(fd, isWatched);
  FilesCreated(file, path);
  return file;
}

FileHandle FileHoldForWriting(const std::string& path) {
  int fd = openRegular(FilesWhere(path, true), O_RDWR | O_CREAT);
  if (fd < 0) return nullptr;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return nullptr;
  }
  return wrap(fd);
}

bool FileRead(FileHandle file, void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  return file && FilesReadAll(transfer(file->fd, false), buffer, size, done);
}

bool FileWrite(FileHandle file, const void* buffer, uint32_t size, uint32_t* done) {
  if (done) *done = 0;
  return file && FilesWriteAll(transfer(file->fd, true), file->watched, buffer, size, done);
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
  FilesStep(file->watched);
  return ::fsync(file->fd) == 0;
}

void FileClose(FileHandle file) {
  if (!file) return;
  FilesStep(file->watched);
  ::close(file->fd);
  delete file;
}

bool FileDelete(const std::string& path) {
  FilesStep(FilesWatched(path));
  return ::unlink(FilesWhere(path, true).c_str()) == 0;
}

bool FileReplace(const std::string& source, const std::string& target) {
  FilesStep(FilesWatched(source) || FilesWatched(target));
  const std::string to = FilesWhere(target, true);
  if (::rename(FilesWhere(source, true).c_str(), to.c_str()) != 0) return false;
  // The new name is on the disk only once its folder is; a failure here still leaves it in place.
  const size_t slash = to.rfind('/');
  int folder = ::open(slash == std::string::npos ? "." : to.substr(0, slash + 1).c_str(),
                      O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  if (replaceObserver) replaceObserver(target);
  return true;
}

void FilesObserveReplace(void (*observer)(const std::string& target)) { replaceObserver = observer; }
