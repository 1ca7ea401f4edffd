// Saving a full RAW development (the entry's level-2 image) as TIFF or JPEG with the Exif items
// taken from the entry's information texts.
#pragma once
#include <cstdint>
#include <vector>

#include "actions/pure/exif_items.h"

struct ImageEntry;

enum DevelopedFormat : int32_t { kDevelopedJpeg = 0, kDevelopedTiff = 1 };

// False, and nothing written, when a file already has the path.
bool SaveDevelopedImage(ImageEntry* entry, int32_t format, const wchar_t* path);
// The items SaveDevelopedImage sets on the bitmap, for a picture of width x height.
std::vector<ExifItem> DevelopedExifItems(const ImageEntry* entry, int32_t width, int32_t height);
