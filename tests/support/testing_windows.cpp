// testing_windows.cpp -- the test helpers that start processes or make folders, on Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "platform/common/utf8.h"
#include "support/testing.h"

namespace testing_support {

const bool kCrossBuilt = true;

namespace {

// One word of a command line, quoted the way CommandLineToArgvW and the C runtime read it back.
std::wstring quote(const std::string& word) {
  const std::wstring wide = utf8::Widen(word);
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : wide) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// Folders named by the process that made them, so that a fresh process finds its own at the end.
constexpr std::wstring_view kPrefix = L"zelvo-test-";
std::wstring folderBase() {
  return (std::filesystem::temp_directory_path() / kPrefix).wstring() + std::to_wstring(::GetCurrentProcessId()) + L"-";
}

// A fresh process cannot remove a folder that holds a file it left open, so the first folder a test
// program makes sweeps away those of processes that have ended.
void removeOrphans() {
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ignored)) {
    const std::wstring name = entry.path().filename().wstring();
    if (!name.starts_with(kPrefix)) continue;
    const DWORD id = std::wcstoul(name.c_str() + kPrefix.size(), nullptr, 10);
    DWORD code = 0;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    const bool running = process && ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    if (process) ::CloseHandle(process);
    if (!running) std::filesystem::remove_all(entry.path(), ignored);
  }
}

}  // namespace

TempDir::TempDir() {
  static const bool swept = (removeOrphans(), true);
  (void)swept;
  for (unsigned attempt = 0; path_.empty(); ++attempt) {
    const std::wstring name = folderBase() + std::to_wstring(attempt);
    if (::CreateDirectoryW(name.c_str(), nullptr)) path_ = utf8::Narrow(name);
    if (path_.empty() && ::GetLastError() != ERROR_ALREADY_EXISTS) std::abort();
  }
}

int RunCommand(const std::vector<std::string>& words, const std::string& out, const std::string& err) {
  std::wstring command;
  for (const auto& word : words) command += quote(word) + L" ";
  std::fflush(nullptr);
  // cmd /c takes off the outer quotes and leaves the quoted words and redirections inside as they are.
  return _wsystem((L"\"" + command + L">" + quote(out) + L" 2>" + quote(err) + L" <NUL\"").c_str());
}

// A fresh process here is the test program started again, with folders of its own: it removes them.
void LeaveFreshProcess(int code) {
  const std::wstring base = folderBase();
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::temp_directory_path(), ignored))
    if (entry.path().wstring().rfind(base, 0) == 0) std::filesystem::remove_all(entry.path(), ignored);
  std::_Exit(code);
}

// Windows keeps devices out of folders and makes links only with a privilege: a folder is what
// every user can put under a file's name.
std::vector<NotRegularFile> NotRegularFiles() {
  return {{"a folder",
           [](const std::string& path) { ASSERT_TRUE(::CreateDirectoryW(utf8::Widen(path).c_str(), nullptr)); }}};
}

}  // namespace testing_support
