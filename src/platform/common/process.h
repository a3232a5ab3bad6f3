// process.h -- what the hosts and tools ask of the system about their own process, and paths in UTF-8.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

// The command line as UTF-8 words, argv[0] first (Windows hands main() its own code page instead).
std::vector<std::string> ProcessArguments(int argc, char** argv);

// The running program's file, whole and absolute, even when we were started through a link or by
// a relative name; argv0 is the fallback.
std::string ProcessProgramPath(const char* argv0);

// Where programs keep their users' files: $XDG_DATA_HOME, else $HOME/.local/share (%APPDATA% on
// Windows); empty when the environment names none.
std::string ProcessUserDataHome();

// This process's number, to name temporary files no other process writes.
unsigned long ProcessId();

// Bytes of memory the system could give us now.
uint64_t SystemAvailableMemory();

// Bytes of the heap our allocations hold now.
size_t ProcessHeapBytesInUse();

// std::fopen of a UTF-8 path (Windows' own fopen reads the system's code page).
std::FILE* OpenUtf8(const std::string& path, const char* mode);

// Paths are UTF-8 strings in the program; std::filesystem reads plain strings in the system's own
// code page on Windows, so they cross over as UTF-8 explicitly (the same bytes on POSIX).
inline std::filesystem::path PathFromUtf8(const std::string& text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
inline std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

// main()'s argv rebuilt from ProcessArguments, for parsers that want argc and argv.
class Utf8Argv {
 public:
  Utf8Argv(int argc, char** argv) : words_(ProcessArguments(argc, argv)) {
    for (auto& word : words_) pointers_.push_back(word.data());
    pointers_.push_back(nullptr);
  }
  int argc() const { return static_cast<int>(words_.size()); }
  char** argv() { return pointers_.data(); }

 private:
  std::vector<std::string> words_;
  std::vector<char*> pointers_;
};
