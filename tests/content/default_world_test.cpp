// default_world_test.cpp -- the default world's sources fit where the game draws and taps them.
//
// Reads content/default/world.json and the pictures it names, and checks sizes, positions and
// transparency against the places the game uses: the framed window, the front-end screens and
// their tap rectangles, the panels and the text written into them, the fonts, the player, the
// first screen and the music.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

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
};

Picture LoadPicture(const std::string& rel) {
  Picture p;
  int channels = 0;
  stbi_uc* data = stbi_load((kWorld + rel).c_str(), &p.w, &p.h, &channels, 4);
  if (data) {
    p.rgba.assign(data, data + static_cast<size_t>(p.w) * p.h * 4);
    stbi_image_free(data);
  }
  return p;
}

// The game draws a picture's pixels except its bottom-right one: is view pixel (x, y) painted
// by picture p drawn at (px, py)?
bool Paints(const Picture& p, int px, int py, int x, int y) {
  int ix = x - px, iy = y - py;
  if (ix == p.w - 1 && iy == p.h - 1) return false;
  return p.opaque(ix, iy);
}

// A rectangle with inclusive bounds, in view pixels.
struct Rect {
  int x0, y0, x1, y1;
  bool contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

class DefaultWorld : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ifstream in(kWorld + "world.json");
    ASSERT_TRUE(in.good()) << "no content/default/world.json";
    manifest_ = new json(json::parse(in));
    images_ = new std::map<uint32_t, std::pair<json, Picture>>();
    for (const json& e : (*manifest_)["images"]) {
      (*images_)[e["id"].get<uint32_t>()] = {e, LoadPicture(e["picture"].get<std::string>())};
    }
  }
  static void TearDownTestSuite() {
    delete manifest_;
    delete images_;
  }

  static const json& Manifest() { return *manifest_; }
  static const Picture& Image(uint32_t id) {
    auto it = images_->find(id);
    if (it == images_->end()) {
      ADD_FAILURE() << "image " << id << " is not in world.json";
      static const Picture none;
      return none;
    }
    return it->second.second;
  }
  static const json& ImageEntry(uint32_t id) { return images_->at(id).first; }

  static const json* Find(const char* section, const char* key, int value) {
    for (const json& e : Manifest()[section]) {
      if (e[key].get<int>() == value) return &e;
    }
    return nullptr;
  }
  static std::pair<int, int> FontCell(int id) {
    const json* f = Find("fonts", "id", id);
    if (!f) return {0, 0};
    return {(*f)["cell"][0].get<int>(), (*f)["cell"][1].get<int>()};
  }

 private:
  static json* manifest_;
  static std::map<uint32_t, std::pair<json, Picture>>* images_;
};

json* DefaultWorld::manifest_ = nullptr;
std::map<uint32_t, std::pair<json, Picture>>* DefaultWorld::images_ = nullptr;

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

TEST_F(DefaultWorld, ManifestNamesExistingPicturesOnce) {
  EXPECT_EQ(Manifest()["format"], "zelvo-world 1");
  std::set<uint32_t> ids;
  for (const json& e : Manifest()["images"]) {
    uint32_t id = e["id"].get<uint32_t>();
    EXPECT_TRUE(ids.insert(id).second) << "image " << id << " listed twice";
    const Picture& p = Image(id);
    EXPECT_GT(p.w, 0) << e["picture"] << " does not load";
    EXPECT_LE(p.w, 65535);
    EXPECT_LE(p.h, 65535);
  }
  for (const Placement& pl : kPlacements) EXPECT_TRUE(ids.count(pl.id)) << "image " << pl.id << " missing";
}

TEST_F(DefaultWorld, EveryImageFitsTheViewWhereItIsDrawn) {
  for (const Placement& pl : kPlacements) {
    const Picture& p = Image(pl.id);
    EXPECT_LE(pl.x + p.w, 240) << "image " << pl.id << " at (" << pl.x << "," << pl.y << ") is " << p.w << " wide";
    EXPECT_LE(pl.y + p.h, 240) << "image " << pl.id << " at (" << pl.x << "," << pl.y << ") is " << p.h << " high";
  }
  // The screens drawn at (15,25) over the backdrop stay inside the playfield box.
  for (uint32_t id : {4u, 122u, 139u, 500u, 5555u, 5556u}) {
    EXPECT_LE(Image(id).w, 210) << id;
    EXPECT_LE(Image(id).h, 190) << id;
  }
}

