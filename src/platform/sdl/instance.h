// instance.h -- one running copy per app directory: a lock file, and a FIFO on which later copies knock.
#pragma once

#include <string>

namespace desktop {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Become the running copy of this app directory. False when another copy already is. A folder
  // that cannot hold the lock file (read-only) lets every copy run.
  bool Acquire(const std::string& appDirectory);

  // Whether a later copy has knocked since the last call.
  bool RaiseRequested();

  // Stop being the running copy (the lock file itself stays, so no later copy can race on it).
  void Release();

 private:
  int lockFd_ = -1;
  int fifoFd_ = -1;
  std::string fifoPath_;
};

// A later copy: ask the copy running in appDirectory to bring its window to the front. False when
// no copy listens there.
bool AskRunningCopyToRaise(const std::string& appDirectory);

}  // namespace desktop
