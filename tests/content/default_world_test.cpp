// default_world_test.cpp -- the default world's sources fit where the game draws and taps them.
//
// Reads content/default/world.json and the pictures it names, and checks sizes, positions and
// transparency against the places the game uses: the framed window, the front-end screens and
// their tap rectangles, the panels and the text written into them, the fonts, the player, the
// first screen and the music. That the world packs and checks clean is zelvo-data's test.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "support/testing.h"

namespace {

using nlohmann::json;

const std::string kWorld = std::string(ZELVO_SOURCE_DIR) + "/content/default/";

struct Picture {
  int w = 0;
  int h = 0;
  std::vector<uint8_t> rgba;
  bool opaque(int x, int y) const {
    return x >= 0 && y >= 0 && x < w && y < h && rgba[(static_cast<size_t>(y) * w + x) * 4 + 3] >= 128;
  }
  // The game draws a picture's pixels except its bottom-right one: is view pixel (x, y) painted
  // by this picture drawn at (px, py)?
  bool paints(int px, int py, int x, int y) const { return !(x - px == w - 1 && y - py == h - 1) && opaque(x - px, y - py); }
};

Picture LoadPicture(const std::string& rel) {
  Picture p;
  int channels = 0;
  if (stbi_uc* data = stbi_load((kWorld + rel).c_str(), &p.w, &p.h, &channels, 4)) {
    p.rgba.assign(data, data + static_cast<size_t>(p.w) * p.h * 4);
    stbi_image_free(data);
  }
  return p;
}

const json& Manifest() {
  static const json manifest = json::parse(std::ifstream(kWorld + "world.json"));
  return manifest;
}

// The entry of a section whose key has this value, or null.
json Find(const char* section, const char* key, int value) {
  for (const json& e : Manifest()[section]) {
    if (e[key].get<int>() == value) return e;
  }
  return nullptr;
}

const Picture& Image(uint32_t id) {
  static std::map<uint32_t, Picture> pictures;
  if (!pictures.count(id)) {
    const json entry = Find("images", "id", static_cast<int>(id));
    EXPECT_FALSE(entry.is_null()) << "image " << id << " is not in world.json";
    pictures[id] = entry.is_null() ? Picture{} : LoadPicture(entry["picture"].get<std::string>());
  }
  return pictures[id];
}

// The sprite's frame strip and the width of one frame.
std::pair<Picture, int> Strip(int id) {
  const json s = Find("sprites", "id", id);
  if (s.is_null()) return {};
  Picture p = LoadPicture(s["frames"]["strip"].get<std::string>());
  return {p, p.w / s["frames"]["count"].get<int>()};
}

std::pair<int, int> FontCell(int id) {
  const json f = Find("fonts", "id", id);
  return f.is_null() ? std::pair{0, 0} : std::pair{f["cell"][0].get<int>(), f["cell"][1].get<int>()};
}

// A rectangle with inclusive bounds, in view pixels.
struct Rect {
  int x0, y0, x1, y1;
  bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// Pixels of r that the picture drawn at (px, py) leaves undrawn, its four corners forgiven when asked.
int Holes(const Picture& p, int px, int py, const Rect& r, bool cornersForgiven = false) {
  int holes = 0;
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      const bool corner = (x == r.x0 || x == r.x1) && (y == r.y0 || y == r.y1);
      if (!(cornersForgiven && corner) && !p.paints(px, py, x, y)) ++holes;
    }
  return holes;
}

// Every picture the front end, the frame and the panels use, with where the game draws it.
struct Placement {
  uint32_t id;
  int x, y;
};
const std::vector<Placement> kPlacements = {
    {6, 0, 0},       {1, 0, 25},      {1, 225, 25},    {2, 0, 0},       {2, 0, 214},     {3, 25, 40},
    {5, 25, 40},     {4, 15, 25},     {7, 50, 3},      {8, 50, 3},      {100, 45, 22},   {110, 50, 55},
    {111, 49, 54},   {120, 50, 83},   {121, 50, 83},   {130, 35, 115},  {131, 33, 117},  {140, 70, 145},
    {141, 74, 147},  {150, 95, 175},  {151, 96, 177},  {122, 15, 25},   {123, 34, 143},  {124, 30, 90},
    {125, 25, 90},   {126, 27, 90},   {127, 18, 91},   {139, 15, 25},   {132, 93, 146},  {133, 68, 100},
    {134, 68, 100},  {135, 68, 100},  {136, 68, 100},  {137, 68, 100},  {138, 68, 100},  {500, 15, 25},
    {501, 97, 203},  {5555, 15, 25},  {5556, 15, 25},
};

TEST(DefaultWorld, EveryImageFitsTheViewWhereItIsDrawnAndTheFrameClosesAroundThePlayfield) {
  for (const Placement& pl : kPlacements) {
    const Picture& p = Image(pl.id);
    EXPECT_GT(p.w, 0) << "image " << pl.id << " does not load";
    EXPECT_LE(pl.x + p.w, 240) << "image " << pl.id << " at (" << pl.x << "," << pl.y << ") is " << p.w << " wide";
    EXPECT_LE(pl.y + p.h, 240) << "image " << pl.id << " at (" << pl.x << "," << pl.y << ") is " << p.h << " high";
  }
  // The screens drawn at (15,25) over the backdrop stay inside the playfield box, which the backdrop covers.
  for (uint32_t id : {122u, 139u, 500u, 5555u, 5556u}) {
    EXPECT_LE(Image(id).w, 210) << id;
    EXPECT_LE(Image(id).h, 190) << id;
  }
  EXPECT_EQ(Image(4).w, 210);
  EXPECT_EQ(Image(4).h, 190);
  // A new game draws the frame over the title without clearing: the bands (rows 0..25 at the top,
  // 214..239 at the bottom) and the sides (rows 25..214) leave no hole but their never-drawn pixel.
  const Picture& side = Image(1);
  const Picture& band = Image(2);
  EXPECT_EQ(side.w, 15);
  EXPECT_EQ(side.h, 190);
  EXPECT_EQ(band.w, 240);
  EXPECT_EQ(band.h, 26);
  EXPECT_EQ(Holes(band, 0, 0, {0, 0, 239, 24}), 0) << "top band";
  EXPECT_EQ(Holes(band, 0, 214, {0, 215, 239, 239}), 1) << "bottom band";
  EXPECT_EQ(Holes(side, 0, 25, {0, 25, 14, 214}), 1) << "side";
}

// The title buttons: normal picture, pressed picture, and the tap rectangle of each.
struct Button {
  const char* name;
  uint32_t normal;
  int nx, ny;
  uint32_t pressed;
  int px, py;
  Rect tap;
};
const std::vector<Button> kTitleButtons = {
    {"Start", 110, 50, 55, 111, 49, 54, {50, 55, 170, 75}},
    {"Keys", 120, 50, 83, 121, 50, 83, {45, 85, 180, 105}},
    {"Volume", 130, 35, 115, 131, 33, 117, {30, 115, 195, 135}},
    {"Info", 140, 70, 145, 141, 74, 147, {70, 145, 155, 164}},
    {"Quit", 150, 95, 175, 151, 96, 177, {80, 175, 140, 195}},
};

// The game draws the pressed Keys, Volume, Info and Quit pictures right of or below their tap
// rectangles' left or top edge, so the few columns and rows before that position stay a margin
// that no picture can cover: the pressed picture must cover the rest, but for its four corner pixels.
void ExpectPressedCoversTap(const Picture& pressed, int px, int py, const Rect& tap, const std::string& what) {
  const Rect reach = {std::max(tap.x0, px), std::max(tap.y0, py), tap.x1, tap.y1};
  ASSERT_LE(reach.x0, reach.x1) << what;
  ASSERT_LE(reach.y0, reach.y1) << what;
  EXPECT_GE(px + pressed.w - 1, tap.x1) << what << ": pressed picture ends left of the tap rectangle";
  EXPECT_GE(py + pressed.h - 1, tap.y1) << what << ": pressed picture ends above the tap rectangle";
  EXPECT_EQ(Holes(pressed, px, py, reach, true), 0) << what << ": pixels of the tap rectangle left undrawn";
}

TEST(DefaultWorld, TitleButtonsSitOnTheirTapRectanglesAndTheirPressedFormsCoverThem) {
  for (const Button& b : kTitleButtons) {
    SCOPED_TRACE(b.name);
    const Picture& normal = Image(b.normal);
    const Picture& pressed = Image(b.pressed);
    ExpectPressedCoversTap(pressed, b.px, b.py, b.tap, b.name);
    int drawn = 0;
    for (int y = b.ny; y < b.ny + normal.h; ++y) {
      for (int x = b.nx; x < b.nx + normal.w; ++x) {
        if (!normal.paints(b.nx, b.ny, x, y)) continue;
        ++drawn;
        EXPECT_TRUE(b.tap.contains(x, y)) << "button drawn outside its tap rectangle at " << x << "," << y;
        EXPECT_TRUE(pressed.paints(b.px, b.py, x, y)) << "pressed picture leaves the button showing at " << x << "," << y;
      }
    }
    // The button fills all of its tap rectangle that both its pictures can reach.
    const int x0 = std::max({b.tap.x0, b.nx, b.px}), y0 = std::max({b.tap.y0, b.ny, b.py});
    EXPECT_GE(drawn, (b.tap.x1 - x0 + 1) * (b.tap.y1 - y0 + 1) - 4);
  }
}

TEST(DefaultWorld, OtherScreensButtonsIconsAndPanelsStayInPlace) {
  // Volume Back: taps x 90..150, y 130..160; the pressed picture is drawn at (93,146).
  ExpectPressedCoversTap(Image(132), 93, 146, {90, 130, 150, 160}, "Volume Back");
  // Level pictures at (68,100) stay between the Down (x 60..80) and Up (x 145..185) buttons.
  for (uint32_t id = 133; id <= 138; ++id) {
    const Picture& p = Image(id);
    EXPECT_EQ(p.w, Image(133).w);
    EXPECT_EQ(p.h, Image(133).h);
    for (int y = 100; y < 100 + p.h; ++y)
      for (int x = 68; x < 68 + p.w; ++x)
        if (p.paints(68, 100, x, y)) {
          EXPECT_GT(x, 80) << "level " << id << " covers the Down button";
          EXPECT_LT(x, 145) << "level " << id << " covers the Up button";
        }
  }
  // The key prompts replace one another over the same strip.
  for (uint32_t id = 124; id <= 127; ++id) EXPECT_GT(Image(id).w, 100) << id;
  // The sound icons are drawn over each other: where one paints, the other does too, inside the
  // sound button (50 < x < 100, y < 25).
  const Picture& on = Image(7);
  const Picture& off = Image(8);
  ASSERT_EQ(on.w, off.w);
  ASSERT_EQ(on.h, off.h);
  for (int y = 3; y < 3 + on.h; ++y)
    for (int x = 50; x < 50 + on.w; ++x) {
      EXPECT_EQ(on.paints(50, 3, x, y), off.paints(50, 3, x, y)) << x << "," << y;
      EXPECT_TRUE(!on.paints(50, 3, x, y) || (x > 50 && x < 100 && y < 25)) << x << "," << y;
    }
  // The panels cover the text written into them. Dialog box: lines from x 50, a glyph starts at
  // most at x 195; seven lines from y 70 to 130. Inventory: three item lines and the exit line at
  // y 70 + 18k, names from x 50 and pictures from x 145; "Empty!" in font 2 at (90,95).
  auto [w1, h1] = FontCell(1);
  auto [w2, h2] = FontCell(2);
  EXPECT_EQ(Holes(Image(5), 25, 40, {50, 70, 195 + w1 - 1, 130 + h1 - 1}), 0) << "the dialog text area";
  EXPECT_EQ(Holes(Image(3), 25, 40, {50, 70, 145 + 16, 70 + 18 * 3 + h1 - 1}), 0) << "the item lines";
  EXPECT_EQ(Holes(Image(3), 25, 40, {50, 124, 50 + 14 * w1 - 1, 124 + h1 - 1}), 0) << "the exit line";
  EXPECT_EQ(Holes(Image(3), 25, 40, {90, 95, 90 + 6 * w2 - 1, 95 + h2 - 1}), 0) << "\"Empty!\"";
}

TEST(DefaultWorld, FontsHaveEveryGlyphInWhiteAndFitTheirLines) {
  auto [w1, h1] = FontCell(1);
  auto [w2, h2] = FontCell(2);
  ASSERT_GT(w1, 0);
  ASSERT_GT(w2, 0);
  EXPECT_LE(w1, 7);   // dialog words are measured at 7 pixels a character
  EXPECT_LE(h1, 10);  // lines are 10 apart; the lives line at y 1 stops above the energy bar's row 11
  EXPECT_LE(168 + 8 * w1, 240);   // "Lives: 3" at (168,1)
  EXPECT_LE(160 + 11 * w1, 240);  // "Score: 0000" at (160,220)
  EXPECT_LE(220 + h1, 240);
  EXPECT_LE(80 + 13 * w1, 240);   // "version 0.9.8" at (80,205)
  EXPECT_LT(1 + 4 * w2 - 1, 50);  // "Menu" at (1,1) inside its tap area x < 50, y < 15
  EXPECT_LT(1 + h2 - 1, 15);
  for (const json& f : Manifest()["fonts"]) {
    const int gw = f["cell"][0].get<int>(), gh = f["cell"][1].get<int>();
    const Picture sheet = LoadPicture(f["sheet"].get<std::string>());
    SCOPED_TRACE(f["sheet"].get<std::string>());
    for (int code = 32; code < 128; ++code) {
      const int cx = (code % 32) * gw, cy = (code / 32 - 1) * gh;
      int ink = 0;
      for (int y = cy; y < cy + gh; ++y)
        for (int x = cx; x < cx + gw; ++x)
          if (sheet.opaque(x, y)) {
            ++ink;
            const uint8_t* px = &sheet.rgba[(static_cast<size_t>(y) * sheet.w + x) * 4];
            EXPECT_TRUE(px[0] >= 200 && px[1] >= 200 && px[2] >= 200) << "ink of code " << code << " is not white";
          }
      EXPECT_EQ(ink > 0, code != 32) << "code " << code << (code == 32 ? ": the space has ink" : " has no glyph");
    }
  }
}

TEST(DefaultWorld, ThePlayerWalksBothWaysAndLandsOnTheFirstScreensGround) {
  const json player = Find("sprites", "id", 3);
  ASSERT_FALSE(player.is_null());
  EXPECT_GT(player.value("animRate", 0), 0);
  EXPECT_EQ(player["frames"]["count"], 16);
  const auto [strip, w] = Strip(3);
  const int h = strip.h;
  EXPECT_GE(w, 12);
  EXPECT_LE(w, 16);
  EXPECT_GE(h, 16);
  EXPECT_LE(h, 22);
  // Frames 1..8 face left and 9..16 face right: the first frame of each run mirrors the other.
  int differ = 0, mirror = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      differ += strip.opaque(x, y) != strip.opaque(8 * w + x, y);
      mirror += strip.opaque(x, y) != strip.opaque(8 * w + w - 1 - x, y);
    }
  EXPECT_GT(differ, 0);
  EXPECT_EQ(mirror, 0);