TEST_F(DefaultWorld, EveryPictureLeavesItsNeverDrawnCornerTransparent) {
  for (const json& e : Manifest()["images"]) {
    const Picture& p = Image(e["id"].get<uint32_t>());
    EXPECT_FALSE(p.opaque(p.w - 1, p.h - 1)) << e["picture"];
  }
}

TEST_F(DefaultWorld, FramePiecesCloseTheWindowAroundThePlayfield) {
  const Picture& side = Image(1);
  const Picture& band = Image(2);
  EXPECT_EQ(side.w, 15);
  EXPECT_EQ(side.h, 190);  // rows 25..214 beside the playfield box
  EXPECT_EQ(band.w, 240);
  EXPECT_EQ(band.h, 26);   // rows 0..25 at the top, 214..239 at the bottom
  // A new game draws the frame over the title without clearing: the bands and sides leave no hole.
  for (int y = 0; y < 25; ++y)
    for (int x = 0; x < 240; ++x) EXPECT_TRUE(band.opaque(x, y)) << "top band hole at " << x << "," << y;
  for (int y = 1; y < 26; ++y)
    for (int x = 0; x < 240; ++x)
      if (!(x == 239 && y == 25)) {
        EXPECT_TRUE(band.opaque(x, y)) << "bottom band hole at " << x << "," << y;
      }
  for (int y = 0; y < side.h; ++y)
    for (int x = 0; x < side.w; ++x)
      if (!(x == 14 && y == 189)) {
        EXPECT_TRUE(side.opaque(x, y)) << "side hole at " << x << "," << y;
      }
  // The backdrop covers the playfield box.
  EXPECT_EQ(Image(4).w, 210);
  EXPECT_EQ(Image(4).h, 190);
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

// The part of a tap rectangle a picture drawn at (px, py) can reach: the game draws the pressed
// Keys, Volume, Info and Quit pictures right of or below their tap rectangles' left or top edge,
// so the few columns and rows before that position stay a margin that no picture can cover.
Rect Reachable(const Rect& tap, int px, int py) {
  return {std::max(tap.x0, px), std::max(tap.y0, py), tap.x1, tap.y1};
}

void ExpectPressedCoversTap(const Picture& pressed, int px, int py, const Rect& tap, const std::string& what) {
  Rect reach = Reachable(tap, px, py);
  ASSERT_LE(reach.x0, reach.x1) << what;
  ASSERT_LE(reach.y0, reach.y1) << what;
  // Its size and position cover the tap rectangle up to its right and bottom edges...
  EXPECT_LE(px, reach.x0) << what;
  EXPECT_LE(py, reach.y0) << what;
  EXPECT_GE(px + pressed.w - 1, tap.x1) << what << ": pressed picture ends left of the tap rectangle";
  EXPECT_GE(py + pressed.h - 1, tap.y1) << what << ": pressed picture ends above the tap rectangle";
  // ...and it is drawn (opaque) over all of that, but for its four cut corner pixels.
  int holes = 0;
  for (int y = reach.y0; y <= reach.y1; ++y) {
    for (int x = reach.x0; x <= reach.x1; ++x) {
      bool corner = (x == reach.x0 || x == reach.x1) && (y == reach.y0 || y == reach.y1);
      if (!corner && !Paints(pressed, px, py, x, y)) ++holes;
    }
  }
  EXPECT_EQ(holes, 0) << what << ": pixels of the tap rectangle the pressed picture leaves undrawn";
}

TEST_F(DefaultWorld, TitleButtonPressedPicturesCoverTheirTapRectangles) {
  for (const Button& b : kTitleButtons) {
    SCOPED_TRACE(b.name);
    const Picture& pressed = Image(b.pressed);
    Rect reach = Reachable(b.tap, b.px, b.py);
    // Only the margin forced by the drawing position is left out.
    EXPECT_EQ(reach.x0, std::max(b.tap.x0, b.px));
    EXPECT_EQ(reach.y0, std::max(b.tap.y0, b.py));
    EXPECT_LE(b.px + pressed.w - 1, 239);
    ExpectPressedCoversTap(pressed, b.px, b.py, b.tap, b.name);
  }
}

TEST_F(DefaultWorld, TitleButtonsSitOnTheirTapRectanglesAndHideUnderTheirPressedForm) {
  for (const Button& b : kTitleButtons) {
    SCOPED_TRACE(b.name);
    const Picture& normal = Image(b.normal);
    const Picture& pressed = Image(b.pressed);
    int drawn = 0;
    for (int y = b.ny; y < b.ny + normal.h; ++y) {
      for (int x = b.nx; x < b.nx + normal.w; ++x) {
        if (!Paints(normal, b.nx, b.ny, x, y)) continue;
        ++drawn;
        EXPECT_TRUE(b.tap.contains(x, y)) << "button drawn outside its tap rectangle at " << x << "," << y;
        EXPECT_TRUE(Paints(pressed, b.px, b.py, x, y)) << "pressed picture leaves the button showing at " << x
                                                       << "," << y;
      }
    }
    // The button fills all of its tap rectangle that both its pictures can reach.
    Rect reach = Reachable(b.tap, std::max(b.nx, b.px), std::max(b.ny, b.py));
    EXPECT_GE(drawn, (reach.x1 - reach.x0 + 1) * (reach.y1 - reach.y0 + 1) - 4);
  }
}

TEST_F(DefaultWorld, OtherScreensButtonsAndPicturesStayInPlace) {
  // Volume Back: taps x 90..150, y 130..160; the pressed picture is drawn at (93,146).
  ExpectPressedCoversTap(Image(132), 93, 146, {90, 130, 150, 160}, "Volume Back");
  // Level pictures at (68,100) stay between the Down (x 60..80) and Up (x 145..185) buttons.
  for (uint32_t id = 133; id <= 138; ++id) {
    const Picture& p = Image(id);
    EXPECT_EQ(p.w, Image(133).w);
    EXPECT_EQ(p.h, Image(133).h);
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < p.w; ++x)
        if (Paints(p, 68, 100, 68 + x, 100 + y)) {
          EXPECT_GT(68 + x, 80) << "level " << id << " covers the Down button";
          EXPECT_LT(68 + x, 145) << "level " << id << " covers the Up button";
        }
  }
  // The key prompts replace one another over the same strip; the Back pictures are where the
  // screens draw them.
  for (uint32_t id = 124; id <= 127; ++id) EXPECT_GT(Image(id).w, 100) << id;
  EXPECT_LE(97 + Image(501).w, 240);
  EXPECT_LE(203 + Image(501).h, 240);
}

