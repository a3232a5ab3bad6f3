// check_looks.cpp -- a world's pictures, fonts and music against where the game draws and plays them.
#include "check_looks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <tuple>
#include <vector>

#include "gfx/display.h"
#include "gfx/image.h"
#include "pixels.h"
#include "world/collision.h"

namespace zdata {

using namespace layout;

namespace {

constexpr int kView = static_cast<int>(kViewSize);

std::string at(int x, int y) { return "(" + std::to_string(x) + "," + std::to_string(y) + ")"; }

// View pixels, bounds included.
struct Rect {
  int x0, y0, x1, y1;
  bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
  bool corner(int x, int y) const { return (x == x0 || x == x1) && (y == y0 || y == y1); }
  std::string text() const { return at(x0, y0) + "-" + at(x1, y1); }
};

// These tables mirror where the game draws and what its taps test (flow, inventory, gfx and the shell):
// image id, x, y.
constexpr int kPlaces[][3] = {
    {6, 0, 0},      {1, 0, 25},     {1, 225, 25},   {2, 0, 0},      {2, 0, 214},    {3, 25, 40},    {5, 25, 40},
    {4, 15, 25},    {7, 50, 3},     {8, 50, 3},     {100, 45, 22},  {110, 50, 55},  {111, 49, 54},  {120, 50, 83},
    {121, 50, 83},  {130, 35, 115}, {131, 33, 117}, {140, 70, 145}, {141, 74, 147}, {150, 95, 175}, {151, 96, 177},
    {122, 15, 25},  {123, 34, 143}, {124, 30, 90},  {125, 25, 90},  {126, 27, 90},  {127, 18, 91},  {139, 15, 25},
    {132, 93, 146}, {133, 68, 100}, {134, 68, 100}, {135, 68, 100}, {136, 68, 100}, {137, 68, 100}, {138, 68, 100},
    {500, 15, 25},  {501, 97, 203}, {5555, 15, 25}, {5556, 15, 25}};

// A button's picture and place, its pressed form's, and the rectangle a tap acts in; the volume
// screen's Back is part of picture 139 and has only a pressed form.
struct Button {
  const char* name;
  int normal, nx, ny, pressed, px, py;
  Rect tap;
};
constexpr Button kButtons[] = {{"Start", 110, 50, 55, 111, 49, 54, {50, 55, 170, 75}},
                               {"Keys", 120, 50, 83, 121, 50, 83, {45, 85, 180, 105}},
                               {"Volume", 130, 35, 115, 131, 33, 117, {30, 115, 195, 135}},
                               {"Info", 140, 70, 145, 141, 74, 147, {70, 145, 155, 164}},
                               {"Quit", 150, 95, 175, 151, 96, 177, {80, 175, 140, 195}},
                               {"volume Back", 0, 0, 0, 132, 93, 146, {90, 130, 150, 160}}};
constexpr Rect kVolumeDown{60, 90, 80, 120}, kVolumeUp{145, 90, 185, 120};

// Texts written at fixed places, and the room each has.
struct FixedText {
  uint32_t font;
  const char* text;
  int x, y;
  Rect room;
  const char* why;
};
constexpr FixedText kTexts[] = {
    {1, "Lives: 3", 168, 1, {0, 0, kView - 1, 10}, "the energy bar starts at row 11"},
    {1, "Score: 0000", 160, 220, {0, 0, kView - 1, kView - 1}, "the game does not clip text"},
    {1, "version 0.9.8", 80, 205, {0, 0, kView - 1, kView - 1}, "the game does not clip text"},
    {2, "Menu", 1, 1, {0, 0, 49, 14}, "a tap opens the menu only at x below 50 and y below 15"}};

// The view's pixels a picture paints; none when it is not drawn.
struct Mask {
  std::vector<bool> bits;
  bool operator()(int x, int y) const { return bits[y * kView + x]; }
};

// View pixels where test(x, y) holds.
template <class Test>
int pixels(Test test) {
  int n = 0;
  for (int y = 0; y < kView; ++y)
    for (int x = 0; x < kView; ++x) n += test(x, y);
  return n;
}

struct Looks {
  Report& r;
  DataSet t;
  std::map<uint32_t, const Image*> images;
  std::map<uint32_t, const Font*> fonts;
  std::map<std::tuple<uint32_t, int, int>, Mask> masks;

