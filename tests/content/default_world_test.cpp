// default_world_test.cpp -- the default world's sources fit where the game draws and taps them: the
// framed window, the front-end screens and their tap rectangles, the panels and the text written
// into them, the fonts, the player, the first screen and the music. That the world packs without a
// warning and checks clean is zelvo-data's test; its screens against golden pictures, the scenario's;
// its play to the end, the walkthrough's.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>

#include "support/testing.h"

namespace {

using nlohmann::json;

const std::string kWorld = std::string(ZELVO_SOURCE_DIR) + "/content/default/";

struct Picture {
  int w = 0, h = 0;
  std::vector<uint8_t> rgba;
  bool opaque(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h && rgba[(size_t(y) * w + x) * 4 + 3] >= 128; }
  // The game draws all but the bottom-right pixel: does this picture drawn at (px, py) paint view pixel (x, y)?
  bool paints(int px, int py, int x, int y) const { return !(x - px == w - 1 && y - py == h - 1) && opaque(x - px, y - py); }
};

Picture Load(const std::string& rel) {
  Picture p;
  int channels = 0;
  if (stbi_uc* data = stbi_load((kWorld + rel).c_str(), &p.w, &p.h, &channels, 4)) {
    p.rgba.assign(data, data + size_t(p.w) * p.h * 4);
    stbi_image_free(data);
  }
  return p;
}

// world.json with the lists of the files it includes appended, as zelvo-data reads it.
const json& Manifest() {
  static const json manifest = [] {
    auto parse = [](const std::string& name) { return json::parse(std::ifstream(kWorld + name), nullptr, true, true); };
    json m = parse("world.json");
    for (const json& name : m.value("include", json::array())) {
      const json part = parse(name.get<std::string>());
      for (const auto& [key, list] : part.items())
        if (list.is_array())
          for (const json& entry : list) m[key].push_back(entry);
    }
    return m;
  }();
  return manifest;
}

// The entry of a section whose key has this value, or null.
json Find(const char* section, const char* key, int value) {
  for (const json& e : Manifest()[section])
    if (e[key] == value) return e;
  return nullptr;
}

const Picture& Image(int id) {
  static std::map<int, Picture> pictures;
  if (!pictures.count(id)) pictures[id] = Load(Find("images", "id", id).value("picture", ""));
  return pictures[id];
}

int Cell(int font, int i) { return Find("fonts", "id", font)["cell"][i].get<int>(); }

// A rectangle with inclusive bounds, in view pixels.
struct Rect {
  int x0, y0, x1, y1;
  bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

// Pixels of r that the picture drawn at (px, py) leaves undrawn, r's four corners forgiven when asked.
int Holes(const Picture& p, int px, int py, const Rect& r, bool cornersForgiven = false) {
  int holes = 0;
  for (int y = r.y0; y <= r.y1; ++y)
    for (int x = r.x0; x <= r.x1; ++x) {
      const bool corner = (x == r.x0 || x == r.x1) && (y == r.y0 || y == r.y1);
      holes += !(cornersForgiven && corner) && !p.paints(px, py, x, y);
    }
  return holes;
}

TEST(DefaultWorld, EveryImageFitsTheViewWhereItIsDrawnAndTheFrameClosesAroundThePlayfield) {
  // Every picture the front end, the frame and the panels use, with where the game draws it.
  const int placements[][3] = {
      {6, 0, 0},      {1, 0, 25},     {1, 225, 25},   {2, 0, 0},      {2, 0, 214},    {3, 25, 40},    {5, 25, 40},
      {4, 15, 25},    {7, 50, 3},     {8, 50, 3},     {100, 45, 22},  {110, 50, 55},  {111, 49, 54},  {120, 50, 83},
      {121, 50, 83},  {130, 35, 115}, {131, 33, 117}, {140, 70, 145}, {141, 74, 147}, {150, 95, 175}, {151, 96, 177},
      {122, 15, 25},  {123, 34, 143}, {124, 30, 90},  {125, 25, 90},  {126, 27, 90},  {127, 18, 91},  {139, 15, 25},
      {132, 93, 146}, {133, 68, 100}, {134, 68, 100}, {135, 68, 100}, {136, 68, 100}, {137, 68, 100}, {138, 68, 100},
      {500, 15, 25},  {501, 97, 203}, {5555, 15, 25}, {5556, 15, 25}};
  for (const auto& [id, x, y] : placements) {
    EXPECT_GT(Image(id).w, 0) << "image " << id << " does not load";
    EXPECT_LE(x + Image(id).w, 240) << "image " << id << " at (" << x << "," << y << ") is too wide";
    EXPECT_LE(y + Image(id).h, 240) << "image " << id << " at (" << x << "," << y << ") is too high";
  }
  // The screens drawn at (15,25) over the backdrop stay inside the playfield box, which the backdrop covers.
  for (int id : {122, 139, 500, 5555, 5556}) EXPECT_TRUE(Image(id).w <= 210 && Image(id).h <= 190) << id;
  EXPECT_TRUE(Image(4).w == 210 && Image(4).h == 190);
  // A new game draws the frame over the title without clearing: the bands (rows 0..25 at the top,
  // 214..239 at the bottom) and the sides (rows 25..214) leave no hole but their never-drawn pixel.
  EXPECT_EQ(Image(1).h, 190);
  EXPECT_EQ(Holes(Image(2), 0, 0, {0, 0, 239, 24}), 0) << "top band";
  EXPECT_EQ(Holes(Image(2), 0, 214, {0, 215, 239, 239}), 1) << "bottom band";
  EXPECT_EQ(Holes(Image(1), 0, 25, {0, 25, 14, 214}), 1) << "side";
}

// The game draws the pressed Keys, Volume, Info and Quit pictures right of or below their tap
// rectangles' left or top edge, so the few columns and rows before that position stay a margin
// that no picture can cover: the pressed picture must cover the rest, but for its four corner pixels.
void ExpectPressedCoversTap(const Picture& pressed, int px, int py, const Rect& tap, const std::string& what) {
  const Rect reach = {std::max(tap.x0, px), std::max(tap.y0, py), tap.x1, tap.y1};
  ASSERT_TRUE(reach.x0 <= reach.x1 && reach.y0 <= reach.y1) << what;
  EXPECT_GE(px + pressed.w - 1, tap.x1) << what << ": pressed picture ends left of the tap rectangle";
  EXPECT_GE(py + pressed.h - 1, tap.y1) << what << ": pressed picture ends above the tap rectangle";
  EXPECT_EQ(Holes(pressed, px, py, reach, true), 0) << what << ": pixels of the tap rectangle left undrawn";
}

TEST(DefaultWorld, ButtonsSitOnTheirTapRectanglesAndTheirPressedFormsCoverThem) {
  struct Button {
    const char* name;
    int normal, nx, ny, pressed, px, py;
    Rect tap;
  };
  const Button buttons[] = {{"Start", 110, 50, 55, 111, 49, 54, {50, 55, 170, 75}},
                            {"Keys", 120, 50, 83, 121, 50, 83, {45, 85, 180, 105}},
                            {"Volume", 130, 35, 115, 131, 33, 117, {30, 115, 195, 135}},
                            {"Info", 140, 70, 145, 141, 74, 147, {70, 145, 155, 164}},
                            {"Quit", 150, 95, 175, 151, 96, 177, {80, 175, 140, 195}}};
  for (const Button& b : buttons) {
    SCOPED_TRACE(b.name);
    const Picture& normal = Image(b.normal);
    ExpectPressedCoversTap(Image(b.pressed), b.px, b.py, b.tap, b.name);
    int drawn = 0;
    for (int y = b.ny; y < b.ny + normal.h; ++y)
      for (int x = b.nx; x < b.nx + normal.w; ++x) {
        if (!normal.paints(b.nx, b.ny, x, y)) continue;
        ++drawn;
        EXPECT_TRUE(b.tap.contains(x, y)) << "button drawn outside its tap rectangle at " << x << "," << y;
        EXPECT_TRUE(Image(b.pressed).paints(b.px, b.py, x, y)) << "pressed picture leaves the button showing at " << x << "," << y;
      }
    // The button fills all of its tap rectangle that both its pictures can reach.
    const int x0 = std::max({b.tap.x0, b.nx, b.px}), y0 = std::max({b.tap.y0, b.ny, b.py});
    EXPECT_GE(drawn, (b.tap.x1 - x0 + 1) * (b.tap.y1 - y0 + 1) - 4);
  }
  // Volume Back: taps x 90..150, y 130..160; the pressed picture is drawn at (93,146).
  ExpectPressedCoversTap(Image(132), 93, 146, {90, 130, 150, 160}, "Volume Back");
}

TEST(DefaultWorld, LevelsPromptsIconsAndPanelsStayInPlace) {
  // Level pictures at (68,100) stay between the Down (x 60..80) and Up (x 145..185) buttons.
  for (int id = 133; id <= 138; ++id) {
    const Picture& p = Image(id);
    EXPECT_TRUE(p.w == Image(133).w && p.h == Image(133).h) << id;
    for (int y = 100; y < 100 + p.h; ++y)
      for (int x = 68; x < 68 + p.w; ++x) EXPECT_TRUE(!p.paints(68, 100, x, y) || (x > 80 && x < 145)) << "level " << id << " covers a button";
  }
  // The key prompts replace one another over the same strip.
  for (int id = 124; id <= 127; ++id) EXPECT_GT(Image(id).w, 100) << id;
  // The sound icons are drawn over each other: where one paints, the other does too, inside the
  // sound button (50 < x < 100, y < 25).
  const Picture &on = Image(7), &off = Image(8);
  ASSERT_TRUE(on.w == off.w && on.h == off.h);
  for (int y = 3; y < 3 + on.h; ++y)
    for (int x = 50; x < 50 + on.w; ++x) {
      EXPECT_EQ(on.paints(50, 3, x, y), off.paints(50, 3, x, y)) << x << "," << y;
      EXPECT_TRUE(!on.paints(50, 3, x, y) || (x > 50 && x < 100 && y < 25)) << x << "," << y;
    }
  // The panels cover the text written into them. Dialog box: lines from x 50, a glyph starts at
  // most at x 195; seven lines from y 70 to 130. Inventory: three item lines and the exit line at
  // y 70 + 18k, names from x 50 and pictures from x 145; "Empty!" in font 2 at (90,95).
  const int w1 = Cell(1, 0), h1 = Cell(1, 1), w2 = Cell(2, 0), h2 = Cell(2, 1);
  EXPECT_EQ(Holes(Image(5), 25, 40, {50, 70, 195 + w1 - 1, 130 + h1 - 1}), 0) << "the dialog text area";
  EXPECT_EQ(Holes(Image(3), 25, 40, {50, 70, 145 + 16, 70 + 18 * 3 + h1 - 1}), 0) << "the item lines";
  EXPECT_EQ(Holes(Image(3), 25, 40, {50, 124, 50 + 14 * w1 - 1, 124 + h1 - 1}), 0) << "the exit line";
  EXPECT_EQ(Holes(Image(3), 25, 40, {90, 95, 90 + 6 * w2 - 1, 95 + h2 - 1}), 0) << "\"Empty!\"";
}

TEST(DefaultWorld, FontsHaveEveryGlyphInWhiteAndFitTheirLines) {
  const int w1 = Cell(1, 0), h1 = Cell(1, 1), w2 = Cell(2, 0), h2 = Cell(2, 1);
  EXPECT_LE(w1, 7);                // dialog words are measured at 7 pixels a character
  EXPECT_LE(h1, 10);               // lines are 10 apart; the lives line at y 1 stops above the energy bar's row 11
  EXPECT_LE(168 + 8 * w1, 240);    // "Lives: 3" at (168,1)
  EXPECT_LE(160 + 11 * w1, 240);   // "Score: 0000" at (160,220)
  EXPECT_LE(220 + h1, 240);
  EXPECT_LE(80 + 13 * w1, 240);    // "version 0.9.8" at (80,205)
  EXPECT_LT(1 + 4 * w2 - 1, 50);   // "Menu" at (1,1) inside its tap area x < 50, y < 15
  EXPECT_LT(1 + h2 - 1, 15);
  for (const json& f : Manifest()["fonts"]) {
    const int gw = f["cell"][0].get<int>(), gh = f["cell"][1].get<int>();
    const Picture sheet = Load(f["sheet"].get<std::string>());
    for (int code = 32; code < 128; ++code) {
      const int cx = (code % 32) * gw, cy = (code / 32 - 1) * gh;
      int ink = 0;
      for (int y = cy; y < cy + gh; ++y)
        for (int x = cx; x < cx + gw; ++x) {
          const uint8_t* px = &sheet.rgba[(size_t(y) * sheet.w + x) * 4];
          ink += sheet.opaque(x, y);
          EXPECT_TRUE(!sheet.opaque(x, y) || (px[0] >= 200 && px[1] >= 200 && px[2] >= 200)) << code << " is not white";
        }
      EXPECT_EQ(ink > 0, code != 32) << f["sheet"] << (code == 32 ? ": the space has ink" : ": no glyph for ") << code;
    }
  }
}

TEST(DefaultWorld, ThePlayerWalksBothWaysAndTheFirstScreenPlacesSprites) {
  const json player = Find("sprites", "id", 3);
  EXPECT_GT(player.value("animRate", 0), 0);
  EXPECT_EQ(player["frames"]["count"], 16);
  const Picture strip = Load(player["frames"]["strip"].get<std::string>());
  const int w = strip.w / 16, h = strip.h;
  EXPECT_TRUE(w >= 12 && w <= 16 && h >= 16 && h <= 22) << w << "x" << h;
  // Frames 1..8 face left and 9..16 face right: the first frame of each run mirrors the other.
  int differ = 0, mirror = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      differ += strip.opaque(x, y) != strip.opaque(8 * w + x, y);
      mirror += strip.opaque(x, y) != strip.opaque(8 * w + w - 1 - x, y);
    }
  EXPECT_GT(differ, 0);
  EXPECT_EQ(mirror, 0);

