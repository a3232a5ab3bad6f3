// json_io.cpp -- reading JSON sources field by field, and writing JSON for people.
#include "json_io.h"

#include <fstream>
#include <sstream>

namespace zdata {

std::optional<json> parseFile(const std::filesystem::path& path, const std::string& shown, Report& report) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    report.error(shown, "", "", "cannot be read");
    return std::nullopt;
  }
  std::stringstream text;
  text << in.rdbuf();
  try {
    return json::parse(text.str(), nullptr, true, true);
  } catch (const json::exception& e) {  // a syntax error, or a number too large for a double
    std::string what = e.what();
    auto at = what.find("] ");
    report.error(shown, "", "", at == std::string::npos ? what : what.substr(at + 2));
    return std::nullopt;
  }
}

Fields::Fields(const json& j, JsonPlace place, Report& report) : j_(j), place_(std::move(place)), report_(report) {
  if (!j.is_object()) {
    error(report_, place_, "must be an object, not " + std::string(j.type_name()));
    valid_ = false;
  }
}

const json* Fields::get(const std::string& key) {
  if (!has(key)) return nullptr;
  used_.insert(key);
  return &j_.at(key);
}

const json* Fields::require(const std::string& key) {
  const json* v = get(key);
  if (!v && valid_) error(report_, place_, "the field \"" + key + "\" is missing");
  return v;
}

void Fields::finish() {
  if (!valid_) return;
  for (const auto& item : j_.items()) {
    const std::string& key = item.key();
    if (used_.count(key) || key == "comment" || (!key.empty() && key[0] == '_')) continue;
    error(report_, place_.key(key), "unknown field");
  }
}

bool wholeNumber(const json& v, const JsonPlace& place, uint64_t max, uint64_t& out, Report& report) {
  if (v.is_number_unsigned() || (v.is_number_integer() && v.get<int64_t>() >= 0)) {
    out = v.get<uint64_t>();
    if (out <= max) return true;
    error(report, place, std::to_string(out) + " is out of range 0.." + std::to_string(max));
    return false;
  }
  if (v.is_number_integer()) {
    error(report, place, std::to_string(v.get<int64_t>()) + " is out of range 0.." + std::to_string(max));
  } else if (v.is_number()) {
    error(report, place, v.dump() + " is not a whole number");
  } else {
    error(report, place, "must be a number, not " + std::string(v.type_name()));
  }
  return false;
}

bool string(Fields& f, const std::string& key, std::string& out, bool required) {
  Report& report = f.report();
  const json* v = required ? f.require(key) : f.get(key);
  if (!v) return !required;
  if (!v->is_string()) {
    error(report, f.at(key), "must be a string, not " + std::string(v->type_name()));
    return false;
  }
  out = v->get<std::string>();
  return true;
}

namespace {

std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

std::string compact(const json& j) {
  if (j.is_object()) {
    if (j.empty()) return "{}";
    std::string out = "{ ";
    bool first = true;
    for (const auto& item : j.items()) {
      out += (first ? "" : ", ") + dump(item.key()) + ": " + compact(item.value());
      first = false;
    }
    return out + " }";
  }
  if (j.is_array()) {
    std::string out = "[";
    for (std::size_t i = 0; i < j.size(); ++i) out += (i ? ", " : "") + compact(j[i]);
    return out + "]";
  }
  return dump(j);
}

}  // namespace

std::string prettyJson(const json& j, std::size_t indent) {
  std::string line = compact(j);
  if ((!j.is_object() && !j.is_array()) || indent + line.size() <= 110 || j.empty()) return line;
  std::string pad(indent + 2, ' ');
  std::string out = j.is_object() ? "{\n" : "[\n";
  std::size_t i = 0;
  if (j.is_object()) {
    for (const auto& item : j.items()) {
      out += pad + dump(item.key()) + ": " + prettyJson(item.value(), indent + 2) + (++i < j.size() ? ",\n" : "\n");
    }
  } else {
    for (const auto& v : j) out += pad + prettyJson(v, indent + 2) + (++i < j.size() ? ",\n" : "\n");
  }
  return out + std::string(indent, ' ') + (j.is_object() ? "}" : "]");
}

}  // namespace zdata