TEST_F(DefaultWorld, SoundIconsShareOneShapeInsideTheSoundButton) {
  const Picture& on = Image(7);
  const Picture& off = Image(8);
  ASSERT_EQ(on.w, off.w);
  ASSERT_EQ(on.h, off.h);
  for (int y = 0; y < on.h; ++y) {
    for (int x = 0; x < on.w; ++x) {
      // Each is drawn over the other: where one paints, the other paints too.
      EXPECT_EQ(Paints(on, 50, 3, 50 + x, 3 + y), Paints(off, 50, 3, 50 + x, 3 + y)) << x << "," << y;
      if (Paints(on, 50, 3, 50 + x, 3 + y)) {
        EXPECT_GT(50 + x, 50);  // the sound button: 50 < x < 100, y < 25
        EXPECT_LT(50 + x, 100);
        EXPECT_LT(3 + y, 25);
      }
    }
  }
}

TEST_F(DefaultWorld, PanelsHaveSaveBuffersAndCoverTheTextWrittenIntoThem) {
  for (uint32_t id : {3u, 5u}) EXPECT_EQ(ImageEntry(id).value("saveBuffer", false), true) << id;
  auto [w1, h1] = FontCell(1);
  auto [w2, h2] = FontCell(2);
  auto expect_painted = [&](uint32_t id, const Rect& r, const char* what) {
    const Picture& p = Image(id);
    int holes = 0;
    for (int y = r.y0; y <= r.y1; ++y)
      for (int x = r.x0; x <= r.x1; ++x)
        if (!Paints(p, 25, 40, x, y)) ++holes;
    EXPECT_EQ(holes, 0) << "image " << id << " leaves " << what << " uncovered";
  };
  // Dialog box: lines from x 50, a glyph starts at most at x 195; seven lines from y 70 to 130.
  expect_painted(5, {50, 70, 195 + w1 - 1, 130 + h1 - 1}, "the dialog text area");
  // Inventory: three item lines and the exit line at y 70 + 18k, names from x 50 and pictures
  // from x 145; "Empty!" in font 2 at (90,95).
  expect_painted(3, {50, 70, 145 + 16, 70 + 18 * 3 + h1 - 1}, "the item lines");
  expect_painted(3, {50, 124, 50 + 14 * w1 - 1, 124 + h1 - 1}, "the exit line");
  expect_painted(3, {90, 95, 90 + 6 * w2 - 1, 95 + h2 - 1}, "\"Empty!\"");
}

