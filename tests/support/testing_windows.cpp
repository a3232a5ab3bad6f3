// testing_windows.cpp -- the test helpers that start processes or make folders, on Windows.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "platform/common/utf8.h"
#include "support/testing.h"

namespace testing_support {

const bool kCrossBuilt = true;

namespace {

// What this process knows of the test running now: the folders it made, the fresh runs it asked
// for. A fresh child learns its parent's from the environment.
struct FreshState {
  std::string test;                   // the test these belong to
  std::vector<std::string> folders;   // TempDirs made so far, in order
  int calls = 0;                      // RunFresh calls so far
  int childCall = 0;                  // in a fresh child: the call whose body it runs
  std::vector<std::string> borrowed;  // in a fresh child: the parent's folders, in order
  bool reached = false;               // in a fresh child: its body has run
  std::unique_ptr<::testing::ScopedFakeTestPartResultReporter> quiet;
  ::testing::TestPartResultArray swallowed;
} fresh;

std::string currentTest() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return info ? std::string(info->test_suite_name()) + "." + info->name() : std::string();
}

// The state belongs to one test: another test starts it anew.
FreshState& state() {
  const std::string test = currentTest();
  if (fresh.test != test) {
    fresh.test = test;
    fresh.folders.clear();
    fresh.calls = 0;
  }
  return fresh;
}

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// A fresh child replays its test up to its own call without reporting what fails on the way (the
// bodies it skips did not leave the state the checks in between expect), then reports its body.
class FreshChild : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    fresh.quiet = std::make_unique<::testing::ScopedFakeTestPartResultReporter>(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &fresh.swallowed);
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    if (fresh.reached) return;
    std::fprintf(stderr, "fresh process: the test ended before RunFresh call %d\n", fresh.childCall);
    std::fflush(nullptr);
    std::_Exit(3);
  }
};

const bool kChildSetUp = [] {
  fresh.childCall = std::atoi(environment("ZELVO_FRESH_CALL").c_str());
  if (fresh.childCall <= 0) return false;
  const std::string folders = environment("ZELVO_FRESH_FOLDERS");
  for (size_t at = 0; at < folders.size();) {
    const size_t end = folders.find('|', at);
    fresh.borrowed.push_back(folders.substr(at, end - at));
    at = end == std::string::npos ? folders.size() : end + 1;
  }
  ::testing::UnitTest::GetInstance()->listeners().Append(new FreshChild);
  return true;
}();

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

// Run a command line through the command interpreter, which waits for it; its exit code. The
// program inherits our environment and whichever standard handles the line does not redirect.
int shell(const std::wstring& commandLine) {
  std::fflush(nullptr);
  // cmd /c takes off the outer quotes and leaves the quoted words and redirections inside as they are.
  return _wsystem((L"\"" + commandLine + L"\"").c_str());
}

}  // namespace

TempDir::TempDir() {
  FreshState& now = state();
  if (now.folders.size() < fresh.borrowed.size()) {
    // The parent's folder, unless the parent was done with it already (a scratch folder).
    path_ = fresh.borrowed[now.folders.size()];
    owned_ = ::CreateDirectoryW(utf8::Widen(path_).c_str(), nullptr) != 0;
  }
  const std::wstring base = (std::filesystem::temp_directory_path() / L"zelvo-test-").wstring() +
                            std::to_wstring(::GetCurrentProcessId()) + L"-";
  for (unsigned attempt = 0; path_.empty(); ++attempt) {
    const std::wstring name = base + std::to_wstring(attempt);
    if (::CreateDirectoryW(name.c_str(), nullptr)) path_ = utf8::Narrow(name);
    if (path_.empty() && ::GetLastError() != ERROR_ALREADY_EXISTS) std::abort();
  }
  now.folders.push_back(path_);
}

SimResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& script) {
  TempDir scratch;
  std::wstring command = quote(program);
  for (const auto& arg : args) command += L" " + quote(arg);
  if (!script.empty()) {
    WriteFile(scratch.file("script.txt"), script);
    command += L" --script " + quote(scratch.file("script.txt"));
  }
  SimResult result;
  result.exitCode = shell(command + L" >" + quote(scratch.file("out.txt")) + L" 2>" + quote(scratch.file("err.txt")) +
                          L" <NUL");
  // Text written to the console ends its lines with CR LF here; the tests read them as LF.
  std::erase(result.out = ReadFile(scratch.file("out.txt")), '\r');
  std::erase(result.err = ReadFile(scratch.file("err.txt")), '\r');
  return result;
}

bool RunFresh(const std::function<void()>& body) {
  FreshState& now = state();
  const int call = ++now.calls;
  if (fresh.childCall > 0) {
    if (call != fresh.childCall) return true;
    // From here on this process reports as the test itself would.
    fresh.quiet.reset();
    fresh.reached = true;
    body();
    std::fflush(nullptr);
    std::_Exit(::testing::Test::HasFailure() ? 1 : 0);
  }
  wchar_t self[MAX_PATH * 4];
  const DWORD length = ::GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return false;
  std::string folders;
  for (const auto& folder : now.folders) folders += (folders.empty() ? "" : "|") + folder;
  // The child learns its call and our folders from variables it inherits, and writes where we do.
  ::_wputenv_s(L"ZELVO_FRESH_CALL", std::to_wstring(call).c_str());
  ::_wputenv_s(L"ZELVO_FRESH_FOLDERS", utf8::Widen(folders).c_str());
  const int code =
      shell(quote(utf8::Narrow(self)) + L" " + quote("--gtest_filter=" + now.test) + L" --gtest_brief=1 <NUL");
  for (const wchar_t* name : {L"ZELVO_FRESH_CALL", L"ZELVO_FRESH_FOLDERS"}) ::_wputenv_s(name, L"");
  return code == 0;
}

// Windows keeps devices out of folders and makes links only with a privilege: a folder is what
// every user can put under a file's name.
std::vector<NotRegularFile> NotRegularFiles() {
  return {{"a folder",
           [](const std::string& path) { ASSERT_TRUE(::CreateDirectoryW(utf8::Widen(path).c_str(), nullptr)); }}};
}

}  // namespace testing_support