  // The first screen places sprites, not backgrounds (ids 1000 and above are skipped); that the
  // player lands on its ground, the walkthrough plays.
  for (int id : {1001, 2001}) EXPECT_EQ(Find("sprites", "id", id).value("kind", ""), "background") << id;
  const json firstScreen = Find("screens", "number", 1);  // kept: the loop reads into it
  for (const json& o : firstScreen.at("objects")) EXPECT_LT(o.at("sprite").get<int>(), 1000);
}

TEST(DefaultWorld, MusicIs16BitPcmThatLoopsForHalfAMinuteWithoutAClick) {
  for (const char* key : {"title", "game"}) {
    SCOPED_TRACE(key);
    const std::string d = testing_support::ReadFile(kWorld + Manifest()["music"].value(key, ""));
    auto u16 = [&](size_t o) { return int(uint8_t(d[o]) | uint8_t(d[o + 1]) << 8); };
    auto u32 = [&](size_t o) { return uint32_t(u16(o)) | uint32_t(u16(o + 2)) << 16; };
    ASSERT_TRUE(d.size() >= 12 && d.compare(0, 4, "RIFF") == 0 && d.compare(8, 4, "WAVE") == 0);
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
    for (size_t o = 12; o + 8 <= d.size(); o += 8 + u32(o + 4) + (u32(o + 4) & 1)) {
      if (d.compare(o, 4, "fmt ") == 0) format = u16(o + 8), channels = u16(o + 10), rate = int(u32(o + 12)), bits = u16(o + 22);
      for (size_t i = o + 8;
           d.compare(o, 4, "data") == 0 && bits == 16 && i + 1 < std::min(o + 8 + u32(o + 4), d.size()); i += 2)
        samples.push_back(int16_t(u16(i)));
    }
    EXPECT_EQ(format, 1);  // PCM
    EXPECT_EQ(bits, 16);
    ASSERT_TRUE(channels > 0 && rate > 0);
    const size_t frames = samples.size() / channels;
    EXPECT_GE(double(frames) / rate, 30.0);
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
