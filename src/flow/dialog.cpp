// dialog.cpp -- the modal dialog box: panel, word-wrapped text with colour markup, wait for a key.
#include "flow/dialog.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "data/tables.h"
#include "flow/input.h"
#include "gfx/display.h"
#include "gfx/image.h"
#include "gfx/text.h"
#include "platform/system.h"
#include "services/settings.h"
#include "services/timer.h"
#include "world/objects.h"

static constexpr uint32_t kPanelImage = 5;
static constexpr uint32_t kPanelX = 25;
static constexpr uint32_t kPanelY = 40;
static constexpr uint32_t kLeft = 50;
static constexpr uint32_t kTop = 70;
static constexpr uint32_t kLineStep = 10;
static constexpr uint32_t kRight = 195;
static constexpr uint32_t kLastLine = 130;
static constexpr uint32_t kCharEstimate = 7;  // pixels a character is assumed to take when fitting a word
static constexpr size_t kMarkupLength = 6;    // @, code letter, four hex digits

std::string dialogWorkingCopy(const char* text, size_t size) {
  const char* end = static_cast<const char*>(std::memchr(text, '\0', size));
  std::string out;
  for (const char* c = text; c != (end ? end : text + size); ++c) {
    if (*c == '\n')
      out += " \n";
    else if (*c != '\r')
      out += *c;
  }
  return out;
}

// Characters of the word starting at i, with markup at its start not counted; `markup` gets how many
// characters of it are colour sequences inside the word.
static size_t wordLength(const std::string& text, size_t i, size_t* markup) {
  while (i < text.size() && text[i] == '@') i += kMarkupLength;
  *markup = 0;
  if (i >= text.size()) return 0;
  size_t space = text.find(' ', i);
  size_t end = space == std::string::npos ? text.size() : space;
  for (size_t k = i; k < end; ++k)
    if (text[k] == '@') *markup += std::min(kMarkupLength, end - k), k += kMarkupLength - 1;
  return end - i;
}

// The up to four characters after "@x", read as base-16 the way strtoul reads them.
static uint16_t markupValue(const std::string& text, size_t i) {
  char digits[5] = {};
  for (size_t k = 0; k < 4 && i + 2 + k < text.size(); ++k) digits[k] = text[i + 2 + k];
  return static_cast<uint16_t>(std::strtoul(digits, nullptr, 16));
}

size_t layOutDialog(const std::string& text, const DialogLayoutSteps& steps) {
  uint32_t x = kLeft, y = kTop;
  for (size_t i = 0; i < text.size(); ++i) {
    size_t markup = 0;
    const size_t length = wordLength(text, i, &markup);
    if (x + kCharEstimate * length > kRight) {
      if (steps.wrap) steps.wrap(i, kRight - x, x + kCharEstimate * (length - markup) <= kRight);
      y += kLineStep, x = kLeft;
      if (y > kLastLine) return i;
    }
    const char c = text[i];
    if (c == '\n') {
      y += kLineStep, x = kLeft;
      if (y > kLastLine) return i + 1;
    } else if (c == '@') {
      const char code = i + 1 < text.size() ? text[i + 1] : '\0';
      if (steps.markup) steps.markup(code, markupValue(text, i));
      i += kMarkupLength - 1;
    } else {
      x += steps.glyph(c, x, y);
      if (x > kRight) x = kLeft, y += kLineStep;
      if (y > kLastLine) return i + 1;
    }
  }
  return text.size();
}

static bool anyGameKey() { return keyDown[SlotLeft] || keyDown[SlotRight] || keyDown[SlotUp]; }

void showDialog(uint32_t id) {
  ImageRecord panel;
  if (!getImage(kPanelImage, &panel)) return;
  drawImage(kPanelX, kPanelY, panel);

  auto found = dialogTable.find(id);
  if (found != dialogTable.end()) {
    selectFont(1);
    setTextColor(0xFFFF);
    setTextBackground(0);
    DialogLayoutSteps steps;
    steps.glyph = [](char c, uint32_t x, uint32_t y) {
      const char one[2] = {c, '\0'};
      return drawText(one, x, y, 0);
    };
    steps.markup = [](char code, uint16_t value) {
      if (code == 'b')
        setTextBackground(value);
      else if (code == 'f')
        setTextColor(value);
    };
    layOutDialog(dialogWorkingCopy(found->second.text, sizeof found->second.text), steps);
  }
  // Only the panel's rectangle is marked: the panel picture is expected to cover the whole text area.
  presentDirty();

  SysSleep(1000);
  ReadGameKeys();
  while (!keyDown[SlotAction]) {
    if (anyGameKey()) break;
    SysSleep(50);
    ReadGameKeys();
  }

  restoreImage(kPanelX, kPanelY, panel);
  presentDirty();
  // The press that closed the box must not act in the game as well.
  actionDeadline = TimerCount() + counterFrequency / 2;
}
