// tiled_read.cpp -- the screens of a Tiled world (the pack side): maps, their tilesets, their places.
#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "json_io.h"
#include "tiled.h"

namespace zdata {

namespace fs = std::filesystem;

namespace {

// A text field of an object, empty when it is missing or not text.
std::string text(const json& object, const char* key) {
  return object.is_object() && object.contains(key) && object[key].is_string() ? object[key].get<std::string>() : "";
}

// A custom property of a Tiled object or tile, or null.
const json* property(const json& object, const std::string& name) {
  if (!object.is_object() || !object.contains("properties") || !object["properties"].is_array()) return nullptr;
  for (const json& p : object["properties"]) {
    if (text(p, "name") == name && p.contains("value")) return &p["value"];
  }
  return nullptr;
}

// Tiled keeps positions as decimals; the game's are whole pixels, so they are rounded.
bool pixel(Fields& f, const std::string& key, long& out) {
  const json* v = f.require(key);
  if (!v) return false;
  if (!v->is_number() || std::fabs(v->get<double>()) > 1e9) {
    error(f.report(), f.at(key), "must be a number, not " + v->dump());
    return false;
  }
  out = std::lround(v->get<double>());
  return true;
}

std::string shownBeside(const std::string& shown, const std::string& name) {
  return (fs::path(shown).parent_path() / name).lexically_normal().generic_string();
}

struct Tileset {
  uint32_t firstGid = 0;
  std::string shown;
  const std::map<uint32_t, uint32_t>* sprites = nullptr;  // tile id to sprite id
};

class TiledReader {
 public:
  TiledReader(const DataSet& data, Report& report) : data_(data), report_(report) {}
  std::vector<ScreenRecord> read(const fs::path& world, const std::string& shown);

 private:
  const DataSet& data_;
  Report& report_;
  std::map<std::string, std::map<uint32_t, uint32_t>> tilesetTiles_;  // by file, each read once

