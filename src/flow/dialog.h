// dialog.h -- the modal dialog box over the running game.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

// Show the dialog text of an id and return when the player has dismissed the box with a key.
void showDialog(uint32_t id);

// The box's layout, shared with the content tool so that its checks see the lines the player sees.
// The text as laid out: every line feed gets a space before it, carriage returns go.
std::string dialogWorkingCopy(const char* text, size_t size);
struct DialogLayoutSteps {
  // Draw one character with its top-left pixel at view (x, y); return the pixels it took.
  std::function<uint32_t(char c, uint32_t x, uint32_t y)> glyph;
  // A colour sequence: its code letter and value (optional).
  std::function<void(char code, uint16_t value)> markup;
  // A new line started before position `at` because the rest of the word there would pass the right
  // edge by the box's estimate, leaving `room` pixels of the line unused; `fitsButForMarkup` when the
  // word would have fitted had its colour sequences not been counted (optional).
  std::function<void(size_t at, uint32_t room, bool fitsButForMarkup)> wrap;
};
// Lays a working copy out in the box's seven lines; returns the position where it stopped (the
// text's length when all of it was laid out).
size_t layOutDialog(const std::string& text, const DialogLayoutSteps& steps);
