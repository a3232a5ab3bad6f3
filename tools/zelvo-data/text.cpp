// text.cpp -- texts and byte strings in sources, and the dialog box's line layout.
#include "text.h"

#include "flow/dialog.h"

namespace zdata {

std::string fieldText(const uint8_t* field, std::size_t size) {
  std::string text;
  for (std::size_t i = 0; i < size && field[i] != 0; ++i) text += static_cast<char>(field[i]);
  return text;
}

bool fieldIsPlainText(const uint8_t* field, std::size_t size) {
  std::size_t i = 0;
  while (i < size && field[i] != 0) ++i;
  return i < size && allZero(field + i, size - i);
}

bool allZero(const uint8_t* bytes, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) {
    if (bytes[i]) return false;
  }
  return true;
}

std::string latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::optional<std::string> utf8ToLatin1(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
    } else {
      return std::nullopt;
    }
  }
  return out;
}

std::string toHex(const uint8_t* bytes, std::size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < count; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out;
}

static int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<Bytes> fromHex(const std::string& text) {
  if (text.size() % 2) return std::nullopt;
  Bytes out;
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = hexDigit(text[i]), lo = hexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return out;
}

static const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string toBase64(const Bytes& bytes) {
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t v = uint32_t{bytes[i]} << 16;
    if (i + 1 < bytes.size()) v |= uint32_t{bytes[i + 1]} << 8;
    if (i + 2 < bytes.size()) v |= bytes[i + 2];
    out += kBase64[(v >> 18) & 63];
    out += kBase64[(v >> 12) & 63];
    out += i + 1 < bytes.size() ? kBase64[(v >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kBase64[v & 63] : '=';
  }
  return out;
}

std::optional<Bytes> fromBase64(const std::string& text) {
  Bytes out;
  uint32_t v = 0;
  int bits = 0;
  std::size_t padding = 0;
  for (char c : text) {
    if (c == '=') {
      ++padding;
      continue;
    }
    if (padding) return std::nullopt;  // nothing may follow the padding
    const char* at = c ? std::char_traits<char>::find(kBase64, 64, c) : nullptr;
    if (!at) return std::nullopt;
    v = (v << 6) | static_cast<uint32_t>(at - kBase64);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(v >> bits));
    }
  }
  if ((text.size() % 4) != 0 || padding > 2) return std::nullopt;
  return out;
}

DialogLayout dialogLayout(const std::string& text, unsigned glyphWidth) {
  // The game's own layout, with glyphs of the world's width.
  const std::string t = dialogWorkingCopy(text.data(), text.size());
  DialogLayout out;
  DialogLayoutSteps steps;
  steps.glyph = [&](char, uint32_t, uint32_t) { return glyphWidth; };
  steps.wrap = [&](std::size_t at, uint32_t room, bool fitsButForMarkup) {
    if (!fitsButForMarkup) return;
    std::size_t r = at;
    while (r < t.size() && t[r] == '@') r += 6;
    std::string word;
    for (std::size_t i = r; i < t.size() && t[i] != ' '; ++i) {
      if (t[i] == '@') i += 5;
      else if (t[i] != '\n') word += t[i];
    }
    out.markupBreaks.push_back({word, static_cast<int>(room)});
  };
  const std::size_t stop = layOutDialog(t, steps);
  // What is cut matters only when it would have shown something.
  for (std::size_t i = stop; i < t.size(); ++i) {
    if (t[i] == '@') {
      i += 5;
    } else if (t[i] != ' ' && t[i] != '\n') {
      out.cut = DialogCut{t.substr(i, 20)};
      break;
    }
  }
  return out;
}

std::optional<DialogCut> dialogCut(const std::string& text, unsigned glyphWidth) {
  return dialogLayout(text, glyphWidth).cut;
}

}  // namespace zdata
