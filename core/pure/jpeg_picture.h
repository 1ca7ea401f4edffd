// Where the picture of a JPEG block lies: files cut after their Exif segment (the camera's
// picture stripped, its Exif thumbnail kept) carry no image data of their own.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// True when the block starts a JPEG and every marker segment up to the start of the scan lies
// inside it. A decoder given headers that run past the end may read past the block.
bool JpegHeadersInside(const uint8_t* data, size_t size);

// The Exif thumbnail (IFD1's JPEG range) of a JPEG block, as an offset and length inside the
// block; false when there is none or any offset or length leaves the block or its Exif segment.
bool FindExifThumbnail(const uint8_t* data, size_t size, size_t* offset, size_t* length);

// The ICC profile a JPEG carries in its APP2 "ICC_PROFILE" segments, its chunks joined in their
// sequence order; false (profile empty) when there is none or its chunks are not a whole set
// (one missing, repeated or numbered past their count) or the headers leave the block.
bool FindJpegIccProfile(const uint8_t* data, size_t size, std::vector<uint8_t>* profile);
