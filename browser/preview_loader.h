// The preview picture of an entry, at the size its file offers it: the embedded preview, the
// whole file, a movie frame or a one-eighth RAW development, cropped and turned upright.
#pragma once
#include <windows.h>

struct ImageEntry;
namespace Gdiplus {
class Graphics;
class Image;
}  // namespace Gdiplus

// True: *image is a new picture that may read from *block; the caller deletes the image and
// then frees the block. False: no image; *block holds a block only when no stream could be
// opened over it, and the caller frees it. `graphics` is not used.
bool LoadPreviewBitmap(Gdiplus::Graphics* graphics, ImageEntry* entry, Gdiplus::Image** image, HGLOBAL* block);