  void warn(uint32_t id, const std::string& message) {
    r.warning(kImagesFile, "image " + std::to_string(id), "", message);
  }

  // The game's own decoder on a cleared view, so the bottom-right pixel stays undrawn as in play.
  // Nothing for a missing picture, one whose data fails (an error already) or one past the view's edge.
  const Mask* drawn(uint32_t id, int x, int y) {
    auto found = images.find(id);
    if (found == images.end()) return nullptr;
    const Image& im = *found->second;
    auto [it, fresh] = masks.try_emplace({id, x, y});
    if (fresh && (x + im.width > kView || y + im.height > kView)) {
      warn(id, "is " + std::to_string(im.width) + "x" + std::to_string(im.height) + "; drawn at " + at(x, y) +
                   " it passes the edge of the 240x240 view");
    } else if (fresh && !imageDataProblem(im.data, im.width, im.height)) {
      std::vector<uint16_t> view(kBackStride * kViewSize, 0);
      const Display saved = display;
      display = Display{};
      display.backBuffer = view.data();
      display.backBufferSize = static_cast<uint32_t>(view.size() * 2);
      drawRunLength(x, y, im.width, im.height, im.data.data(), static_cast<uint32_t>(im.data.size()));
      display = saved;
      dirtyList.pop_back();  // the game's list, left as it was
      for (uint16_t p : view) it->second.bits.push_back(p != 0);
    }
    return it->second.bits.empty() ? nullptr : &it->second;
  }

  // A new game draws the frame over the title without clearing it: outside the playfield, what the
  // frame leaves undrawn shows the title, but for the one pixel each piece never draws.
  void frame() {
    const int pieces[][3] = {{1, 0, 25}, {1, 225, 25}, {2, 0, 0}, {2, 0, 214}};
    const Mask* m[4];
    for (int i = 0; i < 4; ++i)
      if (!(m[i] = drawn(pieces[i][0], pieces[i][1], pieces[i][2]))) return;
    const Rect field{kPlayfieldLeft, kPlayfieldTop, kPlayfieldLeft + kPlayfieldWidth - 1,
                     kPlayfieldTop + kPlayfieldHeight - 1};
    auto hole = [&](int x, int y) {
      for (int i = 0; i < 4; ++i) {
        const auto& [id, px, py] = pieces[i];
        if ((*m[i])(x, y) || (x == px + images[id]->width - 1 && y == py + images[id]->height - 1)) return false;
      }
      return !field.contains(x, y);
    };
    const std::string shows = " pixels undrawn; a new game draws the frame over the title, which shows through";
    if (int n = pixels([&](int x, int y) { return (y < field.y0 || y > field.y1) && hole(x, y); }))
      warn(2, "the frame's top and bottom bands leave " + std::to_string(n) + shows);
    if (int n = pixels([&](int x, int y) { return y >= field.y0 && y <= field.y1 && hole(x, y); }))
      warn(1, "the frame's sides leave " + std::to_string(n) + shows);
  }

  // The dialog box writes on its panel with no background; the inventory's panel takes its lines and
  // "Empty!" away again, but only within its own rectangle.
  void panels() {
    if (!fonts.count(1) || !fonts.count(2)) return;
    const int w1 = fonts[1]->glyphWidth, h1 = fonts[1]->glyphHeight;
    const int w2 = fonts[2]->glyphWidth, h2 = fonts[2]->glyphHeight;
    // Up to three carried names from x 50 and their pictures from x 145, 18 rows apart from y 70, then
    // "Exit inventory" below them.
    const int lines = static_cast<int>(std::min<std::size_t>(t.artifacts.size(), 3));
    int right = 50 + 14 * w1 - 1, bottom = 70 + 18 * lines + h1 - 1;
    for (const Artifact& a : t.artifacts) {
      right = std::max(right, 50 + static_cast<int>(strnlen(a.name, sizeof a.name)) * w1 - 1);
      for (const Sprite& s : t.sprites) {
        if (s.id != a.id) continue;
        right = std::max(right, 145 + s.width - 1);
        bottom = std::max(bottom, 70 + 18 * (lines - 1) + s.height - 1);
      }
    }
    const std::tuple<uint32_t, const char*, Rect> areas[] = {
        {5, "the dialog text", {50, 70, 195 + w1 - 1, 130 + h1 - 1}},
        {3, "\"Empty!\"", {90, 95, 90 + 6 * w2 - 1, 95 + h2 - 1}},
        {3, "the inventory's lines", {50, 70, right, lines ? bottom : 0}}};  // none without artifacts
    for (const auto& [panel, what, bounds] : areas) {
      const Rect area = bounds;  // a copy: clang 14 cannot capture a structured binding
      const Mask* m = drawn(panel, 25, 40);
      if (!m || area.x1 >= kView || area.y1 >= kView) continue;
      if (int n = pixels([&](int x, int y) { return area.contains(x, y) && !(*m)(x, y); }))
        warn(panel, "drawn at (25,40), it leaves " + std::to_string(n) + " pixels under " + what + " " + area.text() +
                        " undrawn; the text there shows over the game picture or stays when the panel goes");
    }
  }

