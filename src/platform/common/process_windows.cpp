// process_windows.cpp -- process.h on Windows: the wide command line and module name, as UTF-8.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>

#include "platform/common/process.h"
#include "platform/common/utf8.h"

std::vector<std::string> ProcessArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!words) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(utf8::Narrow(words[i]));
  ::LocalFree(words);
  return arguments;
}

std::string ProcessProgramPath(const char*) {
  // Long paths are allowed for: grow the buffer until the whole name fits.
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return utf8::Narrow(name);
    }
    name.resize(name.size() * 2);
  }
}

std::string ProcessUserDataHome() {
  const wchar_t* data = ::_wgetenv(L"APPDATA");
  return data ? utf8::Narrow(data) : std::string();
}

unsigned long ProcessId() { return ::GetCurrentProcessId(); }

uint64_t SystemAvailableMemory() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  return ::GlobalMemoryStatusEx(&status) ? status.ullAvailPhys : 0;
}

// The C runtime's malloc takes from the process heap: add up its busy blocks.
size_t ProcessHeapBytesInUse() {
  HANDLE heap = ::GetProcessHeap();
  if (!::HeapLock(heap)) return 0;
  size_t total = 0;
  PROCESS_HEAP_ENTRY entry{};
  while (::HeapWalk(heap, &entry))
    if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
  ::HeapUnlock(heap);
  return total;
}

std::FILE* OpenUtf8(const std::string& path, const char* mode) {
  return ::_wfopen(utf8::Widen(path).c_str(), utf8::Widen(mode).c_str());
}
