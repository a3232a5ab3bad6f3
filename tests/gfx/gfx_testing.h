// gfx_testing.h -- helpers for the graphics tests: a test-owned back buffer, pictures and fonts made in memory.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "data/tables.h"
#include "platform/headless/headless.h"
#include "support/testing.h"

namespace gfx_testing {

constexpr uint16_t kGround = 0x0841;  // what the test back buffer holds before anything is drawn

// Buffers the content tables point at, kept alive by the test.
struct Owned {
  std::list<std::vector<uint8_t>> bytes;
  std::list<std::vector<uint16_t>> pixels;
};

// Run-length words as the little-endian bytes an image holds.
std::vector<uint8_t> Words(const std::vector<uint16_t>& words);

// Put an image into imageTable; its data and save buffer (when asked for) are kept in owned.
ImageRecord AddImage(Owned& owned, uint32_t id, uint16_t width, uint16_t height, const std::vector<uint16_t>& words,
                     bool saveUnder = false);

// An image of one opaque colour.
ImageRecord AddSolidImage(Owned& owned, uint32_t id, uint16_t width, uint16_t height, uint16_t colour,
                          bool saveUnder = false);

// Put a font into fontTable with the given sheet.
FontRecord AddFont(Owned& owned, uint32_t id, uint16_t glyphWidth, uint16_t glyphHeight, std::vector<uint16_t> sheet);

// A 240 x 320 back buffer of kGround owned by the fixture, installed as the display's; the tables
// and the text state are emptied again afterwards.
class BackBufferTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  uint16_t& At(uint32_t x, uint32_t y) { return backBuffer[x + 240 * y]; }

  std::vector<uint16_t> backBuffer;
  Owned owned;
};

// A fresh headless device with config, the log in dir, the main window, and GfxInit's result.
// onBox, when given, is called as each message box appears.
int StartDisplay(const testing_support::TempDir& dir, headless::DeviceConfig config = {},
                 void (*onBox)(const headless::MessageBoxRecord&) = nullptr);

// The 240 x 240 pixels of the screen at the display's view offsets.
std::vector<uint16_t> ViewOnScreen();

}  // namespace gfx_testing
