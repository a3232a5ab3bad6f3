// golden.cpp -- golden pictures and traces.
#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace testing_support {

namespace {

std::string goldenDir(const std::string& set) { return std::string(ZELVO_SOURCE_DIR) + "/tests/golden/" + set + "/"; }

bool updating() { return std::getenv("ZELVO_UPDATE_GOLDEN") != nullptr; }

void update(const std::string& from, const std::string& to) {
  fs::create_directories(fs::path(to).parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

}  // namespace

void ExpectGoldenPictures(const TempDir& dir, const std::vector<std::string>& shots, const std::string& set) {
  for (const std::string& shot : shots) {
    const std::string taken = dir.file(shot + ".png"), golden = goldenDir(set) + shot + ".png";
    if (updating()) update(taken, golden);
    const std::vector<uint8_t> expected = ReadPngRgb(golden);
    ASSERT_FALSE(expected.empty()) << "missing golden picture " << golden;
    if (ReadPngRgb(taken) != expected) {
      const std::string kept = (fs::temp_directory_path() / ("zelvo-" + set + "-" + shot + ".png")).string();
      fs::copy_file(taken, kept, fs::copy_options::overwrite_existing);
      ADD_FAILURE() << shot << " differs from its golden picture; the screenshot is kept at " << kept;
    }
  }
}

void ExpectGoldenTrace(const std::string& tracePath, const std::string& name) {
  const std::string golden = goldenDir("traces") + name + ".trace";
  if (updating()) update(tracePath, golden);
  const std::vector<std::string> got = split(ReadFile(tracePath), '\n'), want = split(ReadFile(golden), '\n');
  ASSERT_FALSE(want.empty()) << "missing golden trace " << golden;
  const std::vector<std::string> fields = split(want[0].substr(want[0].find(' ') + 1), ' ');
  for (size_t line = 1; line < std::max(got.size(), want.size()); ++line) {
    if (line >= got.size() || line >= want.size()) {
      ADD_FAILURE() << name << ": the trace has " << got.size() - 1 << " frames, the golden one " << want.size() - 1;
      return;
    }
    if (got[line] == want[line]) continue;
    const std::vector<std::string> a = split(got[line], ' '), b = split(want[line], ' ');
    for (size_t f = 0; f < std::max(a.size(), b.size()); ++f) {
      if (f < a.size() && f < b.size() && a[f] == b[f]) continue;
      ADD_FAILURE() << name << ": frame " << (b.empty() ? "?" : b[0]) << " (line " << line + 1
                    << "): " << (f < fields.size() ? fields[f] : "field " + std::to_string(f + 1)) << " is "
                    << (f < a.size() ? a[f] : "missing") << ", golden " << (f < b.size() ? b[f] : "missing");
      return;
    }
  }
}

}  // namespace testing_support
