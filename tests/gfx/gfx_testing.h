// gfx_testing.h -- helpers for the graphics tests: a test-owned back buffer, pictures and fonts made in memory.
#pragma once

#include <gtest/gtest.h>

#include <list>
#include <vector>

#include "data/tables.h"
#include "platform/headless/headless.h"
#include "support/testing.h"

namespace gfx_testing {

constexpr uint16_t kGround = 0x0841;  // the test back buffer before anything is drawn

// Pictures and fonts put into the tables; the buffers they point at live as long as this does.
struct Owned {
  std::list<std::vector<uint8_t>> bytes;
  std::list<std::vector<uint16_t>> pixels;
  ImageRecord image(uint32_t id, uint16_t width, uint16_t height, const std::vector<uint16_t>& words,
                    bool saveUnder = false);
  ImageRecord solid(uint32_t id, uint16_t width, uint16_t height, uint16_t colour, bool saveUnder = false);
  void font(uint32_t id, uint16_t glyphWidth, uint16_t glyphHeight, std::vector<uint16_t> sheet);
};

// A 240 x 320 back buffer of kGround installed as the display's; the tables are emptied afterwards.
class BackBufferTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  uint16_t& At(uint32_t x, uint32_t y) { return backBuffer[x + 240 * y]; }
  std::vector<uint16_t> backBuffer;
  Owned owned;
};

// A fresh headless device with config, the log in dir, the main window, and GfxInit's result.
int StartDisplay(const testing_support::TempDir& dir, headless::DeviceConfig config = {});

}  // namespace gfx_testing
