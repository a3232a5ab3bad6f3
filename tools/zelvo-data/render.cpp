// render.cpp -- screens drawn exactly as the game builds them on entry (its loaders, its layer map,
// its text), with the events marked, and the world map with the ways between screens.
#include "render.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "codec.h"
#include "data/layout.h"
#include "data/loaders.h"
#include "events/screens.h"
#include "gfx/display.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "pixels.h"
#include "platform/headless/headless.h"
#include "services/app.h"
#include "world/collision.h"
#include "world/objects.h"

namespace zdata {

namespace fs = std::filesystem;

namespace {

constexpr int kCellWidth = kPlayfieldWidth, kCellHeight = kPlayfieldHeight;
constexpr int kGap = 24;  // between the screens of the map, where the ways across edges are drawn
constexpr uint16_t kGapColour = rgbTo565(40, 36, 48);
constexpr uint16_t kEdgeColour = rgbTo565(90, 220, 90);
constexpr uint16_t kDoorColour = rgbTo565(255, 150, 40);
constexpr uint16_t kTriggerColours[] = {rgbTo565(160, 160, 160), rgbTo565(255, 230, 0), rgbTo565(0, 230, 255),
                                        rgbTo565(255, 60, 255)};
constexpr const char* kTriggerLetters[] = {"?", "T", "A", "U"};

void outline(int x0, int y0, int x1, int y1, uint16_t colour) {
  auto put = [&](int x, int y) {
    if (x >= 0 && x < kPlayfieldWidth && y >= 0 && y < kPlayfieldHeight)
      putPixel(static_cast<uint32_t>(x + kPlayfieldLeft), static_cast<uint32_t>(y + kPlayfieldTop), colour);
  };
  for (int x = x0; x <= x1; ++x) put(x, y0), put(x, y1);
  for (int y = y0; y <= y1; ++y) put(x0, y), put(x1, y);
}

// A label in the game's font 1, kept inside the playfield.
void label(const std::string& text, int x, int y, uint16_t colour) {
  if (!fontTable.count(1)) return;
  const int width = static_cast<int>(text.size() * fontTable.at(1).glyphWidth);
  x = std::clamp(x, 0, kPlayfieldWidth - width);
  y = std::clamp(y, 0, kPlayfieldHeight - static_cast<int>(fontTable.at(1).glyphHeight));
  selectFont(1);
  setTextColor(1);
  setTextBackground(colour);
  drawText(text.c_str(), static_cast<uint32_t>(x + kPlayfieldLeft), static_cast<uint32_t>(y + kPlayfieldTop), 0);
}

// The trigger rectangle includes its far edges, as the game tests it.
void markEvents(uint32_t number) {
  for (const EventPlacement& p : screenMap[number - 1].events) {
    if (p.eventId == 0) break;
    auto found = eventTable.find(p.eventId);
    if (found == eventTable.end()) continue;
    const Event& e = found->second;
    const uint8_t trigger = e.trigger <= 3 ? e.trigger : 0;
    outline(p.x, p.y, p.x + e.width, p.y + e.height, kTriggerColours[trigger]);
    label(std::to_string(e.id) + kTriggerLetters[trigger], p.x + 1, p.y + 1, kTriggerColours[trigger]);
  }
}

Picture playfield() {
  Picture picture{kCellWidth, kCellHeight, {}};
  for (int y = 0; y < kCellHeight; ++y)
    for (int x = 0; x < kCellWidth; ++x) {
      const uint16_t p = display.backBuffer[(y + kPlayfieldTop) * kBackStride + x + kPlayfieldLeft];
      picture.pixels.push_back(p == 0 ? 1 : p);  // 0 would come out transparent
    }
  return picture;
}

// Build screen n the way entering it does, its number in the corner; the player is not there.
Picture renderScreen(uint32_t number, bool events) {
  buildScreen(number);
  if (events) markEvents(number);
  label(std::to_string(number), 1, 1, 0xFFFF);
  return playfield();
}

class Map {
 public:
  Map(int left, int top, int columns, int rows)
      : left_(left), top_(top), picture_{columns * (kCellWidth + kGap) + kGap, rows * (kCellHeight + kGap) + kGap, {}} {
    picture_.pixels.assign(static_cast<size_t>(picture_.width) * picture_.height, kGapColour);
  }
  // Where playfield point (x, y) of screen number lies on the map.
  std::pair<int, int> at(uint32_t number, int x, int y) const {
    const int column = static_cast<int>((number - 1) / 10) - left_, row = static_cast<int>((number - 1) % 10) - top_;
    return {kGap + column * (kCellWidth + kGap) + x, kGap + row * (kCellHeight + kGap) + y};
  }
  void put(int x, int y, uint16_t colour) {
    if (x >= 0 && y >= 0 && x < picture_.width && y < picture_.height) picture_.pixels[y * picture_.width + x] = colour;
  }
  void paste(uint32_t number, const Picture& screen) {
    auto [x0, y0] = at(number, 0, 0);
    for (int y = 0; y < screen.height; ++y)
      for (int x = 0; x < screen.width; ++x) put(x0 + x, y0 + y, screen.pixels[y * screen.width + x]);
  }
  void box(int x0, int y0, int x1, int y1, uint16_t colour) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) put(x, y, colour);
  }
  void line(std::pair<int, int> from, std::pair<int, int> to, uint16_t colour) {
    auto [x0, y0] = from;
    auto [x1, y1] = to;
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
      box(x0, y0, x0 + 1, y0 + 1, colour);
      if (x0 == x1 && y0 == y1) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
  const Picture& picture() const { return picture_; }

 private:
  int left_, top_;
  Picture picture_;
};

}  // namespace

