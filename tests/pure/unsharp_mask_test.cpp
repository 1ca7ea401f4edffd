#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "viewer/pure/unsharp_mask.h"

namespace {

// Written independently from the formula: per pixel and channel, straight loops.
std::vector<uint8_t> Reference(const std::vector<uint8_t>& in, int w, int h, int stride, int r, int percent) {
  auto weight = [r](int d) { return std::exp(static_cast<double>(-(d * d) / (2 * r * r))); };
  auto px = [&](const std::vector<uint8_t>& img, int x, int y, int c) { return img[y * stride + x * 3 + c]; };
  std::vector<uint8_t> hpass(in.size()), out(in);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        double s = 0, ws = 0;
        for (int l = x - 3 * r; l <= x + 3 * r; ++l)
          if (l >= 0 && l < w) s += weight(std::abs(l - x)) * px(in, l, y, c), ws += weight(std::abs(l - x));
        long v = static_cast<long>(s / ws);
        hpass[y * stride + x * 3 + c] = static_cast<uint8_t>(std::min(255L, std::max(0L, v)));
      }
  float amountF = percent / 100.0f;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) {
        double s = 0, ws = 0;
        for (int l = y - 3 * r; l <= y + 3 * r; ++l)
          if (l >= 0 && l < h) s += weight(std::abs(l - y)) * px(hpass, x, l, c), ws += weight(std::abs(l - y));
        long blurred = std::min(255L, std::max(0L, static_cast<long>(s / ws)));
        int o = px(in, x, y, c);
        long v = o + static_cast<long>((o - blurred) * static_cast<double>(amountF));
        out[y * stride + x * 3 + c] = static_cast<uint8_t>(std::min(255L, std::max(0L, v)));
      }
  return out;
}

TEST(UnsharpMask, KernelIsSteppedBell) {
  double w[91];
  ASSERT_EQ(BuildUnsharpKernel(1, w, 91), 4);
  EXPECT_DOUBLE_EQ(w[0], 1.0);
  EXPECT_DOUBLE_EQ(w[1], 1.0);
  EXPECT_DOUBLE_EQ(w[2], std::exp(-2.0));
  EXPECT_DOUBLE_EQ(w[3], std::exp(-4.0));
  ASSERT_EQ(BuildUnsharpKernel(30, w, 91), 91);
  EXPECT_EQ(BuildUnsharpKernel(0, w, 91), 0);
  EXPECT_EQ(BuildUnsharpKernel(31, w, 91), 0);
}

TEST(UnsharpMask, MatchesTheReferenceIncludingOddWidthsAndPaddedRows) {
  std::mt19937 rng(7);
  struct Case { int w, h, r, percent; } cases[] = {
      {88, 60, 1, 30}, {28, 20, 1, 200}, {13, 7, 1, 100}, {1, 1, 1, 50}, {31, 9, 2, -60}, {17, 33, 5, 150}};
  for (const Case& c : cases) {
    int stride = (c.w * 3 + 3) & ~3;
    std::vector<uint8_t> img(static_cast<size_t>(stride) * c.h);
    for (auto& b : img) b = static_cast<uint8_t>(rng());
    auto expected = Reference(img, c.w, c.h, stride, c.r, c.percent);
    ASSERT_TRUE(SharpenPixels24(img.data(), c.w, c.h, stride, c.r, c.percent));
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w * 3; ++x)
        ASSERT_EQ(img[y * stride + x], expected[y * stride + x]) << c.w << "x" << c.h << " at " << x << "," << y;
  }
}

TEST(UnsharpMask, ZeroPercentAndBadRadiusLeavePixelsAlone) {
  std::vector<uint8_t> img(12 * 5), before;
  for (size_t i = 0; i < img.size(); ++i) img[i] = static_cast<uint8_t>(i * 37);
  before = img;
  EXPECT_TRUE(SharpenPixels24(img.data(), 4, 5, 12, 1, 0));
  EXPECT_EQ(img, before);
  EXPECT_FALSE(SharpenPixels24(img.data(), 4, 5, 12, 0, 100));
  EXPECT_FALSE(SharpenPixels24(img.data(), 4, 5, 12, 31, 100));
  EXPECT_EQ(img, before);
}

}  // namespace
