#pragma once
#include <cstddef>
#include <cstdint>

// The information record of one listed file. It is stored whole inside the thumbnail cache
// files, so its layout is a file layout: packed, fixed-width, the same on i686 and x86_64.
#pragma pack(push, 1)
struct ImageInfo {
  int16_t modelRow;              // row of the camera model table
  int16_t width;
  int16_t height;
  int8_t orientation;            // Exif orientation 0..8, 0 = none
  uint8_t orientationByteOrder;  // 0 unknown, 1 little-endian, 2 big-endian
  int32_t orientationOffset;     // file position of the 16-bit orientation value
  uint32_t fileTypeFlag;
  uint32_t fileSize;             // low 32 bits
  uint32_t fileTimeLow;          // FILETIME of the last write, UTC; zero when unknown
  uint32_t fileTimeHigh;
  int32_t previewOffset;         // embedded JPEG used as the view image
  int32_t previewSize;
  int32_t thumbOffset;           // embedded JPEG used for the thumbnail
  int32_t thumbSize;
  char16_t actionText[16];       // column 2
  char16_t fileTypeName[4];      // column 3
  char16_t fileSizeText[16];     // column 4
  char16_t fileTimeText[20];     // column 5
  char16_t pixelSize[16];        // column 6
  char16_t maker[32];            // column 7
  char16_t model[32];            // column 8
  char16_t orientationText[2];   // column 9
  char16_t dateTime[20];         // column 10
  char16_t exposureTime[8];      // column 11
  char16_t fNumber[8];           // column 12
  char16_t exposureProgram[16];  // column 13
  char16_t iso[8];               // column 14
  char16_t exposureBias[8];      // column 15
  char16_t meteringMode[16];     // column 16
  char16_t lens[128];            // column 17
  char16_t focalLength35[16];    // column 1
  char16_t focalLength[16];      // column 18
  char16_t exposureMode[16];     // column 19
  char16_t whiteBalance[16];     // column 20
  char16_t flash[4];             // column 21
  char16_t exifVersion[4];       // column 22
  char16_t mediaNumber[8];       // column 23
  uint8_t histogram[96];         // 32 bins each of red, green, blue
};
#pragma pack(pop)

static_assert(sizeof(ImageInfo) == 1000, "ImageInfo is a cache-file record");
static_assert(offsetof(ImageInfo, modelRow) == 0, "layout");
static_assert(offsetof(ImageInfo, width) == 2, "layout");
static_assert(offsetof(ImageInfo, height) == 4, "layout");
static_assert(offsetof(ImageInfo, orientation) == 6, "layout");
static_assert(offsetof(ImageInfo, orientationByteOrder) == 7, "layout");
static_assert(offsetof(ImageInfo, orientationOffset) == 8, "layout");
static_assert(offsetof(ImageInfo, fileTypeFlag) == 12, "layout");
static_assert(offsetof(ImageInfo, fileSize) == 16, "layout");
static_assert(offsetof(ImageInfo, fileTimeLow) == 20, "layout");
static_assert(offsetof(ImageInfo, fileTimeHigh) == 24, "layout");
static_assert(offsetof(ImageInfo, previewOffset) == 28, "layout");
static_assert(offsetof(ImageInfo, previewSize) == 32, "layout");
static_assert(offsetof(ImageInfo, thumbOffset) == 36, "layout");
static_assert(offsetof(ImageInfo, thumbSize) == 40, "layout");
static_assert(offsetof(ImageInfo, actionText) == 44, "layout");
static_assert(offsetof(ImageInfo, fileTypeName) == 76, "layout");
static_assert(offsetof(ImageInfo, fileSizeText) == 84, "layout");
static_assert(offsetof(ImageInfo, fileTimeText) == 116, "layout");
static_assert(offsetof(ImageInfo, pixelSize) == 156, "layout");
static_assert(offsetof(ImageInfo, maker) == 188, "layout");
static_assert(offsetof(ImageInfo, model) == 252, "layout");
static_assert(offsetof(ImageInfo, orientationText) == 316, "layout");
static_assert(offsetof(ImageInfo, dateTime) == 320, "layout");
static_assert(offsetof(ImageInfo, exposureTime) == 360, "layout");
static_assert(offsetof(ImageInfo, fNumber) == 376, "layout");
static_assert(offsetof(ImageInfo, exposureProgram) == 392, "layout");
static_assert(offsetof(ImageInfo, iso) == 424, "layout");
static_assert(offsetof(ImageInfo, exposureBias) == 440, "layout");
static_assert(offsetof(ImageInfo, meteringMode) == 456, "layout");
static_assert(offsetof(ImageInfo, lens) == 488, "layout");
static_assert(offsetof(ImageInfo, focalLength35) == 744, "layout");
static_assert(offsetof(ImageInfo, focalLength) == 776, "layout");
static_assert(offsetof(ImageInfo, exposureMode) == 808, "layout");
static_assert(offsetof(ImageInfo, whiteBalance) == 840, "layout");
static_assert(offsetof(ImageInfo, flash) == 872, "layout");
static_assert(offsetof(ImageInfo, exifVersion) == 880, "layout");
static_assert(offsetof(ImageInfo, mediaNumber) == 888, "layout");
static_assert(offsetof(ImageInfo, histogram) == 904, "layout");

// File types by bit of fileTypeFlag, as far as the record needs them.
enum : uint32_t {
  kFileTypeJpg = 0x2,
  kFileTypeTif = 0x10,
  kFileTypeCrw = 0x20,
  kFileTypeDng = 0x4000,
  kFileTypeRaw = 0x10000,
  kFileTypeMef = 0x80000,
  kFileTypeX3f = 0x100000,
  kFileTypePsd = 0x200000,
  kFileType3fr = 0x800000,
  kFileTypeMovie = 0x1000000,
  kFileTypeDcr = 0x80000000u,
};
// Every RAW type.
constexpr uint32_t kRawTypeMask = 0x80DFFFE0u;

// A record taken from a cache file: an out-of-range model row reads as the unknown model,
// a bad orientation as none, and every text column ends within its width.
void ValidateImageInfo(ImageInfo& info);
