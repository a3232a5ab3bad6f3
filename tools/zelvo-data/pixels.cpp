// pixels.cpp -- colours, run-length pixel words and PNG pictures.
#include "pixels.h"

#include <stb_image.h>
#include <stb_image_write.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include "data/layout.h"

namespace zdata {

void pixelToRgba(uint16_t pixel, uint8_t rgba[4]) {
  if (pixel == 0) {
    rgba[0] = rgba[1] = rgba[2] = rgba[3] = 0;
    return;
  }
  unsigned r = pixel >> 11, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
  // Low bits repeat the high ones, so white is 255 and a round trip through storedPixel is exact.
  rgba[0] = static_cast<uint8_t>((r << 3) | (r >> 2));
  rgba[1] = static_cast<uint8_t>((g << 2) | (g >> 4));
  rgba[2] = static_cast<uint8_t>((b << 3) | (b >> 2));
  rgba[3] = 255;
}

bool loadPicture(const std::string& path, Picture& picture, std::string& problem) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    problem = "the picture " + path + " does not exist";
    return false;
  }
  // stb_image reads other formats too; a world has only PNG pictures, so no other decoder runs.
  char signature[8] = {};
  std::ifstream(path, std::ios::binary).read(signature, sizeof signature);
  if (std::memcmp(signature, "\x89PNG\r\n\x1a\n", sizeof signature) != 0) {
    problem = "cannot read the picture " + path + ": not a PNG";
    return false;
  }
  int w = 0, h = 0, channels = 0;
  // Sized before it is decoded, so a small file cannot ask for gigabytes.
  if (stbi_info(path.c_str(), &w, &h, &channels) && static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kLargestPicture) {
    problem = "the picture " + path + " has " + std::to_string(w) + " x " + std::to_string(h) +
              " pixels, more than the 4096 x 4096 a world can use";
    return false;
  }
  unsigned char* rgba = stbi_load(path.c_str(), &w, &h, &channels, 4);
  if (!rgba) {
    const char* why = stbi_failure_reason();
    problem = "cannot read the picture " + path + ": " + (why ? why : "not a PNG");
    return false;
  }
  picture.width = w;
  picture.height = h;
  picture.pixels.resize(static_cast<std::size_t>(w) * h);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
    const unsigned char* p = rgba + 4 * i;
    picture.pixels[i] = storedPixel(p[0], p[1], p[2], p[3]);
  }
  stbi_image_free(rgba);
  return true;
}

Bytes pngBytes(const Picture& picture) {
  std::vector<uint8_t> rgba(picture.pixels.size() * 4);
  for (std::size_t i = 0; i < picture.pixels.size(); ++i) pixelToRgba(picture.pixels[i], &rgba[4 * i]);
  Bytes png;
  auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<const uint8_t*>(data);
    static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), bytes, bytes + size);
  };
  if (!stbi_write_png_to_func(append, &png, picture.width, picture.height, 4, rgba.data(), picture.width * 4)) png.clear();
  return png;
}

bool savePicture(const std::string& path, const Picture& picture, std::string& problem) {
  Bytes png = pngBytes(picture);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
  out.close();
  if (png.empty() || !out) {
    problem = "cannot write the picture " + path;
    return false;
  }
  return true;
}

