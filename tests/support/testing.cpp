// testing.cpp -- helpers for the test suites (testing_posix.cpp and testing_windows.cpp start processes).
#include "support/testing.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace testing_support {

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

std::string CopyDataFiles(const std::string& from, const std::string& to) {
  for (const char* name :
       {"map.dat", "images.dat", "fonts.dat", "sprites.dat", "art.dat", "dialogs.dat", "events.dat"}) {
    std::error_code error;
    if (!std::filesystem::copy_file(std::filesystem::path(from) / name, std::filesystem::path(to) / name, error))
      return name;
  }
  return "";
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

std::vector<std::string> LogLines(const std::string& logText) {
  std::vector<std::string> lines;
  std::istringstream in(logText);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

namespace {

// The current test's failures so far. Those after the first reportFrom are written to standard
// error, where a death test's parent shows what its child said: the child's own reports are silenced.
int failures(int reportFrom = INT_MAX) {
  const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result.total_part_count(); ++i) {
    const ::testing::TestPartResult& part = result.GetTestPartResult(i);
    if (part.failed() && failed++ >= reportFrom)
      std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "?", part.line_number(),
                   part.message());
  }
  return failed;
}

}  // namespace

bool RunFresh(const std::function<void()>& body) {
  const int before = failures();
  EXPECT_EXIT(
      {
        body();
        std::fflush(nullptr);
        LeaveFreshProcess(failures(before) > before ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  return failures() == before;
}

SimResult RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& script) {
  TempDir scratch;
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  if (!script.empty()) {
    WriteFile(scratch.file("script.txt"), script);
    words.insert(words.end(), {"--script", scratch.file("script.txt")});
  }
  SimResult result{RunCommand(words, scratch.file("out.txt"), scratch.file("err.txt")),
                   ReadFile(scratch.file("out.txt")), ReadFile(scratch.file("err.txt"))};
  // Text written to the console on Windows ends its lines with CR LF; the tests read them as LF.
  if (kCrossBuilt)
    for (std::string* text : {&result.out, &result.err}) std::erase(*text, '\r');
  return result;
}

void UseCacheFolder(const std::string& dir) {
#ifdef _WIN32
  _putenv_s("LOCALAPPDATA", dir.c_str());
#else
  setenv("XDG_CACHE_HOME", dir.c_str(), 1);
#endif
}

SimResult RunSim(const std::vector<std::string>& args, const std::string& script) {
  return RunProgram(ZELVO_SIM_PATH, args, script);
}

std::vector<uint8_t> ReadPngRgb(const std::string& path, int* width, int* height) {
  int w = 0, h = 0, channels = 0;
  uint8_t* rgb = stbi_load(path.c_str(), &w, &h, &channels, 3);
  if (!rgb) return {};
  std::vector<uint8_t> pixels(rgb, rgb + static_cast<size_t>(w) * h * 3);
  stbi_image_free(rgb);
  if (width) *width = w;
  if (height) *height = h;
  return pixels;
}

}  // namespace testing_support
