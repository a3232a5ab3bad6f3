// tables_text.cpp -- the content tables as text.
#include "support/tables_text.h"

#include <sstream>
#include <vector>

#include "gfx/display.h"
#include "gfx/image.h"

namespace {

template <class T>
void put(std::ostringstream& out, const char* name, const T* values, size_t count) {
  out << ' ' << name;
  for (size_t i = 0; i < count; ++i) out << ' ' << +values[i];
}

// The image drawn on a back buffer of a known ground, read back: what the game shows of it.
std::vector<uint16_t> drawn(const ImageRecord& image) {
  std::vector<uint16_t> back(240 * 320, 0x5555);
  display = Display{};
  display.backBuffer = back.data();
  display.backBufferSize = static_cast<uint32_t>(back.size() * 2);
  drawImage(0, 0, image);
  std::vector<uint16_t> pixels;
  for (uint32_t y = 0; y < image.height && y < 320; ++y)
    for (uint32_t x = 0; x < image.width && x < 240; ++x) pixels.push_back(back[x + 240 * y]);
  display = Display{};
  dirtyList.clear();
  return pixels;
}

}  // namespace

std::string Fields(const ImageRecord& i) {
  std::ostringstream out;
  out << "id=" << i.id << " saveUnder=" << +i.saveUnder << " reserved=" << +i.reserved << " size=" << i.width << 'x'
      << i.height << " dataSize=" << i.pixelDataSize << " saveBuffer=" << (i.saveBuffer != nullptr);
  return out.str();
}

std::string Fields(const FontRecord& f) {
  std::ostringstream out;
  out << "id=" << f.id << " glyph=" << f.glyphWidth << 'x' << f.glyphHeight << " sheetPixels=" << f.sheetPixels;
  return out.str();
}

std::string Fields(const Sprite& s) {
  std::ostringstream out;
  out << "id=" << s.id << " kind=" << +s.kind << " layer=" << +s.layer << " size=" << s.width << 'x' << s.height
      << " frames=" << +s.frameCount << " range=" << +s.firstFrame << ".." << +s.lastFrame << " frame=" << +s.frame
      << " flags=" << +s.flags << " animRate=" << +s.animRate << " motion=" << +s.motion << " moveRate=" << +s.moveRate
      << " reserved=" << +s.reservedB << ',' << +s.reservedC << " ready=" << +s.pixelsReady << " at=" << s.x << ','
      << s.y << " prev=" << s.prevX << ',' << s.prevY << " speedX=" << s.speedX << " times=" << s.animTime << ','
      << s.moveTime << " frameDataSize=" << s.frameDataSize;
  return out.str();
}

std::string Fields(const Artifact& a) {
  std::ostringstream out;
  out << "id=" << a.id << " name='" << a.name << "' screen=" << a.screenNumber << " at=" << a.x << ',' << a.y
      << " state=" << +a.state;
  return out.str();
}

std::string Fields(const Event& e) {
  std::ostringstream out;
  out << "id=" << e.id << " size=" << e.width << 'x' << e.height << " trigger=" << +e.trigger
      << " armState=" << +e.armState;
  put(out, "reserved", e.reserved, sizeof e.reserved);
  out << " param=" << e.triggerParam << " actionCount=" << +e.actionCount;
  for (const EventAction& a : e.actions) out << " [" << +a.opcode << ' ' << a.argument << ' ' << a.x << ',' << a.y << ']';
  return out.str();
}

std::string TablesText() {
  std::ostringstream out;
  for (const auto& [id, i] : imageTable) {
    out << "image " << Fields(i);
    put(out, "data", i.pixelData, i.pixelDataSize);
    const std::vector<uint16_t> pixels = drawn(i);
    put(out, "drawn", pixels.data(), pixels.size());
    out << '\n';
  }
  for (const auto& [id, f] : fontTable) {
    out << "font " << Fields(f);
    put(out, "sheet", f.glyphSheet, f.sheetPixels);
    out << '\n';
  }
  for (const auto& [id, s] : spriteTable) {
    out << "sprite " << Fields(s);
    put(out, "data", s.frameData, s.frameDataSize);
    put(out, "pixels", s.pixels, static_cast<size_t>(s.frameCount) * s.width * s.height);
    out << '\n';
  }
  for (const Artifact& a : artifactList) out << "artifact " << Fields(a) << '\n';
  for (const auto& [id, d] : dialogTable) out << "dialog " << id << " '" << d.text << "'\n";
  for (const auto& [id, e] : eventTable) out << "event " << Fields(e) << '\n';
  for (const ScreenRecord& screen : screenMap) {
    out << "screen " << screen.screenNumber;
    for (const ObjectPlacement& o : screen.objects) out << ' ' << o.spriteId << '@' << o.x << ',' << o.y << '/' << o.layerOverride;
    for (const EventPlacement& e : screen.events) out << ' ' << e.eventId << '@' << e.x << ',' << e.y;
    out << '\n';
  }
  return out.str();
}
