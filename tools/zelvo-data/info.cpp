// info.cpp -- the info command: counts, ids and sizes of everything in a data set.
#include <nlohmann/json.hpp>

#include <iomanip>
#include <ostream>
#include <sstream>

#include "codec.h"
#include "commands.h"
#include "text.h"

namespace zdata {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

namespace {

json describe(const LoadedSet& set) {
  const DataSet& d = set.records;
  json j;
  j["files"] = json::array();
  for (const auto& f : set.files) {
    j["files"].push_back({{"name", f.name}, {"present", f.present}, {"loads", f.loads}, {"bytes", f.size}, {"count", f.count}});
  }
  j["music"] = {{"title", !d.titleMusic.empty()}, {"game", !d.gameMusic.empty()}};
  j["images"] = json::array();
  for (const auto& im : d.images) {
    j["images"].push_back({{"id", im.id}, {"width", im.width}, {"height", im.height}, {"saveUnder", im.saveUnder},
                           {"bytes", im.data.size()}});
  }
  j["fonts"] = json::array();
  for (const auto& f : d.fonts) {
    j["fonts"].push_back({{"id", f.id}, {"glyphWidth", f.glyphWidth}, {"glyphHeight", f.glyphHeight}, {"bytes", f.sheet.size()}});
  }
  j["sprites"] = json::array();
  for (const auto& s : d.sprites) {
    j["sprites"].push_back({{"id", s.id}, {"kind", s.kind}, {"frames", s.frameCount}, {"width", s.width},
                            {"height", s.height}, {"bytes", s.frameData.size()}});
  }
  j["screens"] = json::array();
  for (const auto& s : tableView(d).screens) {
    std::size_t objects = 0, events = 0;
    while (objects < layout::map::kObjectCount && s.objects[objects].spriteId) ++objects;
    while (events < layout::map::kEventCount && s.events[events].eventId) ++events;
    j["screens"].push_back({{"number", s.screenNumber}, {"objects", objects}, {"events", events}});
  }
  j["events"] = json::array();
  for (const auto& e : d.events) {
    j["events"].push_back({{"id", e.id}, {"trigger", e.trigger}, {"armState", e.armState}, {"actions", e.actions.size()}});
  }
  j["artifacts"] = json::array();
  for (const auto& a : d.artifacts) {
    j["artifacts"].push_back({{"id", a.id}, {"name", latin1ToUtf8(fieldText(fieldBytes(a.name), sizeof a.name))}, {"screen", a.screenNumber}, {"state", a.state}});
  }
  j["dialogs"] = json::array();
  for (const auto& dl : d.dialogs) {
    j["dialogs"].push_back({{"id", dl.id}, {"length", fieldText(fieldBytes(dl.text), sizeof dl.text).size()}});
  }
  return j;
}

template <std::size_t N>
std::string name(const char* const (&names)[N], unsigned value) {
  const char* n = nameOf(names, value);
  return n ? n : std::to_string(value);
}

void text(const json& j, std::ostream& out) {
  for (const auto& f : j["files"]) {
    out << std::left << std::setw(12) << f["name"].get<std::string>();
    if (!f["present"].get<bool>()) {
      out << " missing\n";
      continue;
    }
    out << std::right << std::setw(9) << f["bytes"].get<uint64_t>() << " bytes, count " << f["count"].get<uint32_t>()
        << (f["loads"].get<bool>() ? "" : "  (does not load)") << "\n";
  }
  out << "music: title " << (j["music"]["title"].get<bool>() ? "yes" : "no") << ", game "
      << (j["music"]["game"].get<bool>() ? "yes" : "no") << "\n";
  out << "\nimages (" << j["images"].size() << "):\n";
  for (const auto& i : j["images"]) {
    out << "  " << std::setw(6) << i["id"].get<uint32_t>() << "  " << i["width"].get<int>() << "x" << i["height"].get<int>()
        << (i["saveUnder"].get<int>() == 1 ? ", save buffer" : "") << ", " << i["bytes"].get<std::size_t>() << " bytes\n";
  }
  out << "\nfonts (" << j["fonts"].size() << "):\n";
  for (const auto& f : j["fonts"]) {
    out << "  " << std::setw(6) << f["id"].get<uint32_t>() << "  cell " << f["glyphWidth"].get<int>() << "x"
        << f["glyphHeight"].get<int>() << ", " << f["bytes"].get<std::size_t>() << " bytes\n";
  }
  out << "\nsprites (" << j["sprites"].size() << "):\n";
  for (const auto& s : j["sprites"]) {
    out << "  " << std::setw(6) << s["id"].get<uint32_t>() << "  " << name(kKindNames, s["kind"].get<unsigned>()) << ", "
        << s["frames"].get<int>() << " frame(s) of " << s["width"].get<int>() << "x" << s["height"].get<int>() << ", "
        << s["bytes"].get<std::size_t>() << " bytes\n";
  }
  out << "\nscreens (" << j["screens"].size() << "):\n";
  for (const auto& s : j["screens"]) {
    out << "  " << std::setw(6) << s["number"].get<uint32_t>() << "  " << s["objects"].get<std::size_t>() << " objects, "
        << s["events"].get<std::size_t>() << " events\n";
  }
  out << "\nevents (" << j["events"].size() << "):\n";
  for (const auto& e : j["events"]) {
    int arm = e["armState"].get<int>();
    out << "  " << std::setw(6) << e["id"].get<uint32_t>() << "  " << name(kTriggerNames, e["trigger"].get<unsigned>())
        << (arm == Armed ? ", armed" : arm == Disarmed ? ", disarmed" : ", arm state " + std::to_string(arm)) << ", "
        << e["actions"].get<std::size_t>() << " actions\n";
  }
  out << "\nartifacts (" << j["artifacts"].size() << "):\n";
  for (const auto& a : j["artifacts"]) {
    out << "  " << std::setw(6) << a["id"].get<uint32_t>() << "  \"" << a["name"].get<std::string>() << "\", "
        << name(kStateNames, a["state"].get<unsigned>()) << ", screen " << a["screen"].get<int>() << "\n";
  }
  out << "\ndialogs (" << j["dialogs"].size() << "):\n";
  for (const auto& d : j["dialogs"]) {
    out << "  " << std::setw(6) << d["id"].get<uint32_t>() << "  " << d["length"].get<std::size_t>() << " characters\n";
  }
}

}  // namespace

int infoCommand(const fs::path& dir, const ReportOptions& options, Streams io) {
  Report report;
  LoadedSet set = loadDataSet(dir, report);
  json j = describe(set);
  if (options.json) {
    io.out << j.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
  } else {
    text(j, io.out);
  }
  for (const auto& d : report.diagnostics()) io.err << formatDiagnostic(d) << "\n";
  return set.allLoad() ? 0 : 1;
}

}  // namespace zdata
