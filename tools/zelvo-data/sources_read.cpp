// sources_read.cpp -- reading a world's manifest, pictures and music into records (the pack side).
#include <fstream>
#include <map>
#include <set>

#include "json_io.h"
#include "pixels.h"
#include "sources.h"
#include "text.h"
#include "tiled.h"

namespace zdata {

namespace fs = std::filesystem;
namespace {

// A name from `names`, or a plain number 0..255.
template <std::size_t N>
bool namedByte(Fields& f, const std::string& key, const char* const (&names)[N], uint8_t& out, bool required,
               uint8_t fallback) {
  Report& report = f.report();
  const json* v = required ? f.require(key) : f.get(key);
  if (!v) {
    out = fallback;
    return !required;
  }
  if (v->is_string()) {
    int i = nameIndex(names, v->get<std::string>());
    if (i >= 0) {
      out = static_cast<uint8_t>(i);
      return true;
    }
    std::string known;
    for (const char* n : names) {
      if (n) known += std::string(known.empty() ? "" : ", ") + n;
    }
    error(report, f.at(key), "unknown " + key + " \"" + v->get<std::string>() + "\" (known: " + known + ", or a number)");
    return false;
  }
  uint64_t value = 0;
  if (!wholeNumber(*v, f.at(key), 255, value, report)) return false;
  out = static_cast<uint8_t>(value);
  return true;
}

// [a, b] of two numbers 0..max.
bool numberPair(Fields& f, const std::string& key, uint64_t max, uint64_t& a, uint64_t& b) {
  Report& report = f.report();
  const json* v = f.require(key);
  if (!v) return false;
  if (!v->is_array() || v->size() != 2) {
    error(report, f.at(key), "must be a list of two numbers");
    return false;
  }
  return wholeNumber((*v)[0], f.at(key).index(0), max, a, report) &&
         wholeNumber((*v)[1], f.at(key).index(1), max, b, report);
}

// Bytes given as hex digits, exactly `size` of them.
bool hexField(Fields& f, const std::string& key, uint8_t* out, std::size_t size) {
  Report& report = f.report();
  std::string text;
  if (!string(f, key, text, false)) return false;
  if (!f.has(key)) return true;
  auto bytes = fromHex(text);
  if (!bytes || bytes->size() != size) {
    error(report, f.at(key), "must be " + std::to_string(size * 2) + " hex digits");
    return false;
  }
  std::copy(bytes->begin(), bytes->end(), out);
  return true;
}

bool base64Field(Fields& f, const std::string& key, Bytes& out) {
  Report& report = f.report();
  std::string text;
  if (!string(f, key, text, true)) return false;
  auto bytes = fromBase64(text);
  if (!bytes) {
    error(report, f.at(key), "is not valid base64");
    return false;
  }
  out = std::move(*bytes);
  return true;
}

// A text field: `key` as text (Latin-1, shorter than the field) or `key`Bytes as the field's bytes in hex.
bool textField(Fields& f, const std::string& key, uint8_t* out, std::size_t N) {
  Report& report = f.report();
  std::string bytesKey = key + "Bytes";
  if (f.has(key) && f.has(bytesKey)) {
    error(report, f.place(), "give either \"" + key + "\" or \"" + bytesKey + "\", not both");
    return false;
  }
  if (f.has(bytesKey)) return hexField(f, bytesKey, out, N);
  std::string text;
  if (!string(f, key, text, true)) return false;
  auto bytes = utf8ToLatin1(text);
  if (!bytes) {
    error(report, f.at(key), "holds a character the game cannot show (only U+0001..U+00FF are stored)");
    return false;
  }
  if (bytes->find('\0') != std::string::npos) {
    error(report, f.at(key), "holds a 0 character, which would end the text");
    return false;
  }
  if (bytes->size() > N - 1) {
    error(report, f.at(key),
          "text of " + std::to_string(bytes->size()) + " bytes is longer than its field (at most " +
              std::to_string(N - 1) + ")");
    return false;
  }
  std::fill(out, out + N, 0);
  std::copy(bytes->begin(), bytes->end(), out);
  return true;
}

struct Item {
  const json* value;
  JsonPlace place;
  fs::path base;  // folder that paths in this item are relative to
};

class SourceReader {
 public:
  SourceReader(Report& report) : report_(report) {}
  DataSet read(const fs::path& sources);