GameCanvas::GameCanvas() {
  display = Display{};
  display.backBuffer = pixels.data();
  display.backBufferSize = static_cast<uint32_t>(pixels.size() * 2);
  display.rgbToPixel = rgbTo565;
}
GameCanvas::~GameCanvas() { display = Display{}; }

bool loadIntoGame(const fs::path& dir) {
  headless::DeviceConfig config;
  config.appDirectory = dir.string();
  headless::Configure(config);
  appDirectory = dir.string() + "/";
  return loadGameData() == 0;
}

void buildScreen(uint32_t number) {
  screenColumn = (number - 1) / 10;
  screenRow = (number - 1) % 10;
  objectList.clear();
  fillRect(15, 25, 225, 215, 200, 200, 255);
  spawnScreenObjects(number);
}

int renderCommand(const fs::path& dir, const fs::path& out, const RenderOptions& options, Streams io) {
  Report report;
  LoadedSet set = loadDataSet(dir, report);
  if (!set.allLoad()) {
    io.out << formatReport(report, "render");
    io.err << "error: " << dir.string() << " does not load; nothing rendered\n";
    return 1;
  }
  std::error_code ec;
  fs::create_directories(out, ec);
  if (!fs::is_directory(out, ec)) {
    io.err << "error: cannot create the folder " << out.string() << "\n";
    return 1;
  }

  if (!loadIntoGame(dir)) {
    io.err << "error: the game cannot load " << dir.string() << "; nothing rendered\n";
    return 1;
  }
  GameCanvas canvas;

  std::vector<uint32_t> numbers;
  for (const ScreenRecord& screen : screenMap)
    if (screen.screenNumber != 0) numbers.push_back(screen.screenNumber);
  if (numbers.empty()) {
    io.err << "error: " << dir.string() << " has no screens\n";
    return 1;
  }
  int left = 9, right = 0, top = 9, bottom = 0;
  for (uint32_t n : numbers) {
    const int column = static_cast<int>((n - 1) / 10), row = static_cast<int>((n - 1) % 10);
    left = std::min(left, column), right = std::max(right, column), top = std::min(top, row),
    bottom = std::max(bottom, row);
  }
  Map map(left, top, right - left + 1, bottom - top + 1);
  std::string problem;
  for (uint32_t n : numbers) {
    const Picture screen = renderScreen(n, options.events);
    char name[32];
    std::snprintf(name, sizeof name, "screen-%03u.png", static_cast<unsigned>(n));
    if (!savePicture((out / name).string(), screen, problem)) {
      io.err << "error: " << problem << "\n";
      return 1;
    }
    map.paste(n, screen);
  }

  // Ways across edges: a bridge over the gap between two neighbours.
  auto exists = [&](int column, int row) {
    return column >= 0 && column < 10 && row >= 0 && row < 10 && screenMap[column * 10 + row].screenNumber != 0;
  };
  for (uint32_t n : numbers) {
    const int column = static_cast<int>((n - 1) / 10), row = static_cast<int>((n - 1) % 10);
    if (exists(column + 1, row)) {
      auto [x, y] = map.at(n, kCellWidth, kCellHeight / 2);
      map.box(x, y - 3, x + kGap - 1, y + 3, kEdgeColour);
    }
    if (exists(column, row + 1)) {
      auto [x, y] = map.at(n, kCellWidth / 2, kCellHeight);
      map.box(x - 3, y, x + 3, y + kGap - 1, kEdgeColour);
    }
  }
  // Doors: from the event's rectangle to where the player arrives.
  int doors = 0;
  for (uint32_t n : numbers) {
    for (const EventPlacement& p : screenMap[n - 1].events) {
      if (p.eventId == 0) break;
      auto found = eventTable.find(p.eventId);
      if (found == eventTable.end()) continue;
      for (const EventAction& a : found->second.actions) {
        if (a.opcode != GoToScreen || columnOfScreen(a.argument) < 0) continue;
        auto from = map.at(n, p.x + found->second.width / 2, p.y + found->second.height / 2);
        auto to = map.at(a.argument, a.x, a.y);
        map.line(from, to, kDoorColour);
        map.box(to.first - 3, to.second - 3, to.first + 3, to.second + 3, kDoorColour);
        doors += 1;
        break;  // the list ends there
      }
    }
  }
  if (!savePicture((out / "world.png").string(), map.picture(), problem)) {
    io.err << "error: " << problem << "\n";
    return 1;
  }
  io.out << "rendered " << numbers.size() << " screens and the world map (" << doors << " doors) into " << out.string()
         << "\n";
  return 0;
}

}  // namespace zdata
