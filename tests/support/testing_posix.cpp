// testing_posix.cpp -- the test helpers that start processes or make folders, on POSIX.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/testing.h"

namespace testing_support {

const bool kCrossBuilt = false;

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelvo-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  path_ = pattern;
}

static std::string quote(const std::string& word) {
  std::string out = "'";
  for (char c : word) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

int RunCommand(const std::vector<std::string>& words, const std::string& out, const std::string& err) {
  std::string command;
  for (const auto& word : words) command += quote(word) + " ";
  const int status = std::system((command + ">" + quote(out) + " 2>" + quote(err) + " </dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The folders are the parent's: a forked child leaves them alone.
void LeaveFreshProcess(int code) { _exit(code); }

std::vector<NotRegularFile> NotRegularFiles() {
  namespace fs = std::filesystem;
  return {
      {"a folder", [](const std::string& path) { fs::create_directory(path); }},
      {"a device", [](const std::string& path) { fs::create_symlink("/dev/zero", path); }},
      {"a FIFO", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }},
      {"a broken link", [](const std::string& path) { fs::create_symlink(path + ".gone", path); }},
  };
}

}  // namespace testing_support
