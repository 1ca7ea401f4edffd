// Geometry and texts of an index print page, at the page's print resolution.
#pragma once
#include <cstdint>

#include "core/pure/settings_records.h"

struct IndexPrintPaperRow {
  const char16_t* text;
  int32_t widthMm, heightMm;
  int16_t paperCode;  // DEVMODE dmPaperSize
};
constexpr int kIndexPrintPaperCount = 5;
extern const IndexPrintPaperRow kIndexPrintPaper[kIndexPrintPaperCount];
constexpr int kPreviewZoomCount = 7;
extern const float kPreviewZoomTable[kPreviewZoomCount];
extern const char16_t* const kPreviewZoomTexts[kPreviewZoomCount];
extern const char16_t* const kBasePositionTexts[6];
// BasePosition 0..5: horizontal 0 near, 1 centre, 2 far; vertical 0 top, 2 bottom.
extern const int kBasePositionHorizontal[6];
extern const int kBasePositionVertical[6];

struct IndexPageGeometry {
  double pxPerMm;
  int32_t pageWidth, pageHeight;
  int32_t spacing, top, bottom, left, right, caption;
  int32_t cellWidth, cellHeight, columnPitch, rowPitch;
  float zoom;
  int32_t dpi;  // the resolution the page is composed at
};
// The print resolution of the layout, kept within what makes a page of workable size.
int32_t IndexPrintDpi(const IndexPrintLayout& layout);
// Millimetres to pixels of the page, truncated toward zero.
int32_t IndexMmToPx(double pxPerMm, int32_t mm);
// The page and cell geometry of the layout; also writes its working values (page size, zoom).
IndexPageGeometry ComputeIndexPageGeometry(IndexPrintLayout& layout);

struct IndexPictureFit {
  int32_t offsetX, offsetY, width, height;
};
IndexPictureFit FitIndexPicture(int32_t cellWidth, int32_t cellHeight, int32_t pictureWidth, int32_t pictureHeight,
                                bool keepAspect);

// Index of the last page for listCount rows at columns x rows a page (0 for an empty list).
int32_t IndexLastPage(int32_t listCount, int32_t columns, int32_t rows);
// "<<" and ">>": the page before or after, wrapping round at both ends.
int32_t IndexPreviousPage(int32_t current, int32_t lastPage);
int32_t IndexNextPage(int32_t current, int32_t lastPage);

// "image/<extension>" of a target path, the extension in lower case ("jpg" as jpeg, "tif" as
// tiff); a path without an extension gives "image/". out holds capacity characters.
void IndexPictureMimeType(const char16_t* path, char16_t* out, int capacity);
// The folder-name line: the whole path, or the text after its last backslash.
void IndexFolderNameText(const char16_t* folder, bool fullPath, char16_t* out, int capacity);

// The shooting-information block from the entry's texts (any may be null or empty): model,
// lens and date each with a line feed, then exposure, F-number and "ISO" + ISO speed.
struct IndexInfoTexts {
  const char16_t *model, *lens, *dateTime, *exposure, *fNumber, *iso;
};
void BuildIndexInfoText(const IndexInfoTexts& texts, const IndexPrintExtras& extras, char16_t* out, int capacity);
