// text.h -- texts and byte strings in sources: Latin-1, hex, base64, and the dialog box's line layout.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "model.h"

namespace zdata {

// Data-file text is 8-bit; JSON is UTF-8. Bytes 0x80..0xFF are the characters U+0080..U+00FF.
std::string latin1ToUtf8(const std::string& bytes);
// Nothing when the text holds a character above U+00FF (or is not UTF-8).
std::optional<std::string> utf8ToLatin1(const std::string& text);

std::string toHex(const uint8_t* bytes, std::size_t count);
std::optional<Bytes> fromHex(const std::string& text);
std::string toBase64(const Bytes& bytes);
std::optional<Bytes> fromBase64(const std::string& text);

// The dialog box's layout of a text (line feeds, carriage returns, @ sequences, seven lines of 50..195
// with a 7-pixel estimate per character) with glyphs `glyphWidth` wide (0 when font 1 is missing).
// Returns the position in the laid-out text where the box stops showing it, or nothing when all of
// it is shown (whatever is cut is only spaces, line feeds and colour sequences).
struct DialogCut {
  std::string lost;  // the start of what is not shown
};
std::optional<DialogCut> dialogCut(const std::string& text, unsigned glyphWidth);
// The whole layout: the cut, and every line the box ends early because it counts a word's colour
// sequences as characters (the word would have fitted without them).
struct MarkupBreak {
  std::string word;  // the word moved to the next line, as drawn
  int room;          // pixels left on the line it did not go on
};
struct DialogLayout {
  std::optional<DialogCut> cut;
  std::vector<MarkupBreak> markupBreaks;
};
DialogLayout dialogLayout(const std::string& text, unsigned glyphWidth);

}  // namespace zdata
