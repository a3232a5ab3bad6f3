// picture.cpp -- screenshots: 16-bit pixels to RGB and PNG.
#include "platform/common/picture.h"

#include <stb_image_write.h>

std::array<uint8_t, 3> ExpandPixel(uint16_t pixel, bool is555) {
  const uint32_t r = is555 ? (pixel >> 10) & 31 : (pixel >> 11) & 31;
  const uint32_t g = is555 ? (pixel >> 5) & 31 : (pixel >> 5) & 63;
  const uint32_t b = pixel & 31;
  const uint32_t green = is555 ? (g << 3) | (g >> 2) : (g << 2) | (g >> 4);
  return {static_cast<uint8_t>((r << 3) | (r >> 2)), static_cast<uint8_t>(green),
          static_cast<uint8_t>((b << 3) | (b >> 2))};
}

bool WritePixelsPng(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels, bool is555) {
  if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height) return false;
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width) * height * 3);
  for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
    for (uint8_t channel : ExpandPixel(pixels[i], is555)) rgb.push_back(channel);
  return stbi_write_png(path.c_str(), width, height, 3, rgb.data(), width * 3) != 0;
}
