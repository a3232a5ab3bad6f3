// userfiles.cpp -- the desktop device's own files: the player's keys (keys.txt) and the view chosen last (view.txt).
#include <cstdio>
#include <filesystem>

#include "platform/common/process.h"
#include "platform/files.h"
#include "platform/sdl/internal.h"

namespace desktop {

namespace {

constexpr const char* kKeysFile = "keys.txt";
constexpr const char* kViewFile = "view.txt";
constexpr long kLargestFile = 64 * 1024;  // far more than any list of keys needs

std::string inFolder(const std::string& folder, const char* name) { return PathToUtf8(PathFromUtf8(folder) / name); }

// A small text file whole. False when it is not there; *problem says why one there cannot be read.
bool readSmallFile(const std::string& path, std::string* text, std::string* problem) {
  std::error_code error;
  if (!std::filesystem::exists(PathFromUtf8(path), error)) return false;
  if (!std::filesystem::is_regular_file(PathFromUtf8(path), error)) {
    *problem = "it is not a file";
    return true;
  }
  std::FILE* file = OpenUtf8(path, "rb");
  if (!file) {
    *problem = "it cannot be opened";
    return true;
  }
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text->size() <= kLargestFile;)
    text->append(buffer, n);
  if (std::ferror(file)) *problem = "it cannot be read";
  if (text->size() > kLargestFile) *problem = "it is larger than 64 KiB";
  std::fclose(file);
  return true;
}

}  // namespace

KeySets LoadKeySets() {
  for (const std::string& folder : {UserFolder(), device.options.appDirectory}) {
    const std::string path = inFolder(folder, kKeysFile);
    std::string text, problem;
    if (!readSmallFile(path, &text, &problem)) continue;
    std::vector<std::string> errors;
    if (!problem.empty()) errors.push_back(path + ": " + problem);
    KeySets sets = problem.empty() ? ReadKeySets(text, path, &errors) : DefaultKeySets();
    for (const std::string& error : errors) Report(error);
    Report(errors.empty() ? "Keys from " + path : std::string("Default keys: ") + kKeysFile + " has errors");
    return sets;
  }
  return DefaultKeySets();
}

bool RememberedGameView() {
  std::string text, problem;
  if (!readSmallFile(inFolder(UserFolder(), kViewFile), &text, &problem)) return false;
  return problem.empty() && text.rfind("game", 0) == 0;
}

// Written to a new file first, which then takes the old one's place in one step.
void RememberView(bool gameView) {
  const std::string path = inFolder(UserFolder(), kViewFile), fresh = path + ".new";
  const std::string text = gameView ? "game\n" : "screen\n";
  FileHandle file = FileCreate(fresh, false);
  uint32_t done = 0;
  const bool written =
      file && FileWrite(file, text.data(), static_cast<uint32_t>(text.size()), &done) && FileFlush(file);
  FileClose(file);
  if (!written || !FileReplace(fresh, path)) {
    FileDelete(fresh);
    Report("The view is not remembered: " + path + " cannot be written");
  }
}

}  // namespace desktop
