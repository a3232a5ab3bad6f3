// instance_windows.cpp -- the single-copy lock: a named mutex per app directory, raise requests
// through a named event beside it.
#include <windows.h>

#include <cstdio>

#include "platform/common/utf8.h"
#include "platform/sdl/instance.h"

namespace desktop {

namespace {

// Kernel object names may not hold backslashes, so the folder is named by a hash of its full
// path, lower-cased as the file system compares it.
std::wstring objectName(const std::string& appDirectory, const wchar_t* kind) {
  std::wstring folder = utf8::Widen(appDirectory.empty() ? "." : appDirectory);
  wchar_t full[32768];
  const DWORD length = ::GetFullPathNameW(folder.c_str(), 32768, full, nullptr);
  if (length > 0 && length < 32768) folder.assign(full, length);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  if (!folder.empty()) ::CharLowerBuffW(folder.data(), static_cast<DWORD>(folder.size()));
  uint64_t hash = 14695981039346656037ull;  // FNV-1a
  for (wchar_t c : folder) hash = (hash ^ static_cast<uint16_t>(c)) * 1099511628211ull;
  wchar_t name[64];
  std::swprintf(name, 64, L"Local\\Zelvo-%ls-%016llx", kind, static_cast<unsigned long long>(hash));
  return name;
}

HANDLE handle(intptr_t value) { return reinterpret_cast<HANDLE>(value); }

}  // namespace

InstanceLock::~InstanceLock() { Release(); }

bool InstanceLock::Acquire(const std::string& appDirectory) {
  Release();
  // The system drops the mutex when the process ends however it ends, so a crash leaves nothing stale.
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, objectName(appDirectory, L"running").c_str());
  if (!mutex) return true;
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    ::CloseHandle(mutex);
    return false;
  }
  lock_ = reinterpret_cast<intptr_t>(mutex);
  HANDLE event = ::CreateEventW(nullptr, FALSE, FALSE, objectName(appDirectory, L"raise").c_str());
  if (event) knock_ = reinterpret_cast<intptr_t>(event);
  return true;
}

bool InstanceLock::RaiseRequested() {
  return knock_ != -1 && ::WaitForSingleObject(handle(knock_), 0) == WAIT_OBJECT_0;
}

void InstanceLock::Release() {
  if (knock_ != -1) ::CloseHandle(handle(knock_));
  if (lock_ != -1) ::CloseHandle(handle(lock_));
  knock_ = lock_ = -1;
}

bool AskRunningCopyToRaise(const std::string& appDirectory) {
  HANDLE event = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, objectName(appDirectory, L"raise").c_str());
  if (!event) return false;
  // We were just started by the user and may take the foreground; the running copy may take it
  // from us, or Windows would only flash its button on the task bar.
  ::AllowSetForegroundWindow(ASFW_ANY);
  const bool sent = ::SetEvent(event) != 0;
  ::CloseHandle(event);
  return sent;
}

}  // namespace desktop
