// data_builder.cpp -- test-only builders of data-file bytes.
#include "support/data_builder.h"

#include <algorithm>
#include <numeric>

#include "data/layout.h"
#include "support/testing.h"

namespace data_builder {

using layout::put16;
using layout::put32;
using layout::put8;

namespace {

void putText(Bytes& out, const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<uint8_t>(text[i]) : 0);
}

}  // namespace

Bytes Indexed(const std::vector<IndexedRecord>& records, const std::vector<size_t>& dataOrder) {
  std::vector<size_t> order = dataOrder;
  if (order.empty()) {
    order.resize(records.size());
    std::iota(order.begin(), order.end(), size_t{0});
  }
  Bytes area;
  std::vector<uint32_t> offsets(records.size());
  for (size_t r : order) {
    offsets[r] = static_cast<uint32_t>(area.size());
    area.insert(area.end(), records[r].bytes.begin(), records[r].bytes.end());
  }
  Bytes out;
  put32(out, static_cast<uint32_t>(records.size()));
  for (size_t r = 0; r < records.size(); ++r) {
    put32(out, records[r].offset.value_or(offsets[r]));
    put32(out, records[r].size);
  }
  out.insert(out.end(), area.begin(), area.end());
  return out;
}

Bytes Words(const std::vector<uint16_t>& words) {
  Bytes out;
  for (uint16_t w : words) put16(out, w);
  return out;
}

IndexedRecord ImageEntry(const ImageDef& image) {
  Bytes out;
  put32(out, image.id);
  put8(out, image.saveUnder);
  put8(out, image.reserved);
  put16(out, image.width);
  put16(out, image.height);
  Bytes pixels = Words(image.words);
  out.insert(out.end(), pixels.begin(), pixels.end());
  return {out, static_cast<uint32_t>(pixels.size()), {}};
}

IndexedRecord FontEntry(const FontDef& font) {
  Bytes out;
  put32(out, font.id);
  put16(out, font.glyphWidth);
  put16(out, font.glyphHeight);
  Bytes sheet = Words(font.sheet);
  out.insert(out.end(), sheet.begin(), sheet.end());
  return {out, static_cast<uint32_t>(sheet.size()), {}};
}

