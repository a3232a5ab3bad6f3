// dialog.cpp -- the modal dialog box: panel, word-wrapped text with colour markup, wait for a key.
#include "flow/dialog.h"

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

// The text as laid out: every line feed gets a space before it, carriage returns go.
static std::string workingCopy(const Dialog& dialog) {
  const char* end = static_cast<const char*>(std::memchr(dialog.text, '\0', sizeof dialog.text));
  std::string text(dialog.text, end ? end : dialog.text + sizeof dialog.text);
  std::string out;
  for (char c : text) {
    if (c == '\n')
      out += " \n";
    else if (c != '\r')
      out += c;
  }
  return out;
}

// Characters of the word starting at i, with markup at its start not counted.
static size_t wordLength(const std::string& text, size_t i) {
  while (i < text.size() && text[i] == '@') i += kMarkupLength;
  if (i >= text.size()) return 0;
  size_t space = text.find(' ', i);
  return (space == std::string::npos ? text.size() : space) - i;
}

// The up to four characters after "@x", read as base-16 the way strtoul reads them.
static uint16_t markupValue(const std::string& text, size_t i) {
  char digits[5] = {};
  for (size_t k = 0; k < 4 && i + 2 + k < text.size(); ++k) digits[k] = text[i + 2 + k];
  return static_cast<uint16_t>(std::strtoul(digits, nullptr, 16));
}

static void layOut(const std::string& text) {
  uint32_t x = kLeft, y = kTop;
  for (size_t i = 0; i < text.size(); ++i) {
    if (x + kCharEstimate * wordLength(text, i) > kRight) {
      y += kLineStep, x = kLeft;
      if (y > kLastLine) return;
    }
    const char c = text[i];
    if (c == '\n') {
      y += kLineStep, x = kLeft;
      if (y > kLastLine) return;
    } else if (c == '@') {
      const char code = i + 1 < text.size() ? text[i + 1] : '\0';
      const uint16_t value = markupValue(text, i);
      if (code == 'b')
        setTextBackground(value);
      else if (code == 'f')
        setTextColor(value);
      i += kMarkupLength - 1;
    } else {
      const char one[2] = {c, '\0'};
      x += drawText(one, x, y, 0);
      if (x > kRight) x = kLeft, y += kLineStep;
      if (y > kLastLine) return;
    }
  }
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
    layOut(workingCopy(found->second));
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
