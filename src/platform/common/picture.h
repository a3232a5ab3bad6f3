// picture.h -- the emulated screen's 16-bit pixels as colours and as a PNG, for both devices' screenshots.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// The colour a display shows for a pixel: each channel widened by repeating its top bits, so
// white stays white. is555 reads the pixel as 5-5-5, otherwise as 5-6-5.
std::array<uint8_t, 3> ExpandPixel(uint16_t pixel, bool is555);

// Save width x height pixels, row by row, as an RGB PNG. False when the file cannot be written.
bool WritePixelsPng(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels, bool is555);
