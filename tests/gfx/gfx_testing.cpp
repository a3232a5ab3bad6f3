// gfx_testing.cpp -- helpers for the graphics tests.
#include "gfx/gfx_testing.h"

#include "data/layout.h"
#include "gfx/display.h"
#include "gfx/text.h"
#include "shell/log.h"
#include "shell/shell.h"
#include "world/objects.h"

namespace gfx_testing {

std::vector<uint8_t> Words(const std::vector<uint16_t>& words) {
  std::vector<uint8_t> bytes;
  for (uint16_t word : words) layout::put16(bytes, word);
  return bytes;
}

ImageRecord AddImage(Owned& owned, uint32_t id, uint16_t width, uint16_t height, const std::vector<uint16_t>& words,
                     bool saveUnder) {
  ImageRecord image;
  image.id = id;
  image.saveUnder = saveUnder ? 1 : 0;
  image.width = width;
  image.height = height;
  const std::vector<uint8_t>& data = owned.bytes.emplace_back(Words(words));
  image.pixelData = data.data();
  image.pixelDataSize = static_cast<uint32_t>(data.size());
  if (saveUnder) image.saveBuffer = owned.pixels.emplace_back(size_t{width} * height, 0).data();
  imageTable[id] = image;
  return image;
}

ImageRecord AddSolidImage(Owned& owned, uint32_t id, uint16_t width, uint16_t height, uint16_t colour,
                          bool saveUnder) {
  return AddImage(owned, id, width, height, std::vector<uint16_t>(size_t{width} * height, colour), saveUnder);
}

FontRecord AddFont(Owned& owned, uint32_t id, uint16_t glyphWidth, uint16_t glyphHeight, std::vector<uint16_t> sheet) {
  FontRecord font;
  font.id = id;
  font.glyphWidth = glyphWidth;
  font.glyphHeight = glyphHeight;
  const std::vector<uint16_t>& kept = owned.pixels.emplace_back(std::move(sheet));
  font.glyphSheet = kept.empty() ? nullptr : kept.data();
  font.sheetPixels = static_cast<uint32_t>(kept.size());
  fontTable[id] = font;
  return font;
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
  dialogTable.clear();
  spriteTable.clear();
  currentFont = 0;
  textColor = 0;
  textBackground = 0;
}

int StartDisplay(const testing_support::TempDir& dir, headless::DeviceConfig config,
                 void (*onBox)(const headless::MessageBoxRecord&)) {
  // A display started earlier in this process would still point at the old device's frame buffer.
  delete[] display.backBuffer;
  display = Display{};
  config.appDirectory = dir.path();
  headless::Configure(config);
  headless::OnMessageBox(onBox);
  appDirectory = dir.path() + "/";
  LogOpen();
  if (!CreateMainWindow(1, SW_SHOW)) return -1;
  return GfxInit();
}

std::vector<uint16_t> ViewOnScreen() {
  std::vector<uint16_t> view;
  for (int32_t y = 0; y < 240; ++y)
    for (int32_t x = 0; x < 240; ++x)
      view.push_back(headless::ScreenPixel(x + static_cast<int32_t>(display.viewOffsetX),
                                           y + static_cast<int32_t>(display.viewOffsetY)));
  return view;
}

}  // namespace gfx_testing
