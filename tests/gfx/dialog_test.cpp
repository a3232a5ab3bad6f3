// dialog_test.cpp -- the dialog box on the headless device: layout, markup, line feeds, the key wait, the restore.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/dialog.h"
#include "gfx/display.h"
#include "gfx/gfx_testing.h"
#include "gfx/primitives.h"
#include "gfx/text.h"
#include "platform/headless/headless.h"
#include "platform/keys.h"
#include "shell/settings.h"
#include "shell/timer.h"
#include "support/testing.h"
#include "world/objects.h"

using gfx_testing::AddFont;
using gfx_testing::AddSolidImage;
using gfx_testing::ViewOnScreen;
using testing_support::RunFresh;
using testing_support::TempDir;

namespace {

constexpr uint16_t kPanel = 0x0010;  // the dialog panel's one colour
constexpr uint16_t kInk = 0x7BEF;    // the glyphs' own ink
constexpr uint32_t kActionKey = 0xC1;

uint16_t scene(uint32_t x, uint32_t y) { return static_cast<uint16_t>(0x8000 | ((x * 3 + y * 5) & 0x7FFF)); }

// Glyphs that spell their own code: bit k of the code is ink in column k of the cell's top row.
std::vector<uint16_t> codeSheet(uint32_t glyphWidth, uint32_t glyphHeight) {
  std::vector<uint16_t> sheet(96 * glyphWidth * glyphHeight, 0);
  for (uint32_t code = 32; code < 128; ++code) {
    const uint32_t start = (code / 32 - 1) * glyphHeight * 32 * glyphWidth + (code % 32) * glyphWidth;
    for (uint32_t bit = 0; bit < 7; ++bit)
      if (code & (1u << bit)) sheet[start + bit] = kInk;
  }
  return sheet;
}

struct Shown {
  std::vector<uint16_t> view;  // the view on the screen while the box waited
  std::vector<uint16_t> after;  // and once it was dismissed
  double closedAt = 0.0;        // virtual seconds when showDialog returned
};

std::vector<uint16_t> captured;
void captureView(const std::string&, bool) { captured = ViewOnScreen(); }

headless::ScriptEvent keyEvent(double time, headless::EventKind kind, uint32_t key) {
  headless::ScriptEvent event;
  event.time = time, event.kind = kind, event.a = key;
  return event;
}

// A display showing the scene, panel 5 and font 1, the four game keys, and the script; then the
// box for dialog 1 holding text (none when text is null), its view captured at 0.5 s.
Shown showBox(const char* text, std::vector<headless::ScriptEvent> script, uint16_t glyphWidth = 7) {
  TempDir dir;
  gfx_testing::Owned owned;
  Shown result;
  if (gfx_testing::StartDisplay(dir) != GfxOk || TimerInit() != 0) {
    ADD_FAILURE() << "no display";
    return result;
  }
  headless::OnScreenshot(captureView);
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < 240; ++x) putPixel(x, y, scene(x, y));
  presentAll();
  AddSolidImage(owned, 5, 190, 110, kPanel, true);
  AddFont(owned, 1, glyphWidth, 8, codeSheet(glyphWidth, 8));
  if (text) {
    Dialog dialog;
    dialog.id = 1;
    std::strncpy(dialog.text, text, sizeof dialog.text - 1);
    dialogTable[1] = dialog;
  }
  keySlots[SlotLeft] = VK_LEFT, keySlots[SlotRight] = VK_RIGHT, keySlots[SlotUp] = VK_UP;
  keySlots[SlotAction] = kActionKey;
  headless::ScriptEvent shot;
  shot.time = 0.5, shot.kind = headless::EventKind::Shot, shot.file = dir.file("box.png");
  script.push_back(shot);
  headless::Schedule(script);

  showDialog(1);
  result.view = captured;
  result.after = ViewOnScreen();
  result.closedAt = headless::Now();
  imageTable.erase(5);  // their buffers go with owned
  fontTable.erase(1);
  return result;
}

// The box for text, dismissed with the Action key at 1.5 s.
Shown showText(const char* text, uint16_t glyphWidth = 7) {
  return showBox(text, {keyEvent(1.5, headless::EventKind::KeyDown, kActionKey)}, glyphWidth);
}

// The characters of text line k as the glyphs spell them; pixels of a paper colour are not ink.
std::string lineOf(const std::vector<uint16_t>& view, uint32_t k, uint32_t glyphWidth = 7,
                   std::vector<uint16_t> paper = {kPanel}) {
  std::string line;
  const uint32_t y = 70 + 10 * k;
  for (uint32_t x = 50; x + glyphWidth <= 240; x += glyphWidth) {
    uint32_t code = 0;
    for (uint32_t bit = 0; bit < 7; ++bit) {
      const uint16_t p = view[y * 240 + x + bit];
      if (std::find(paper.begin(), paper.end(), p) == paper.end()) code |= 1u << bit;
    }
    if (code == 0) break;
    line += static_cast<char>(code);
  }
  return line;
}

