// dialog_test.cpp -- the dialog box on the headless device: layout, markup, line feeds, the key wait, the restore.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "flow/dialog.h"
#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "platform/keys.h"
#include "services/settings.h"
#include "services/timer.h"
#include "support/device.h"
#include "world/objects.h"

using testing_support::At;
using testing_support::RunFresh;
using testing_support::TempDir;
using Lines = std::vector<std::string>;
using headless::EventKind;

namespace {

constexpr uint16_t kPanel = 0x0010;  // the panel's one colour
constexpr uint16_t kInk = 0x7BEF;    // the glyphs' own ink
constexpr uint32_t kAction = 0xC1;

uint16_t scene(uint32_t x, uint32_t y) { return static_cast<uint16_t>(0x8000 | ((x * 3 + y * 5) & 0x7FFF)); }

// Glyphs that spell their own code: bit k of the code is ink in column k of the cell's top row.
std::vector<uint16_t> codeSheet(uint32_t glyphWidth) {
  std::vector<uint16_t> sheet(96 * glyphWidth * 8, 0);
  for (uint32_t code = 32; code < 128; ++code)
    for (uint32_t bit = 0; bit < 7; ++bit)
      if (code & (1u << bit)) sheet[(code / 32 - 1) * 8 * 32 * glyphWidth + (code % 32) * glyphWidth + bit] = kInk;
  return sheet;
}

std::vector<uint16_t> whileUp;  // the view half a second after the box opened
void capture(const std::string&, bool) { whileUp = testing_support::ViewPixels(); }

// Dialog 1 holding text (none when null) over a scene, with panel 5 and font 1; returns the
// virtual time at which the box closed.
double showBox(const char* text, uint16_t glyphWidth = 7,
               std::vector<headless::ScriptEvent> script = {At(1.5, EventKind::KeyDown, kAction)}) {
  TempDir dir;
  gfx_testing::Owned owned;
  EXPECT_EQ(gfx_testing::StartDisplay(dir), GfxOk);
  EXPECT_EQ(TimerInit(), 0);
  headless::OnScreenshot(capture);
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < 240; ++x) putPixel(x, y, scene(x, y));
  presentAll();
  owned.solid(5, 190, 110, kPanel, true);
  owned.font(1, glyphWidth, 8, codeSheet(glyphWidth));
  dialogTable.clear();
  if (text) std::strncpy(dialogTable[1].text, text, sizeof dialogTable[1].text - 1);
  keySlots[SlotLeft] = VK_LEFT, keySlots[SlotRight] = VK_RIGHT, keySlots[SlotUp] = VK_UP, keySlots[SlotAction] = kAction;
  script.push_back(At(0.5, EventKind::Shot));
  script.back().file = dir.file("box.png");
  headless::Schedule(script);
  showDialog(1);
  imageTable.clear();  // their buffers go with owned
  fontTable.clear();
  return headless::Now();
}