  const json screen = Find("screens", "number", 1);
  ASSERT_FALSE(screen.is_null());
  for (int id : {1001, 2001}) EXPECT_EQ(Find("sprites", "id", id).value("kind", ""), "background") << id;
  // Solid pixels of the objects the screen places (playfield coordinates).
  std::set<std::pair<int, int>> solid;
  for (const json& o : screen["objects"]) {
    const int id = o["sprite"].get<int>();
    EXPECT_LT(id, 1000);
    const json s = Find("sprites", "id", id);
    ASSERT_FALSE(s.is_null()) << id;
    if (s["kind"] != "solid" && o.value("layer", 0) != 1) continue;
    const auto [p, fw] = Strip(id);
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < fw; ++x)
        if (p.opaque(x, y) && !(x == fw - 1 && y == p.h - 1)) solid.insert({o["x"].get<int>() + x, o["y"].get<int>() + y});
  }
  // The player starts at (20,1) and falls until a solid pixel lies under its feet.
  const int x = 20;
  int y = 1;
  auto underFeet = [&](int top) {
    for (int i = 2; i < w - 2; ++i)
      if (solid.count({x + i, top + h})) return true;
    return false;
  };
  while (y + h < 187 && !underFeet(y)) ++y;
  EXPECT_TRUE(underFeet(y)) << "the player falls out of the first screen";
  EXPECT_LT(y + h, 190);
}