TEST_F(DefaultWorld, FontsAreCompleteAndFitTheirLines) {
  auto [w1, h1] = FontCell(1);
  auto [w2, h2] = FontCell(2);
  ASSERT_GT(w1, 0);
  ASSERT_GT(w2, 0);
  EXPECT_LE(w1, 7);   // dialog words are measured at 7 pixels a character
  EXPECT_LE(h1, 10);  // lines are 10 apart; the lives line at y 1 stops above the energy bar's row 11
  EXPECT_LE(168 + 8 * w1, 240);    // "Lives: 3" at (168,1)
  EXPECT_LE(160 + 11 * w1, 240);   // "Score: 0000" at (160,220)
  EXPECT_LE(220 + h1, 240);
  EXPECT_LE(80 + 13 * w1, 240);    // "version 0.9.8" at (80,205)
  EXPECT_LT(1 + 4 * w2 - 1, 50);   // "Menu" at (1,1) inside its tap area x < 50, y < 15
  EXPECT_LT(1 + h2 - 1, 15);
  for (const json& f : Manifest()["fonts"]) {
    int gw = f["cell"][0].get<int>(), gh = f["cell"][1].get<int>();
    Picture sheet = LoadPicture(f["sheet"].get<std::string>());
    SCOPED_TRACE(f["sheet"].get<std::string>());
    EXPECT_EQ(sheet.w, 32 * gw);
    EXPECT_GE(sheet.h, 3 * gh);
    for (int code = 32; code < 128; ++code) {
      int cx = (code % 32) * gw, cy = (code / 32 - 1) * gh, ink = 0;
      for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
          if (sheet.opaque(cx + x, cy + y)) {
            ++ink;
            const uint8_t* px = &sheet.rgba[((static_cast<size_t>(cy) + y) * sheet.w + cx + x) * 4];
            EXPECT_TRUE(px[0] >= 200 && px[1] >= 200 && px[2] >= 200) << "ink of code " << code << " is not white";
          }
      if (code == 32) {
        EXPECT_EQ(ink, 0) << "the space has ink";
      } else {
        EXPECT_GT(ink, 0) << "code " << code << " has no glyph";
      }
    }
  }
}