// The text lines as the glyphs spell them; pixels of a paper colour are not ink.
Lines linesOf(const std::vector<uint16_t>& view, uint32_t glyphWidth = 7, std::vector<uint16_t> paper = {kPanel}) {
  Lines lines;
  for (uint32_t y = 70; y <= 140; y += 10) {
    std::string line;
    for (uint32_t x = 50, code = 1; code != 0 && x + glyphWidth <= 240; x += glyphWidth) {
      code = 0;
      for (uint32_t bit = 0; bit < 7; ++bit)
        if (std::find(paper.begin(), paper.end(), view[y * 240 + x + bit]) == paper.end()) code |= 1u << bit;
      if (code) line += static_cast<char>(code);
    }
    lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

TEST(DialogBox, LaysOutWordsLineFeedsAndMarkupByItsEstimateAndDrawsNoColourMarkupSets) {
  struct Case {
    const char* text;
    Lines lines;
    uint16_t glyphWidth = 7;
  };
  const std::vector<Case> cases = {
      {"aaaa bbbb cccc dddd eeee", {"aaaa bbbb cccc dddd ", "eeee"}},  // the space stays at the line's end
      {"hello", {"hello"}, 8},
      {"abcdefghijklmnopqrst", {"abcdef", "ghijklmnopqrst"}, 8},  // wide glyphs break a long word
      {"ab cdefghijklmnopqrstuvw xy", {"ab ", "c", "defghijklmnopqrstuvw ", "xy"}},
      {"abcdefghijklmnopqrstu", {"", "a", "bcdefghijklmnopqrstu"}},  // more than 20: always a new line
      {"aaaa bbbb cccc @fF800eeeee", {"aaaa bbbb cccc eeeee"}},      // markup at a word's start is not measured
      {"aaaa bbbb cccc ee@f07E0eee", {"aaaa bbbb cccc ", "eeeee"}},  // inside a word it is
      {"one\ntwo\nthree", {"one ", "two ", "three"}},
      {"aaaa bbbb cccc dddd\neeee", {"aaaa bbbb cccc dddd ", "", "eeee"}},  // the line feed moves twice
      {"1\n2\n3\n4\n5\n6\n7\n8\n9", {"1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 "}},
      {"abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz", {"", "a", "b", "c", "d", "e", "f"}},
  };
  EXPECT_TRUE(RunFresh([&] {
    for (const Case& c : cases) {
      showBox(c.text, c.glyphWidth);
      EXPECT_EQ(linesOf(whileUp, c.glyphWidth), c.lines) << c.text;
    }
    // Line feeds alone lay out the same as carriage return and line feed.
    showBox("one\r\ntwo\r\nthree");
    const std::vector<uint16_t> crlf = whileUp;
    showBox("one\ntwo\nthree");
    EXPECT_EQ(whileUp, crlf);
    // Colours set by markup are never drawn.
    const auto at = [](uint32_t cell, uint32_t column, uint32_t row = 0) {
      return whileUp[(70 + row) * 240 + 50 + 7 * cell + column];
    };
    showBox("@fF800red @f0000own x@b0001y z");
    EXPECT_EQ(linesOf(whileUp, 7, {kPanel, 1}), Lines{"red own xy z"});
    EXPECT_EQ(at(0, 1), 0xF800);  // 'r' is 0x72: column 1 is ink
    EXPECT_EQ(at(4, 0), kInk);    // 0000: the glyphs' own ink
    EXPECT_EQ(at(8, 0, 1), kPanel);
    EXPECT_EQ(at(9, 0, 1), 1);  // @b0001 paints every following cell, spaces included
    EXPECT_EQ(at(10, 6, 7), 1);
    EXPECT_EQ(at(12, 0, 1), kPanel);
    // Four characters read as base 16 the way strtoul reads them; other letters do nothing.
    showBox("@x1234a@f 0x1b@fzz00c@f-001d@fF8");
    EXPECT_EQ(linesOf(whileUp), Lines{"abcd"});
    EXPECT_EQ(at(0, 0), 0xFFFF);
    EXPECT_EQ(at(1, 1), 1);
    EXPECT_EQ(at(2, 1), kInk);
    EXPECT_EQ(at(3, 2), 0xFFFF);
    EXPECT_EQ(textColor, 0xF8);  // the cut sequence at the end still sets the colour, which stays
  }));
}

TEST(DialogBox, WaitsForAGameKeyThenPutsTheSceneBack) {
  EXPECT_TRUE(RunFresh([] {
    // Keys count only after a second: a press released before then is missed.
    const double closed = showBox("hi", 7, {At(0.2, EventKind::KeyDown, VK_UP), At(0.8, EventKind::KeyUp, VK_UP),
                                         At(3.0, EventKind::KeyDown, VK_RIGHT)});
    EXPECT_GE(closed, 3.0);
    EXPECT_LE(closed, 3.05);
    EXPECT_EQ(actionDeadline, TimerCount() + counterFrequency / 2);
    EXPECT_EQ(linesOf(whileUp), Lines{"hi"});
    EXPECT_EQ(whileUp[39 * 240 + 25], scene(25, 39));
    EXPECT_EQ(whileUp[40 * 240 + 25], kPanel);
    const std::vector<uint16_t> after = testing_support::ViewPixels();
    for (uint32_t i = 0; i < after.size(); ++i) ASSERT_EQ(after[i], scene(i % 240, i / 240)) << i;
    EXPECT_TRUE(dirtyList.empty());
    // A key held as the box opens closes it when the second is over.
    EXPECT_EQ(showBox("hi", 7, {At(0.0, EventKind::KeyDown, kAction)}), 1.0);
  }));
  EXPECT_TRUE(RunFresh([] {
    // An unknown id shows the empty panel, waits all the same and leaves the text state alone.
    selectFont(9);
    EXPECT_EQ(showBox(nullptr, 7, {At(1.5, EventKind::KeyDown, VK_LEFT)}), 1.5);
    EXPECT_EQ(whileUp[70 * 240 + 50], kPanel);
    EXPECT_EQ(currentFont, 9u);
    // Without image 5 nothing happens at all.
    dialogTable[1] = Dialog{1, "hello"};
    actionDeadline = 77;
    showDialog(1);
    EXPECT_EQ(headless::Now(), 1.5);
    EXPECT_EQ(actionDeadline, 77u);
    EXPECT_TRUE(dirtyList.empty());
  }));
}
