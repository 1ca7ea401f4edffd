// Copies of large pictures shrunk to the size a pane shows them fitted. The prefetch thread makes
// them beside the decoded pictures, so that showing a prepared picture is a plain copy of pixels
// instead of a scaled draw of the whole decoded picture on every paint.
#pragma once
#include <windows.h>
#include <cstddef>
#include <cstdint>

namespace Gdiplus {
class Image;
}

// Makes the w x h copy of image unless it is there; false when the picture cannot be copied this
// way (not a bitmap, transparency, not larger than w x h, no memory). Caller holds "sema".
bool MakeFittedPicture(Gdiplus::Image* image, int32_t w, int32_t h);
// The same in two steps, so that "sema" is held only while the picture's pixels are copied out:
// CopyOutForFitting under "sema" (false when the copy is there already or cannot be made this
// way), then MakeFittedPictureFromCopy without it, which keeps the copy only when no picture was
// forgotten in between (that one may be gone) and frees the pixels.
struct FittingSource {
  const Gdiplus::Image* image = nullptr;
  uint8_t* pixels = nullptr;
  size_t capacity = 0;  // of the memory the pixels lie in
  int32_t width = 0, height = 0, bytesPerPixel = 0;
  uint64_t forgets = 0;
};
bool CopyOutForFitting(Gdiplus::Image* image, int32_t w, int32_t h, FittingSource* out);
bool MakeFittedPictureFromCopy(FittingSource* source, int32_t w, int32_t h);
// Copies the w x h copy of image to (x, y) of target; false when there is none.
bool DrawFittedPicture(HDC target, int32_t x, int32_t y, Gdiplus::Image* image, int32_t w, int32_t h);
// Whether the w x h copy of image is there.
bool HasFittedPicture(const Gdiplus::Image* image, int32_t w, int32_t h);
// Drops the copies made from image (before the image is deleted).
void ForgetFittedPictures(const Gdiplus::Image* image);
// Bytes the copies hold now, and their budget.
uint64_t FittedPictureBytes();
uint64_t FittedPictureBudget();
