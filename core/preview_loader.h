// The preview picture of an entry, at the size its file offers it: the embedded preview, the
// whole file, a movie frame or a one-eighth RAW development, cropped and turned upright.
#pragma once
#include <windows.h>

struct ImageEntry;
namespace Gdiplus {
class Graphics;
class Image;
}  // namespace Gdiplus

// The encoded picture a preview is decoded from, in a new block the caller frees; null when
// there is none. A JPEG cut short after its Exif segment gives its Exif thumbnail instead.
HGLOBAL LoadPreviewSourceBlock(ImageEntry* entry);

// True: *image is a new picture that may read from *block; the caller deletes the image and
// then frees the block. False: both are null and nothing is left to free. `graphics` is not used.
bool LoadPreviewBitmap(Gdiplus::Graphics* graphics, ImageEntry* entry, Gdiplus::Image** image, HGLOBAL* block);
// The same for a picture shown no larger than needWidth x needHeight once upright: a JPEG is
// decoded at the largest reduction that keeps it at least that large (fitted into it, or covering
// it); with margins to cut, whole.
enum class JpegNeed;  // core/jpeg_scaled.h
bool LoadPreviewBitmap(Gdiplus::Graphics* graphics, ImageEntry* entry, Gdiplus::Image** image, HGLOBAL* block,
                       int needWidth, int needHeight, JpegNeed how);
