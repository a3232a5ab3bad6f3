// golden.cpp -- golden pictures and texts.
#include "support/golden.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace fs = std::filesystem;

namespace testing_support {

static std::string golden(const std::string& name) { return std::string(ZELVO_SOURCE_DIR) + "/tests/golden/" + name; }

// With ZELVO_UPDATE_GOLDEN set, the golden file becomes what this run made.
static void update(const std::string& name, const std::string& bytes) {
  if (!std::getenv("ZELVO_UPDATE_GOLDEN")) return;
  fs::create_directories(fs::path(golden(name)).parent_path());
  WriteFile(golden(name), bytes);
}

void ExpectGoldenPictures(const TempDir& dir, const std::vector<std::string>& shots, const std::string& set) {
  for (const std::string& shot : shots) {
    const std::string taken = dir.file(shot + ".png"), name = set + "/" + shot + ".png";
    update(name, ReadFile(taken));
    const std::vector<uint8_t> expected = ReadPngRgb(golden(name));
    ASSERT_FALSE(expected.empty()) << "missing golden picture " << golden(name);
    if (ReadPngRgb(taken) == expected) continue;
    const std::string kept = (fs::temp_directory_path() / ("zelvo-" + set + "-" + shot + ".png")).string();
    fs::copy_file(taken, kept, fs::copy_options::overwrite_existing);
    ADD_FAILURE() << shot << " differs from its golden picture; the screenshot is kept at " << kept;
  }
}

void ExpectGoldenText(const std::string& text, const std::string& name) {
  update(name, text);
  const std::vector<std::string> got = LogLines(text), want = LogLines(ReadFile(golden(name)));
  ASSERT_FALSE(want.empty()) << "missing golden text " << golden(name);
  for (size_t line = 0; line < std::max(got.size(), want.size()); ++line) {
    if (line < got.size() && line < want.size() && got[line] == want[line]) continue;
    ADD_FAILURE() << name << " line " << line + 1 << " under \"" << want[0] << "\":\n  is     "
                  << (line < got.size() ? got[line] : "missing") << "\n  golden " << (line < want.size() ? want[line] : "missing");
    return;
  }
}

}  // namespace testing_support
