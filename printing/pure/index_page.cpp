#include "printing/pure/index_page.h"

#include <cstddef>

const IndexPrintPaperRow kIndexPrintPaper[kIndexPrintPaperCount] = {
    {u"A3", 297, 420, 8}, {u"A4", 210, 297, 9}, {u"A5", 148, 210, 11}, {u"B4", 257, 364, 12}, {u"B5", 182, 257, 13},
};
const float kPreviewZoomTable[kPreviewZoomCount] = {0.125f, 0.25f, 0.5f, 1.0f, 2.0f, 4.0f, 8.0f};
const char16_t* const kPreviewZoomTexts[kPreviewZoomCount] = {u"1/8", u"1/4", u"1/2", u"等倍", u"x2", u"x4", u"x8"};
const char16_t* const kBasePositionTexts[6] = {u"上部左よせ", u"上部センター", u"上部右よせ",
                                               u"下部左よせ", u"下部センター", u"下部右よせ"};
const int kBasePositionHorizontal[6] = {0, 1, 2, 0, 1, 2};
const int kBasePositionVertical[6] = {0, 0, 0, 2, 2, 2};

namespace {
// A resolution of 0 would make a page of no size, a huge one a bitmap that cannot be made.
constexpr int32_t kMinDpi = 10, kMaxDpi = 1200;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

void CopyBounded(char16_t* out, int capacity, const char16_t* text) {
  int n = 0;
  for (; text && text[n] && n < capacity - 1; ++n) out[n] = text[n];
  out[n] = 0;
}

// Appends text; false (out unchanged past its old end) when it would not fit.
bool Append(char16_t* out, int capacity, int* length, const char16_t* text) {
  int n = 0;
  while (text[n]) ++n;
  if (*length + n >= capacity) return false;
  for (int i = 0; i < n; ++i) out[*length + i] = text[i];
  *length += n;
  out[*length] = 0;
  return true;
}

bool Empty(const char16_t* t) { return !t || !t[0]; }
}  // namespace

int32_t IndexPrintDpi(const IndexPrintLayout& layout) { return Clamp(layout.printDpi, kMinDpi, kMaxDpi); }

int32_t IndexMmToPx(double pxPerMm, int32_t mm) { return static_cast<int32_t>(mm * pxPerMm); }

IndexPageGeometry ComputeIndexPageGeometry(IndexPrintLayout& s) {
  IndexPageGeometry g{};
  const int32_t dpi = g.dpi = IndexPrintDpi(s);
  g.pxPerMm = dpi / static_cast<double>(25.4f);
  const IndexPrintPaperRow& paper = kIndexPrintPaper[Clamp(s.paperIndex, 0, kIndexPrintPaperCount - 1)];
  const int32_t wMm = s.landscape ? paper.heightMm : paper.widthMm;
  const int32_t hMm = s.landscape ? paper.widthMm : paper.heightMm;
  s.pageWidthPx = g.pageWidth = static_cast<int32_t>(static_cast<float>(wMm * dpi) / 25.4f);
  s.pageHeightPx = g.pageHeight = static_cast<int32_t>(static_cast<float>(hMm * dpi) / 25.4f);
  s.zoomFactor = g.zoom = kPreviewZoomTable[Clamp(s.zoomIndex, 0, kPreviewZoomCount - 1)];
  g.spacing = IndexMmToPx(g.pxPerMm, s.spacingMm);
  g.top = IndexMmToPx(g.pxPerMm, s.marginTopMm);
  g.bottom = IndexMmToPx(g.pxPerMm, s.marginBottomMm);
  g.left = IndexMmToPx(g.pxPerMm, s.marginLeftMm);
  g.right = IndexMmToPx(g.pxPerMm, s.marginRightMm);
  g.caption = IndexMmToPx(g.pxPerMm, s.captionHeightMm);
  const int32_t c = Clamp(s.columns, 1, 100), r = Clamp(s.rows, 1, 100);
  const int32_t f = s.printFileName ? 1 : 0;
  g.cellWidth = (g.pageWidth - (c - 1) * g.spacing - g.left - g.right) / c;
  g.cellHeight = (g.pageHeight - (r - 1) * g.spacing - g.top - g.bottom - r * g.caption * f) / r;
  g.columnPitch = g.cellWidth + g.spacing;
  g.rowPitch = g.cellHeight + g.spacing + g.caption * f;
  return g;
}

