// world.cpp -- sources packed into a cache folder when they changed, and screens named by map or number.
#include "world.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "codec.h"
#include "json_io.h"
#include "sources.h"
#include "tiled.h"

namespace zdata {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStampFile = ".sources-stamp";

uint64_t fnv1a(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

std::string hex(uint64_t value) {
  std::ostringstream out;
  out << std::hex << value;
  return out.str();
}

fs::path sourcesFolder(const fs::path& world) {
  std::error_code ec;
  return fs::is_regular_file(world, ec) ? world.parent_path() : world;
}

fs::path cacheRoot() {
#ifdef _WIN32
  if (const char* local = std::getenv("LOCALAPPDATA")) return fs::path(local) / "zelvo" / "worlds";
#else
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg) return fs::path(xdg) / "zelvo" / "worlds";
  if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".cache" / "zelvo" / "worlds";
#endif
  return fs::temp_directory_path() / "zelvo-worlds";
}

// One folder per manifest, named after it so that people can find it.
fs::path cacheFolder(const fs::path& world) {
  std::error_code ec;
  const fs::path full = fs::weakly_canonical(fs::absolute(world, ec), ec);
  std::string name = sourcesFolder(full).filename().string();
  if (name.empty()) name = "world";
  return cacheRoot() / (name + "-" + hex(fnv1a(full.generic_string())));
}

std::string readText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::string sourcesStamp(const fs::path& world) {
  const fs::path folder = sourcesFolder(world);
  std::vector<std::string> lines;
  std::error_code ec;
  auto it = fs::recursive_directory_iterator(folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (!name.empty() && name[0] == '.') {  // editors' and version control's own files
      if (it->is_directory(ec)) it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file(ec)) continue;
    const auto size = it->file_size(ec);
    const auto time = it->last_write_time(ec).time_since_epoch().count();
    lines.push_back(fs::proximate(it->path(), folder, ec).generic_string() + " " + std::to_string(size) + " " +
                    std::to_string(time));
  }
  std::sort(lines.begin(), lines.end());
  std::string all;
  for (const auto& line : lines) all += line + "\n";
  return hex(fnv1a(all)) + " " + std::to_string(lines.size()) + " files\n";
}

bool isSources(const fs::path& world) {
  std::error_code ec;
  return fs::is_regular_file(world, ec) || fs::exists(world / kManifestName, ec);
}

int prepareWorld(const fs::path& world, PreparedWorld& prepared, Streams io) {
  std::error_code ec;
  prepared.fromSources = isSources(world);
  if (!prepared.fromSources) {
    if (!fs::exists(world / layout::kMapFile, ec)) {
      io.err << "error: " << world.string() << ": holds neither " << kManifestName << " nor " << layout::kMapFile
             << " (give a world's sources or a data folder)\n";
      return 2;
    }
    prepared.dataDir = world;
    return 0;
  }
  prepared.dataDir = cacheFolder(world);
  prepared.stamp = sourcesStamp(world);
  const fs::path stamp = prepared.dataDir / kStampFile;
  if (readText(stamp) == prepared.stamp && fs::exists(prepared.dataDir / layout::kMapFile, ec)) return 0;
  if (packCommand(world, prepared.dataDir, PackOptions{true}, io) != 0) return 1;
  const fs::path temp = prepared.dataDir / (std::string(kStampFile) + ".new");
  std::ofstream(temp, std::ios::binary) << prepared.stamp;
  fs::rename(temp, stamp, ec);
  return 0;
}

uint32_t screenOfWord(const std::string& word, std::string* problem) {
  if (!word.empty() && word.size() <= 3 && std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    const uint32_t n = static_cast<uint32_t>(std::stoul(word));
    if (n >= 1 && n <= 100) return n;
  }
  std::error_code ec;
  const fs::path map(word);
  if (!fs::is_regular_file(map, ec)) {
    *problem = word + " is neither a screen number 1..100 nor a map file";
    return 0;
  }
  const fs::path folder = map.parent_path().empty() ? fs::path(".") : map.parent_path();
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().extension() != ".world") continue;
    Report ignored;
    const auto doc = parseFile(it->path(), it->path().filename().string(), ignored);
    if (!doc || !doc->is_object() || !doc->contains("maps") || !(*doc)["maps"].is_array()) continue;
    for (const json& m : (*doc)["maps"]) {
      if (!m.is_object() || !m.value("fileName", json()).is_string()) continue;
      if (!fs::equivalent(folder / m["fileName"].get<std::string>(), map, ec)) continue;
      auto place = [&](const char* key) {
        const json& v = m.contains(key) ? m[key] : json();
        return v.is_number_integer() ? v.get<int64_t>() : -1;
      };
      const int64_t x = place("x"), y = place("y");
      if (x < 0 || y < 0 || x % kScreenWidth || y % kScreenHeight || x / kScreenWidth > 9 || y / kScreenHeight > 9) {
        *problem = word + " lies off the 10 x 10 grid of " + it->path().filename().string();
        return 0;
      }
      return static_cast<uint32_t>(x / kScreenWidth * 10 + y / kScreenHeight + 1);
    }
  }
  *problem = word + ": no Tiled world (.world) beside it places this map";
  return 0;
}

bool dataHasScreen(const fs::path& dataDir, uint32_t screen) {
  Report ignored;
  const LoadedSet set = loadDataSet(dataDir, ignored);
  return std::any_of(set.records.screens.begin(), set.records.screens.end(),
                     [&](const ScreenRecord& s) { return s.screenNumber == screen; });
}

}  // namespace zdata
