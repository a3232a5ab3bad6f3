// pixels.h -- colours, run-length pixel words and PNG pictures.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model.h"

namespace zdata {

// 8-bit colour to the game's 5-6-5 value.
constexpr uint16_t rgbTo565(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint16_t>(((r & 0xF8) << 8) | ((g & 0xFC) << 3) | (b >> 3));
}
// A stored pixel: 0 for transparent (alpha below 128); opaque black would be 0 too, so it becomes 1.
constexpr uint16_t storedPixel(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
  if (a < 128) return 0;
  uint16_t v = rgbTo565(r, g, b);
  return v == 0 ? 1 : v;
}
// The 8-bit colour a stored pixel shows; storedPixel gives the same value back for every value.
void pixelToRgba(uint16_t pixel, uint8_t rgba[4]);

// A picture as stored pixels, row by row; 0 is transparent.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;
};

// PNG files. On failure `problem` says why.
bool loadPicture(const std::string& path, Picture& picture, std::string& problem);
bool savePicture(const std::string& path, const Picture& picture, std::string& problem);
// The bytes of a PNG file of the picture (empty when encoding fails).
Bytes pngBytes(const Picture& picture);

// Run-length words as pack writes them. Images: every position is described, transparency by skip
// pairs of at most 65535. Sprite frames: the same, but trailing transparency is the end marker 0, 0.
Bytes encodeImage(const uint16_t* pixels, std::size_t count);
Bytes encodeFrame(const uint16_t* pixels, std::size_t count);
// A sprite's frame data: the frame offset table, then the frames one after the other.
Bytes encodeFrames(const std::vector<Picture>& frames);

// Unpack keeps larger images as raw bytes: the game's view is 240x240, and a PNG of 65535x65535
// would take gigabytes.
constexpr uint64_t kLargestPicture = 4096 * 4096;

// The pictures behind data in pack's form, or nothing when the bytes are not exactly what pack would
// write for them (unpack then keeps the raw bytes).
std::optional<Picture> canonicalImage(const Bytes& data, uint16_t width, uint16_t height);
std::optional<std::vector<Picture>> canonicalFrames(const Bytes& frameData, unsigned count, unsigned width,
                                                    unsigned height);
// The frames as words that decode to whole frames give them, in pack's form or not.
std::optional<std::vector<Picture>> decodeFrames(const Bytes& frameData, unsigned count, unsigned width,
                                                 unsigned height);
std::optional<Picture> canonicalSheet(const Bytes& sheet, uint16_t glyphWidth);

// What goes wrong when the game decodes this data, or nothing. Decoding stops after width x height - 1
// positions, counted in 16 bits as the game does.
std::optional<std::string> imageDataProblem(const Bytes& data, uint16_t width, uint16_t height);
std::optional<std::string> frameDataProblem(const Bytes& frameData, unsigned count, unsigned width, unsigned height);

// A strip of frames side by side, and back.
Picture joinFrames(const std::vector<Picture>& frames);
std::vector<Picture> splitStrip(const Picture& strip, int count);

}  // namespace zdata
