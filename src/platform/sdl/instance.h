// instance.h -- one running copy per app directory, which later copies ask to come to the front.
// POSIX: a lock file and a FIFO on which later copies knock; Windows: a named mutex and event.
#pragma once

#include <cstdint>
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
  intptr_t lock_ = -1;   // the lock file, or the mutex
  intptr_t knock_ = -1;  // the FIFO, or the event
  std::string knockPath_;
};

// A later copy: ask the copy running in appDirectory to bring its window to the front. False when
// no copy listens there.
bool AskRunningCopyToRaise(const std::string& appDirectory);

}  // namespace desktop
