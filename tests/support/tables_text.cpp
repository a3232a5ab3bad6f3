// tables_text.cpp -- the content tables as text.
#include "support/tables_text.h"

#include <iterator>
#include <sstream>
#include <vector>

#include "data/tables.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "world/objects.h"

namespace {

template <class T>
void put(std::ostringstream& out, const char* name, const T* values, size_t count) {
  out << ' ' << name;
  for (size_t i = 0; i < count; ++i) out << ' ' << +values[i];
}

// The image drawn on a back buffer of a known ground, read back: what the game shows of it.
std::vector<uint16_t> drawn(const ImageRecord& image) {
  std::vector<uint16_t> back(240 * 320, 0x5555), pixels;
  display = Display{};
  display.backBuffer = back.data();
  display.backBufferSize = static_cast<uint32_t>(back.size() * 2);
  drawImage(0, 0, image);
  for (uint32_t y = 0; y < image.height && y < 320; ++y)
    for (uint32_t x = 0; x < image.width && x < 240; ++x) pixels.push_back(back[x + 240 * y]);
  display = Display{};
  dirtyList.clear();
  return pixels;
}

}  // namespace

std::string TablesText() {
  std::ostringstream out;
  for (const auto& [id, i] : imageTable) {
    out << "image " << i.id << " saveUnder=" << +i.saveUnder << " reserved=" << +i.reserved << " size=" << i.width << 'x'
        << i.height << " saveBuffer=" << (i.saveBuffer != nullptr);
    put(out, "data", i.pixelData, i.pixelDataSize);
    const std::vector<uint16_t> pixels = drawn(i);
    put(out, "drawn", pixels.data(), pixels.size());
    out << '\n';
  }
  for (const auto& [id, f] : fontTable) {
    out << "font " << f.id << " glyph=" << f.glyphWidth << 'x' << f.glyphHeight;
    put(out, "sheet", f.glyphSheet, f.sheetPixels);
    out << '\n';
  }
  for (const auto& [id, s] : spriteTable) {
    out << "sprite " << s.id << " kind=" << +s.kind << " layer=" << +s.layer << " size=" << s.width << 'x' << s.height
        << " frames=" << +s.frameCount << " range=" << +s.firstFrame << ".." << +s.lastFrame << " frame=" << +s.frame
        << " flags=" << +s.flags << " animRate=" << +s.animRate << " motion=" << +s.motion << " moveRate=" << +s.moveRate
        << " reserved=" << +s.reservedB << ',' << +s.reservedC << " ready=" << +s.pixelsReady << " at=" << s.x << ','
        << s.y << " prev=" << s.prevX << ',' << s.prevY << " speedX=" << s.speedX << " times=" << s.animTime << ','
        << s.moveTime;
    put(out, "data", s.frameData, s.frameDataSize);
    put(out, "pixels", s.pixels, static_cast<size_t>(s.frameCount) * s.width * s.height);
    out << '\n';
  }
  for (const Artifact& a : artifactList)
    out << "artifact " << a.id << " '" << a.name << "' screen=" << a.screenNumber << " at=" << a.x << ',' << a.y
        << " state=" << +a.state << '\n';
  for (const auto& [id, d] : dialogTable) {
    out << "dialog " << id << " '";
    for (const char* c = d.text; *c; ++c) out << (*c == '\r' ? "\\r" : *c == '\n' ? "\\n" : std::string(1, *c));
    out << "'\n";
  }
  for (const auto& [id, e] : eventTable) {
    out << "event " << e.id << " size=" << e.width << 'x' << e.height << " trigger=" << +e.trigger
        << " armState=" << +e.armState;
    put(out, "reserved", e.reserved, sizeof e.reserved);
    out << " param=" << e.triggerParam << " actionCount=" << +e.actionCount;
    for (const EventAction& a : e.actions) out << " [" << +a.opcode << ' ' << a.argument << ' ' << a.x << ',' << a.y << ']';
    out << '\n';
  }
  for (size_t slot = 0; slot < screenMap.size(); ++slot) {
    const ScreenRecord& screen = screenMap[slot];
    std::ostringstream placed;
    for (size_t k = 0; k < std::size(screen.objects); ++k) {
      const ObjectPlacement& o = screen.objects[k];
      if (o.spriteId || o.x || o.y || o.layerOverride)
        placed << ' ' << k << ':' << o.spriteId << '@' << o.x << ',' << o.y << '/' << o.layerOverride;
    }
    for (size_t k = 0; k < std::size(screen.events); ++k) {
      const EventPlacement& e = screen.events[k];
      if (e.eventId || e.x || e.y) placed << " e" << k << ':' << e.eventId << '@' << e.x << ',' << e.y;
    }
    if (screen.screenNumber || !placed.str().empty())
      out << "slot " << slot << " screen " << screen.screenNumber << placed.str() << '\n';
  }
  return out.str();
}