IndexPictureFit FitIndexPicture(int32_t cellWidth, int32_t cellHeight, int32_t pictureWidth, int32_t pictureHeight,
                                bool keepAspect) {
  IndexPictureFit fit{0, 0, cellWidth, cellHeight};
  if (!keepAspect || pictureWidth <= 0 || pictureHeight <= 0 || cellWidth <= 0 || cellHeight <= 0) return fit;
  const float rx = static_cast<float>(cellWidth) / static_cast<float>(pictureWidth);
  const float ry = static_cast<float>(cellHeight) / static_cast<float>(pictureHeight);
  if (rx > ry) {
    fit.width = static_cast<int32_t>(static_cast<float>(cellWidth) * (ry / rx + 0.01f));
    fit.offsetX = static_cast<int32_t>(static_cast<float>(cellWidth - fit.width) * 0.5f);
  } else {
    fit.height = static_cast<int32_t>(static_cast<float>(cellHeight) * (rx / ry + 0.01f));
    fit.offsetY = static_cast<int32_t>(static_cast<float>(cellHeight - fit.height) * 0.5f);
  }
  fit.width = Clamp(fit.width, 0, cellWidth);
  fit.height = Clamp(fit.height, 0, cellHeight);
  return fit;
}

int32_t IndexLastPage(int32_t listCount, int32_t columns, int32_t rows) {
  const int32_t perPage = Clamp(columns, 1, 100) * Clamp(rows, 1, 100);
  if (listCount <= 0) return 0;
  int32_t last = listCount / perPage;
  if (listCount % perPage == 0) --last;
  return last;
}

int32_t IndexPreviousPage(int32_t current, int32_t lastPage) { return current - 1 < 0 ? lastPage : current - 1; }
int32_t IndexNextPage(int32_t current, int32_t lastPage) { return current + 1 > lastPage ? 0 : current + 1; }

void IndexPictureMimeType(const char16_t* path, char16_t* out, int capacity) {
  CopyBounded(out, capacity, u"image/");
  int n = 0;
  while (path[n]) ++n;
  const char16_t* ext = nullptr;
  for (int i = n - 1; i >= 1; --i) {
    if (path[i] == u'.') {
      ext = path + i + 1;
      break;
    }
  }
  if (!ext) return;
  // The extension is matched whatever its case: "PAGE.JPG" is a JPEG file too.
  char16_t lower[16];
  int k = 0;
  for (; ext[k] && k < 15; ++k) lower[k] = ext[k] >= u'A' && ext[k] <= u'Z' ? ext[k] + 32 : ext[k];
  lower[k] = 0;
  if (ext[k]) return;  // no encoder has so long an extension
  ext = lower;
  auto same = [](const char16_t* a, const char16_t* b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
  };
  const char16_t* name = same(ext, u"jpg") ? u"jpeg" : same(ext, u"tif") ? u"tiff" : ext;
  int length = 6;
  Append(out, capacity, &length, name);
}

void IndexFolderNameText(const char16_t* folder, bool fullPath, char16_t* out, int capacity) {
  if (fullPath) return CopyBounded(out, capacity, folder);
  const char16_t* tail = folder;
  for (const char16_t* p = folder; *p; ++p)
    if (*p == u'\\') tail = p + 1;
  CopyBounded(out, capacity, tail);
}

void BuildIndexInfoText(const IndexInfoTexts& t, const IndexPrintExtras& x, char16_t* out, int capacity) {
  int length = 0;
  out[0] = 0;
  // A text that would overflow the block is left out whole rather than cut mid-way.
  auto line = [&](const char16_t* text, const char16_t* after) {
    if (Empty(text)) return;
    const int saved = length;
    if (!Append(out, capacity, &length, text) || !Append(out, capacity, &length, after)) {
      length = saved;
      out[length] = 0;
    }
  };
  if (x.printCameraModel) line(t.model, u"\n");
  if (x.printLens) line(t.lens, u"\n");
  if (x.printDateTime) line(t.dateTime, u"\n");
  if (x.printExposure) {
    line(t.exposure, u" ");
    line(t.fNumber, u" ");
    if (!Empty(t.iso)) {
      const int saved = length;
      if (!Append(out, capacity, &length, u"ISO") || !Append(out, capacity, &length, t.iso)) {
        length = saved;
        out[length] = 0;
      }
    }
  }
}