std::vector<uint16_t> FullSheet(uint16_t glyphWidth, uint16_t glyphHeight) {
  std::vector<uint16_t> sheet(size_t{96} * glyphWidth * glyphHeight);
  for (size_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<uint16_t>(i % 0xFFFF + 1);
  return sheet;
}

Bytes FrameData(const std::vector<std::vector<uint16_t>>& frames) {
  Bytes table, words;
  for (const auto& frame : frames) {
    put32(table, static_cast<uint32_t>(words.size()));
    Bytes bytes = Words(frame);
    words.insert(words.end(), bytes.begin(), bytes.end());
  }
  table.insert(table.end(), words.begin(), words.end());
  return table;
}

IndexedRecord SpriteEntry(const SpriteDef& sprite) {
  Bytes out;
  put32(out, sprite.id);
  for (uint32_t i = 0; i < layout::sprite::kReservedASize; ++i) put8(out, 0xA5);
  put8(out, sprite.kind);
  put8(out, sprite.frameCount.value_or(static_cast<uint8_t>(sprite.frames.size())));
  put8(out, sprite.animRate);
  put8(out, sprite.reservedB);
  put8(out, sprite.width);
  put8(out, sprite.height);
  put8(out, sprite.reservedC);
  put8(out, sprite.motion);
  put8(out, sprite.moveRate);
  for (uint32_t i = 0; i < layout::sprite::kReservedDSize; ++i) put8(out, 0x5A);
  Bytes frames = FrameData(sprite.frames);
  out.insert(out.end(), frames.begin(), frames.end());
  return {out, static_cast<uint32_t>(frames.size()), {}};
}

IndexedRecord EventEntry(const EventDef& event) {
  Bytes out;
  put32(out, event.id);
  put16(out, event.width);
  put16(out, event.height);
  put8(out, event.trigger);
  put8(out, event.armState);
  for (uint8_t b : event.reserved) put8(out, b);
  put32(out, event.triggerParam);
  put8(out, event.actionCount.value_or(static_cast<uint8_t>(event.actions.size())));
  for (const ActionDef& action : event.actions) {
    put8(out, action.opcode);
    put32(out, action.argument);
    put16(out, action.x);
    put16(out, action.y);
  }
  // The events file does not use the size; give the length of the actions, as a tool would.
  return {out, static_cast<uint32_t>(out.size() - layout::event::kHeaderSize), {}};
}

Bytes Artifacts(const std::vector<ArtifactDef>& artifacts, std::optional<uint32_t> count) {
  Bytes out;
  put32(out, count.value_or(static_cast<uint32_t>(artifacts.size())));
  for (const ArtifactDef& a : artifacts) {
    put32(out, a.id);
    putText(out, a.name, layout::artifact::kNameSize);
    put16(out, a.screenNumber);
    put16(out, a.x);
    put16(out, a.y);
    put8(out, a.state);
  }
  return out;
}

Bytes Dialogs(const std::vector<DialogDef>& dialogs, std::optional<uint32_t> count) {
  Bytes out;
  put32(out, count.value_or(static_cast<uint32_t>(dialogs.size())));
  for (const DialogDef& d : dialogs) {
    put32(out, d.id);
    putText(out, d.text, layout::dialog::kTextSize);
  }
  return out;
}

static Bytes ScreenBytes(const ScreenDef& screen) {
  using namespace layout::map;
  Bytes out;
  put32(out, screen.number);
  for (uint32_t k = 0; k < kObjectCount; ++k) {
    PlacementDef p = k < screen.objects.size() ? screen.objects[k] : PlacementDef{};
    put32(out, p.id);
    put16(out, p.x);
    put16(out, p.y);
    put32(out, p.layerOverride);
  }
  for (uint32_t k = 0; k < kEventCount; ++k) {
    PlacementDef p = k < screen.events.size() ? screen.events[k] : PlacementDef{};
    put32(out, p.id);
    put16(out, p.x);
    put16(out, p.y);
  }
  return out;
}

Bytes Map(const std::vector<ScreenDef>& screens) {
  Bytes out;
  for (const ScreenDef& screen : screens) {
    Bytes record = ScreenBytes(screen);
    out.insert(out.end(), record.begin(), record.end());
  }
  out.resize(layout::map::kFileSize, 0);
  return out;
}

std::map<std::string, Bytes> SmallWorld() {
  std::map<std::string, Bytes> files;
  files[layout::kSpritesFile] =
      Indexed({SpriteEntry({.id = 3, .kind = 0, .width = 2, .height = 2, .frames = {{0x1111, 0x2222, 0x3333}}}),
               SpriteEntry({.id = 1001, .kind = 4, .width = 3, .height = 1, .frames = {{0, 2}}})});
  files[layout::kEventsFile] = Indexed({EventEntry(
      {.id = 7, .width = 10, .height = 20, .trigger = 2, .actions = {{.opcode = 4, .argument = 1}}})});
  files[layout::kArtifactsFile] = Artifacts({{.id = 50, .name = "Key", .screenNumber = 1, .x = 30, .y = 40, .state = 1}});
  files[layout::kFontsFile] = Indexed({FontEntry({.id = 1, .glyphWidth = 2, .glyphHeight = 2, .sheet = FullSheet(2, 2)}),
                                       FontEntry({.id = 2, .glyphWidth = 1, .glyphHeight = 1, .sheet = FullSheet(1, 1)})});
  files[layout::kImagesFile] =
      Indexed({ImageEntry({.id = 6, .width = 2, .height = 1, .words = {0xF800, 0x07E0}}),
               ImageEntry({.id = 5, .saveUnder = 1, .width = 4, .height = 2, .words = {0, 7}})});
  files[layout::kMapFile] = Map({{.number = 1, .objects = {{.id = 3, .x = 5, .y = 6}}, .events = {{.id = 7, .x = 1, .y = 2}}}});
  files[layout::kDialogsFile] = Dialogs({{1, "Hello"}, {2, "Second text"}});
  return files;
}

void WriteAll(const std::string& folder, const std::map<std::string, Bytes>& files) {
  for (const auto& [name, bytes] : files) testing_support::WriteFile(folder + "/" + name, bytes);
}

}  // namespace data_builder