TEST(DefaultWorld, MusicIs16BitPcmThatLoopsForHalfAMinuteWithoutAClick) {
  for (const char* key : {"title", "game"}) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(Manifest()["music"].contains(key));
    const std::string d = testing_support::ReadFile(kWorld + Manifest()["music"][key].get<std::string>());
    auto u16 = [&](size_t o) { return static_cast<int>(static_cast<uint8_t>(d[o]) | static_cast<uint8_t>(d[o + 1]) << 8); };
    auto u32 = [&](size_t o) { return static_cast<uint32_t>(u16(o)) | static_cast<uint32_t>(u16(o + 2)) << 16; };
    ASSERT_TRUE(d.size() >= 12 && d.compare(0, 4, "RIFF") == 0 && d.compare(8, 4, "WAVE") == 0);
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
    for (size_t o = 12; o + 8 <= d.size(); o += 8 + u32(o + 4) + (u32(o + 4) & 1)) {
      if (d.compare(o, 4, "fmt ") == 0) {
        format = u16(o + 8), channels = u16(o + 10), rate = static_cast<int>(u32(o + 12)), bits = u16(o + 22);
      } else if (d.compare(o, 4, "data") == 0 && bits == 16) {
        for (size_t i = o + 8; i + 1 < o + 8 + u32(o + 4) && i + 1 < d.size(); i += 2) samples.push_back(static_cast<int16_t>(u16(i)));
      }
    }
    EXPECT_EQ(format, 1);  // PCM
    EXPECT_EQ(bits, 16);
    ASSERT_GT(channels, 0);
    ASSERT_GT(rate, 0);
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    EXPECT_GE(static_cast<double>(frames) / rate, 30.0);
    ASSERT_GT(frames, 2u);
    // The step from the last sample back to the first is no bigger than the steps the music
    // itself takes: no click at the seam.
    std::vector<int> steps;
    for (size_t i = 1; i < frames; ++i) steps.push_back(std::abs(samples[i * channels] - samples[(i - 1) * channels]));
    std::sort(steps.begin(), steps.end());
    EXPECT_LE(std::abs(samples[0] - samples[(frames - 1) * channels]), steps[steps.size() * 99 / 100]);
  }
}

}  // namespace
