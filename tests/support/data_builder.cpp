// data_builder.cpp -- test-only builders of data-file bytes.
#include "support/data_builder.h"

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

void append(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// A record of a header then a body whose length is the index entry's size.
IndexedRecord withBody(Bytes header, const Bytes& body) {
  append(header, body);
  return {header, static_cast<uint32_t>(body.size()), {}};
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
    append(area, records[r].bytes);
  }
  Bytes out;
  put32(out, static_cast<uint32_t>(records.size()));
  for (size_t r = 0; r < records.size(); ++r) {
    put32(out, records[r].offset.value_or(offsets[r]));
    put32(out, records[r].size);
  }
  append(out, area);
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
  for (uint8_t b : {image.saveUnder, image.reserved}) put8(out, b);
  for (uint16_t w : {image.width, image.height}) put16(out, w);
  return withBody(out, Words(image.words));
}

IndexedRecord FontEntry(const FontDef& font) {
  Bytes out;
  put32(out, font.id);
  for (uint16_t w : {font.glyphWidth, font.glyphHeight}) put16(out, w);
  return withBody(out, Words(font.sheet));
}

std::vector<uint16_t> FullSheet(uint16_t glyphWidth, uint16_t glyphHeight) {
  std::vector<uint16_t> sheet(size_t{96} * glyphWidth * glyphHeight);
  for (size_t i = 0; i < sheet.size(); ++i) sheet[i] = static_cast<uint16_t>(i % 0xFFFF + 1);
  return sheet;
}

IndexedRecord SpriteEntry(const SpriteDef& sprite) {
  Bytes out;
  put32(out, sprite.id);
  out.insert(out.end(), layout::sprite::kReservedASize, 0xA5);
  const uint8_t frameCount = sprite.frameCount.value_or(static_cast<uint8_t>(sprite.frames.size()));
  for (uint8_t b : {sprite.kind, frameCount, sprite.animRate, sprite.reservedB, sprite.width, sprite.height,
                    sprite.reservedC, sprite.motion, sprite.moveRate})
    put8(out, b);
  out.insert(out.end(), layout::sprite::kReservedDSize, 0x5A);
  Bytes table, words;  // the frame offset table, then the frames
  for (const auto& frame : sprite.frames) {
    put32(table, static_cast<uint32_t>(words.size()));
    append(words, Words(frame));
  }
  append(table, words);
  return withBody(out, table);
}

IndexedRecord EventEntry(const EventDef& event) {
  Bytes out;
  put32(out, event.id);
  for (uint16_t w : {event.width, event.height}) put16(out, w);
  for (uint8_t b : {event.trigger, event.armState}) put8(out, b);
  for (uint8_t b : event.reserved) put8(out, b);
  put32(out, event.triggerParam);
  put8(out, event.actionCount.value_or(static_cast<uint8_t>(event.actions.size())));
  for (const ActionDef& action : event.actions) {
    put8(out, action.opcode);
    put32(out, action.argument);
    for (uint16_t w : {action.x, action.y}) put16(out, w);
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
    for (uint16_t w : {a.screenNumber, a.x, a.y}) put16(out, w);
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

Bytes Map(const std::vector<ScreenDef>& screens) {
  Bytes out;
  for (const ScreenDef& screen : screens) {
    put32(out, screen.number);
    for (uint32_t k = 0; k < layout::map::kObjectCount + layout::map::kEventCount; ++k) {
      const bool object = k < layout::map::kObjectCount;
      const std::vector<PlacementDef>& list = object ? screen.objects : screen.events;
      const size_t at = object ? k : k - layout::map::kObjectCount;
      const PlacementDef p = at < list.size() ? list[at] : PlacementDef{};
      put32(out, p.id);
      for (uint16_t w : {p.x, p.y}) put16(out, w);
      if (object) put32(out, p.layerOverride);
    }
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
