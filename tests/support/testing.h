// testing.h -- helpers for the test suites: temporary folders, files, zelvo-sim runs, fresh processes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// Built for another system than the build machine's (Windows, run by Wine): its programs cannot start.
extern const bool kCrossBuilt;

// A new empty folder under the system's temporary folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);  // whole file, empty when missing
bool FileExists(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// Copy the seven data files of a packed world; returns the first missing file's name (empty when none).
std::string CopyDataFiles(const std::string& from, const std::string& to);

// Split log.txt into its lines (without the line feeds).
std::vector<std::string> LogLines(const std::string& logText);

struct SimResult {
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Run a program with no standard input (a script text is written to a file passed as --script).
SimResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& script = "");
SimResult RunSim(const std::vector<std::string>& args, const std::string& script = "");

// Where zelvo-sim --world packs sources from now on (the cache folder the system names by its environment).
void UseCacheFolder(const std::string& dir);

// A PNG's pixels as 8-bit RGB, row by row; empty when it cannot be read.
std::vector<uint8_t> ReadPngRgb(const std::string& path, int* width = nullptr, int* height = nullptr);

// Run body in a child process, from the program's pristine state; true when the child ended normally
// and its expectations held. GoogleTest's death tests make the child: a fork, or on Windows the test
// program started again on this test, which makes again what the test made before the call (in
// folders of its own) and runs only this body. So a body checks what it does itself.
bool RunFresh(const std::function<void()>& body);
// Run a program's words with no standard input and its output in these files; its exit code, -1 when
// it did not end by itself (testing_posix/_windows.cpp).
int RunCommand(const std::vector<std::string>& words, const std::string& out, const std::string& err);
// How a fresh process ends, with this exit code, when its body has run (testing_posix/_windows.cpp).
[[noreturn]] void LeaveFreshProcess(int code);

// Ways to put what is no regular file under a file's name (a folder, a device, a FIFO, a broken link).
struct NotRegularFile {
  const char* name;
  std::function<void(const std::string& path)> make;
};
std::vector<NotRegularFile> NotRegularFiles();

}  // namespace testing_support
