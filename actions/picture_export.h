// One listed picture turned into a new picture file: the desktop wallpaper bitmap and the
// resized JPEG copy a mail attaches. Both take the cheapest source that holds the picture.
#pragma once
#include <windows.h>
#include <cstdint>

struct ImageEntry;
namespace Gdiplus {
class Image;
}

bool RenderWallpaperBitmap(ImageEntry* entry, const wchar_t* path);
bool SaveResizedJpeg(ImageEntry* entry, const wchar_t* path, int32_t longSide, int32_t sharpness, int32_t quality);

// Encodes the picture in memory through the encoder of the MIME type (with EncoderQuality) and
// replaces the file safely; false when no encoder exists or anything fails.
bool SaveImageReplacing(Gdiplus::Image* image, const wchar_t* path, const wchar_t* mime, int32_t quality);
// The same into a file that must not exist yet: an existing file is never replaced.
bool SaveImageAsNewFile(Gdiplus::Image* image, const wchar_t* path, const wchar_t* mime, int32_t quality);

// The file-list pane's wallpaper command: asks, renders the first target into
// "<folder>\BG__<product>__.bmp" and makes it the desktop wallpaper.
void SetWallpaperFromSelection(HWND pane);
// The bitmap path for the current wallpaper folder setting; false when it does not fit.
bool GetWallpaperBitmapPath(wchar_t* out);
