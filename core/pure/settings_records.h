// Fixed-layout records stored inside the settings block (and so in the settings file).
#pragma once
#include <cstddef>
#include <cstdint>

#pragma pack(push, 1)

// One rebar band in its saved order.
struct BandLayoutRecord {
  int32_t bandId;
  int32_t breakFlag;  // bit 0: the band starts a new row
  int32_t width;
};
static_assert(sizeof(BandLayoutRecord) == 12, "");

// The 32-bit image of COLORMATCHSETUPW: pointer and handle members are 4-byte slots that are
// never trusted from the file; a native record is rebuilt from it at run time.
struct ColorMatchSetup32 {
  uint32_t size, version, flags, ownerSlot;
  uint32_t sourceNameSlot, displayNameSlot, printerNameSlot;
  uint32_t renderIntent, proofingIntent;
  uint32_t monitorProfileSlot, monitorProfileChars;
  uint32_t printerProfileSlot, printerProfileChars;
  uint32_t targetProfileSlot, targetProfileChars;
  uint32_t hookSlot, hookParamSlot, applyCallbackSlot, applyCallbackParamSlot;
};
static_assert(sizeof(ColorMatchSetup32) == 76, "");

// 16 recent texts of an input field, most recent first, then a value parsed from row 0.
struct TextHistory16 {
  char16_t rows[16][128];
  union {
    float number;
    int32_t count;
  };
};
static_assert(sizeof(TextHistory16) == 4100, "");

struct FavouriteFolderRow {
  uint8_t used;
  uint8_t pad;
  char16_t path[260];
};
static_assert(sizeof(FavouriteFolderRow) == 522, "");

// Action rows are opaque here; the action table code gives them their fields.
struct ActionEntryImage {
  uint8_t bytes[1648];
};
struct LegacyActionImage {
  uint8_t bytes[1048];
};

// The index print page and its controls: lengths in millimetres, font sizes in points,
// colours as COLORREF. The working values are rewritten by every page composition.
struct IndexPrintLayout {
  int32_t paperIndex, zoomIndex, currentPage, lastPage;
  int32_t spacingMm, marginTopMm, marginBottomMm, marginLeftMm, marginRightMm, captionHeightMm;
  int32_t freeTextOffsetXMm, freeTextOffsetYMm, pageNumberOffsetXMm, pageNumberOffsetYMm;
  int32_t columns, rows;
  uint8_t printFileName, printPageNumber, printFreeText, landscape;
  int32_t pageWidthPx, pageHeightPx, printDpi;
  float zoomFactor;
  uint8_t keepAspect, detailedPreview, fileNameWithExtension, pad;
  int32_t freeTextSize, pageNumberSize, fileNameSize, freeTextPosition, pageNumberPosition;
  uint32_t backgroundColor, textColor;
  char16_t freeText[256];
};
static_assert(sizeof(IndexPrintLayout) == 628, "");
static_assert(offsetof(IndexPrintLayout, printFileName) == 64, "");
static_assert(offsetof(IndexPrintLayout, zoomFactor) == 80, "");
static_assert(offsetof(IndexPrintLayout, freeText) == 116, "");

// The index print fields of the later section: the dialog rectangle, the folder-name line and
// the shooting-information block.
struct IndexPrintExtras {
  int32_t dialogX, dialogY, dialogWidth, dialogHeight;
  uint8_t printFolderName, pad[3];
  int32_t folderNamePosition, folderNameSize, folderNameOffsetXMm, folderNameOffsetYMm;
  int32_t infoOffsetXMm, infoOffsetYMm;
  uint32_t fileNameColor, infoColor;
  uint8_t printCameraModel, printLens, printDateTime, printExposure;
  int32_t infoSize;
  uint8_t folderFullPath, pad2[3];
};
static_assert(sizeof(IndexPrintExtras) == 64, "");
static_assert(offsetof(IndexPrintExtras, printCameraModel) == 52, "");

#pragma pack(pop)
