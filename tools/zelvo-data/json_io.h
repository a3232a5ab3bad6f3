// json_io.h -- reading JSON sources field by field with exact errors, and writing JSON for people.
#pragma once

#include <nlohmann/json.hpp>

#include <filesystem>
#include <limits>
#include <optional>
#include <set>
#include <string>

#include "report.h"

namespace zdata {

using json = nlohmann::ordered_json;

// A JSON file with comments allowed; on failure the report says why, naming `shown`.
std::optional<json> parseFile(const std::filesystem::path& path, const std::string& shown, Report& report);

// One JSON object being read: every field taken is remembered, so unknown ones can be reported.
class Fields {
 public:
  Fields(const json& j, JsonPlace place, Report& report);
  bool valid() const { return valid_; }
  Report& report() const { return report_; }
  const JsonPlace& place() const { return place_; }
  JsonPlace at(const std::string& key) const { return place_.key(key); }
  bool has(const std::string& key) const { return valid_ && j_.contains(key); }
  const json* get(const std::string& key);
  const json* require(const std::string& key);
  // Unknown fields are typing mistakes; "comment" and fields starting with "_" are notes for people.
  void finish();

 private:
  const json& j_;
  JsonPlace place_;
  Report& report_;
  bool valid_ = true;
  std::set<std::string> used_;
};

bool wholeNumber(const json& v, const JsonPlace& place, uint64_t max, uint64_t& out, Report& report);

template <class T>
bool number(Fields& f, const std::string& key, T& out, bool required, T fallback = 0,
            uint64_t max = std::numeric_limits<T>::max()) {
  const json* v = required ? f.require(key) : f.get(key);
  if (!v) {
    out = fallback;
    return !required;
  }
  uint64_t value = 0;
  if (!wholeNumber(*v, f.at(key), max, value, f.report())) return false;
  out = static_cast<T>(value);
  return true;
}

bool string(Fields& f, const std::string& key, std::string& out, bool required);

// One short object or list a line; longer ones open up, a member a line. Ends without a line feed.
std::string prettyJson(const json& j, std::size_t indent = 0);

}  // namespace zdata
