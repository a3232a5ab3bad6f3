// bytes.h -- little-endian integers read and written byte by byte, for the data files and settings.dat.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace bytes {

inline uint16_t read16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t read32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline void put8(std::vector<uint8_t>& out, uint32_t v) { out.push_back(static_cast<uint8_t>(v)); }
inline void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
inline void write16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void write32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// How many of the first max little-endian words at in are not 0: the run-length pictures' runs of
// pixels. Four words at a time where the host's byte order is the files' own.
inline uint32_t nonzeroWords(const uint8_t* in, uint32_t max) {
  uint32_t n = 0;
  if constexpr (std::endian::native == std::endian::little) {
    for (; n + 4 <= max; n += 4) {
      uint64_t four;
      std::memcpy(&four, in + 2 * n, sizeof four);
      if ((four - 0x0001000100010001u) & ~four & 0x8000800080008000u) break;  // one of them is 0
    }
  }
  while (n < max && read16(in + 2 * n) != 0) ++n;
  return n;
}

// Count little-endian words from in as values at out.
inline void readWords(uint16_t* out, const uint8_t* in, uint32_t count) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(out, in, static_cast<size_t>(count) * 2);
  } else {
    for (uint32_t i = 0; i < count; ++i) out[i] = read16(in + 2 * i);
  }
}

}  // namespace bytes