 private:
  Report& report_;
  std::vector<json> documents_;  // kept alive: items point into them
  std::map<std::string, std::vector<Item>> sections_;
  DataSet data_;

  void collect(const json& doc, const std::string& shown, const fs::path& base, bool isManifest);
  void music(Fields& top, const fs::path& base);
  bool picture(Fields& f, const std::string& key, const fs::path& base, Picture& pic);
  bool uniqueId(std::map<uint32_t, JsonPlace>& seen, const Item& item, uint32_t id, const char* what);
  void image(const Item& item, std::map<uint32_t, JsonPlace>& seen);
  void font(const Item& item, std::map<uint32_t, JsonPlace>& seen);
  void sprite(const Item& item, std::map<uint32_t, JsonPlace>& seen);
  bool frames(Fields& f, const fs::path& base, Sprite& s);
  void screen(const Item& item, std::map<uint32_t, JsonPlace>& seen);
  void event(const Item& item, std::map<uint32_t, JsonPlace>& seen);
  bool action(const json& j, const JsonPlace& place, EventAction& a);
  void artifact(const Item& item, std::map<uint32_t, JsonPlace>& seen);
  void dialog(const Item& item, std::map<uint32_t, JsonPlace>& seen);
};

const char* const kSections[] = {"images", "fonts", "sprites", "screens", "events", "artifacts", "dialogs"};

DataSet SourceReader::read(const fs::path& sources) {
  std::error_code ec;
  fs::path manifest = fs::is_directory(sources, ec) ? sources / kManifestName : sources;
  if (!fs::is_regular_file(manifest, ec)) {
    report_.error(manifest.string(), "", "", "no manifest here (a world folder holds " + std::string(kManifestName) + ")");
    return data_;
  }
  fs::path base = manifest.parent_path();
  std::string shown = manifest.filename().string();
  documents_.reserve(64);
  auto doc = parseFile(manifest, shown, report_);
  if (!doc) return data_;
  documents_.push_back(std::move(*doc));
  const json& top = documents_.back();
  Fields f(top, {shown, ""}, report_);
  if (!f.valid()) return data_;
  std::string format;
  if (string(f, "format", format, true) && format != kFormatName) {
    error(report_, f.at("format"), "must be \"" + std::string(kFormatName) + "\", not \"" + format + "\"");
  }
  music(f, base);
  collect(top, shown, base, true);
  if (const json* inc = f.get("include")) {
    if (!inc->is_array()) {
      error(report_, f.at("include"), "must be a list of JSON file paths");
    } else if (inc->size() > 60) {
      error(report_, f.at("include"), "names more than 60 files");
    } else {
      for (std::size_t i = 0; i < inc->size(); ++i) {
        JsonPlace place = f.at("include").index(i);
        if (!(*inc)[i].is_string() || (*inc)[i].get<std::string>().empty()) {
          error(report_, place, "must be a path");
          continue;
        }
        fs::path path = base / (*inc)[i].get<std::string>();
        auto included = parseFile(path, (*inc)[i].get<std::string>(), report_);
        if (!included) continue;
        documents_.push_back(std::move(*included));
        collect(documents_.back(), (*inc)[i].get<std::string>(), path.parent_path(), false);
      }
    }
  }
  for (const char* s : kSections) f.get(s);
  std::string tiled;
  const bool fromTiled = string(f, "tiled", tiled, false) && f.has("tiled");
  f.finish();

  std::map<uint32_t, JsonPlace> images, fonts, sprites, screens, events, artifacts, dialogs;
  for (const auto& item : sections_["images"]) image(item, images);
  for (const auto& item : sections_["fonts"]) font(item, fonts);
  for (const auto& item : sections_["sprites"]) sprite(item, sprites);
  for (const auto& item : sections_["screens"]) screen(item, screens);
  for (const auto& item : sections_["events"]) event(item, events);
  for (const auto& item : sections_["artifacts"]) artifact(item, artifacts);
  for (const auto& item : sections_["dialogs"]) dialog(item, dialogs);
  if (fromTiled && !sections_["screens"].empty()) {
    error(report_, f.at("tiled"), "give either \"tiled\" or \"screens\", not both");
  } else if (fromTiled) {
    data_.screens = readTiled(base / tiled, fs::path(tiled).lexically_normal().generic_string(), data_, report_);
  }
  return data_;
}

void SourceReader::collect(const json& doc, const std::string& shown, const fs::path& base, bool isManifest) {
  Fields f(doc, {shown, ""}, report_);
  if (!f.valid()) return;
  if (!isManifest) {
    std::string format;
    if (string(f, "format", format, false) && f.has("format") && format != kFormatName) {
      error(report_, f.at("format"), "must be \"" + std::string(kFormatName) + "\"");
    }
    if (f.has("include")) error(report_, f.at("include"), "an included file may not include again");
    for (const char* key : {"music", "tiled"}) {
      if (f.has(key)) error(report_, f.at(key), std::string(key) + " is given in the main manifest only");
      f.get(key);
    }
    f.get("include");
  }
  for (const char* section : kSections) {
    const json* list = f.get(section);
    if (!list) continue;
    if (!list->is_array()) {
      error(report_, f.at(section), "must be a list");
      continue;
    }
    for (std::size_t i = 0; i < list->size(); ++i) sections_[section].push_back({&(*list)[i], f.at(section).index(i), base});
  }
  if (!isManifest) f.finish();
}

void SourceReader::music(Fields& top, const fs::path& base) {
  const json* m = top.get("music");
  if (!m) return;
  Fields f(*m, top.at("music"), report_);
  if (!f.valid()) return;
  for (const char* key : {"title", "game"}) {
    std::string path;
    if (!string(f, key, path, false) || path.empty()) continue;
    fs::path full = base / path;
    std::ifstream in(full, std::ios::binary);
    char head[12] = {};
    std::error_code ec;
    if (!fs::is_regular_file(full, ec) || !in) {
      error(report_, f.at(key), "the music file " + path + " does not exist");
      continue;
    }
    if (!in.read(head, 12) || std::string(head, 4) != "RIFF" || std::string(head + 8, 4) != "WAVE") {
      error(report_, f.at(key), path + " is not a WAV file");
      continue;
    }
    (std::string(key) == "title" ? data_.titleMusic : data_.gameMusic) = full.string();
  }
  f.finish();
}

bool SourceReader::picture(Fields& f, const std::string& key, const fs::path& base, Picture& pic) {
  std::string path;
  if (!string(f, key, path, true)) return false;
  std::string problem;
  if (!loadPicture((base / path).string(), pic, problem)) {
    error(report_, f.at(key), problem);
    return false;
  }
  return true;
}

bool SourceReader::uniqueId(std::map<uint32_t, JsonPlace>& seen, const Item& item, uint32_t id, const char* what) {
  auto [it, fresh] = seen.emplace(id, item.place);
  if (fresh) return true;
  error(report_, item.place.key("id"),
        "duplicate " + std::string(what) + " id " + std::to_string(id) + " (first at " + it->second.file + ": " +
            it->second.path + ")");
  return false;
}

void SourceReader::image(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  Image im;
  bool ok = number(f, "id", im.id, true, 0u, UINT32_MAX);
  if (ok) ok = uniqueId(seen, item, im.id, "image");
  if (const json* save = f.get("saveBuffer"); save && save->is_boolean()) {
    im.saveUnder = save->get<bool>() ? 1 : 0;
  } else if (save) {
    uint64_t v = 0;
    ok = wholeNumber(*save, f.at("saveBuffer"), 255, v, report_) && ok;
    im.saveUnder = static_cast<uint8_t>(v);
  }
  ok = number(f, "reserved", im.reserved, false, uint8_t{0}, 255) && ok;
  if (f.has("picture") && (f.has("data") || f.has("size"))) {
    error(report_, item.place, "give either \"picture\" or \"size\" and \"data\", not both");
    ok = false;
  } else if (f.has("picture")) {
    Picture pic;
    if (picture(f, "picture", item.base, pic)) {
      if (pic.width > 0xFFFF || pic.height > 0xFFFF) {
        error(report_, f.at("picture"), "the picture is larger than 65535 pixels in a direction");
        ok = false;
      } else {
        im.width = static_cast<uint16_t>(pic.width);
        im.height = static_cast<uint16_t>(pic.height);
        im.data = encodeImage(pic.pixels.data(), pic.pixels.size());
        if (pic.pixels.back() != 0) {
          warning(report_, f.at("picture"), "the picture's bottom-right pixel is opaque, but the game never draws that pixel");
        }
      }
    } else {
      ok = false;
    }
  } else if (f.has("data")) {
    uint64_t w = 0, h = 0;
    ok = numberPair(f, "size", 0xFFFF, w, h) && base64Field(f, "data", im.data) && ok;
    im.width = static_cast<uint16_t>(w);
    im.height = static_cast<uint16_t>(h);
    if (ok) {
      if (auto problem = imageDataProblem(im.data, im.width, im.height)) warning(report_, f.at("data"), *problem);
    }
  } else {
    f.require("picture");
    ok = false;
  }
  uint64_t pixels = uint64_t{im.width} * im.height;
  if (ok && pixels > 65536) {
    warning(report_, item.place,
            std::to_string(im.width) + "x" + std::to_string(im.height) + " is more than 65536 pixels; the game counts " +
                "positions in 16 bits and stops drawing after " + std::to_string((pixels - 1) % 65536) + " of them");
  }
  f.finish();
  if (ok) data_.images.push_back(std::move(im));
}

void SourceReader::font(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  Font ft;
  bool ok = number(f, "id", ft.id, true, 0u, UINT32_MAX);
  if (ok) ok = uniqueId(seen, item, ft.id, "font");
  uint64_t gw = 0, gh = 0;
  ok = numberPair(f, "cell", 0xFFFF, gw, gh) && ok;
  ft.glyphWidth = static_cast<uint16_t>(gw);
  ft.glyphHeight = static_cast<uint16_t>(gh);
  if (f.has("sheet") && f.has("data")) {
    error(report_, item.place, "give either \"sheet\" or \"data\", not both");
    ok = false;
  } else if (f.has("data")) {
    ok = base64Field(f, "data", ft.sheet) && ok;
  } else {
    Picture pic;
    if (!picture(f, "sheet", item.base, pic)) {
      ok = false;
    } else if (ok && (gw == 0 || gh == 0)) {
      error(report_, f.at("cell"), "a glyph cell must be at least 1x1");
      ok = false;
    } else if (ok && static_cast<uint64_t>(pic.width) != gw * 32) {
      error(report_, f.at("sheet"),
            "the sheet is " + std::to_string(pic.width) + " pixels wide; 32 cells of " + std::to_string(gw) +
                " need " + std::to_string(gw * 32));
      ok = false;
    } else if (ok) {
      if (static_cast<uint64_t>(pic.height) < gh * layout::font::kCellRows) {
        warning(report_, f.at("sheet"),
                "the sheet is " + std::to_string(pic.height) + " pixels high; the 96 glyphs of codes 32..127 need " +
                    std::to_string(gh * layout::font::kCellRows));
      }
      for (uint16_t p : pic.pixels) layout::put16(ft.sheet, p);
    }
  }
  f.finish();
  if (ok) data_.fonts.push_back(std::move(ft));
}

bool SourceReader::frames(Fields& f, const fs::path& base, Sprite& s) {
  const json* fr = f.require("frames");
  if (!fr) return false;
  JsonPlace place = f.at("frames");
  std::vector<Picture> pics;
  if (fr->is_array()) {
    if (fr->empty() || fr->size() > 255) {
      error(report_, place, "a sprite has 1 to 255 frames, not " + std::to_string(fr->size()));
      return false;
    }
    for (std::size_t i = 0; i < fr->size(); ++i) {
      Picture pic;
      std::string problem;
      if (!(*fr)[i].is_string()) {
        error(report_, place.index(i), "must be a picture path");
        return false;
      }
      if (!loadPicture((base / (*fr)[i].get<std::string>()).string(), pic, problem)) {
        error(report_, place.index(i), problem);
        return false;
      }
      if (!pics.empty() && (pic.width != pics[0].width || pic.height != pics[0].height)) {
        error(report_, place.index(i),
              "frame is " + std::to_string(pic.width) + "x" + std::to_string(pic.height) + ", but frame 1 is " +
                  std::to_string(pics[0].width) + "x" + std::to_string(pics[0].height));
        return false;
      }
      pics.push_back(std::move(pic));
    }
  } else {
    Fields ff(*fr, place, report_);
    if (!ff.valid()) return false;
    if (ff.has("data")) {
      // Raw frame data, as unpack writes what no strip holds exactly.
      uint64_t w = 0, h = 0;
      bool ok = numberPair(ff, "size", 255, w, h);
      ok = number(ff, "count", s.frameCount, true, uint8_t{0}, 255) && ok;
      ok = base64Field(ff, "data", s.frameData) && ok;
      s.width = static_cast<uint8_t>(w);
      s.height = static_cast<uint8_t>(h);
      ff.finish();
      if (ok) {
        // The game refuses all of sprites.dat for frames it cannot decode, so pack must not write
        // them; a sprite without pixels or frames is never decoded, and its data is only odd.
        if (auto problem = frameDataProblem(s.frameData, s.frameCount, s.width, s.height)) {
          if (s.width == 0 || s.height == 0 || s.frameCount == 0) {
            warning(report_, place.key("data"), *problem);
          } else {
            error(report_, place.key("data"), *problem + "; the game would refuse sprites.dat");
            ok = false;
          }
        }
      }
      return ok;
    }
    uint64_t count = 0;
    Picture strip;
    bool ok = picture(ff, "strip", base, strip);
    const json* c = ff.require("count");
    if (c && wholeNumber(*c, place.key("count"), 255, count, report_) && count == 0) {
      error(report_, place.key("count"), "a sprite has 1 to 255 frames, not 0");
      count = 0;
    }
    ff.finish();
    if (!ok || count == 0) return false;
    if (strip.width % static_cast<int>(count) != 0) {
      error(report_, place,
            "strip width " + std::to_string(strip.width) + " is not divisible by " + std::to_string(count) + " frames");
      return false;
    }
    pics = splitStrip(strip, static_cast<int>(count));
  }
  if (pics[0].width > 255 || pics[0].height > 255) {
    error(report_, place,
          "a frame is " + std::to_string(pics[0].width) + "x" + std::to_string(pics[0].height) +
              "; a sprite is at most 255x255 pixels");
    return false;
  }
  s.frameCount = static_cast<uint8_t>(pics.size());
  s.width = static_cast<uint8_t>(pics[0].width);
  s.height = static_cast<uint8_t>(pics[0].height);
  s.frameData = encodeFrames(pics);
  std::string opaque;
  std::size_t opaqueCount = 0;
  for (std::size_t i = 0; i < pics.size(); ++i) {
    if (pics[i].pixels.back() == 0) continue;
    opaque += (opaque.empty() ? "" : ", ") + std::to_string(i + 1);
    ++opaqueCount;
  }
  if (opaqueCount > 0) {
    std::string which = pics.size() == 1 ? "the frame's" : (opaqueCount == 1 ? "frame " : "frames ") + opaque + ":";
    warning(report_, place, which + " bottom-right pixel is opaque, but the game never draws that pixel");
  }
  return true;
}

void SourceReader::sprite(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  Sprite s;
  bool ok = number(f, "id", s.id, true, 0u, UINT32_MAX);
  if (ok) ok = uniqueId(seen, item, s.id, "sprite");
  ok = namedByte(f, "kind", kKindNames, s.kind, true, 0) && ok;
  ok = number(f, "animRate", s.animRate, false, uint8_t{0}, 255) && ok;
  ok = namedByte(f, "motion", kMotionNames, s.motion, false, 0) && ok;
  ok = number(f, "moveRate", s.moveRate, false, uint8_t{0}, 255) && ok;
  ok = frames(f, item.base, s) && ok;
  if (const json* r = f.get("reserved")) {
    Fields rf(*r, f.at("reserved"), report_);
    if (!rf.valid()) {
      ok = false;
    } else {
      if (rf.has("label") && rf.has("bytes4")) {
        error(report_, rf.place(), "give either \"label\" or \"bytes4\", not both");
        ok = false;
      } else if (rf.has("label")) {
        ok = textField(rf, "label", s.reservedA.data(), s.reservedA.size()) && ok;
      } else {
        ok = hexField(rf, "bytes4", s.reservedA.data(), s.reservedA.size()) && ok;
      }
      ok = number(rf, "byte39", s.reservedB, false, uint8_t{0}, 255) && ok;
      ok = number(rf, "byte42", s.reservedC, false, uint8_t{0}, 255) && ok;
      ok = hexField(rf, "bytes45", s.reservedD.data(), s.reservedD.size()) && ok;
      rf.finish();
    }
  }
  if (ok && s.kind >= layout::kKindCount) {
    warning(report_, f.at("kind"), "kind " + std::to_string(s.kind) + " gives no layer in the game (kinds are 0..6)");
  }
  f.finish();
  if (ok) data_.sprites.push_back(std::move(s));
}

void SourceReader::screen(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  ScreenRecord s{};
  bool ok = number(f, "number", s.screenNumber, true, 0u, UINT32_MAX);
  if (ok && (s.screenNumber < 1 || s.screenNumber > layout::map::kScreens)) {
    error(report_, f.at("number"), std::to_string(s.screenNumber) + " is out of range 1..100");
    ok = false;
  }
  if (ok) {
    auto [it, fresh] = seen.emplace(s.screenNumber, item.place);
    if (!fresh) {
      error(report_, f.at("number"),
            "duplicate screen number " + std::to_string(s.screenNumber) + " (first at " + it->second.file + ": " +
                it->second.path + ")");
      ok = false;
    }
  }
  if (const json* objects = f.get("objects")) {
    if (!objects->is_array()) {
      error(report_, f.at("objects"), "must be a list");
      ok = false;
    } else if (objects->size() > layout::map::kObjectCount) {
      error(report_, f.at("objects"),
            std::to_string(objects->size()) + " object placements; a screen holds at most 64");
      ok = false;
    } else {
      bool ended = false;
      for (std::size_t i = 0; i < objects->size(); ++i) {
        Fields o((*objects)[i], f.at("objects").index(i), report_);
        if (!o.valid()) {
          ok = false;
          continue;
        }
        ObjectPlacement& p = s.objects[i];
        ok = number(o, "sprite", p.spriteId, true, 0u, UINT32_MAX) && ok;
        ok = number(o, "x", p.x, true, uint16_t{0}, 0xFFFF) && ok;
        ok = number(o, "y", p.y, true, uint16_t{0}, 0xFFFF) && ok;
        ok = number(o, "layer", p.layerOverride, false, 0u, UINT32_MAX) && ok;
        o.finish();
        if (p.spriteId >= layout::map::kFirstBackgroundId) {
          warning(report_, o.at("sprite"),
                  "sprite " + std::to_string(p.spriteId) + " is 1000 or more; the game skips such placements");
        }
        if (p.layerOverride != 0 && (p.layerOverride & 0xFF) > 31) {
          warning(report_, o.at("layer"), "layer " + std::to_string(p.layerOverride & 0xFF) + " is above 31, the last layer");
        }
        if (p.spriteId == 0 && !ended && o.has("sprite")) {
          warning(report_, o.at("sprite"), "sprite 0 ends the list; the game reads no placement after it");
          ended = true;
        }
      }
    }
  }
  if (const json* events = f.get("events")) {
    if (!events->is_array()) {
      error(report_, f.at("events"), "must be a list");
      ok = false;
    } else if (events->size() > layout::map::kEventCount) {
      error(report_, f.at("events"), std::to_string(events->size()) + " event placements; a screen holds at most 16");
      ok = false;
    } else {
      for (std::size_t i = 0; i < events->size(); ++i) {
        Fields e((*events)[i], f.at("events").index(i), report_);
        if (!e.valid()) {
          ok = false;
          continue;
        }
        EventPlacement& p = s.events[i];
        ok = number(e, "event", p.eventId, true, 0u, UINT32_MAX) && ok;
        ok = number(e, "x", p.x, true, uint16_t{0}, 0xFFFF) && ok;
        ok = number(e, "y", p.y, true, uint16_t{0}, 0xFFFF) && ok;
        e.finish();
      }
    }
  }
  f.finish();
  if (ok) data_.screens.push_back(s);
}

bool SourceReader::action(const json& j, const JsonPlace& place, EventAction& a) {
  Fields f(j, place, report_);
  if (!f.valid()) return false;
  bool ok = true;
  if (f.has("do") && f.has("opcode")) {
    error(report_, place, "give either \"do\" or \"opcode\", not both");
    return false;
  }
  if (f.has("opcode")) {
    ok = number(f, "opcode", a.opcode, true, uint8_t{0}, 255);
  } else {
    ok = namedByte(f, "do", kActionNames, a.opcode, true, 0);
  }
  const char* argName = nameOf(kActionArgNames, a.opcode);
  if (argName && f.has(argName) && f.has("arg")) {
    error(report_, place, "give either \"" + std::string(argName) + "\" or \"arg\", not both");
    ok = false;
  } else if (argName && !f.has("arg")) {
    ok = number(f, argName, a.argument, true, 0u, UINT32_MAX) && ok;
  } else {
    ok = number(f, "arg", a.argument, false, 0u, UINT32_MAX) && ok;
  }
  bool needsPosition = a.opcode == GoToScreen;
  ok = number(f, "x", a.x, needsPosition, uint16_t{0}, 0xFFFF) && ok;
  ok = number(f, "y", a.y, needsPosition, uint16_t{0}, 0xFFFF) && ok;
  f.finish();
  return ok;
}

void SourceReader::event(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  Event e;
  bool ok = number(f, "id", e.id, true, 0u, UINT32_MAX);
  if (ok) ok = uniqueId(seen, item, e.id, "event");
  uint64_t w = 0, h = 0;
  ok = numberPair(f, "size", 0xFFFF, w, h) && ok;
  e.width = static_cast<uint16_t>(w);
  e.height = static_cast<uint16_t>(h);
  ok = namedByte(f, "trigger", kTriggerNames, e.trigger, true, 0) && ok;
  e.armState = Armed;
  if (const json* armed = f.get("armed"); armed && armed->is_boolean()) {
    e.armState = armed->get<bool>() ? Armed : Disarmed;
  } else if (armed) {
    uint64_t v = 0;
    ok = wholeNumber(*armed, f.at("armed"), 255, v, report_) && ok;
    e.armState = static_cast<uint8_t>(v);
  }
  ok = number(f, "param", e.triggerParam, false, 0u, UINT32_MAX) && ok;
  ok = hexField(f, "reserved", e.reserved, sizeof e.reserved) && ok;
  if (const json* actions = f.get("actions")) {
    if (!actions->is_array()) {
      error(report_, f.at("actions"), "must be a list");
      ok = false;
    } else if (actions->size() > 255) {
      error(report_, f.at("actions"), std::to_string(actions->size()) + " actions; an event holds at most 255");
      ok = false;
    } else {
      for (std::size_t i = 0; i < actions->size(); ++i) {
        EventAction a;
        ok = action((*actions)[i], f.at("actions").index(i), a) && ok;
        e.actions.push_back(a);
      }
      e.actionCount = static_cast<uint8_t>(e.actions.size());
    }
  }
  f.finish();
  if (ok) data_.events.push_back(std::move(e));
}

void SourceReader::artifact(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  Artifact a;
  bool ok = number(f, "id", a.id, true, 0u, UINT32_MAX);
  if (ok) {
    // The game keeps every artifact record, so a second one with an id is allowed, if odd.
    auto [it, fresh] = seen.emplace(a.id, item.place);
    if (!fresh) {
      warning(report_, f.at("id"),
              "a second artifact with id " + std::to_string(a.id) + " (first at " + it->second.file + ": " +
                  it->second.path + "); the game's lookups by id find the first");
    }
  }
  ok = textField(f, "name", fieldBytes(a.name), sizeof a.name) && ok;
  ok = number(f, "screen", a.screenNumber, false, uint16_t{0}, 0xFFFF) && ok;
  ok = number(f, "x", a.x, false, uint16_t{0}, 0xFFFF) && ok;
  ok = number(f, "y", a.y, false, uint16_t{0}, 0xFFFF) && ok;
  ok = namedByte(f, "state", kStateNames, a.state, true, 0) && ok;
  f.finish();
  if (ok) data_.artifacts.push_back(a);
}

void SourceReader::dialog(const Item& item, std::map<uint32_t, JsonPlace>& seen) {
  Fields f(*item.value, item.place, report_);
  if (!f.valid()) return;
  Dialog d;
  bool ok = number(f, "id", d.id, true, 0u, UINT32_MAX);
  if (ok) ok = uniqueId(seen, item, d.id, "dialog");
  ok = textField(f, "text", fieldBytes(d.text), sizeof d.text) && ok;
  f.finish();
  if (ok) data_.dialogs.push_back(d);
}

}  // namespace

DataSet readSources(const fs::path& sources, Report& report) {
  SourceReader reader(report);
  return reader.read(sources);
}

}  // namespace zdata
