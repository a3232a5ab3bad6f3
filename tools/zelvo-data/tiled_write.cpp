// tiled_write.cpp -- a world's screens written as Tiled 1.8 JSON files for authors to edit.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "json_io.h"
#include "pixels.h"
#include "text.h"
#include "tiled.h"

namespace zdata {

namespace {

// Tile ids are sprite ids, so maps stay right when the tileset is written again with more sprites.
// A gid keeps its top four bits for flips, and the tileset starts at gid 1.
constexpr uint32_t kLastTileId = 0x0FFFFFFE;
constexpr const char* kTilesetName = "sprites.tsj";

std::string screenFile(uint32_t number) {
  char name[32];
  std::snprintf(name, sizeof name, "screen-%03u.tmj", number);
  return name;
}

Bytes fileBytes(const json& j) {
  std::string text = prettyJson(j) + "\n";
  return Bytes(text.begin(), text.end());
}

json intProperty(const std::string& name, uint32_t value) {
  return {{"name", name}, {"type", "int"}, {"value", value}};
}

json objectLayer(int id, const std::string& name, json objects, bool locked) {
  json layer = {{"type", "objectgroup"}, {"id", id},        {"name", name}, {"draworder", "index"},
                {"opacity", 1},          {"visible", true}, {"x", 0},       {"y", 0}};
  if (locked) layer["locked"] = true;
  layer["objects"] = std::move(objects);
  return layer;
}

class TiledWriter {
 public:
  TiledWriter(const DataSet& data, const std::string& shown, Report& report, const std::vector<TiledCommand>& commands);
  std::vector<std::pair<std::string, Bytes>> write();

 private:
  const DataSet& data_;
  std::string shown_;
  Report& report_;
  const std::vector<TiledCommand>& commands_;
  std::map<uint32_t, const Sprite*> sprites_;  // those the tileset holds, by id
  std::map<uint32_t, const Event*> events_;
  std::vector<std::pair<std::string, Bytes>> files_;
  int nextObject_ = 1;

