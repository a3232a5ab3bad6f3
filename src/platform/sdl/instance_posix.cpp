// instance_posix.cpp -- the single-copy lock: flock on "zelvo.lock", raise requests through "zelvo.fifo".
#include "platform/sdl/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace desktop {

namespace {

std::string inFolder(const std::string& folder, const char* name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(const std::string& appDirectory) {
  Release();
  int fd = ::open(inFolder(appDirectory, "zelvo.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return true;
  // The kernel drops the lock when the process ends however it ends, so a crash leaves nothing stale.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
  }
  lock_ = fd;
  // Only the lock holder touches the FIFO, so replacing a leftover one is safe.
  knockPath_ = inFolder(appDirectory, "zelvo.fifo");
  ::unlink(knockPath_.c_str());
  if (::mkfifo(knockPath_.c_str(), 0600) == 0) knock_ = ::open(knockPath_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  return true;
}

bool InstanceLock::RaiseRequested() {
  if (knock_ < 0) return false;
  char knocks[64];
  bool knocked = false;
  for (ssize_t n; (n = ::read(static_cast<int>(knock_), knocks, sizeof knocks)) > 0;) knocked = true;
  return knocked;
}

void InstanceLock::Release() {
  if (knock_ >= 0) {
    ::close(static_cast<int>(knock_));
    ::unlink(knockPath_.c_str());
    knock_ = -1;
  }
  if (lock_ >= 0) {
    ::close(static_cast<int>(lock_));
    lock_ = -1;
  }
}

bool AskRunningCopyToRaise(const std::string& appDirectory) {
  // Opening a FIFO for writing without blocking fails when nobody reads it.
  int fd = ::open(inFolder(appDirectory, "zelvo.fifo").c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  bool sent = ::write(fd, "r", 1) == 1;
  ::close(fd);
  return sent;
}

}  // namespace desktop
