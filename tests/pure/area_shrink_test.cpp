// The averaging shrink of the fitted picture copy.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/pure/area_shrink.h"

namespace {

TEST(AreaShrink, AveragesTheCoveredPixelsAndKeepsEdges) {
  // 6 x 4 BGR: left half black, right half white; shrunk to 3 x 2 the middle column mixes them.
  const int sw = 6, sh = 4, stride = sw * 3 + 2;  // padded rows
  std::vector<uint8_t> src(static_cast<std::size_t>(stride) * sh, 0xEE);
  for (int y = 0; y < sh; ++y)
    for (int x = 0; x < sw; ++x)
      for (int c = 0; c < 3; ++c) src[static_cast<std::size_t>(y * stride + x * 3 + c)] = x < 3 ? 0 : 255;
  std::vector<uint8_t> dst(3 * 2 * 4, 0);
  ASSERT_TRUE(AreaShrink(src.data(), sw, sh, stride, 3, dst.data(), 3, 2, 12));
  for (int y = 0; y < 2; ++y) {
    EXPECT_EQ(dst[static_cast<std::size_t>(y * 12 + 0)], 0);
    EXPECT_EQ(dst[static_cast<std::size_t>(y * 12 + 4)], 128);  // (0 + 255) / 2 rounded
    EXPECT_EQ(dst[static_cast<std::size_t>(y * 12 + 8)], 255);
    EXPECT_EQ(dst[static_cast<std::size_t>(y * 12 + 11)], 255);  // opaque
  }

  // Uneven spans (7 -> 3) and bottom-up rows (negative stride): channels kept apart.
  const int w7 = 7, h7 = 5;
  std::vector<uint8_t> quad(static_cast<std::size_t>(w7) * h7 * 4);
  for (int i = 0; i < w7 * h7; ++i) {
    quad[static_cast<std::size_t>(i * 4)] = 10;
    quad[static_cast<std::size_t>(i * 4 + 1)] = 20;
    quad[static_cast<std::size_t>(i * 4 + 2)] = 30;
    quad[static_cast<std::size_t>(i * 4 + 3)] = 0;
  }
  std::vector<uint8_t> out(3 * 2 * 4);
  const uint8_t* lastRow = quad.data() + static_cast<std::size_t>(h7 - 1) * w7 * 4;
  ASSERT_TRUE(AreaShrink(lastRow, w7, h7, -w7 * 4, 4, out.data(), 3, 2, 12));
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(out[static_cast<std::size_t>(i * 4)], 10);
    EXPECT_EQ(out[static_cast<std::size_t>(i * 4 + 1)], 20);
    EXPECT_EQ(out[static_cast<std::size_t>(i * 4 + 2)], 30);
  }

  // Enlarging, empty sizes and other pixel sizes are refused.
  EXPECT_FALSE(AreaShrink(src.data(), sw, sh, stride, 3, dst.data(), 7, 2, 28));
  EXPECT_FALSE(AreaShrink(src.data(), sw, sh, stride, 3, dst.data(), 0, 2, 12));
  EXPECT_FALSE(AreaShrink(src.data(), sw, sh, stride, 2, dst.data(), 3, 2, 12));
}

}  // namespace
