// Copies of large pictures shrunk to the size a pane shows them fitted. The prefetch thread makes
// them beside the decoded pictures, so that showing a prepared picture is a plain copy of pixels
// instead of a scaled draw of the whole decoded picture on every paint.
#pragma once
#include <windows.h>
#include <cstdint>

namespace Gdiplus {
class Image;
}

// Makes the w x h copy of image unless it is there; false when the picture cannot be copied this
// way (not a bitmap, transparency, not larger than w x h, no memory). Caller holds "sema".
bool MakeFittedPicture(Gdiplus::Image* image, int32_t w, int32_t h);
// Copies the w x h copy of image to (x, y) of target; false when there is none.
bool DrawFittedPicture(HDC target, int32_t x, int32_t y, Gdiplus::Image* image, int32_t w, int32_t h);
// Whether the w x h copy of image is there.
bool HasFittedPicture(const Gdiplus::Image* image, int32_t w, int32_t h);
// Drops the copies made from image (before the image is deleted).
void ForgetFittedPictures(const Gdiplus::Image* image);
// Bytes the copies hold now, and their budget.
uint64_t FittedPictureBytes();
uint64_t FittedPictureBudget();