  bool screen(const fs::path& path, const std::string& shown, ScreenRecord& s);
  bool tilesets(Fields& map, const fs::path& base, std::vector<Tileset>& out);
  void tiles(const json& tileset, const std::string& shown);
  bool objects(const json& layer, const JsonPlace& place, const std::vector<Tileset>& sets, ScreenRecord& s);
  bool events(const json& layer, const JsonPlace& place, ScreenRecord& s);
  bool onScreen(const JsonPlace& place, long x, long y);
  bool fits(const json& layer, const JsonPlace& place, std::size_t most, const std::string& what);
  void sizeWarning(Fields& o, unsigned width, unsigned height, const std::string& what);
};

std::vector<ScreenRecord> TiledReader::read(const fs::path& world, const std::string& shown) {
  std::vector<ScreenRecord> screens;
  auto doc = parseFile(world, shown, report_);
  if (!doc) return screens;
  Fields f(*doc, {shown, ""}, report_);
  if (f.has("patterns")) error(report_, f.at("patterns"), "patterns are not read: list every map under \"maps\"");
  const json* maps = f.require("maps");
  if (!maps) return screens;
  if (!maps->is_array()) {
    error(report_, f.at("maps"), "must be a list");
    return screens;
  }
  std::map<uint32_t, std::string> slots;
  for (std::size_t i = 0; i < maps->size(); ++i) {
    Fields m((*maps)[i], f.at("maps").index(i), report_);
    std::string file;
    long x = 0, y = 0;
    if (!m.valid() || !string(m, "fileName", file, true) || !pixel(m, "x", x) || !pixel(m, "y", y)) continue;
    if (x < 0 || y < 0 || x % kScreenWidth || y % kScreenHeight || x / kScreenWidth > 9 || y / kScreenHeight > 9) {
      error(report_, m.place(),
            file + " is at (" + std::to_string(x) + ", " + std::to_string(y) +
                "); a screen's place is a multiple of (210, 190) within the 10 x 10 grid, up to (1890, 1710)");
      continue;
    }
    ScreenRecord s{};
    s.screenNumber = static_cast<uint32_t>(x / kScreenWidth * 10 + y / kScreenHeight + 1);
    auto [it, fresh] = slots.emplace(s.screenNumber, file);
    if (!fresh) {
      error(report_, m.place(),
            file + " is on the place of screen " + std::to_string(s.screenNumber) + ", which " + it->second + " holds");
      continue;
    }
    if (screen(world.parent_path() / file, shownBeside(shown, file), s)) screens.push_back(s);
  }
  return screens;
}

bool TiledReader::screen(const fs::path& path, const std::string& shown, ScreenRecord& s) {
  if (path.extension() == ".tmx") {
    report_.error(shown, "", "", "an XML map: save it as JSON (.tmj)");
    return false;
  }
  auto doc = parseFile(path, shown, report_);
  if (!doc) return false;
  Fields f(*doc, {shown, ""}, report_);
  if (!f.valid()) return false;
  std::string orientation = "orthogonal";
  uint32_t width = 0, height = 0, tileWidth = 0, tileHeight = 0;
  bool ok = string(f, "orientation", orientation, false);
  if (ok && orientation != "orthogonal") {
    error(report_, f.at("orientation"), "\"" + orientation + "\": a screen is an orthogonal map");
    ok = false;
  }
  if (const json* infinite = f.get("infinite"); infinite && *infinite == true) {
    error(report_, f.at("infinite"), "an infinite map: a screen is 210 x 190 pixels");
    ok = false;
  }
  for (auto [key, value] :
       {std::pair{"width", &width}, {"height", &height}, {"tilewidth", &tileWidth}, {"tileheight", &tileHeight}}) {
    ok = number(f, key, *value, true, 0u, 0xFFFF) && ok;
  }
  if (ok && (width * tileWidth != kScreenWidth || height * tileHeight != kScreenHeight)) {
    error(report_, f.place(),
          "the map is " + std::to_string(width * tileWidth) + " x " + std::to_string(height * tileHeight) +
              " pixels; a screen is 210 x 190");
    ok = false;
  }
  std::vector<Tileset> sets;
  ok = tilesets(f, path.parent_path(), sets) && ok;
  const json* layers = f.get("layers");
  if (!ok || !layers) return ok;
  if (!layers->is_array()) {
    error(report_, f.at("layers"), "must be a list");
    return false;
  }
  std::set<std::string> read;
  for (const json& layer : *layers) {
    std::string name = text(layer, "name");
    JsonPlace place{shown, "layer \"" + name + "\""};
    bool objectLayer = text(layer, "type") == "objectgroup" && layer.contains("objects") && layer["objects"].is_array();
    if ((name == "objects" || name == "events") && (!objectLayer || !read.insert(name).second)) {
      error(report_, place, objectLayer ? "a second layer of this name: a screen has one" : "must be an object layer");
      ok = false;
    } else if (name == "objects") {
      ok = objects(layer["objects"], place, sets, s) && ok;
    } else if (name == "events") {
      ok = events(layer["objects"], place, s) && ok;
    } else if (name != "backgrounds" && name != "artifacts") {
      warning(report_, place, "is not packed: pack reads the layers \"objects\" and \"events\"");
    }
  }
  return ok;
}

bool TiledReader::tilesets(Fields& map, const fs::path& base, std::vector<Tileset>& out) {
  const json* list = map.get("tilesets");
  if (!list) return true;
  if (!list->is_array()) {
    error(report_, map.at("tilesets"), "must be a list");
    return false;
  }
  bool ok = true;
  for (std::size_t i = 0; i < list->size(); ++i) {
    Fields t((*list)[i], map.at("tilesets").index(i), report_);
    Tileset set;
    std::string source;
    if (!t.valid() || !number(t, "firstgid", set.firstGid, true, 0u, 0x0FFFFFFF) ||
        !string(t, "source", source, false)) {
      ok = false;
      continue;
    }
    if (fs::path(source).extension() == ".tsx") {
      error(report_, t.at("source"), source + " is an XML tileset: save it as JSON (.tsj)");
      ok = false;
      continue;
    }
    // A tileset embedded in the map is named after the map.
    set.shown = source.empty() ? map.place().file + " (tileset " + std::to_string(i) + ")"
                               : shownBeside(map.place().file, source);
    if (!tilesetTiles_.count(set.shown)) {
      auto doc = source.empty() ? std::optional<json>((*list)[i]) : parseFile(base / source, set.shown, report_);
      tiles(doc ? *doc : json::object(), set.shown);
    }
    set.sprites = &tilesetTiles_[set.shown];
    out.push_back(set);
  }
  std::sort(out.begin(), out.end(), [](const Tileset& a, const Tileset& b) { return a.firstGid < b.firstGid; });
  return ok;
}

// The tiles that carry a "sprite" property, as the tileset zelvo-data writes gives every sprite.
void TiledReader::tiles(const json& tileset, const std::string& shown) {
  auto& sprites = tilesetTiles_[shown];
  if (!tileset.is_object() || !tileset.contains("tiles") || !tileset["tiles"].is_array()) return;
  for (std::size_t i = 0; i < tileset["tiles"].size(); ++i) {
    const json& tile = tileset["tiles"][i];
    const json* sprite = property(tile, "sprite");
    uint64_t id = 0, value = 0;
    JsonPlace place{shown, "tiles[" + std::to_string(i) + "]"};
    if (sprite && tile.contains("id") && wholeNumber(tile["id"], place.key("id"), 0x0FFFFFFF, id, report_) &&
        wholeNumber(*sprite, place.key("sprite"), UINT32_MAX, value, report_)) {
      sprites[static_cast<uint32_t>(id)] = static_cast<uint32_t>(value);
    }
  }
}

bool TiledReader::onScreen(const JsonPlace& place, long x, long y) {
  if (x >= 0 && y >= 0 && x < kScreenWidth && y < kScreenHeight) return true;
  error(report_, place,
        "its top-left corner (" + std::to_string(x) + ", " + std::to_string(y) +
            ") is off the screen (x 0..209, y 0..189)");
  return false;
}

// The game draws sprites and events at their own size, whatever their size in Tiled.
void TiledReader::sizeWarning(Fields& o, unsigned width, unsigned height, const std::string& what) {
  const json* w = o.get("width");
  const json* h = o.get("height");
  if (!w || !h || !w->is_number() || !h->is_number() || width == 0 || height == 0) return;
  long long tw = std::llround(w->get<double>()), th = std::llround(h->get<double>());
  if (tw == static_cast<long long>(width) && th == static_cast<long long>(height)) return;
  warning(report_, o.place(),
          "is " + std::to_string(tw) + " x " + std::to_string(th) + " in Tiled, but the game shows " + what + " at " +
              std::to_string(width) + " x " + std::to_string(height));
}

bool TiledReader::fits(const json& layer, const JsonPlace& place, std::size_t most, const std::string& what) {
  if (layer.size() <= most) return true;
  error(report_, place, std::to_string(layer.size()) + " " + what + "; a screen holds at most " + std::to_string(most));
  return false;
}

// Objects are named by the id Tiled shows for them.
JsonPlace objectPlace(const JsonPlace& layer, const json& object) {
  return {layer.file, layer.path + ": object " + (object.is_object() ? object.value("id", json()).dump() : "?")};
}

bool TiledReader::objects(const json& layer, const JsonPlace& place, const std::vector<Tileset>& sets,
                          ScreenRecord& s) {
  if (!fits(layer, place, layout::map::kObjectCount, "objects")) return false;
  bool ok = true;
  for (std::size_t i = 0; i < layer.size(); ++i) {
    const json& object = layer[i];
    const JsonPlace at = objectPlace(place, object);
    Fields o(object, at, report_);
    uint32_t gid = 0;
    if (!o.valid()) {
      ok = false;
      continue;
    }
    if (!o.has("gid")) {
      error(report_, at, "is not a sprite: the objects layer holds tiles of the sprite tileset");
      ok = false;
      continue;
    }
    if (!number(o, "gid", gid, true)) {
      ok = false;
      continue;
    }
    if (gid & 0xF0000000u) warning(report_, at, "is flipped in Tiled, but the game draws sprites as they are");
    gid &= 0x0FFFFFFFu;
    const Tileset* set = nullptr;
    for (const auto& t : sets) {
      if (t.firstGid <= gid) set = &t;
    }
    auto tile = set ? set->sprites->find(gid - set->firstGid) : std::map<uint32_t, uint32_t>::const_iterator{};
    if (!set || tile == set->sprites->end()) {
      error(report_, at,
            !set ? "its tile (gid " + std::to_string(gid) + ") is in no tileset"
                 : "tile " + std::to_string(gid - set->firstGid) + " of " + set->shown +
                       " is not a sprite (it has no \"sprite\" property)");
      ok = false;
      continue;
    }
    auto sprite = std::find_if(data_.sprites.begin(), data_.sprites.end(),
                               [&](const Sprite& sp) { return sp.id == tile->second; });
    if (sprite == data_.sprites.end()) {
      error(report_, at, "sprite " + std::to_string(tile->second) + " is not in the world");
      ok = false;
      continue;
    }
    long x = 0, bottom = 0;
    if (!pixel(o, "x", x) || !pixel(o, "y", bottom) || !onScreen(at, x, bottom - sprite->height)) {
      ok = false;
      continue;
    }
    if (const json* r = o.get("rotation"); r && r->is_number() && r->get<double>() != 0) {
      warning(report_, at, "is rotated in Tiled, but the game draws sprites upright");
    }
    sizeWarning(o, sprite->width, sprite->height, "sprite " + std::to_string(sprite->id));
    ObjectPlacement& p = s.objects[i];
    p.spriteId = sprite->id;
    p.x = static_cast<uint16_t>(x);
    p.y = static_cast<uint16_t>(bottom - sprite->height);
    if (const json* layerNumber = property(object, "layer")) {
      uint64_t value = 0;
      ok = wholeNumber(*layerNumber, at.key("layer"), UINT32_MAX, value, report_) && ok;
      p.layerOverride = static_cast<uint32_t>(value);
    }
  }
  return ok;
}

bool TiledReader::events(const json& layer, const JsonPlace& place, ScreenRecord& s) {
  if (!fits(layer, place, layout::map::kEventCount, "event placements")) return false;
  bool ok = true;
  for (std::size_t i = 0; i < layer.size(); ++i) {
    const json& object = layer[i];
    const JsonPlace at = objectPlace(place, object);
    Fields o(object, at, report_);
    const json* id = property(object, "event");
    uint64_t event = 0;
    long x = 0, y = 0;
    if (o.valid() && !id) error(report_, at, "has no \"event\" property (the id of the event placed)");
    if (!id || !wholeNumber(*id, at.key("event"), UINT32_MAX, event, report_) || !pixel(o, "x", x) ||
        !pixel(o, "y", y) || !onScreen(at, x, y)) {
      ok = false;
      continue;
    }
    for (const auto& e : data_.events) {
      if (e.id == event) sizeWarning(o, e.width, e.height, "event " + std::to_string(event));
    }
    s.events[i] = {static_cast<uint32_t>(event), static_cast<uint16_t>(x), static_cast<uint16_t>(y)};
  }
  return ok;
}

}  // namespace

std::vector<ScreenRecord> readTiled(const fs::path& world, const std::string& shown, const DataSet& data,
                                    Report& report) {
  TiledReader reader(data, report);
  return reader.read(world, shown);
}

}  // namespace zdata