  void buttons() {
    for (const Button& b : kButtons) {
      const Mask* normal = b.normal ? drawn(b.normal, b.nx, b.ny) : nullptr;
      const std::string tap = " its tap rectangle " + b.tap.text();
      if (normal)
        if (int n = pixels([&](int x, int y) { return (*normal)(x, y) && !b.tap.contains(x, y); }))
          warn(b.normal, "the " + std::string(b.name) + " button paints " + std::to_string(n) + " pixels outside" +
                             tap + "; taps there do nothing");
      // Drawn at or right of and below the tap rectangle's corner, the pressed form covers all of it
      // that it can reach, but for the four corners, and the button under it.
      const Mask* pressed = drawn(b.pressed, b.px, b.py);
      const Rect reach{std::max(b.tap.x0, b.px), std::max(b.tap.y0, b.py), b.tap.x1, b.tap.y1};
      auto must = [&](int x, int y) {
        return (reach.contains(x, y) && !reach.corner(x, y)) || (normal && (*normal)(x, y));
      };
      if (pressed)
        if (int n = pixels([&](int x, int y) { return must(x, y) && !(*pressed)(x, y); }))
          warn(b.pressed, "the pressed " + std::string(b.name) + " button leaves " + std::to_string(n) + " pixels of" +
                              tap + (normal ? " or of image " + std::to_string(b.normal) : "") + " undrawn");
    }
    for (uint32_t id = 133; id <= 138; ++id)
      if (const Mask* m = drawn(id, 68, 100))
        if (int n = pixels(
                [&](int x, int y) { return (*m)(x, y) && (kVolumeDown.contains(x, y) || kVolumeUp.contains(x, y)); }))
          warn(id, "the volume level paints " + std::to_string(n) +
                       " pixels over the Down or Up button (tap rectangles " + kVolumeDown.text() + " and " +
                       kVolumeUp.text() + ")");
    const Mask *on = drawn(7, 50, 3), *off = drawn(8, 50, 3);
    if (on && off)
      if (int n = pixels([&](int x, int y) { return (*on)(x, y) != (*off)(x, y); }))
        warn(8, "drawn over image 7 at (50,3), " + std::to_string(n) +
                    " pixels are painted by only one of the two; switching the sound leaves the other icon there");
  }

