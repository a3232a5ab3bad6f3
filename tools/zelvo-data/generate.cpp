// generate.cpp -- random worlds: every record well-formed, the contents anything the format allows,
// so that play meets what hand-made worlds rarely hold (odd layers, overlapping events, missing ids).
#include "generate.h"

#include <cstdio>
#include <random>

#include "codec.h"
#include "pixels.h"

namespace zdata {

namespace {

using namespace layout;

class Dice {
 public:
  explicit Dice(uint32_t seed) : rng_(seed) {}
  uint32_t below(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }
  uint32_t range(uint32_t lo, uint32_t hi) { return lo + below(hi - lo + 1); }
  bool chance(uint32_t percent) { return below(100) < percent; }
  uint16_t colour() { return static_cast<uint16_t>(range(1, 0xFFFF)); }

 private:
  std::mt19937 rng_;
};

Picture picture(Dice& dice, int width, int height, uint32_t holes) {
  Picture p{width, height, std::vector<uint16_t>(static_cast<size_t>(width) * height)};
  const uint16_t a = dice.colour(), b = dice.colour();
  for (size_t i = 0; i < p.pixels.size(); ++i) p.pixels[i] = dice.chance(holes) ? 0 : (dice.chance(50) ? a : b);
  return p;
}

Image image(Dice& dice, uint32_t id, int width, int height, bool saveUnder = false) {
  const Picture p = picture(dice, width, height, 10);
  return {id,
          static_cast<uint8_t>(saveUnder),
          0,
          static_cast<uint16_t>(width),
          static_cast<uint16_t>(height),
          encodeImage(p.pixels.data(), p.pixels.size())};
}

Font font(Dice& dice, uint32_t id, uint16_t width, uint16_t height) {
  Font f{id, width, height, {}};
  for (uint32_t i = 0; i < uint32_t{font::kCellRows} * font::kCellsAcross * width * height; ++i)
    put16(f.sheet, dice.chance(40) ? dice.colour() : 0);
  return f;
}

Sprite sprite(Dice& dice, uint32_t id, uint8_t kind, int width, int height, int frames) {
  Sprite s;
  s.id = id, s.kind = kind, s.frameCount = static_cast<uint8_t>(frames);
  s.width = static_cast<uint8_t>(width), s.height = static_cast<uint8_t>(height);
  s.animRate = static_cast<uint8_t>(dice.range(0, 15));
  s.motion = static_cast<uint8_t>(dice.below(3));
  s.moveRate = static_cast<uint8_t>(dice.range(0, 80));
  std::vector<Picture> pictures;
  for (int f = 0; f < frames; ++f) pictures.push_back(picture(dice, width, height, 25));
  s.frameData = encodeFrames(pictures);
  return s;
}

void text(Dice& dice, char* field, size_t size, size_t length) {
  static const char kWords[][8] = {"the", "old", "turtle", "walks", "@fF800", "@b07E0", "far", "\n", "key", "door"};
  std::string t;
  while (t.size() < length) t += std::string(kWords[dice.below(std::size(kWords))]) + " ";
  t.resize(std::min(length, size - 1));
  std::copy(t.begin(), t.end(), field);
}

}  // namespace

DataSet generateWorld(const GenerateOptions& options) {
  Dice dice(options.seed);
  const bool max = options.maximal;
  DataSet w;

  // Every picture the game draws by id, at the sizes it expects; panels save what they cover.
  for (uint32_t id :
       {1u,   2u,   4u,   6u,   7u,   8u,   100u, 110u, 111u, 120u, 121u, 122u, 123u, 124u, 125u, 126u,  127u, 130u,
        131u, 132u, 133u, 134u, 135u, 136u, 137u, 138u, 139u, 140u, 141u, 150u, 151u, 500u, 501u, 5555u, 5556u})
    w.images.push_back(image(dice, id, static_cast<int>(dice.range(8, 60)), static_cast<int>(dice.range(8, 40))));
  w.images.push_back(image(dice, 3, 190, 116, true));
  w.images.push_back(image(dice, 5, 190, 116, true));
  w.fonts = {font(dice, 1, 6, 10), font(dice, 2, 8, 12)};

  const uint32_t spriteCount = max ? 1000 : dice.range(5, 40);
  w.sprites.push_back(sprite(dice, sprite::kPlayerId, 0, 12, 16, 16));
  std::vector<uint32_t> placeable;
  for (uint32_t i = 0; w.sprites.size() < spriteCount; ++i) {
    const uint32_t id = 10 + i;
    // Now and then a kind no table names: the game keeps it on a layer of its own choosing.
    const uint8_t kind = static_cast<uint8_t>(dice.chance(3) ? 7 : dice.range(1, 6));
    w.sprites.push_back(sprite(dice, id, kind, static_cast<int>(dice.range(2, 70)), static_cast<int>(dice.range(2, 50)),
                               static_cast<int>(dice.range(1, 4))));
    placeable.push_back(id);
  }

  std::vector<uint32_t> numbers = {1};
  for (uint32_t n = 2; n <= 100; ++n)
    if (max || dice.chance(30)) numbers.push_back(n);
  for (uint32_t n : numbers) {
    if (dice.chance(max ? 100 : 40)) w.sprites.push_back(sprite(dice, n + 1000, 4, 210, 190, 1));
    if (!max && dice.chance(20)) w.sprites.push_back(sprite(dice, n + 2000, 4, 210, 190, 1));
  }

  const uint32_t eventCount = max ? 300 : dice.range(0, 30), artifactCount = max ? 50 : dice.range(0, 8),
                 dialogCount = max ? 100 : dice.range(0, 10);
  for (uint32_t i = 0; i < dialogCount; ++i) {
    Dialog d;
    d.id = i + 1;
    text(dice, d.text, sizeof d.text, max ? 127 : dice.range(0, 127));
    w.dialogs.push_back(d);
  }
  for (uint32_t i = 0; i < artifactCount; ++i) {
    Artifact a;
    a.id = placeable.empty() || dice.chance(5) ? 999 : placeable[dice.below(static_cast<uint32_t>(placeable.size()))];
    text(dice, a.name, sizeof a.name, dice.range(1, 20));
    a.screenNumber = static_cast<uint16_t>(numbers[dice.below(static_cast<uint32_t>(numbers.size()))]);
    a.x = static_cast<uint16_t>(dice.below(200)), a.y = static_cast<uint16_t>(dice.below(180));
    a.state = static_cast<uint8_t>(dice.below(5));
    w.artifacts.push_back(a);
  }
  auto pick = [&](const auto& list, uint32_t fallback) {
    return list.empty() ? fallback : list[dice.below(static_cast<uint32_t>(list.size()))];
  };
  for (uint32_t i = 0; i < eventCount; ++i) {
    Event e;
    e.id = i + 1;
    e.width = static_cast<uint16_t>(dice.range(0, 120)), e.height = static_cast<uint16_t>(dice.range(0, 100));
    e.trigger = static_cast<uint8_t>(dice.chance(3) ? 0 : dice.range(Touch, UseArtifact));
    e.armState = static_cast<uint8_t>(dice.chance(75) ? Armed : Disarmed);
    e.triggerParam = artifactCount ? w.artifacts[dice.below(artifactCount)].id : 0;
    const uint32_t actions = max ? 20 : dice.range(0, 6);
    for (uint32_t k = 0; k < actions; ++k) {
      EventAction a;
      a.opcode = static_cast<uint8_t>(dice.range(1, 13));
      switch (a.opcode) {
        case GoToScreen:
          a.argument = pick(numbers, 1);
          break;
        case PlaceArtifact:
        case SpendArtifact:
          a.argument = artifactCount ? w.artifacts[dice.below(artifactCount)].id : 7;
          break;
        case ShowDialog:
          a.argument = dice.range(1, dialogCount + 1);
          break;
        case DisarmEvent:
        case ArmEvent:
          a.argument = dice.range(1, eventCount);
          break;
        case RemoveSprite:
          a.argument = pick(placeable, 3);
          break;
        default:
          a.argument = dice.chance(5) ? 0xFFFFFFFF : dice.range(0, 500);
      }
      a.x = static_cast<uint16_t>(dice.below(200)), a.y = static_cast<uint16_t>(dice.below(176));
      e.actions.push_back(a);
    }
    // A touch event that places an artifact would add an object on every frame it is touched.
    if (e.trigger == Touch) e.actions.push_back({DisarmEvent, e.id, 0, 0});
    e.actionCount = static_cast<uint8_t>(e.actions.size());
    w.events.push_back(e);
  }

  for (uint32_t n : numbers) {
    ScreenRecord s{};
    s.screenNumber = n;
    const uint32_t objects = max ? map::kObjectCount : dice.range(0, 20),
                   events = max ? map::kEventCount : dice.range(0, 4);
    for (uint32_t k = 0; k < objects && !placeable.empty(); ++k) {
      ObjectPlacement& p = s.objects[k];
      p.spriteId = dice.chance(3) ? 999 : pick(placeable, 10);
      p.x = static_cast<uint16_t>(dice.below(230)), p.y = static_cast<uint16_t>(dice.below(200));
      p.layerOverride = dice.chance(10) ? dice.range(1, 0x120) : 0;
    }
    for (uint32_t k = 0; k < events && eventCount; ++k)
      s.events[k] = {dice.range(1, eventCount), static_cast<uint16_t>(dice.below(210)),
                     static_cast<uint16_t>(dice.below(190))};
    // Ground along the bottom of every screen, so that the player has somewhere to stand.
    if (objects < map::kObjectCount) s.objects[objects] = {10, 0, 175, 1};
    w.screens.push_back(s);
  }
  return w;
}

int generateCommand(const std::filesystem::path& out, const GenerateOptions& options, Streams io) {
  std::error_code ec;
  std::filesystem::create_directories(out, ec);
  const DataSet world = generateWorld(options);
  for (const auto& [name, bytes] : writeDataFiles(world)) {
    const std::string path = (out / name).string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool ok = file && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file && std::fclose(file) != 0) ec = std::make_error_code(std::errc::io_error);
    if (!ok || ec) {
      io.err << "error: cannot write " << path << "\n";
      return 1;
    }
  }
  io.out << "generated world " << options.seed << ": " << world.screens.size() << " screens, " << world.sprites.size()
         << " sprites, " << world.events.size() << " events into " << out.string() << "\n";
  return 0;
}

}  // namespace zdata