  bool placeable(const ScreenRecord& s);
  json tileset();
  json map(const ScreenRecord& s);
  json tileObject(uint32_t sprite, uint16_t x, uint16_t y, const std::string& name);
  std::string png(uint32_t sprite, unsigned frame, const Picture& pic);
};

TiledWriter::TiledWriter(const DataSet& data, const std::string& shown, Report& report,
                         const std::vector<TiledCommand>& commands)
    : data_(data), shown_(shown), report_(report), commands_(commands) {
  for (const auto& s : data.sprites) {
    if (s.id <= kLastTileId) sprites_.emplace(s.id, &s);
  }
  for (const auto& e : data.events) events_.emplace(e.id, &e);
}

// Tiled holds the placements the game reads, on the screen; anything else stays an error here.
bool TiledWriter::placeable(const ScreenRecord& s) {
  std::string record = "screen " + std::to_string(s.screenNumber);
  std::size_t errors = report_.errorCount();
  auto check = [&](const std::string& field, uint32_t id, uint16_t x, uint16_t y, bool filled, bool& ended) {
    if (ended || id == 0) {
      if (filled) {
        report_.error(shown_, record, field, "a placement after the list's end (id 0) has no place in a Tiled map");
      }
      ended = true;
      return false;
    }
    if (x >= kScreenWidth || y >= kScreenHeight) {
      report_.error(shown_, record, field,
                    "(" + std::to_string(x) + ", " + std::to_string(y) +
                        ") is off the screen; a Tiled map holds placements whose top-left corner is on it");
    }
    return true;
  };
  bool ended = false;
  for (std::size_t k = 0; k < layout::map::kObjectCount; ++k) {
    const auto& p = s.objects[k];
    std::string field = "objects[" + std::to_string(k) + "]";
    if (!check(field, p.spriteId, p.x, p.y, p.spriteId || p.x || p.y || p.layerOverride, ended)) continue;
    if (!sprites_.count(p.spriteId)) {
      report_.error(
          shown_, record, field,
          "sprite " + std::to_string(p.spriteId) + " is not in the tileset (no such sprite, or an id above 268435454)");
    }
    if (p.layerOverride > INT32_MAX) {
      report_.error(
          shown_, record, field,
          "layer " + std::to_string(p.layerOverride) + " is beyond Tiled's whole numbers (at most 2147483647)");
    }
  }
  ended = false;
  for (std::size_t k = 0; k < layout::map::kEventCount; ++k) {
    const auto& p = s.events[k];
    check("events[" + std::to_string(k) + "]", p.eventId, p.x, p.y, p.eventId || p.x || p.y, ended);
  }
  return report_.errorCount() == errors;
}

std::string TiledWriter::png(uint32_t sprite, unsigned frame, const Picture& pic) {
  std::string name = "sprites/" + std::to_string(sprite) + (frame > 1 ? "-" + std::to_string(frame) : "") + ".png";
  files_.emplace_back(name, pngBytes(pic));
  return name;
}

// An image collection: each sprite's first frame is its tile; further frames are tiles after the
// last sprite id, there only for the sprite's animation.
json TiledWriter::tileset() {
  json tiles = json::array(), frameTiles = json::array();
  uint32_t nextFrameTile = sprites_.empty() ? 0 : sprites_.rbegin()->first + 1;
  int width = 1, height = 1;
  for (const auto& [id, s] : sprites_) {
    auto frames = decodeFrames(s->frameData, s->frameCount, s->width, s->height);
    if (!frames) {
      // Frames the game cannot show still need a tile to place: a clear one of the sprite's size.
      Picture clear{std::max(1, int{s->width}), std::max(1, int{s->height}), {}};
      clear.pixels.assign(static_cast<std::size_t>(clear.width) * clear.height, 0);
      frames = std::vector<Picture>{clear};
    }
    const Picture& first = frames->front();
    width = std::max(width, first.width);
    height = std::max(height, first.height);
    const char* kind = nameOf(kKindNames, s->kind);
    json tile = {
        {"id", id},
        {"image", png(id, 1, first)},
        {"imagewidth", first.width},
        {"imageheight", first.height},
        {"properties",
         json::array({intProperty("sprite", id),
                      intProperty("frames", s->frameCount),
                      {{"name", "kind"}, {"type", "string"}, {"value", kind ? kind : std::to_string(s->kind)}}})}};
    if (frames->size() > 1 && s->animRate > 0 && kLastTileId - nextFrameTile >= frames->size()) {
      const int duration = std::max(1, static_cast<int>(std::lround(1000.0 / s->animRate)));
      json animation = json::array({{{"tileid", id}, {"duration", duration}}});
      for (std::size_t k = 1; k < frames->size(); ++k) {
        frameTiles.push_back({{"id", nextFrameTile},
                              {"image", png(id, static_cast<unsigned>(k + 1), (*frames)[k])},
                              {"imagewidth", first.width},
                              {"imageheight", first.height}});
        animation.push_back({{"tileid", nextFrameTile++}, {"duration", duration}});
      }
      tile["animation"] = animation;
    }
    tiles.push_back(tile);
  }
  for (auto& t : frameTiles) tiles.push_back(std::move(t));
  return {{"type", "tileset"},
          {"version", "1.8"},
          {"tiledversion", "1.8.2"},
          {"name", "sprites"},
          {"tilewidth", width},
          {"tileheight", height},
          {"tilecount", tiles.size()},
          {"columns", 0},
          {"margin", 0},
          {"spacing", 0},
          {"grid", {{"orientation", "orthogonal"}, {"width", 1}, {"height", 1}}},
          {"tiles", tiles}};
}

// Tile objects hang from their bottom-left corner; the game's placements from their top-left.
json TiledWriter::tileObject(uint32_t sprite, uint16_t x, uint16_t y, const std::string& name) {
  const Sprite& s = *sprites_.at(sprite);
  return {{"id", nextObject_++},
          {"gid", sprite + 1},
          {"name", name},
          {"type", ""},
          {"x", x},
          {"y", y + s.height},
          {"width", std::max(1, int{s.width})},
          {"height", std::max(1, int{s.height})},
          {"rotation", 0},
          {"visible", true}};
}

json TiledWriter::map(const ScreenRecord& s) {
  nextObject_ = 1;
  json backgrounds = json::array(), objects = json::array(), artifacts = json::array(), events = json::array();
  for (uint32_t id :
       {s.screenNumber + layout::map::kSecondBackgroundId, s.screenNumber + layout::map::kFirstBackgroundId}) {
    if (sprites_.count(id)) backgrounds.push_back(tileObject(id, 0, 0, "background " + std::to_string(id)));
  }
  for (const auto& p : s.objects) {
    if (p.spriteId == 0) break;
    json o = tileObject(p.spriteId, p.x, p.y, "");
    if (p.layerOverride) o["properties"] = json::array({intProperty("layer", p.layerOverride)});
    objects.push_back(o);
  }
  for (const auto& a : data_.artifacts) {
    if (a.screenNumber != s.screenNumber) continue;
    const char* state = nameOf(kStateNames, a.state);
    std::string name = latin1ToUtf8(fieldText(fieldBytes(a.name), sizeof a.name)) + " (" +
                       (state ? state : "state " + std::to_string(a.state)) + ")";
    if (sprites_.count(a.id)) {
      artifacts.push_back(tileObject(a.id, a.x, a.y, name));
    } else {
      artifacts.push_back({{"id", nextObject_++},
                           {"name", name},
                           {"type", ""},
                           {"point", true},
                           {"x", a.x},
                           {"y", a.y},
                           {"width", 0},
                           {"height", 0},
                           {"rotation", 0},
                           {"visible", true}});
    }
  }
  for (const auto& p : s.events) {
    if (p.eventId == 0) break;
    auto e = events_.find(p.eventId);
    const char* trigger = e == events_.end() ? "missing" : nameOf(kTriggerNames, e->second->trigger);
    events.push_back({{"id", nextObject_++},
                      {"name", "event " + std::to_string(p.eventId) + " (" + (trigger ? trigger : "trigger") + ")"},
                      {"type", ""},
                      {"x", p.x},
                      {"y", p.y},
                      {"width", e == events_.end() ? 0 : e->second->width},
                      {"height", e == events_.end() ? 0 : e->second->height},
                      {"rotation", 0},
                      {"visible", true},
                      {"properties", json::array({intProperty("event", p.eventId)})}});
  }
  json layers =
      json::array({objectLayer(1, "backgrounds", backgrounds, true), objectLayer(2, "objects", objects, false),
                   objectLayer(3, "artifacts", artifacts, true), objectLayer(4, "events", events, false)});
  return {{"type", "map"},
          {"version", "1.8"},
          {"tiledversion", "1.8.2"},
          {"orientation", "orthogonal"},
          {"renderorder", "right-down"},
          {"width", kScreenWidth / 10},
          {"height", kScreenHeight / 10},
          {"tilewidth", 10},
          {"tileheight", 10},
          {"infinite", false},
          {"backgroundcolor", "#c8c8ff"},  // the game's empty playfield
          {"compressionlevel", -1},
          {"nextlayerid", 5},
          {"nextobjectid", nextObject_},
          {"tilesets", json::array({{{"firstgid", 1}, {"source", kTilesetName}}})},
          {"layers", layers}};
}

std::vector<std::pair<std::string, Bytes>> TiledWriter::write() {
  bool ok = true;
  for (const auto& s : data_.screens) ok = placeable(s) && ok;
  if (!ok) return {};
  // The world lists the maps in slot order, however the manifest ordered its screens.
  std::vector<const ScreenRecord*> screens;
  for (const auto& s : data_.screens) screens.push_back(&s);
  std::sort(screens.begin(), screens.end(), [](auto a, auto b) { return a->screenNumber < b->screenNumber; });
  json maps = json::array();
  for (const ScreenRecord* screen : screens) {
    const ScreenRecord& s = *screen;
    files_.emplace_back(screenFile(s.screenNumber), fileBytes(map(s)));
    const uint32_t slot = s.screenNumber - 1;
    maps.push_back({{"fileName", screenFile(s.screenNumber)},
                    {"x", slot / 10 * kScreenWidth},
                    {"y", slot % 10 * kScreenHeight},
                    {"width", kScreenWidth},
                    {"height", kScreenHeight}});
  }
  files_.emplace_back(kTilesetName, fileBytes(tileset()));
  files_.emplace_back(kTiledWorldName, fileBytes({{"type", "world"}, {"onlyShowAdjacentMaps", false}, {"maps", maps}}));
  // Opening the folder as a Tiled project lists the maps in the project view, and offers the commands.
  json commands = json::array();
  for (const TiledCommand& c : commands_)
    commands.push_back({{"arguments", c.arguments},
                        {"command", c.program},
                        {"enabled", true},
                        {"name", c.name},
                        {"saveBeforeExecute", true},
                        {"shortcut", c.shortcut},
                        {"showOutput", true},
                        {"workingDirectory", "%projectpath"}});
  files_.emplace_back("zelvo.tiled-project", fileBytes({{"automappingRulesFile", ""},
                                                        {"commands", commands},
                                                        {"extensionsPath", "extensions"},
                                                        {"folders", json::array({"."})},
                                                        {"objectTypesFile", ""},
                                                        {"propertyTypes", json::array()}}));
  return std::move(files_);
}

}  // namespace

std::vector<std::pair<std::string, Bytes>> writeTiled(const DataSet& data, const std::string& shown, Report& report,
                                                      const std::vector<TiledCommand>& commands) {
  TiledWriter writer(data, shown, report, commands);
  return writer.write();
}

}  // namespace zdata
