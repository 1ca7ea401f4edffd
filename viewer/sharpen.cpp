#include "viewer/sharpen.h"

#include "viewer/pure/unsharp_mask.h"

bool SharpenBitmap(Gdiplus::Bitmap* bitmap, int radius, int percent) {
  if (!bitmap || radius < 1 || radius > 30) return false;
  Gdiplus::Rect rect(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
  if (rect.Width <= 0 || rect.Height <= 0) return false;
  // A 24-bit lock: the rows come by the bitmap's stride, and writing back makes every pixel opaque.
  Gdiplus::BitmapData data;
  if (bitmap->LockBits(&rect, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, PixelFormat24bppRGB, &data) !=
      Gdiplus::Ok)
    return false;
  bool ok = SharpenPixels24(static_cast<uint8_t*>(data.Scan0), rect.Width, rect.Height, data.Stride, radius, percent);
  bitmap->UnlockBits(&data);
  return ok;
}
