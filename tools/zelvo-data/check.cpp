// check.cpp -- checking a loaded data set against what the game does with it.
#include "check.h"

#include <map>
#include <queue>
#include <set>

#include "check_looks.h"
#include "check_play.h"
#include "commands.h"
#include "pixels.h"
#include "text.h"
#include "world.h"

namespace zdata {

using namespace layout;

namespace {

struct ImageNeed {
  uint32_t id;
  const char* role;
};

// Every image id the game draws.
constexpr ImageNeed kImageNeeds[] = {
    {1, "the game frame's side borders"},
    {2, "the game frame's top and bottom borders"},
    {3, "the inventory panel"},
    {4, "the front-end panel"},
    {5, "the dialog box"},
    {6, "the splash picture"},
    {7, "the sound-on icon"},
    {8, "the sound-off icon"},
    {5555, "the game-over picture"},
    {5556, "the end picture"},
};
constexpr uint32_t kFrontEndImages[] = {100, 110, 111, 120, 121, 122, 123, 124, 125, 126, 127, 130, 131, 132,
                                        133, 134, 135, 136, 137, 138, 139, 140, 141, 150, 151, 500, 501};
constexpr uint32_t kPlayerFrames = 16;
constexpr uint32_t kStartSlot = 0;  // a new game starts at row 0, column 0

std::string named(const char* what, uint32_t id) { return std::string(what) + " " + std::to_string(id); }
std::string entryNamed(const char* what, uint32_t id, uint32_t entry) {
  return named(what, id) + " (index entry " + std::to_string(entry) + ")";
}

class Checker {
 public:
  Checker(const LoadedSet& set, Report& report) : set_(set), r_(report), t_(tableView(set.records)) {
    for (const auto& s : t_.sprites) sprites_[s.id] = &s;
    for (const auto& e : t_.events) events_[e.id] = &e;
    for (const auto& d : t_.dialogs) dialogs_[d.id] = &d;
    for (const auto& i : t_.images) images_[i.id] = &i;
    for (const auto& f : t_.fonts) fonts_[f.id] = &f;
    for (const auto& a : t_.artifacts) artifacts_.insert(a.id);
    slots_ = mapSlots(set.records.screens);
  }
  void run();

 private:
  const LoadedSet& set_;
  Report& r_;
  DataSet t_;
  std::map<uint32_t, const Sprite*> sprites_;
  std::map<uint32_t, const Event*> events_;
  std::map<uint32_t, const Dialog*> dialogs_;
  std::map<uint32_t, const Image*> images_;
  std::map<uint32_t, const Font*> fonts_;
  std::set<uint32_t> artifacts_;
  std::vector<ScreenRecord> slots_;
  std::vector<bool> reached_ = std::vector<bool>(map::kScreens, false);  // by reachability()

  bool loads(const char* file) const { return set_.file(file).loads; }
  bool screenExists(uint32_t n) const { return n >= 1 && n <= map::kScreens && slots_[n - 1].screenNumber != 0; }

