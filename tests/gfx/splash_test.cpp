// splash_test.cpp -- scenario: zelvo-sim shows the splash picture of a data set centred between black bands.
#include <gtest/gtest.h>
#include <stb_image.h>

#include <array>

#include "data/layout.h"
#include "support/data_builder.h"
#include "support/testing.h"

using testing_support::RunSim;
using testing_support::TempDir;

namespace {

// A picture with something different in every corner: red across, green down, blue squares; never 0.
uint16_t splashAt(uint32_t x, uint32_t y) {
  const uint32_t blue = (x / 30 + y / 30) % 2 ? 31 : 8;
  return static_cast<uint16_t>(((x * 31 / 239) << 11) | ((y * 63 / 239) << 5) | blue);
}

// The colour the screenshot gives a 5-6-5 pixel.
std::array<uint8_t, 3> shown(uint16_t p) {
  const uint32_t r = p >> 11, g = (p >> 5) & 63, b = p & 31;
  return {static_cast<uint8_t>(r << 3 | r >> 2), static_cast<uint8_t>(g << 2 | g >> 4),
          static_cast<uint8_t>(b << 3 | b >> 2)};
}

}  // namespace

TEST(SplashScenario, TheSplashShowsAtViewOriginBetweenBlackBands) {
  TempDir dir;
  auto files = data_builder::SmallWorld();
  std::vector<uint16_t> words;
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t x = 0; x < 240; ++x) words.push_back(splashAt(x, y));
  files[layout::kImagesFile] =
      data_builder::Indexed({data_builder::ImageEntry({.id = 6, .width = 240, .height = 240, .words = words})});
  data_builder::WriteAll(dir.path(), files);

  auto result = RunSim({"--app-dir", dir.path(), "--seconds", "4", "--screenshot", "1:" + dir.file("splash.png")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  int width = 0, height = 0, channels = 0;
  uint8_t* rgb = stbi_load(dir.file("splash.png").c_str(), &width, &height, &channels, 3);
  ASSERT_NE(rgb, nullptr);
  ASSERT_EQ(width, 240);
  ASSERT_EQ(height, 320);
  int wrong = 0;
  for (uint32_t y = 0; y < 320; ++y)
    for (uint32_t x = 0; x < 240; ++x) {
      // The picture's last position is never drawn (the decoder stops one short of it).
      if (x == 239 && y == 279) continue;
      const std::array<uint8_t, 3> expected = y >= 40 && y < 280 ? shown(splashAt(x, y - 40)) : shown(0);
      const uint8_t* at = rgb + 3 * (y * 240 + x);
      if (std::array<uint8_t, 3>{at[0], at[1], at[2]} != expected && ++wrong <= 5)
        ADD_FAILURE() << "screen pixel " << x << "," << y;
    }
  EXPECT_EQ(wrong, 0);
  stbi_image_free(rgb);
}
