#include "printing/index_print_preview.h"

#include <gdiplus.h>

#include <cwchar>

#include "actions/image_encoders.h"
#include "actions/picture_export.h"
#include "browser/collections.h"
#include "browser/main_window.h"
#include "core/preview_loader.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/jpeg_scaled.h"
#include "core/memory.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "metadata/image_info_win.h"
#include "printing/pure/index_page.h"
#include "resources/resource.h"

wchar_t g_printTargetPath[260];
SCROLLINFO g_previewHScroll, g_previewVScroll;

namespace {
using namespace Gdiplus;

Color Argb(uint32_t colorRef) {
  return Color(255, colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

// The list face when GDI+ can make it, else the generic sans-serif family. Sizes follow the
// print resolution, so the text keeps its size on paper whatever the dpi.
class PageFonts {
 public:
  explicit PageFonts(int32_t dpi) : dpi_(dpi), family_(reinterpret_cast<const wchar_t*>(g_settings.listFontFace)) {}
  Font* Make(int32_t points) {
    const REAL pixels = static_cast<REAL>(points) * dpi_ / 72.0f;
    Font* font = family_.GetLastStatus() == Ok ? new Font(&family_, pixels, FontStyleRegular, UnitPixel) : nullptr;
    if (!font || font->GetLastStatus() != Ok) {
      delete font;
      font = new Font(FontFamily::GenericSansSerif(), pixels, FontStyleRegular, UnitPixel);
    }
    return font;
  }

 private:
  int32_t dpi_;
  FontFamily family_;
};

void DrawTextAt(Graphics& g, PageFonts& fonts, const wchar_t* text, int32_t points, uint32_t colorRef, REAL x, REAL y,
                StringAlignment horizontal, StringAlignment vertical) {
  if (!text || !text[0]) return;
  Font* font = fonts.Make(points);
  SolidBrush brush(Argb(colorRef));
  StringFormat format;
  format.SetAlignment(horizontal);
  format.SetLineAlignment(vertical);
  g.DrawString(text, -1, font, PointF(x, y), &format, &brush);
  delete font;
}

StringAlignment Align(int code) {
  return code == 1 ? StringAlignmentCenter : code == 2 ? StringAlignmentFar : StringAlignmentNear;
}

// One page line at its base position, moved by its corrections.
void DrawPageLine(Graphics& g, PageFonts& fonts, const IndexPageGeometry& geo, const wchar_t* text, int32_t points,
                  int32_t position, int32_t ox, int32_t oy, uint32_t colorRef) {
  if (position < 0 || position > 5) position = 0;
  const int h = kBasePositionHorizontal[position], v = kBasePositionVertical[position];
  const REAL x = h == 0 ? ox : h == 1 ? geo.pageWidth / 2 + ox : geo.pageWidth - ox;
  const REAL y = v == 0 ? oy : geo.pageHeight - oy;
  DrawTextAt(g, fonts, text, points, colorRef, x, y, Align(h), Align(v));
}

void FolderLineText(wchar_t* out, int capacity) {
  out[0] = 0;
  if (g_listSource == 0) {
    IndexFolderNameText(U16(g_currentFolder), g_settings.indexPrintExtras.folderFullPath != 0, U16(out), capacity);
  } else if (g_collections && g_currentCollection >= 0 && g_currentCollection < g_collectionCount) {
    wcsncpy(out, g_collections[g_currentCollection].name, capacity - 1);
    out[capacity - 1] = 0;
  }
}

bool SavePage(HBITMAP page, const wchar_t* path) {
  wchar_t mime[32];
  IndexPictureMimeType(U16(path), U16(mime), 32);
  CLSID clsid;
  if (GetEncoderClsid(mime, &clsid) < 0) return false;
  Bitmap bitmap(page, nullptr);
  if (bitmap.GetLastStatus() != Ok) return false;
  // Written beside the old file and moved over it: a failed save leaves the old sheet whole
  // (the print job never takes it, it goes by the result).
  return SaveImageReplacing(&bitmap, path, mime, 100);
}

// Draws one cell's picture, caption and information; false when the entry has no picture.
bool DrawCell(Graphics& g, PageFonts& fonts, const IndexPageGeometry& geo, ImageEntry* entry, int32_t i, int32_t j,
              bool full) {
  const IndexPrintLayout& s = g_settings.indexPrint;
  const IndexPrintExtras& x = g_settings.indexPrintExtras;
  Image* picture = nullptr;
  HGLOBAL block = nullptr;
  HANDLE sema = nullptr;
  if (full) {
    // Decoded no larger than the cell at the page's resolution: covering it when stretched over
    // it, else fitted into it, 1% larger as the fit stretches the picture by about that much.
    const bool stretched = s.keepAspect == 0;
    const int32_t needWidth = stretched ? geo.cellWidth : geo.cellWidth + geo.cellWidth / 100 + 1;
    const int32_t needHeight = stretched ? geo.cellHeight : geo.cellHeight + geo.cellHeight / 100 + 1;
    if (!LoadPreviewBitmap(&g, entry, &picture, &block, needWidth, needHeight,
                           stretched ? JpegNeed::kCover : JpegNeed::kFitInside) ||
        !picture)
      return false;
  } else {
    // Workers free cached pictures under "sema"; a busy worker costs this paint the cell, not a hang.
    sema = g_semaphores[kSemaImage];
    if (sema && WaitForSingleObject(sema, 500) != WAIT_OBJECT_0) return false;
    picture = entry->levelImages[0];
    if (!picture) {
      if (sema) ReleaseSemaphore(sema, 1, nullptr);
      return false;
    }
  }
  const int32_t cellX = geo.columnPitch * j + geo.left, cellY = geo.rowPitch * i + geo.top;
  const IndexPictureFit fit = FitIndexPicture(geo.cellWidth, geo.cellHeight, static_cast<int32_t>(picture->GetWidth()),
                                              static_cast<int32_t>(picture->GetHeight()), s.keepAspect != 0);
  if (geo.cellWidth > 0 && geo.cellHeight > 0)
    g.DrawImage(picture, Rect(cellX + fit.offsetX, cellY + fit.offsetY, fit.width, fit.height), 0, 0,
                static_cast<INT>(picture->GetWidth()), static_cast<INT>(picture->GetHeight()), UnitPixel);
  if (full) {
    delete picture;
    if (block) FreeGlobal(block);
  } else if (sema) {
    ReleaseSemaphore(sema, 1, nullptr);
  }
  const int32_t anchorX = cellX + fit.offsetX + fit.width / 2;
  const int32_t anchorY = cellY + fit.offsetY + fit.height + (geo.caption + geo.spacing) / 2;
  if (s.printFileName) {
    wchar_t name[260];
    if (s.fileNameWithExtension) {
      wcsncpy(name, EntryName(entry), 259);
      name[259] = 0;
    } else {
      GetNameWithoutExtension(EntryName(entry), name);
    }
    DrawTextAt(g, fonts, name, s.fileNameSize, x.fileNameColor, anchorX, anchorY, StringAlignmentCenter,
               StringAlignmentCenter);
  }
  if (x.printCameraModel || x.printLens || x.printDateTime || x.printExposure) {
    const ImageInfo& info = entry->info;
    IndexInfoTexts texts{U16(GetInfoField(info, 8)),  U16(GetInfoField(info, 17)), U16(GetInfoField(info, 10)),
                         U16(GetInfoField(info, 11)), U16(GetInfoField(info, 12)), U16(GetInfoField(info, 14))};
    wchar_t text[260];
    BuildIndexInfoText(texts, x, U16(text), 260);
    DrawTextAt(g, fonts, text, x.infoSize, x.infoColor, anchorX + IndexMmToPx(geo.pxPerMm, x.infoOffsetXMm),
               anchorY + IndexMmToPx(geo.pxPerMm, x.infoOffsetYMm), StringAlignmentCenter, StringAlignmentCenter);
  }
  return true;
}

RECT ClientOf(HWND window) {
  RECT r{0, 0, 0, 0};
  if (window) GetClientRect(window, &r);
  return r;
}
}  // namespace

SCROLLINFO* SetPreviewScrollRanges(HWND pane, SCROLLINFO* horizontal, SCROLLINFO* vertical, int32_t pageWidth,
                                   int32_t pageHeight, float zoom) {
  const RECT client = ClientOf(pane);
  SCROLLINFO* bars[2] = {horizontal, vertical};
  const int32_t extent[2] = {pageWidth, pageHeight};
  const int32_t view[2] = {client.right, client.bottom};
  for (int k = 0; k < 2; ++k) {
    bars[k]->cbSize = sizeof(SCROLLINFO);
    bars[k]->fMask = SIF_RANGE | SIF_PAGE;
    bars[k]->nMin = 0;
    bars[k]->nMax = static_cast<int>(extent[k] * zoom);
    bars[k]->nPage = static_cast<UINT>(view[k] > 0 ? view[k] : 0);
    if (pane) SetScrollInfo(pane, k == 0 ? SB_HORZ : SB_VERT, bars[k], TRUE);
    bars[k]->fMask = SIF_POS;
  }
  return vertical;
}

int ComposeIndexPage(HWND surface, HDC target, const wchar_t* savePath) {
  IndexPrintLayout& s = g_settings.indexPrint;
  const IndexPrintExtras& x = g_settings.indexPrintExtras;
  const IndexPageGeometry geo = ComputeIndexPageGeometry(s);
  const bool save = savePath && savePath[0];
  const bool full = save || s.detailedPreview;
  const RECT client = ClientOf(surface);

  // Scroll offsets stay inside the magnified page.
  int* offsets[2] = {&g_previewHScroll.nPos, &g_previewVScroll.nPos};
  const int32_t extent[2] = {geo.pageWidth, geo.pageHeight}, view[2] = {client.right, client.bottom};
  for (int k = 0; k < 2; ++k) {
    const int largest = static_cast<int>(extent[k] * geo.zoom - static_cast<float>(view[k]));
    *offsets[k] = largest < 0 ? 0 : (*offsets[k] < 0 ? 0 : *offsets[k] > largest ? largest : *offsets[k]);
  }
  HWND pane = surface ? GetParent(surface) : nullptr;
  if (surface) SetPreviewScrollRanges(pane, &g_previewHScroll, &g_previewVScroll, geo.pageWidth, geo.pageHeight, geo.zoom);

  HDC screen = GetDC(surface);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP page = CreateCompatibleBitmap(screen, geo.pageWidth, geo.pageHeight);
  ReleaseDC(surface, screen);
  if (!memory || !page) {
    if (page) DeleteObject(page);
    if (memory) DeleteDC(memory);
    return save ? 0 : -1;
  }
  HGDIOBJ old = SelectObject(memory, page);
  {
    Graphics g(memory);
    g.SetTextRenderingHint(TextRenderingHintAntiAlias);
    SolidBrush background(Argb(s.backgroundColor));
    g.FillRectangle(&background, 0, 0, geo.pageWidth, geo.pageHeight);
    PageFonts fonts(geo.dpi);

    const int32_t columns = s.columns < 1 ? 1 : s.columns, rows = s.rows < 1 ? 1 : s.rows;
    const int32_t first = s.currentPage * columns * rows;
    for (int32_t i = 0; i < rows; ++i) {
      for (int32_t j = 0; j < columns; ++j) {
        const int32_t row = first + i * columns + j;
        if (row >= g_listCount) break;
        if (ImageEntry* entry = EntryAtRow(row)) DrawCell(g, fonts, geo, entry, i, j, full);
      }
    }

    if (s.printFreeText)
      DrawPageLine(g, fonts, geo, reinterpret_cast<const wchar_t*>(s.freeText), s.freeTextSize, s.freeTextPosition,
                   IndexMmToPx(geo.pxPerMm, s.freeTextOffsetXMm), IndexMmToPx(geo.pxPerMm, s.freeTextOffsetYMm),
                   s.textColor);
    if (x.printFolderName) {
      wchar_t folder[260];
      FolderLineText(folder, 260);
      DrawPageLine(g, fonts, geo, folder, x.folderNameSize, x.folderNamePosition,
                   IndexMmToPx(geo.pxPerMm, x.folderNameOffsetXMm), IndexMmToPx(geo.pxPerMm, x.folderNameOffsetYMm),
                   s.textColor);
    }
    if (s.printPageNumber) {
      wchar_t number[48];
      swprintf(number, 48, L"- %d/%d -", s.currentPage + 1, s.lastPage + 1);
      DrawPageLine(g, fonts, geo, number, s.pageNumberSize, s.pageNumberPosition,
                   IndexMmToPx(geo.pxPerMm, s.pageNumberOffsetXMm), IndexMmToPx(geo.pxPerMm, s.pageNumberOffsetYMm),
                   s.textColor);
    }
  }
  int saved = -1;
  if (save) {
    SelectObject(memory, old);
    saved = SavePage(page, savePath) ? 1 : 0;
    old = SelectObject(memory, page);
  }
  if (target && surface) {
    const float k = 1.0f / geo.zoom;
    SetStretchBltMode(target, COLORONCOLOR);
    StretchBlt(target, 0, 0, client.right, client.bottom, memory, static_cast<int>(g_previewHScroll.nPos * k),
               static_cast<int>(g_previewVScroll.nPos * k), static_cast<int>(client.right * k),
               static_cast<int>(client.bottom * k), SRCCOPY);
  }
  SelectObject(memory, old);
  DeleteObject(page);
  DeleteDC(memory);
  return saved;
}

INT_PTR CALLBACK IndexPrintPreviewProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotIndexPrintPreview] = pane;
      SendMessageW(pane, WM_SIZE, 0, 0);
      return TRUE;
    case WM_SIZE: {
      const RECT r = ClientOf(pane);
      MoveWindow(GetDlgItem(pane, IDC_IP_PREVIEW_SURFACE), 0, 0, r.right, r.bottom, TRUE);
      return TRUE;
    }
    case WM_PAINT: {
      // The page is drawn by the surface's own paint (WM_DRAWITEM), which this asks for now.
      PAINTSTRUCT ps;
      BeginPaint(pane, &ps);
      EndPaint(pane, &ps);
      RedrawWindow(GetDlgItem(pane, IDC_IP_PREVIEW_SURFACE), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      return TRUE;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      if (item->CtlID != IDC_IP_PREVIEW_SURFACE) return FALSE;
      ComposeIndexPage(item->hwndItem, item->hDC, nullptr);
      return TRUE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      SCROLLINFO& bar = message == WM_HSCROLL ? g_previewHScroll : g_previewVScroll;
      switch (LOWORD(wParam)) {
        case SB_LINEUP:
          if (bar.nPos != 0) --bar.nPos;
          break;
        case SB_LINEDOWN:
          if (bar.nPos < bar.nMax - 1) ++bar.nPos;
          break;
        case SB_PAGEUP: bar.nPos -= static_cast<int>(bar.nPage); break;
        case SB_PAGEDOWN: bar.nPos += static_cast<int>(bar.nPage); break;
        case SB_THUMBTRACK: bar.nPos = HIWORD(wParam); break;
        case SB_TOP: bar.nPos = bar.nMin; break;
        case SB_BOTTOM: bar.nPos = bar.nMax; break;
        default: break;
      }
      bar.cbSize = sizeof bar;
      bar.fMask = SIF_POS;
      SetScrollInfo(pane, message == WM_HSCROLL ? SB_HORZ : SB_VERT, &bar, TRUE);
      InvalidateRect(pane, nullptr, TRUE);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand) {
        HWND surface = GetDlgItem(pane, IDC_IP_PREVIEW_SURFACE);
        if (HDC dc = GetDC(surface)) {
          {
            Graphics g(dc);
            g.Clear(Color(0xFF808080));
          }
          ReleaseDC(surface, dc);
        }
        InvalidateRect(pane, nullptr, TRUE);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      g_windowSlots[kSlotIndexPrintPreview] = nullptr;
      DestroyWindow(pane);
      return TRUE;
    case WM_DESTROY:
      if (g_windowSlots[kSlotIndexPrintPreview] == pane) g_windowSlots[kSlotIndexPrintPreview] = nullptr;
      return FALSE;
  }
  return FALSE;
}
