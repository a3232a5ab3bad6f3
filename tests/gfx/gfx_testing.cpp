// gfx_testing.cpp -- helpers for the graphics tests.
#include "gfx/gfx_testing.h"

#include "gfx/display.h"
#include "gfx/text.h"
#include "shell/shell.h"
#include "support/data_builder.h"
#include "support/device.h"
#include "world/objects.h"

namespace gfx_testing {

ImageRecord Owned::image(uint32_t id, uint16_t width, uint16_t height, const std::vector<uint16_t>& words,
                         bool saveUnder) {
  ImageRecord image{id, static_cast<uint8_t>(saveUnder), 0, width, height};
  image.pixelData = bytes.emplace_back(data_builder::Words(words)).data();
  image.pixelDataSize = static_cast<uint32_t>(bytes.back().size());
  if (saveUnder) image.saveBuffer = pixels.emplace_back(size_t{width} * height).data();
  return imageTable[id] = image;
}

ImageRecord Owned::solid(uint32_t id, uint16_t width, uint16_t height, uint16_t colour, bool saveUnder) {
  return image(id, width, height, std::vector<uint16_t>(size_t{width} * height, colour), saveUnder);
}

void Owned::font(uint32_t id, uint16_t glyphWidth, uint16_t glyphHeight, std::vector<uint16_t> sheet) {
  const std::vector<uint16_t>& kept = pixels.emplace_back(std::move(sheet));
  fontTable[id] = FontRecord{id, glyphWidth, glyphHeight, kept.empty() ? nullptr : kept.data(),
                             static_cast<uint32_t>(kept.size())};
}

void BackBufferTest::SetUp() {
  backBuffer.assign(240 * 320, kGround);
  display = Display{};
  display.backBuffer = backBuffer.data();
  display.backBufferSize = static_cast<uint32_t>(backBuffer.size() * 2);
  display.rgbToPixel = rgbTo565;
  dirtyList.clear();
}

void BackBufferTest::TearDown() {
  display = Display{};
  dirtyList.clear();
  imageTable.clear();
  fontTable.clear();
  spriteTable.clear();
  currentFont = textColor = textBackground = 0;
}

int StartDisplay(const testing_support::TempDir& dir, headless::DeviceConfig config) {
  // A display started earlier in this process would still point at the old device's frame buffer.
  delete[] display.backBuffer;
  display = Display{};
  testing_support::StartDevice(dir, config);
  if (!CreateMainWindow(1, SW_SHOW)) return -1;
  return GfxInit();
}

}  // namespace gfx_testing