std::vector<std::string> linesOf(const std::vector<uint16_t>& view, uint32_t glyphWidth = 7) {
  std::vector<std::string> lines;
  for (uint32_t k = 0; k < 8; ++k) lines.push_back(lineOf(view, k, glyphWidth));
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

using Lines = std::vector<std::string>;

}  // namespace

TEST(DialogBox, WordsMoveToTheNextLineWhenTheirEstimateDoesNotFit) {
  EXPECT_TRUE(RunFresh([] {
    // The space between two words stays at the end of the line.
    Shown box = showText("aaaa bbbb cccc dddd eeee");
    EXPECT_EQ(linesOf(box.view), (Lines{"aaaa bbbb cccc dddd ", "eeee"}));
    // Drawn in white over the panel, first glyph at (50, 70); the scene around the panel is untouched.
    EXPECT_EQ(box.view[70 * 240 + 50], 0xFFFF);
    EXPECT_EQ(box.view[70 * 240 + 51], kPanel);
    EXPECT_EQ(box.view[40 * 240 + 25], kPanel);
    EXPECT_EQ(box.view[39 * 240 + 25], scene(25, 39));
    EXPECT_EQ(box.view[40 * 240 + 215], scene(215, 40));
  }));
  EXPECT_TRUE(RunFresh([] {
    // With 8-pixel glyphs a five-letter word starts the first line; a long word breaks inside.
    Shown box = showText("hello", 8);
    EXPECT_EQ(linesOf(box.view, 8), (Lines{"hello"}));
    box = showText("abcdefghijklmnopqrst", 8);
    EXPECT_EQ(linesOf(box.view, 8), (Lines{"abcdef", "ghijklmnopqrst"}));
  }));
}

TEST(DialogBox, AWordOfMoreThanTwentyCharactersAlwaysStartsANewLine) {
  EXPECT_TRUE(RunFresh([] {
    Shown box = showText("ab cdefghijklmnopqrstuvw xy");
    EXPECT_EQ(linesOf(box.view), (Lines{"ab ", "c", "defghijklmnopqrstuvw ", "xy"}));
    box = showText("abcdefghijklmnopqrstu");
    EXPECT_EQ(linesOf(box.view), (Lines{"", "a", "bcdefghijklmnopqrstu"}));
  }));
}

TEST(DialogBox, MarkupIsNeverDrawnAndCountsOnlyInsideAWord) {
  EXPECT_TRUE(RunFresh([] {
    // At the start of a word the sequence is not measured: five more letters still fit.
    Shown box = showText("aaaa bbbb cccc @fF800eeeee");
    EXPECT_EQ(linesOf(box.view), (Lines{"aaaa bbbb cccc eeeee"}));
    EXPECT_EQ(box.view[70 * 240 + 50 + 14 * 7 + 5], 0xFFFF);  // the space before the sequence: bit 5
    EXPECT_EQ(box.view[70 * 240 + 50 + 15 * 7], 0xF800);
    // Inside a word it counts as six characters of it.
    box = showText("aaaa bbbb cccc ee@f07E0eee");
    EXPECT_EQ(linesOf(box.view), (Lines{"aaaa bbbb cccc ", "eeeee"}));
    EXPECT_EQ(box.view[80 * 240 + 50 + 7], 0xFFFF);
    EXPECT_EQ(box.view[80 * 240 + 50 + 14], 0x07E0);
  }));
  EXPECT_TRUE(RunFresh([] {
    // A text that starts with a colour is drawn in it entirely; 0000 means the glyphs' own ink.
    Shown box = showText("@fF800red @f0000own");
    EXPECT_EQ(linesOf(box.view), (Lines{"red own"}));
    EXPECT_EQ(box.view[70 * 240 + 50 + 1], 0xF800);  // 'r' is 0x72: column 1 is ink
    EXPECT_EQ(box.view[70 * 240 + 50 + 4 * 7], kInk);
    // A background colour paints every following cell, spaces included.
    box = showText("ab @b0001cd ef");
    EXPECT_EQ(lineOf(box.view, 0, 7, {kPanel, 1}), "ab cd ef");
    EXPECT_EQ(box.view[71 * 240 + 50 + 2 * 7], kPanel);
    EXPECT_EQ(box.view[71 * 240 + 50 + 5 * 7], 1);
    EXPECT_EQ(box.view[77 * 240 + 50 + 7 * 7 + 6], 1);
    EXPECT_EQ(box.view[71 * 240 + 50 + 8 * 7], kPanel);
  }));
  EXPECT_TRUE(RunFresh([] {
    // The four characters are read as base 16 the way strtoul reads them; other letters do nothing.
    Shown box = showText("@x1234a@f 0x1b@fzz00c@f-001d@fF8");
    EXPECT_EQ(linesOf(box.view), (Lines{"abcd"}));
    EXPECT_EQ(box.view[70 * 240 + 50], 0xFFFF);
    EXPECT_EQ(box.view[70 * 240 + 57 + 1], 1);     // 'b' is 0x62: column 1 is ink
    EXPECT_EQ(box.view[70 * 240 + 64 + 1], kInk);  // 'c' is 0x63
    EXPECT_EQ(box.view[70 * 240 + 71 + 2], 0xFFFF);  // 'd' is 0x64: column 2
    EXPECT_EQ(textColor, 0xF8);  // the cut sequence at the end still sets the colour
  }));
}

