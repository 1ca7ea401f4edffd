// The shrunk copies the viewer paints prepared pictures from: made, drawn where asked, refused for
// pictures they cannot stand for, and gone with their picture.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>

#include <memory>

#include "support/gdiplus_session.h"
#include "viewer/fitted_pictures.h"

namespace {

::testing::Environment* const g_env = ::testing::AddGlobalTestEnvironment(new testsupport::GdiplusEnvironment);

// Left half red, right half blue.
std::unique_ptr<Gdiplus::Bitmap> TwoHalves(int w, int h, Gdiplus::PixelFormat format) {
  auto b = std::make_unique<Gdiplus::Bitmap>(w, h, format);
  Gdiplus::Graphics g(b.get());
  Gdiplus::SolidBrush red(Gdiplus::Color(255, 255, 0, 0)), blue(Gdiplus::Color(255, 0, 0, 255));
  g.FillRectangle(&red, 0, 0, w / 2, h);
  g.FillRectangle(&blue, w / 2, 0, w - w / 2, h);
  return b;
}

TEST(FittedPictures, MadeDrawnRefusedAndForgotten) {
  auto picture = TwoHalves(400, 300, PixelFormat24bppRGB);
  const uint64_t before = FittedPictureBytes();
  ASSERT_TRUE(MakeFittedPicture(picture.get(), 200, 150));
  EXPECT_TRUE(HasFittedPicture(picture.get(), 200, 150));
  EXPECT_FALSE(HasFittedPicture(picture.get(), 100, 75));  // another size is another copy
  EXPECT_EQ(FittedPictureBytes(), before + 200 * 150 * 4);
  ASSERT_TRUE(MakeFittedPicture(picture.get(), 200, 150));  // found again, not made twice
  EXPECT_EQ(FittedPictureBytes(), before + 200 * 150 * 4);

  // Drawn at an offset of a target larger than the copy.
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 300, 200);
  HGDIOBJ old = SelectObject(dc, target);
  RECT all{0, 0, 300, 200};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ASSERT_TRUE(DrawFittedPicture(dc, 50, 25, picture.get(), 200, 150));
  EXPECT_EQ(GetPixel(dc, 60, 100), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 240, 100), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 20, 100), RGB(255, 255, 255));  // left of the copy: untouched
  EXPECT_EQ(GetPixel(dc, 150, 190), RGB(255, 255, 255));  // below it

  // Transparency, palettes and enlargements keep the scaled draw.
  auto clear = TwoHalves(400, 300, PixelFormat32bppARGB);
  EXPECT_FALSE(MakeFittedPicture(clear.get(), 200, 150));
  EXPECT_FALSE(MakeFittedPicture(picture.get(), 500, 375));

  // A picture about to be deleted takes its copies with it: a new picture at the same address
  // must never be shown from them.
  ForgetFittedPictures(picture.get());
  EXPECT_FALSE(HasFittedPicture(picture.get(), 200, 150));
  EXPECT_FALSE(DrawFittedPicture(dc, 0, 0, picture.get(), 200, 150));
  EXPECT_EQ(FittedPictureBytes(), before);
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

// Made from pixels copied out (the shrink outside "sema"): kept as the copy made in place; not
// kept when a picture was forgotten in between, as this one may be gone.
TEST(FittedPictures, MadeFromACopyUnlessAPictureWasForgottenMeanwhile) {
  auto picture = TwoHalves(400, 300, PixelFormat24bppRGB);
  FittingSource source;
  ASSERT_TRUE(CopyOutForFitting(picture.get(), 200, 150, &source));
  ASSERT_TRUE(MakeFittedPictureFromCopy(&source, 200, 150));
  EXPECT_EQ(source.pixels, nullptr);
  EXPECT_TRUE(HasFittedPicture(picture.get(), 200, 150));
  EXPECT_FALSE(CopyOutForFitting(picture.get(), 200, 150, &source));  // there already
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 200, 150);
  HGDIOBJ old = SelectObject(dc, target);
  ASSERT_TRUE(DrawFittedPicture(dc, 0, 0, picture.get(), 200, 150));
  EXPECT_EQ(GetPixel(dc, 10, 100), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 190, 100), RGB(0, 0, 255));
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);

  auto other = TwoHalves(400, 300, PixelFormat24bppRGB);
  ASSERT_TRUE(CopyOutForFitting(other.get(), 100, 75, &source));
  ForgetFittedPictures(picture.get());  // any picture
  EXPECT_FALSE(MakeFittedPictureFromCopy(&source, 100, 75));
  EXPECT_FALSE(HasFittedPicture(other.get(), 100, 75));
  EXPECT_FALSE(CopyOutForFitting(TwoHalves(400, 300, PixelFormat32bppARGB).get(), 200, 150, &source));
}

}  // namespace
