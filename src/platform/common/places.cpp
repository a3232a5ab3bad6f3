// places.cpp -- where the game's files really are: a portable copy keeps them beside itself, an
// installed game reads its world from the shared folder and writes into the user's own.
#include "platform/common/places.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/common/process.h"

namespace fs = std::filesystem;

namespace {

// Where the folders of the running device are, without a trailing separator; user empty: one folder.
struct Kept {
  std::string app;
  std::string user;
} kept;

bool isSeparator(char c) { return c == '/' || c == '\\'; }

std::string withoutSeparator(std::string folder) {
  while (folder.size() > 1 && isSeparator(folder.back())) folder.pop_back();
  return folder;
}

// The name of a file right in the app directory, or empty for any other path.
std::string nameInApp(const std::string& path) {
  if (kept.user.empty() || path.size() <= kept.app.size() + 1 || path.compare(0, kept.app.size(), kept.app) != 0 ||
      !isSeparator(path[kept.app.size()]))
    return {};
  const std::string name = path.substr(kept.app.size() + 1);
  for (char c : name)
    if (isSeparator(c)) return {};
  return name;
}

bool holdsWorld(const fs::path& folder) {
  std::error_code error;
  return fs::is_regular_file(folder / "map.dat", error);
}

// Whether a file can be made in folder: tried for real, as rights, read-only mounts and Windows'
// folder permissions all have their say.
bool canWrite(const fs::path& folder) {
  const fs::path probe = folder / (".zelvo-write-check-" + std::to_string(ProcessId()));
  std::FILE* file = OpenUtf8(PathToUtf8(probe), "wb");
  if (!file) return false;
  std::fclose(file);
  std::error_code error;
  fs::remove(probe, error);
  return true;
}

}  // namespace

std::string PlacesUserFolder(std::string* problem) {
  const std::string home = ProcessUserDataHome();
  if (home.empty()) {
    *problem = "no folder for the user's files: neither XDG_DATA_HOME nor HOME is set";
    return {};
  }
  const fs::path folder = PathFromUtf8(home) / "zelvo";
  std::error_code error;
  fs::create_directories(folder, error);
  if (error || !fs::is_directory(folder, error)) {
    *problem = "cannot make the folder " + PathToUtf8(folder) + " for the user's files";
    return {};
  }
  return PathToUtf8(folder.lexically_normal());
}

bool PlacesChoose(const std::string& programFolder, const std::string& appDir, Places* places, std::string* problem) {
  std::error_code error;
  fs::path world = PathFromUtf8(programFolder);
  bool installed = false;
  if (!appDir.empty()) {
    world = fs::absolute(PathFromUtf8(appDir), error);
    if (error || !fs::is_directory(world, error)) {
      *problem = "--app-dir " + appDir + " is not a folder";
      return false;
    }
  } else if (!holdsWorld(world) && holdsWorld(world / ".." / "share" / "games" / "zelvo")) {
    world = world / ".." / "share" / "games" / "zelvo";
    installed = true;
  }
  places->world = PathToUtf8(world.lexically_normal());
  places->user.clear();
  if (!installed && canWrite(world)) return true;
  // Without a folder of its own the game still plays; it only cannot keep what it writes.
  places->user = PlacesUserFolder(&places->warning);
  return true;
}

void FilesKeepUserFiles(const std::string& appDirectory, const std::string& userDirectory) {
  kept.app = withoutSeparator(appDirectory);
  kept.user = userDirectory.empty() ? std::string() : withoutSeparator(userDirectory);
}

std::string FilesWhere(const std::string& path, bool writing) {
  const std::string name = nameInApp(path);
  if (name.empty()) return path;
  const std::string own = kept.user + path[kept.app.size()] + name;
  if (writing) return own;
  std::error_code error;
  return fs::exists(PathFromUtf8(own), error) ? own : path;
}

void FilesCreated(FileHandle file, const std::string& path) {
  if (!file || nameInApp(path) != "log.txt") return;
  const std::string lines = "Zelvo " ZELVO_VERSION "\nWorld: " + kept.app + "\nYour files: " + kept.user + "\n";
  uint32_t done = 0;
  FileWrite(file, lines.data(), static_cast<uint32_t>(lines.size()), &done);
}