TEST_F(DefaultWorld, PlayerHasSixteenWalkingFrames) {
  const json* s = Find("sprites", "id", 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ((*s)["kind"], "player");
  ASSERT_EQ((*s)["frames"]["count"], 16);
  Picture strip = LoadPicture((*s)["frames"]["strip"].get<std::string>());
  ASSERT_EQ(strip.w % 16, 0);
  int fw = strip.w / 16;
  EXPECT_GE(fw, 12);
  EXPECT_LE(fw, 16);
  EXPECT_GE(strip.h, 16);
  EXPECT_LE(strip.h, 22);
  EXPECT_GT((*s).value("animRate", 0), 0);
  // Frames 1..8 face left and 9..16 face right: the first frame of each run mirrors the other.
  int differ = 0, mirror = 0;
  for (int y = 0; y < strip.h; ++y)
    for (int x = 0; x < fw; ++x) {
      differ += strip.opaque(x, y) != strip.opaque(8 * fw + x, y);
      mirror += strip.opaque(x, y) != strip.opaque(8 * fw + fw - 1 - x, y);
    }
  EXPECT_GT(differ, 0);
  EXPECT_EQ(mirror, 0);
  for (int f = 0; f < 16; ++f) EXPECT_FALSE(strip.opaque(f * fw + fw - 1, strip.h - 1)) << "frame " << f + 1;
}

TEST_F(DefaultWorld, FirstScreenHasBackgroundsAndGroundThePlayerLandsOn) {
  const json* screen = Find("screens", "number", 1);
  ASSERT_NE(screen, nullptr);
  for (int id : {1001, 2001}) {
    const json* s = Find("sprites", "id", id);
    ASSERT_NE(s, nullptr) << id;
    EXPECT_EQ((*s)["kind"], "background") << id;
    Picture p = LoadPicture((*s)["frames"]["strip"].get<std::string>());
    EXPECT_LE(p.w, 255);
    EXPECT_LE(p.h, 255);
  }
  // Solid pixels of the objects the screen places (playfield coordinates).
  std::set<std::pair<int, int>> solid;
  for (const json& o : (*screen)["objects"]) {
    int id = o["sprite"].get<int>();
    EXPECT_LT(id, 1000);
    const json* s = Find("sprites", "id", id);
    ASSERT_NE(s, nullptr) << id;
    if ((*s)["kind"] != "solid" && o.value("layer", 0) != 1) continue;
    Picture p = LoadPicture((*s)["frames"]["strip"].get<std::string>());
    int fw = p.w / (*s)["frames"]["count"].get<int>();
    for (int y = 0; y < p.h; ++y)
      for (int x = 0; x < fw; ++x)
        if (p.opaque(x, y) && !(x == fw - 1 && y == p.h - 1)) solid.insert({o["x"].get<int>() + x, o["y"].get<int>() + y});
  }
  // The player starts at (20,1) and falls until a solid pixel lies under its feet.
  const json* player = Find("sprites", "id", 3);
  ASSERT_NE(player, nullptr);
  Picture strip = LoadPicture((*player)["frames"]["strip"].get<std::string>());
  int w = strip.w / 16, h = strip.h, x = 20, y = 1;
  auto under_feet = [&](int top) {
    for (int i = 2; i < w - 2; ++i)
      if (solid.count({x + i, top + h})) return true;
    return false;
  };
  while (y + h < 187 && !under_feet(y)) ++y;
  EXPECT_TRUE(under_feet(y)) << "the player falls out of the first screen";
  EXPECT_LT(y + h, 190);
}

// A WAV file's format and samples (16-bit PCM only).
struct Wav {
  int format = 0, channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;
};

Wav LoadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buf;
  buf << in.rdbuf();
  std::string d = buf.str();
  Wav w;
  auto u16 = [&](size_t o) { return static_cast<int>(static_cast<uint8_t>(d[o]) | static_cast<uint8_t>(d[o + 1]) << 8); };
  auto u32 = [&](size_t o) { return static_cast<uint32_t>(u16(o)) | static_cast<uint32_t>(u16(o + 2)) << 16; };
  if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0) return w;
  for (size_t o = 12; o + 8 <= d.size();) {
    std::string tag = d.substr(o, 4);
    uint32_t len = u32(o + 4);
    if (tag == "fmt ") {
      w.format = u16(o + 8);
      w.channels = u16(o + 10);
      w.rate = static_cast<int>(u32(o + 12));
      w.bits = u16(o + 22);
    } else if (tag == "data" && w.bits == 16) {
      for (size_t i = o + 8; i + 1 < o + 8 + len && i + 1 < d.size(); i += 2) w.samples.push_back(static_cast<int16_t>(u16(i)));
    }
    o += 8 + len + (len & 1);
  }
  return w;
}

TEST_F(DefaultWorld, MusicLoopsForHalfAMinuteWithoutAClick) {
  const json& music = Manifest()["music"];
  for (const char* key : {"title", "game"}) {
    SCOPED_TRACE(key);
    ASSERT_TRUE(music.contains(key));
    Wav w = LoadWav(kWorld + music[key].get<std::string>());
    EXPECT_EQ(w.format, 1);  // PCM
    EXPECT_EQ(w.bits, 16);
    ASSERT_GT(w.channels, 0);
    ASSERT_GT(w.rate, 0);
    size_t frames = w.samples.size() / static_cast<size_t>(w.channels);
    EXPECT_GE(static_cast<double>(frames) / w.rate, 30.0);
    ASSERT_GT(frames, 2u);
    // The step from the last sample back to the first is no bigger than the steps the music
    // itself takes: no click at the seam.
    std::vector<int> steps;
    for (size_t i = 1; i < frames; ++i)
      steps.push_back(std::abs(w.samples[i * w.channels] - w.samples[(i - 1) * w.channels]));
    std::sort(steps.begin(), steps.end());
    int typical = steps[steps.size() * 99 / 100];
    int seam = std::abs(w.samples[0] - w.samples[(frames - 1) * w.channels]);
    EXPECT_LE(seam, typical);
  }
}

}  // namespace
