// The averaging shrink of the fitted picture copy.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "viewer/pure/area_shrink.h"

namespace {

// The shrink by its definition: each target pixel the rounded mean of the source pixels it covers.
std::vector<uint8_t> ShrinkByDefinition(const uint8_t* src, int sw, int sh, int stride, int bpp, int dw, int dh) {
  std::vector<uint8_t> out(static_cast<std::size_t>(dw) * dh * 4);
  for (int y = 0; y < dh; ++y) {
    const int y0 = static_cast<int>(static_cast<int64_t>(y) * sh / dh), y1 = static_cast<int>(static_cast<int64_t>(y + 1) * sh / dh);
    for (int x = 0; x < dw; ++x) {
      const int x0 = static_cast<int>(static_cast<int64_t>(x) * sw / dw), x1 = static_cast<int>(static_cast<int64_t>(x + 1) * sw / dw);
      uint64_t sums[3] = {};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 3; ++c) sums[c] += src[static_cast<int64_t>(sy) * stride + static_cast<int64_t>(sx) * bpp + c];
      const uint64_t n = static_cast<uint64_t>(y1 - y0) * static_cast<uint64_t>(x1 - x0);
      for (int c = 0; c < 3; ++c) out[static_cast<std::size_t>((y * dw + x) * 4 + c)] = static_cast<uint8_t>((sums[c] + n / 2) / n);
      out[static_cast<std::size_t>((y * dw + x) * 4 + 3)] = 255;
    }
  }
  return out;
}

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

TEST(AreaShrink, GivesTheRoundedMeanExactlyForEverySpan) {
  // Noise and saturated pictures (the largest sums each count can have), 3 and 4 bytes a pixel,
  // padded rows, small and large reductions, even and uneven spans: byte for byte the definition.
  struct Case {
    int sw, sh, dw, dh, bpp;
  } cases[] = {{1368, 912, 1200, 800, 3}, {97, 61, 13, 7, 4}, {640, 480, 640, 480, 3}, {1000, 3, 7, 1, 4},
               {333, 257, 332, 1, 3},     {50, 50, 1, 1, 4},   {255, 129, 17, 128, 3}, {150, 100, 101, 77, 4}};
  uint32_t seed = 7;
  for (const Case& c : cases) {
    for (int saturated = 0; saturated < 2; ++saturated) {
      const int stride = c.sw * c.bpp + 5;
      std::vector<uint8_t> src(static_cast<std::size_t>(stride) * c.sh);
      for (uint8_t& v : src) {
        seed = seed * 1664525u + 1013904223u;
        v = saturated ? 255 : static_cast<uint8_t>(seed >> 24);
      }
      std::vector<uint8_t> fast(static_cast<std::size_t>(c.dw) * c.dh * 4);
      ASSERT_TRUE(AreaShrink(src.data(), c.sw, c.sh, stride, c.bpp, fast.data(), c.dw, c.dh, c.dw * 4));
      EXPECT_EQ(fast, ShrinkByDefinition(src.data(), c.sw, c.sh, stride, c.bpp, c.dw, c.dh))
          << c.sw << "x" << c.sh << " -> " << c.dw << "x" << c.dh << " saturated " << saturated;
    }
  }
  // A span of more pixels than the multiply is exact for takes the division: still the mean.
  const int big = 2900;
  std::vector<uint8_t> grey(static_cast<std::size_t>(big) * big * 3, 200);
  grey[0] = 0;
  uint8_t one[4] = {};
  ASSERT_TRUE(AreaShrink(grey.data(), big, big, big * 3, 3, one, 1, 1, 4));
  EXPECT_EQ(one[0], 200);  // 200 - 200 / 8.41M rounds back to 200
  EXPECT_EQ(one[1], 200);
  EXPECT_EQ(one[3], 255);
}

}  // namespace
