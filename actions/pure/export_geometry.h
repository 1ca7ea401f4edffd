// Where the wallpaper and the mail copy draw a picture, and the mail size question.
#pragma once
#include <cstdint>
#include <string>

struct ExportRect {
  int32_t x, y, width, height;
};

// The source area the camera margins leave once the picture is turned by its orientation
// (6 and 8 swap the margins' axes). Width or height may come out 0 or less: nothing to draw.
ExportRect ExportSourceArea(int32_t width, int32_t height, int32_t orientation, int32_t top, int32_t bottom,
                            int32_t left, int32_t right);

// The desktop bitmap is desktopWidth rounded down to a multiple of 4 by desktopHeight.
void WallpaperBitmapSize(int32_t desktopWidth, int32_t desktopHeight, int32_t* width, int32_t* height);
// Destination in the bitmap for fit mode 0, 1 or 2; false for any other mode (nothing drawn).
bool WallpaperDestination(float sourceWidth, float sourceHeight, int32_t bitmapWidth, int32_t bitmapHeight,
                          int32_t mode, ExportRect* out);

// Size of the mail copy that fits into the box of the long side (clamped to at least 4); the
// width is a multiple of 4. Either side may come out 0 for an extreme picture.
void MailCopySize(float sourceWidth, float sourceHeight, int32_t longSide, int32_t* width, int32_t* height);

// "添付画像の合計サイズは...になります。..." for the total byte count.
std::u16string MailSizeQuestion(uint64_t totalBytes);
