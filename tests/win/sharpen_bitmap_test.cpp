#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <memory>
#include <vector>

#include "support/gdiplus_session.h"
#include "viewer/pure/unsharp_mask.h"
#include "viewer/sharpen.h"

namespace {

::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new testsupport::GdiplusEnvironment);

std::unique_ptr<Gdiplus::Bitmap> Pattern(int w, int h, BYTE alpha) {
  auto b = std::make_unique<Gdiplus::Bitmap>(w, h, PixelFormat32bppARGB);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b->SetPixel(x, y, Gdiplus::Color(alpha, (x * 53 + y * 7) & 255, (x * x + y * 31) & 255, (x ^ y) * 19 & 255));
  return b;
}

TEST(SharpenBitmap, AgreesWithThePixelRoutineForOddWidths) {
  for (int w : {88, 29, 7}) {
    auto bmp = Pattern(w, 11, 255);
    // Expected: the pure routine over the same pixels, packed rows.
    std::vector<uint8_t> px(static_cast<size_t>(w) * 3 * 11);
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < w; ++x) {
        Gdiplus::Color c;
        bmp->GetPixel(x, y, &c);
        uint8_t* p = &px[(y * w + x) * 3];
        p[0] = c.GetB(), p[1] = c.GetG(), p[2] = c.GetR();
      }
    ASSERT_TRUE(SharpenPixels24(px.data(), w, 11, w * 3, 1, 120));
    ASSERT_TRUE(SharpenBitmap(bmp.get(), 1, 120));
    for (int y = 0; y < 11; ++y)
      for (int x = 0; x < w; ++x) {
        Gdiplus::Color c;
        bmp->GetPixel(x, y, &c);
        const uint8_t* p = &px[(y * w + x) * 3];
        ASSERT_EQ(c.GetValue(), Gdiplus::Color(255, p[2], p[1], p[0]).GetValue()) << w << " " << x << "," << y;
      }
  }
}

TEST(SharpenBitmap, BadRadiusFailsAndZeroPercentOnlyMakesOpaque) {
  auto bmp = Pattern(8, 4, 128);
  Gdiplus::Color before;
  bmp->GetPixel(3, 2, &before);
  EXPECT_FALSE(SharpenBitmap(bmp.get(), 0, 100));
  EXPECT_FALSE(SharpenBitmap(bmp.get(), 31, 100));
  Gdiplus::Color same;
  bmp->GetPixel(3, 2, &same);
  EXPECT_EQ(same.GetValue(), before.GetValue());

  auto opaque = Pattern(8, 4, 255);
  ASSERT_TRUE(SharpenBitmap(opaque.get(), 1, 0));
  auto reference = Pattern(8, 4, 255);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) {
      Gdiplus::Color a, b;
      opaque->GetPixel(x, y, &a);
      reference->GetPixel(x, y, &b);
      ASSERT_EQ(a.GetValue(), b.GetValue());
    }
  ASSERT_TRUE(SharpenBitmap(bmp.get(), 1, 0));
  Gdiplus::Color after;
  bmp->GetPixel(3, 2, &after);
  EXPECT_EQ(after.GetA(), 255);
}

}  // namespace