TEST(DialogBox, LineFeedsAndTheSevenLineCut) {
  EXPECT_TRUE(RunFresh([] {
    Shown lf = showText("one\ntwo\nthree");
    EXPECT_EQ(linesOf(lf.view), (Lines{"one ", "two ", "three"}));
    Shown crlf = showText("one\r\ntwo\r\nthree");
    EXPECT_EQ(crlf.view, lf.view);
    // A line feed measured with the word after it moves to a new line and then once more.
    Shown full = showText("aaaa bbbb cccc dddd\neeee");
    EXPECT_EQ(linesOf(full.view), (Lines{"aaaa bbbb cccc dddd ", "", "eeee"}));
  }));
  EXPECT_TRUE(RunFresh([] {
    Shown box = showText("1\n2\n3\n4\n5\n6\n7\n8\n9");
    EXPECT_EQ(linesOf(box.view), (Lines{"1 ", "2 ", "3 ", "4 ", "5 ", "6 ", "7 "}));
    // A word too long for any line uses the lines up.
    box = showText("abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz"
                   "abcdefghijklmnopqrstuvwxyzabcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(linesOf(box.view), (Lines{"", "a", "b", "c", "d", "e", "f"}));
  }));
}

TEST(DialogBox, TheBoxWaitsForAGameKeyThenPutsTheSceneBack) {
  EXPECT_TRUE(RunFresh([] {
    // Keys are looked at only after a second; a press released before then is missed.
    Shown box = showBox("hi", {keyEvent(0.2, headless::EventKind::KeyDown, VK_UP),
                               keyEvent(0.8, headless::EventKind::KeyUp, VK_UP),
                               keyEvent(3.0, headless::EventKind::KeyDown, VK_RIGHT)});
    EXPECT_GE(box.closedAt, 3.0);
    EXPECT_LE(box.closedAt, 3.05);
    EXPECT_EQ(actionDeadline, TimerCount() + counterFrequency / 2);
    EXPECT_EQ(linesOf(box.view), (Lines{"hi"}));
    for (uint32_t y = 0; y < 240; ++y)
      for (uint32_t x = 0; x < 240; ++x) ASSERT_EQ(box.after[y * 240 + x], scene(x, y)) << x << "," << y;
    EXPECT_TRUE(dirtyList.empty());
    // The colours set for the box stay in force.
    EXPECT_EQ(currentFont, 1u);
    EXPECT_EQ(textColor, 0xFFFF);
  }));
  EXPECT_TRUE(RunFresh([] {
    // A key already held when the box opens closes it as soon as the second is over.
    Shown box = showBox("hi", {keyEvent(0.0, headless::EventKind::KeyDown, kActionKey)});
    EXPECT_EQ(box.closedAt, 1.0);
    EXPECT_EQ(actionDeadline, TimerCount() + counterFrequency / 2);
  }));
}

TEST(DialogBox, MissingDialogsAndAMissingPanel) {
  EXPECT_TRUE(RunFresh([] {
    // An unknown id shows the empty panel, which still waits, and leaves the text state alone.
    selectFont(9);
    Shown box = showText(nullptr);
    EXPECT_EQ(box.closedAt, 1.5);
    EXPECT_EQ(box.view[70 * 240 + 50], kPanel);
    EXPECT_EQ(box.view[130 * 240 + 190], kPanel);
    EXPECT_EQ(currentFont, 9u);
    // So does an empty text.
    box = showText("");
    EXPECT_EQ(box.closedAt, 1.5);
    EXPECT_EQ(box.view[70 * 240 + 50], kPanel);
  }));
  EXPECT_TRUE(RunFresh([] {
    TempDir dir;
    ASSERT_EQ(gfx_testing::StartDisplay(dir), GfxOk);
    Dialog dialog;
    dialog.id = 1;
    std::strcpy(dialog.text, "hello");
    dialogTable[1] = dialog;
    actionDeadline = 77;
    showDialog(1);
    EXPECT_EQ(headless::Now(), 0.0);
    EXPECT_EQ(actionDeadline, 77u);
    EXPECT_TRUE(dirtyList.empty());
    EXPECT_EQ(currentFont, 0u);
  }));
}