  template <class T>
  void duplicates(const std::vector<T>& records, const std::vector<uint32_t>& entries, const char* file,
                  const char* what);
  void images();
  void fonts();
  void sprites();
  void screens();
  void events();
  void artifacts();
  void dialogs();
  void required();
  void reachability();
  void unused();
  // The actions of the events placed on screens the player can reach.
  template <class Visit>
  void reachableActions(Visit visit) const;
};

template <class T>
void Checker::duplicates(const std::vector<T>& records, const std::vector<uint32_t>& entries, const char* file,
                         const char* what) {
  std::map<uint32_t, uint32_t> first;
  for (std::size_t i = 0; i < records.size(); ++i) {
    uint32_t entry = entries.empty() ? static_cast<uint32_t>(i) : entries[i];
    auto [it, fresh] = first.emplace(records[i].id, entry);
    if (!fresh) {
      r_.warning(file, entryNamed(what, records[i].id, entry), "id",
                 "a second record with this id; the game keeps the first (" +
                     std::string(entries.empty() ? "record " : "index entry ") + std::to_string(it->second) +
                     ") and ignores this one");
    }
  }
}

void Checker::images() {
  duplicates(set_.records.images, set_.imageEntries, kImagesFile, "image");
  for (const auto& im : t_.images) {
    std::string rec = named("image", im.id);
    if (auto problem = imageDataProblem(im.data, im.width, im.height))
      r_.error(kImagesFile, rec, "pixelData", *problem);
    uint64_t pixels = uint64_t{im.width} * im.height;
    if (pixels > 65536) {
      r_.warning(kImagesFile, rec, "width",
                 std::to_string(im.width) + "x" + std::to_string(im.height) +
                     " is more than 65536 pixels; the game counts positions in 16 bits and draws only part of it");
    }
  }
}

void Checker::fonts() {
  duplicates(set_.records.fonts, set_.fontEntries, kFontsFile, "font");
  for (const auto& f : t_.fonts) {
    std::string rec = named("font", f.id);
    bool needed = f.id == 1 || f.id == 2;
    uint64_t full = uint64_t{font::kCellRows} * font::kCellsAcross * f.glyphWidth * f.glyphHeight * 2;
    if (f.glyphWidth == 0 || f.glyphHeight == 0) {
      std::string msg =
          "glyph cells of " + std::to_string(f.glyphWidth) + "x" + std::to_string(f.glyphHeight) + " draw nothing";
      needed ? r_.error(kFontsFile, rec, "glyphWidth", msg) : r_.warning(kFontsFile, rec, "glyphWidth", msg);
    } else if (f.sheet.size() < full) {
      std::string msg = "the sheet has " + std::to_string(f.sheet.size()) +
                        " bytes; the 96 glyphs of codes 32..127 need " + std::to_string(full);
      needed ? r_.error(kFontsFile, rec, "glyphSheet", msg) : r_.warning(kFontsFile, rec, "glyphSheet", msg);
    } else if (f.sheet.size() % 2) {
      r_.warning(kFontsFile, rec, "glyphSheet", "the sheet has an odd number of bytes; its last byte is no pixel");
    }
  }
}

void Checker::sprites() {
  duplicates(set_.records.sprites, set_.spriteEntries, kSpritesFile, "sprite");
  for (const auto& s : t_.sprites) {
    std::string rec = named("sprite", s.id);
    if (s.kind >= kKindCount) {
      r_.warning(kSpritesFile, rec, "kind", "kind " + std::to_string(s.kind) + " gives no layer (kinds are 0..6)");
    }
    if (s.width == 0 || s.height == 0) {
      r_.warning(kSpritesFile, rec, "width",
                 std::to_string(s.width) + "x" + std::to_string(s.height) + " has no pixels; it shows nothing");
    }
    if (s.frameCount == 0) r_.warning(kSpritesFile, rec, "frameCount", "the sprite has no frames; it shows nothing");
    if (auto problem = frameDataProblem(s.frameData, s.frameCount, s.width, s.height)) {
      r_.error(kSpritesFile, rec, "frameData", *problem);
    }
  }
}

void Checker::screens() {
  std::map<uint32_t, uint32_t> records;
  const auto& all = set_.records.screens;
  for (uint32_t k = 0; k < all.size(); ++k) {
    const ScreenRecord& s = all[k];
    std::string rec = "record " + std::to_string(k);
    if (s.screenNumber > map::kScreens) {
      r_.warning(kMapFile, rec, "screenNumber",
                 "screen number " + std::to_string(s.screenNumber) + " is above 100; the game skips the record");
    } else if (s.screenNumber == 0) {
      bool filled = false;
      for (const auto& o : s.objects) filled = filled || o.spriteId || o.x || o.y || o.layerOverride;
      for (const auto& e : s.events) filled = filled || e.eventId || e.x || e.y;
      if (filled)
        r_.warning(kMapFile, rec, "screenNumber",
                   "the record holds placements but screen number 0; the game ignores it");
    } else if (auto [it, fresh] = records.emplace(s.screenNumber, k); !fresh) {
      r_.warning(kMapFile, rec, "screenNumber",
                 "screen " + std::to_string(s.screenNumber) + " is also in record " + std::to_string(it->second) +
                     "; the game keeps the later record");
      it->second = k;
    }
  }
  for (const auto& s : t_.screens) {
    std::string rec = named("screen", s.screenNumber);
    bool ended = false;
    for (uint32_t k = 0; k < map::kObjectCount; ++k) {
      const ObjectPlacement& p = s.objects[k];
      std::string field = "objects[" + std::to_string(k) + "]";
      if (ended) {
        if (p.spriteId)
          r_.warning(kMapFile, rec, field, "comes after the end of the list (a sprite 0) and is never read");
        continue;
      }
      if (p.spriteId == 0) {
        ended = true;
      } else if (p.spriteId >= map::kFirstBackgroundId) {
        r_.warning(kMapFile, rec, field + ".sprite",
                   "sprite " + std::to_string(p.spriteId) + " is 1000 or more; the game skips it");
      } else if (loads(kSpritesFile) && !sprites_.count(p.spriteId)) {
        r_.error(kMapFile, rec, field + ".sprite",
                 "places sprite " + std::to_string(p.spriteId) + ", which does not exist");
      }
      if (!ended && p.layerOverride != 0 && (p.layerOverride & 0xFF) > 31) {
        r_.warning(kMapFile, rec, field + ".layerOverride",
                   "layer " + std::to_string(p.layerOverride & 0xFF) + " is above 31, the last layer");
      }
    }
    ended = false;
    for (uint32_t k = 0; k < map::kEventCount; ++k) {
      const EventPlacement& p = s.events[k];
      std::string field = "events[" + std::to_string(k) + "]";
      if (ended) {
        if (p.eventId)
          r_.warning(kMapFile, rec, field, "comes after the end of the list (an event 0) and is never read");
      } else if (p.eventId == 0) {
        ended = true;
      } else if (loads(kEventsFile) && !events_.count(p.eventId)) {
        r_.error(kMapFile, rec, field + ".event",
                 "places event " + std::to_string(p.eventId) + ", which does not exist");
      }
    }
  }
}

void Checker::events() {
  duplicates(set_.records.events, set_.eventEntries, kEventsFile, "event");
  std::set<uint32_t> placed;
  for (const auto& s : t_.screens) {
    for (const auto& p : s.events) {
      if (p.eventId == 0) break;
      placed.insert(p.eventId);
    }
  }
  bool mapLoads = loads(kMapFile), artLoads = loads(kArtifactsFile), dialogsLoad = loads(kDialogsFile);
  for (const auto& e : t_.events) {
    std::string rec = named("event", e.id);
    if (e.trigger < Touch || e.trigger > UseArtifact) {
      r_.warning(kEventsFile, rec, "trigger", "trigger " + std::to_string(e.trigger) + " never fires (1..3 do)");
    }
    if (e.armState != Armed && e.armState != Disarmed) {
      r_.warning(kEventsFile, rec, "armState",
                 "arm state " + std::to_string(e.armState) + " never fires, and only armEvent changes it");
    }
    if (e.trigger == UseArtifact && artLoads && !artifacts_.count(e.triggerParam)) {
      r_.error(kEventsFile, rec, "triggerParam",
               "waits for artifact " + std::to_string(e.triggerParam) + ", which does not exist");
    }
    if (mapLoads && !placed.count(e.id)) r_.warning(kEventsFile, rec, "", "no screen places this event");
    bool left = false;
    for (std::size_t i = 0; i < e.actions.size(); ++i) {
      const EventAction& a = e.actions[i];
      std::string field = "actions[" + std::to_string(i) + "]";
      std::string arg = std::to_string(a.argument);
      if (left) {
        r_.warning(kEventsFile, rec, field, "never runs: a goToScreen before it ends the list");
        break;
      }
      switch (a.opcode) {
        case GoToScreen:
          if (mapLoads && !screenExists(a.argument)) {
            r_.error(kEventsFile, rec, field + ".argument", "goes to screen " + arg + ", which does not exist");
          } else {
            left = true;
          }
          break;
        case PlaceArtifact:
        case SpendArtifact:
          if (artLoads && !artifacts_.count(a.argument)) {
            r_.error(kEventsFile, rec, field + ".argument", "names artifact " + arg + ", which does not exist");
          }
          break;
        case ShowDialog:
          if (dialogsLoad && !dialogs_.count(a.argument)) {
            r_.error(kEventsFile, rec, field + ".argument", "shows dialog " + arg + ", which does not exist");
          }
          break;
        case DisarmEvent:
        case ArmEvent:
          if (!events_.count(a.argument)) {
            r_.error(kEventsFile, rec, field + ".argument", "names event " + arg + ", which does not exist");
          }
          break;
        case RemoveSprite:
          if (loads(kSpritesFile) && !sprites_.count(a.argument)) {
            r_.error(kEventsFile, rec, field + ".argument", "removes sprite " + arg + ", which does not exist");
          }
          break;
        case KillPlayer:
        case FinishGame:
        case NoAction:
        case AddScore:
        case AddEnergy:
          break;
        default:
          r_.warning(kEventsFile, rec, field + ".opcode", "opcode " + std::to_string(a.opcode) + " does nothing");
      }
    }
  }
}

void Checker::artifacts() {
  std::map<uint32_t, uint32_t> first;
  bool mapLoads = loads(kMapFile), spritesLoad = loads(kSpritesFile);
  for (uint32_t i = 0; i < t_.artifacts.size(); ++i) {
    const Artifact& a = t_.artifacts[i];
    std::string rec = named("artifact", a.id) + " (record " + std::to_string(i) + ")";
    if (auto [it, fresh] = first.emplace(a.id, i); !fresh) {
      r_.warning(kArtifactsFile, rec, "id",
                 "a second artifact with this id; the game keeps both, but finds record " + std::to_string(it->second) +
                     " whenever it looks the id up");
    }
    if (a.state > Spent)
      r_.warning(kArtifactsFile, rec, "state", "state " + std::to_string(a.state) + " behaves like hidden");
    if ((a.state == Lying || a.state == Placed) && mapLoads && !screenExists(a.screenNumber)) {
      r_.error(kArtifactsFile, rec, "screenNumber",
               "lies on screen " + std::to_string(a.screenNumber) + ", which does not exist");
    }
    if (spritesLoad && !sprites_.count(a.id)) {
      r_.error(kArtifactsFile, rec, "id", "no sprite " + std::to_string(a.id) + " shows this artifact");
    }
    if (a.name[sizeof a.name - 1] != 0)
      r_.warning(kArtifactsFile, rec, "name", "the name fills all 32 bytes with no 0 byte to end it");
  }
}

void Checker::dialogs() {
  duplicates(set_.records.dialogs, {}, kDialogsFile, "dialog");
  unsigned glyphWidth = fonts_.count(1) ? fonts_.at(1)->glyphWidth : 0;
  for (const auto& d : t_.dialogs) {
    std::string rec = named("dialog", d.id);
    if (d.text[sizeof d.text - 1] != 0)
      r_.warning(kDialogsFile, rec, "text", "the text fills all 128 bytes with no 0 byte to end it");
    std::string text = fieldText(fieldBytes(d.text), dialog::kTextSize - 1);
    const DialogLayout layout = dialogLayout(text, glyphWidth);
    if (layout.cut) {
      r_.warning(kDialogsFile, rec, "text",
                 "does not fit the dialog box's seven lines; the box stops before \"" + layout.cut->lost + "\"");
    }
    for (const MarkupBreak& b : layout.markupBreaks) {
      r_.warning(kDialogsFile, rec, "text",
                 "a line ends " + std::to_string(b.room) + " pixels short, before \"" + b.word +
                     "\": the box counts the word's colour sequences as 6 characters each, so it does not fit by its "
                     "estimate");
    }
  }
}

void Checker::required() {
  if (loads(kImagesFile)) {
    for (const auto& need : kImageNeeds) {
      if (!images_.count(need.id)) {
        r_.error(kImagesFile, named("image", need.id), "", std::string("missing; the game draws it as ") + need.role);
      }
    }
    for (uint32_t id : kFrontEndImages) {
      if (!images_.count(id)) r_.error(kImagesFile, named("image", id), "", "missing; the front-end screens draw it");
    }
    for (uint32_t id : {3u, 5u}) {
      auto it = images_.find(id);
      if (it != images_.end() && it->second->saveUnder != 1) {
        r_.error(kImagesFile, named("image", id), "saveUnder",
                 "is " + std::to_string(it->second->saveUnder) +
                     "; the panel needs a save buffer (1) to be taken away again");
      }
    }
  }
  if (loads(kFontsFile)) {
    for (uint32_t id : {1u, 2u}) {
      if (!fonts_.count(id)) r_.error(kFontsFile, named("font", id), "", "missing; the game writes its texts with it");
    }
  }
  if (loads(kSpritesFile)) {
    auto it = sprites_.find(sprite::kPlayerId);
    if (it == sprites_.end()) {
      r_.error(kSpritesFile, named("sprite", sprite::kPlayerId), "", "missing; it is the player");
    } else {
      if (it->second->frameCount < kPlayerFrames) {
        r_.error(kSpritesFile, named("sprite", sprite::kPlayerId), "frameCount",
                 "the player needs at least 16 frames (1..8 left, 9..16 right), found " +
                     std::to_string(it->second->frameCount));
      }
      if (it->second->kind != static_cast<uint8_t>(SpriteKind::Player)) {
        r_.error(kSpritesFile, named("sprite", sprite::kPlayerId), "kind",
                 "the player must be of kind player (layer 16): the game finds the player by that layer");
      }
    }
  }
  if (loads(kMapFile) && slots_[kStartSlot].screenNumber == 0) {
    r_.error(kMapFile, named("screen", kStartSlot + 1), "", "missing; a new game starts in the top-left slot");
  }
  if (t_.titleMusic.empty()) r_.warning(kTitleMusicFile, "", "", "missing; the title plays no music");
  if (t_.gameMusic.empty()) r_.warning(kGameMusicFile, "", "", "missing; the game plays no music");
}

void Checker::reachability() {
  if (!loads(kMapFile) || slots_[kStartSlot].screenNumber == 0) return;
  std::vector<bool>& seen = reached_;
  std::queue<uint32_t> todo;
  seen[kStartSlot] = true;
  todo.push(kStartSlot);
  auto reach = [&](uint32_t slot) {
    if (slot < map::kScreens && slots_[slot].screenNumber != 0 && !seen[slot]) {
      seen[slot] = true;
      todo.push(slot);
    }
  };
  while (!todo.empty()) {
    uint32_t slot = todo.front();
    todo.pop();
    uint32_t row = slot % 10, column = slot / 10;
    if (row > 0) reach(slot - 1);
    if (row < 9) reach(slot + 1);
    if (column > 0) reach(slot - 10);
    if (column < 9) reach(slot + 10);
    for (const auto& p : slots_[slot].events) {
      if (p.eventId == 0) break;
      auto e = events_.find(p.eventId);
      if (e == events_.end()) continue;
      for (const auto& a : e->second->actions) {
        if (a.opcode == GoToScreen && screenExists(a.argument)) reach(a.argument - 1);
      }
    }
  }
  for (uint32_t slot = 0; slot < map::kScreens; ++slot) {
    if (slots_[slot].screenNumber != 0 && !seen[slot]) {
      r_.warning(kMapFile, named("screen", slots_[slot].screenNumber), "",
                 "cannot be reached: no edge or event leads here from screen 1");
    }
  }
}

template <class Visit>
void Checker::reachableActions(Visit visit) const {
  for (uint32_t slot = 0; slot < map::kScreens; ++slot) {
    if (!reached_[slot]) continue;
    for (const auto& p : slots_[slot].events) {
      if (p.eventId == 0) break;
      auto e = events_.find(p.eventId);
      if (e == events_.end()) continue;
      for (const auto& a : e->second->actions) visit(a);
    }
  }
}

// Content the player can never meet: artifacts that never reach the inventory, texts never shown.
void Checker::unused() {
  if (!loads(kMapFile) || !loads(kEventsFile) || slots_[kStartSlot].screenNumber == 0) return;
  std::set<uint32_t> placedArtifacts, shownDialogs;
  reachableActions([&](const EventAction& a) {
    if (a.opcode == PlaceArtifact) placedArtifacts.insert(a.argument);
    if (a.opcode == ShowDialog) shownDialogs.insert(a.argument);
  });
  std::set<uint32_t> seen;
  for (uint32_t i = 0; i < t_.artifacts.size(); ++i) {
    const Artifact& a = t_.artifacts[i];
    if (!seen.insert(a.id).second) continue;  // the game's lookups find the first of an id only
    const bool lyingReachable =
        a.state == Lying && a.screenNumber >= 1 && a.screenNumber <= map::kScreens && reached_[a.screenNumber - 1];
    // The game finds an artifact's object as the first object of its id: a placed sprite of that id
    // is taken when the artifact is picked up there, and the artifact's own object stays behind.
    for (uint32_t slot = 0; slot < map::kScreens; ++slot) {
      const ScreenRecord& screen = slots_[slot];
      if (screen.screenNumber == 0) continue;
      for (const auto& o : screen.objects) {
        if (o.spriteId == 0) break;
        if (o.spriteId != a.id) continue;
        r_.warning(kArtifactsFile, named("artifact", a.id) + " (record " + std::to_string(i) + ")", "",
                   "shares its id with a sprite placed on screen " + std::to_string(screen.screenNumber) +
                       ": picking the artifact up there takes that object instead of the artifact's own");
        break;
      }
    }
    if (a.state == Carried || lyingReachable || placedArtifacts.count(a.id)) continue;
    r_.warning(kArtifactsFile, named("artifact", a.id) + " (record " + std::to_string(i) + ")", "",
               "can never be picked up: it is not carried at the start, lies on no screen the player can reach, and "
               "no event there places it");
  }
  if (!loads(kDialogsFile)) return;
  for (const auto& d : t_.dialogs) {
    if (!shownDialogs.count(d.id))
      r_.warning(kDialogsFile, named("dialog", d.id), "",
                 "is never shown: no event on a screen the player can reach shows it");
  }
}

void Checker::run() {
  images();
  fonts();
  sprites();
  screens();
  events();
  artifacts();
  dialogs();
  required();
  reachability();
  unused();
}

}  // namespace

void checkDataSet(const LoadedSet& set, Report& report) {
  Checker checker(set, report);
  checker.run();
  checkLooks(set, report);
  checkEntries(set, report);
}

int checkCommand(const std::filesystem::path& dir, const ReportOptions& options, Streams io) {
  PreparedWorld world{dir};
  if (isSources(dir) && prepareWorld(dir, world, io) != 0) return 1;
  Report report;
  LoadedSet set = loadDataSet(world.dataDir, report);
  checkDataSet(set, report);
  io.out << (options.json ? reportJson(report) : formatReport(report, "check"));
  return report.hasErrors() ? 1 : 0;
}

}  // namespace zdata