  void font(uint32_t id, const Font& f) {
    const int gw = f.glyphWidth, gh = f.glyphHeight;
    const std::size_t row = font::kCellsAcross * gw;
    if (gw == 0 || gh == 0 || f.sheet.size() < font::kCellRows * row * gh * 2) return;  // an error already
    const std::string rec = "font " + std::to_string(id);
    // The game writes every ink pixel in the text colour (or, where a dialog asks for colour 0, in its
    // own), so any colour is ink; only 0 is none.
    auto ink = [&](uint32_t code) {
      const std::size_t first = (code / 32 - 1) * gh * row + code % 32 * gw;
      for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
          if (read16(&f.sheet[2 * (first + y * row + x)])) return true;
      return false;
    };
    std::string blank;
    int blanks = 0;
    for (uint32_t code = font::kFirstCode + 1; code <= font::kLastCode; ++code)
      if (!ink(code) && blanks++ == 0)
        blank = std::to_string(code) + (code < font::kLastCode ? " '" + std::string(1, char(code)) + "'" : "");
    if (blanks)
      r.warning(kFontsFile, rec, "glyphSheet",
                "no ink for " + std::to_string(blanks) + " of the codes 33..127 (the first: " + blank +
                    "); the game writes them as blanks");
    if (ink(font::kFirstCode))
      r.warning(kFontsFile, rec, "glyphSheet", "the space (code 32) has ink; it shows between every two words");
    if (id == 1 && gw > 7)
      r.warning(kFontsFile, rec, "glyphWidth",
                "glyphs " + std::to_string(gw) +
                    " pixels wide are wider than the 7 the dialog box fits words by; long words break in the middle");
    if (id == 1 && gh > 10)
      r.warning(kFontsFile, rec, "glyphHeight",
                "glyphs " + std::to_string(gh) + " rows high overlap: the dialog box writes its lines 10 rows apart");
    for (const FixedText& text : kTexts) {
      const int right = text.x + static_cast<int>(std::strlen(text.text)) * gw - 1, bottom = text.y + gh - 1;
      if (text.font == id && (right > text.room.x1 || bottom > text.room.y1))
        r.warning(kFontsFile, rec, "",
                  "\"" + std::string(text.text) + "\" written at " + at(text.x, text.y) + " reaches " +
                      at(right, bottom) + ", past " + at(text.room.x1, text.room.y1) + ": " + text.why);
    }
  }

  // The step from the last sample back to the first, against the steps the music takes itself. Only
  // 8- and 16-bit PCM with its format before its data is read, and only its first channel; other
  // encodings go unchecked.
  void music(const std::string& path, const char* file) {
    std::ifstream in(path, std::ios::binary);
    const Bytes d((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (d.size() < 12 || std::memcmp(d.data(), "RIFF", 4) != 0 || std::memcmp(&d[8], "WAVE", 4) != 0) return;
    unsigned format = 0, channels = 0, bits = 0;
    std::vector<int> samples;
    for (uint64_t o = 12; o + 8 <= d.size(); o += 8 + uint64_t{read32(&d[o + 4])} + (read32(&d[o + 4]) & 1)) {
      const std::size_t end = static_cast<std::size_t>(std::min<uint64_t>(o + 8 + read32(&d[o + 4]), d.size()));
      if (std::memcmp(&d[o], "fmt ", 4) == 0 && end >= o + 24)
        format = read16(&d[o + 8]), channels = read16(&d[o + 10]), bits = read16(&d[o + 22]);
      if (std::memcmp(&d[o], "data", 4) != 0 || format != 1 || channels == 0 || (bits != 8 && bits != 16)) continue;
      for (std::size_t i = o + 8; i + channels * bits / 8 <= end; i += channels * bits / 8)
        samples.push_back(bits == 8 ? d[i] - 128 : static_cast<int16_t>(read16(&d[i])));
    }
    if (samples.size() < 3) return;
    std::vector<int> steps;
    for (std::size_t i = 1; i < samples.size(); ++i) steps.push_back(std::abs(samples[i] - samples[i - 1]));
    auto p99 = steps.begin() + static_cast<std::ptrdiff_t>(steps.size() * 99 / 100);
    std::nth_element(steps.begin(), p99, steps.end());
    if (const int seam = std::abs(samples.front() - samples.back()); seam > *p99)
      r.warning(file, "", "",
                "the loop clicks: from the last sample back to the first the wave jumps by " + std::to_string(seam) +
                    ", more than 99% of the music's own steps (at most " + std::to_string(*p99) + ")");
  }
};

}  // namespace

void checkLooks(const LoadedSet& set, Report& report) {
  Looks looks{report, tableView(set.records), {}, {}, {}};
  if (set.file(kImagesFile).loads)
    for (const Image& i : looks.t.images) looks.images.emplace(i.id, &i);
  if (set.file(kFontsFile).loads)
    for (const Font& f : looks.t.fonts) looks.fonts.emplace(f.id, &f);
  for (const auto& [id, x, y] : kPlaces) looks.drawn(id, x, y);
  looks.frame();
  looks.panels();
  looks.buttons();
  for (uint32_t id : {1u, 2u})
    if (looks.fonts.count(id)) looks.font(id, *looks.fonts[id]);
  if (!looks.t.titleMusic.empty()) looks.music(looks.t.titleMusic, kTitleMusicFile);
  if (!looks.t.gameMusic.empty()) looks.music(looks.t.gameMusic, kGameMusicFile);
}

}  // namespace zdata