namespace {

void putWord(Bytes& out, uint16_t w) { layout::put16(out, w); }

// Appends the words for `count` pixels; a trailing transparent run is left to the caller.
std::size_t encodeRuns(Bytes& out, const uint16_t* pixels, std::size_t count) {
  std::size_t end = count;
  while (end > 0 && pixels[end - 1] == 0) --end;
  std::size_t i = 0;
  while (i < end) {
    if (pixels[i] != 0) {
      putWord(out, pixels[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i + run < end && pixels[i + run] == 0) ++run;
    i += run;
    while (run > 0) {
      std::size_t n = std::min<std::size_t>(run, 0xFFFF);
      putWord(out, 0);
      putWord(out, static_cast<uint16_t>(n));
      run -= n;
    }
  }
  return count - end;
}

}  // namespace

Bytes encodeImage(const uint16_t* pixels, std::size_t count) {
  Bytes out;
  std::size_t rest = encodeRuns(out, pixels, count);
  // Images have no end marker: the decoder counts positions, so the trailing run is skipped too.
  while (rest > 0) {
    std::size_t n = std::min<std::size_t>(rest, 0xFFFF);
    putWord(out, 0);
    putWord(out, static_cast<uint16_t>(n));
    rest -= n;
  }
  return out;
}

Bytes encodeFrame(const uint16_t* pixels, std::size_t count) {
  Bytes out;
  if (encodeRuns(out, pixels, count) > 0) {
    putWord(out, 0);
    putWord(out, 0);
  }
  return out;
}

Bytes encodeFrames(const std::vector<Picture>& frames) {
  Bytes table, words;
  for (const auto& f : frames) {
    layout::put32(table, static_cast<uint32_t>(words.size()));
    Bytes w = encodeFrame(f.pixels.data(), f.pixels.size());
    words.insert(words.end(), w.begin(), w.end());
  }
  table.insert(table.end(), words.begin(), words.end());
  return table;
}

namespace {

// Full decoding of words from `pos` that describe `count` positions; false when the words run out or
// a skip runs past the picture. `endMarker`: a 0, 0 pair ends the picture (sprite frames).
bool decodeAll(const Bytes& data, std::size_t& pos, std::size_t end, std::size_t count, bool endMarker,
               std::vector<uint16_t>& pixels) {
  pixels.assign(count, 0);
  std::size_t p = 0;
  while (p < count) {
    if (pos + 2 > end) return false;
    uint16_t w = layout::read16(&data[pos]);
    pos += 2;
    if (w != 0) {
      pixels[p++] = w;
      continue;
    }
    if (pos + 2 > end) return false;
    uint16_t n = layout::read16(&data[pos]);
    pos += 2;
    if (n == 0 && endMarker) return true;
    if (n == 0 || p + n > count) return false;
    p += n;
  }
  return true;
}

}  // namespace

std::optional<Picture> canonicalImage(const Bytes& data, uint16_t width, uint16_t height) {
  // Each word describes at most 65535 positions: more than that cannot be pack's form (nor a sane picture).
  if (width == 0 || height == 0 || uint64_t{width} * height > uint64_t{data.size() / 2} * 0xFFFF) return std::nullopt;
  if (uint64_t{width} * height > kLargestPicture) return std::nullopt;
  Picture pic{width, height, {}};
  std::size_t pos = 0;
  if (!decodeAll(data, pos, data.size(), std::size_t{width} * height, false, pic.pixels)) return std::nullopt;
  if (encodeImage(pic.pixels.data(), pic.pixels.size()) != data) return std::nullopt;
  return pic;
}

std::optional<std::vector<Picture>> decodeFrames(const Bytes& frameData, unsigned count, unsigned width,
                                                 unsigned height) {
  if (count == 0 || width == 0 || height == 0) return std::nullopt;
  std::size_t table = std::size_t{count} * layout::sprite::kFrameOffsetSize;
  if (frameData.size() < table) return std::nullopt;
  std::vector<Picture> frames;
  for (unsigned f = 0; f < count; ++f) {
    std::size_t pos = table + layout::read32(&frameData[f * layout::sprite::kFrameOffsetSize]);
    Picture pic{static_cast<int>(width), static_cast<int>(height), {}};
    if (pos > frameData.size()) return std::nullopt;
    if (!decodeAll(frameData, pos, frameData.size(), std::size_t{width} * height, true, pic.pixels)) {
      return std::nullopt;
    }
    frames.push_back(std::move(pic));
  }
  return frames;
}

std::optional<std::vector<Picture>> canonicalFrames(const Bytes& frameData, unsigned count, unsigned width,
                                                    unsigned height) {
  auto frames = decodeFrames(frameData, count, width, height);
  if (!frames || encodeFrames(*frames) != frameData) return std::nullopt;
  return frames;
}

std::optional<Picture> canonicalSheet(const Bytes& sheet, uint16_t glyphWidth) {
  std::size_t rowBytes = std::size_t{layout::font::kCellsAcross} * glyphWidth * 2;
  if (glyphWidth == 0 || sheet.empty() || sheet.size() % rowBytes != 0) return std::nullopt;
  Picture pic{static_cast<int>(layout::font::kCellsAcross * glyphWidth), static_cast<int>(sheet.size() / rowBytes), {}};
  for (std::size_t i = 0; i + 1 < sheet.size(); i += 2) pic.pixels.push_back(layout::read16(&sheet[i]));
  return pic;
}

std::optional<std::string> imageDataProblem(const Bytes& data, uint16_t width, uint16_t height) {
  if (width == 0 || height == 0) return "the image has no pixels (" + std::to_string(width) + "x" + std::to_string(height) + ")";
  // The game counts positions in 16 bits and stops one short of the last position.
  uint16_t limit = static_cast<uint16_t>(uint32_t{width} * height - 1);
  uint16_t positions = 0;
  std::size_t pos = 0;
  do {
    if (pos + 2 > data.size()) {
      return "the run-length words end after " + std::to_string(positions) + " of the " + std::to_string(limit) +
             " positions the game decodes";
    }
    uint16_t w = layout::read16(&data[pos]);
    pos += 2;
    if (w != 0) {
      ++positions;
      continue;
    }
    if (pos + 2 > data.size()) return "the run-length words end inside a skip pair";
    positions = static_cast<uint16_t>(positions + layout::read16(&data[pos]));
    pos += 2;
  } while (positions < limit);
  return std::nullopt;
}

std::optional<std::string> frameDataProblem(const Bytes& frameData, unsigned count, unsigned width, unsigned height) {
  std::size_t table = std::size_t{count} * layout::sprite::kFrameOffsetSize;
  if (frameData.size() < table) {
    return "the offset table of " + std::to_string(count) + " frames needs " + std::to_string(table) +
           " bytes, but the frame data has " + std::to_string(frameData.size());
  }
  uint32_t pixels = width * height;
  std::set<std::size_t> decoded;  // frames that share their words are walked once
  for (unsigned f = 0; f < count; ++f) {
    std::string frame = "frame " + std::to_string(f + 1) + ": ";
    std::size_t pos = table + layout::read32(&frameData[f * layout::sprite::kFrameOffsetSize]);
    if (pixels == 0 || !decoded.insert(pos).second) continue;
    uint16_t p = 0;
    do {
      if (pos + 2 > frameData.size()) {
        return frame + "the run-length words end (or start) past the frame data after " + std::to_string(p) +
               " of " + std::to_string(pixels - 1) + " positions";
      }
      uint16_t w = layout::read16(&frameData[pos]);
      pos += 2;
      if (w != 0) {
        ++p;
        continue;
      }
      if (pos + 2 > frameData.size()) return frame + "the run-length words end inside a skip pair";
      uint16_t n = layout::read16(&frameData[pos]);
      pos += 2;
      if (n == 0) break;
      p = static_cast<uint16_t>(p + n);
    } while (p < pixels - 1);
  }
  return std::nullopt;
}

Picture joinFrames(const std::vector<Picture>& frames) {
  Picture strip;
  if (frames.empty()) return strip;
  int w = frames[0].width;
  strip.width = w * static_cast<int>(frames.size());
  strip.height = frames[0].height;
  strip.pixels.assign(static_cast<std::size_t>(strip.width) * strip.height, 0);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    for (int y = 0; y < strip.height; ++y) {
      for (int x = 0; x < w; ++x) {
        strip.pixels[static_cast<std::size_t>(y) * strip.width + f * w + x] =
            frames[f].pixels[static_cast<std::size_t>(y) * w + x];
      }
    }
  }
  return strip;
}

std::vector<Picture> splitStrip(const Picture& strip, int count) {
  std::vector<Picture> frames;
  int w = strip.width / count;
  for (int f = 0; f < count; ++f) {
    Picture pic{w, strip.height, {}};
    for (int y = 0; y < strip.height; ++y) {
      for (int x = 0; x < w; ++x) pic.pixels.push_back(strip.pixels[static_cast<std::size_t>(y) * strip.width + f * w + x]);
    }
    frames.push_back(std::move(pic));
  }
  return frames;
}

}  // namespace zdata
