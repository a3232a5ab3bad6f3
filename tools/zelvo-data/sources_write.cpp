// sources_write.cpp -- writing records as a world's manifest, pictures and music (the unpack side).
#include <fstream>

#include "json_io.h"
#include "pixels.h"
#include "sources.h"
#include "text.h"

namespace zdata {

namespace fs = std::filesystem;

namespace {

// A number where the manifest has a name for it.
template <std::size_t N>
json nameOrNumber(const char* const (&names)[N], unsigned value) {
  const char* name = nameOf(names, value);
  return name ? json(name) : json(value);
}

void textField(json& j, const std::string& key, const uint8_t* field, std::size_t size) {
  if (fieldIsPlainText(field, size)) {
    j[key] = latin1ToUtf8(fieldText(field, size));
  } else {
    j[key + "Bytes"] = toHex(field, size);
  }
}

class SourceWriter {
 public:
  SourceWriter(const fs::path& dir, std::vector<std::string>& notes) : dir_(dir), notes_(notes) {}
  void write(const DataSet& d);

 private:
  fs::path dir_;
  std::vector<std::string>& notes_;

  std::string savePng(const std::string& folder, uint32_t id, const Picture& pic);
  json image(const Image& im);
  json font(const Font& f);
  json sprite(const Sprite& s);
  json screen(const ScreenRecord& s);
  json event(const Event& e);
  json action(const EventAction& a);
  json artifact(const Artifact& a);
  json dialog(const Dialog& d);
};

std::string SourceWriter::savePng(const std::string& folder, uint32_t id, const Picture& pic) {
  fs::create_directories(dir_ / folder);
  std::string relative = folder + "/" + std::to_string(id) + ".png";
  std::string problem;
  if (!savePicture((dir_ / relative).string(), pic, problem)) throw std::runtime_error(problem);
  return relative;
}

json SourceWriter::image(const Image& im) {
  json j;
  j["id"] = im.id;
  if (auto pic = canonicalImage(im.data, im.width, im.height)) {
    j["picture"] = savePng("images", im.id, *pic);
  } else {
    j["size"] = {im.width, im.height};
    j["data"] = toBase64(im.data);
    notes_.push_back("image " + std::to_string(im.id) + ": its run-length words are not in pack's form, or too many for a picture; kept as raw data");
  }
  if (im.saveUnder == 1) j["saveBuffer"] = true;
  if (im.saveUnder > 1) j["saveBuffer"] = im.saveUnder;
  if (im.reserved) j["reserved"] = im.reserved;
  return j;
}

json SourceWriter::font(const Font& f) {
  json j;
  j["id"] = f.id;
  j["cell"] = {f.glyphWidth, f.glyphHeight};
  if (auto pic = canonicalSheet(f.sheet, f.glyphWidth)) {
    j["sheet"] = savePng("fonts", f.id, *pic);
  } else {
    j["data"] = toBase64(f.sheet);
    notes_.push_back("font " + std::to_string(f.id) + ": its sheet is not whole pixel rows; kept as raw data");
  }
  return j;
}

json SourceWriter::sprite(const Sprite& s) {
  json j;
  j["id"] = s.id;
  j["kind"] = nameOrNumber(kKindNames, s.kind);
  if (auto frames = canonicalFrames(s.frameData, s.frameCount, s.width, s.height)) {
    j["frames"] = {{"strip", savePng("sprites", s.id, joinFrames(*frames))}, {"count", s.frameCount}};
  } else {
    j["frames"] = {{"size", {s.width, s.height}}, {"count", s.frameCount}, {"data", toBase64(s.frameData)}};
    notes_.push_back("sprite " + std::to_string(s.id) + ": its frame data are not in pack's form; kept as raw data");
  }
  if (s.animRate) j["animRate"] = s.animRate;
  if (s.motion) j["motion"] = nameOrNumber(kMotionNames, s.motion);
  if (s.moveRate) j["moveRate"] = s.moveRate;
  json reserved = json::object();
  if (!allZero(s.reservedA.data(), s.reservedA.size())) {
    if (fieldIsPlainText(s.reservedA.data(), s.reservedA.size())) {
      reserved["label"] = latin1ToUtf8(fieldText(s.reservedA.data(), s.reservedA.size()));
    } else {
      reserved["bytes4"] = toHex(s.reservedA.data(), s.reservedA.size());
    }
  }
  if (s.reservedB) reserved["byte39"] = s.reservedB;
  if (s.reservedC) reserved["byte42"] = s.reservedC;
  if (!allZero(s.reservedD.data(), s.reservedD.size())) reserved["bytes45"] = toHex(s.reservedD.data(), s.reservedD.size());
  if (!reserved.empty()) j["reserved"] = reserved;
  return j;
}

json SourceWriter::screen(const ScreenRecord& s) {
  json j;
  j["number"] = s.screenNumber;
  // Placements after the end of a list are kept too: the game keeps the whole record.
  std::size_t objects = layout::map::kObjectCount, events = layout::map::kEventCount;
  auto emptyObject = [](const ObjectPlacement& p) { return !p.spriteId && !p.x && !p.y && !p.layerOverride; };
  auto emptyEvent = [](const EventPlacement& p) { return !p.eventId && !p.x && !p.y; };
  while (objects > 0 && emptyObject(s.objects[objects - 1])) --objects;
  while (events > 0 && emptyEvent(s.events[events - 1])) --events;
  json list = json::array();
  for (std::size_t i = 0; i < objects; ++i) {
    const auto& p = s.objects[i];
    json o = {{"sprite", p.spriteId}, {"x", p.x}, {"y", p.y}};
    if (p.layerOverride) o["layer"] = p.layerOverride;
    list.push_back(o);
  }
  if (!list.empty()) j["objects"] = list;
  list = json::array();
  for (std::size_t i = 0; i < events; ++i) list.push_back({{"event", s.events[i].eventId}, {"x", s.events[i].x}, {"y", s.events[i].y}});
  if (!list.empty()) j["events"] = list;
  return j;
}

json SourceWriter::action(const EventAction& a) {
  json j;
  const char* name = nameOf(kActionNames, a.opcode);
  const char* argName = nameOf(kActionArgNames, a.opcode);
  if (name) {
    j["do"] = name;
  } else {
    j["opcode"] = a.opcode;
  }
  if (argName) {
    j[argName] = a.argument;
  } else if (a.argument) {
    j["arg"] = a.argument;
  }
  if (a.opcode == GoToScreen || a.x || a.y) {
    j["x"] = a.x;
    j["y"] = a.y;
  }
  return j;
}

json SourceWriter::event(const Event& e) {
  json j;
  j["id"] = e.id;
  j["size"] = {e.width, e.height};
  j["trigger"] = nameOrNumber(kTriggerNames, e.trigger);
  if (e.armState == Armed) {
    j["armed"] = true;
  } else if (e.armState == Disarmed) {
    j["armed"] = false;
  } else {
    j["armed"] = e.armState;
  }
  if (e.triggerParam || e.trigger == UseArtifact) j["param"] = e.triggerParam;
  if (!allZero(e.reserved, sizeof e.reserved)) j["reserved"] = toHex(e.reserved, sizeof e.reserved);
  json actions = json::array();
  for (const auto& a : e.actions) actions.push_back(action(a));
  j["actions"] = actions;
  return j;
}

json SourceWriter::artifact(const Artifact& a) {
  json j;
  j["id"] = a.id;
  textField(j, "name", fieldBytes(a.name), sizeof a.name);
  j["screen"] = a.screenNumber;
  j["x"] = a.x;
  j["y"] = a.y;
  j["state"] = nameOrNumber(kStateNames, a.state);
  return j;
}

json SourceWriter::dialog(const Dialog& d) {
  json j;
  j["id"] = d.id;
  textField(j, "text", fieldBytes(d.text), sizeof d.text);
  return j;
}

template <class T, class F>
json list(const std::vector<T>& records, F convert) {
  json out = json::array();
  for (const auto& r : records) out.push_back(convert(r));
  return out;
}

void SourceWriter::write(const DataSet& d) {
  json top;
  top["format"] = kFormatName;
  json music = json::object();
  const std::pair<const std::string*, const char*> pieces[] = {{&d.titleMusic, "title"}, {&d.gameMusic, "game"}};
  for (const auto& [path, key] : pieces) {
    if (path->empty()) continue;
    fs::create_directories(dir_ / "music");
    std::string relative = std::string("music/") + fs::path(*path).filename().string();
    fs::copy_file(*path, dir_ / relative, fs::copy_options::overwrite_existing);
    music[key] = relative;
  }
  if (!music.empty()) top["music"] = music;
  top["images"] = list(d.images, [this](const Image& r) { return image(r); });
  top["fonts"] = list(d.fonts, [this](const Font& r) { return font(r); });
  top["sprites"] = list(d.sprites, [this](const Sprite& r) { return sprite(r); });
  top["screens"] = list(d.screens, [this](const ScreenRecord& r) { return screen(r); });
  top["events"] = list(d.events, [this](const Event& r) { return event(r); });
  top["artifacts"] = list(d.artifacts, [this](const Artifact& r) { return artifact(r); });
  top["dialogs"] = list(d.dialogs, [this](const Dialog& r) { return dialog(r); });
  std::ofstream out(dir_ / kManifestName, std::ios::binary);
  out << prettyJson(top) << "\n";
  if (!out) throw std::runtime_error("cannot write " + (dir_ / kManifestName).string());
}

}  // namespace

void writeSources(const DataSet& data, const fs::path& dir, std::vector<std::string>& notes) {
  SourceWriter writer(dir, notes);
  writer.write(data);
}

}  // namespace zdata
