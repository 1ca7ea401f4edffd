#include "viewer/viewer_paint.h"

#include <gdiplus.h>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "core/idle_requests.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/list_helpers.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "core/argb_colour.h"
#include "core/overlay_marks.h"
#include "core/slideshow_state.h"
#include "core/list_pane_state.h"
#include "core/main_window_state.h"
#include "core/pane_state.h"
#include "core/status_counters.h"
#include "core/window_slots.h"
#include "viewer/pane_cursor.h"
#include "metadata/image_info_win.h"
#include "viewer/fitted_pictures.h"
#include "viewer/histogram.h"
#include "viewer/movie_pane.h"
#include "viewer/movie_player.h"

using namespace Gdiplus;

volatile uint8_t FastDrawPending = 0;
int32_t ZoomBaseStep = 10;
int32_t g_panePictureW[4], g_panePictureH[4];
int32_t g_paneViewW[4], g_paneViewH[4];

namespace {

constexpr uint32_t kMovieTypeFlag = 0x1000000u;

// The one back buffer of all panes.
struct BackBuffer {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  Graphics* graphics = nullptr;
  int32_t w = -1, h = -1;
} g_buffer;

// The painter's copies of the pane assignment.
int32_t g_keptPaneEntry[4] = {-1, -1, -1, -1};
int32_t g_keptPaneShown[4] = {-1, -1, -1, -1};

// Decoding happens when a picture is first drawn: this 1 x 1 target lets the decoders do that
// while they hold "sema", away from the shared back buffer.
Bitmap* g_touchTarget = nullptr;
Graphics* g_touchGraphics = nullptr;

Bitmap* g_markPictures[3] = {};

Color SlotColour(int slot) { return Color(ColorRefToArgb(g_settings.colorSlots[slot])); }

void FreeBuffer() {
  if (g_buffer.graphics) {
    g_buffer.graphics->Flush(FlushIntentionSync);
    delete g_buffer.graphics;
    g_buffer.graphics = nullptr;
  }
  if (g_buffer.dc) {
    if (g_buffer.previous) SelectObject(g_buffer.dc, g_buffer.previous);
    DeleteDC(g_buffer.dc);
    g_buffer.dc = nullptr;
  }
  if (g_buffer.bitmap) DeleteObject(g_buffer.bitmap);
  g_buffer.bitmap = nullptr;
  g_buffer.previous = nullptr;
  g_buffer.w = g_buffer.h = -1;
}

bool MakeBuffer(HDC paneDc, int32_t w, int32_t h) {
  FreeBuffer();
  g_buffer.w = w;
  g_buffer.h = h;
  SetICMMode(paneDc, ICM_OFF);
  g_buffer.bitmap = CreateCompatibleBitmap(paneDc, w, h);
  g_buffer.dc = CreateCompatibleDC(paneDc);
  if (!g_buffer.bitmap || !g_buffer.dc) {
    FreeBuffer();
    return false;
  }
  g_buffer.previous = SelectObject(g_buffer.dc, g_buffer.bitmap);
  SetICMMode(g_buffer.dc, ICM_OFF);
  g_buffer.graphics = new Graphics(g_buffer.dc);
  g_redrawFlag = 1;
  return true;
}

void ApplyScreenProfile() {
  if (!g_buffer.dc) return;
  if (g_monitorProfilePath[0] == 0) {
    DWORD size = 260;
    if (!GetICMProfileW(g_buffer.dc, &size, g_monitorProfilePath)) g_monitorProfilePath[0] = 0;
    g_monitorProfilePath[259] = 0;
  } else {
    SetICMProfileW(g_buffer.dc, g_monitorProfilePath);
  }
}

// GDI+ looks families up without the font substitutions: fall back to one that exists.
struct OverlayFont {
  Font* font = nullptr;
  OverlayFont(float points, bool bold) {
    const int style = bold ? FontStyleBold : FontStyleRegular;
    font = new Font(reinterpret_cast<const wchar_t*>(g_settings.mainFontFace), points, style, UnitPoint);
    if (!font || font->GetLastStatus() != Ok || !font->IsAvailable()) {
      delete font;
      font = new Font(FontFamily::GenericSansSerif(), points, style, UnitPoint);
    }
  }
  ~OverlayFont() { delete font; }
  OverlayFont(const OverlayFont&) = delete;
  OverlayFont& operator=(const OverlayFont&) = delete;
};

float Points(int32_t size, int32_t fallback) { return static_cast<float>(size > 0 ? size : fallback); }

// Drawn twice: a dark shadow one pixel right and down, then the text colour.
void ShadowedText(Graphics* g, const wchar_t* text, Font* font, PointF at, const StringFormat& format) {
  if (!text || !text[0]) return;
  SolidBrush shadow(Color(0xFF0A0A0A));
  SolidBrush ink(SlotColour(0));
  const int len = static_cast<int>(wcslen(text));
  g->DrawString(text, len, font, PointF(at.X + 1, at.Y + 1), &format, &shadow);
  g->DrawString(text, len, font, at, &format, &ink);
}

Bitmap* MarkPicture(int k) {
  if (!g_markPictures[k]) {
    HBITMAP source = GetOverlayMarkBitmap(k);
    if (source) g_markPictures[k] = Bitmap::FromHBITMAP(source, nullptr);
  }
  return g_markPictures[k];
}

float PictureWidth(Image* image) { return static_cast<float>(image->GetWidth()); }
float PictureHeight(Image* image) { return static_cast<float>(image->GetHeight()); }

// Where the pan has moved since the last draw, in pane pixels (previous - current).
void PanDelta(int32_t paneIndex, float* dx, float* dy) {
  *dx = *dy = 0;
  if (!g_panningActive && !g_settings.keepZoomWhilePaging) return;
  int32_t x = 0, y = 0;
  if (TakePanMotion(paneIndex, &x, &y)) {
    *dx = static_cast<float>(x);
    *dy = static_cast<float>(y);
  }
}

void PaintLoupe(HWND paneWindow, Graphics* g, Image* image, HDC paneDc, ImageEntry* entry, int32_t w, int32_t h,
                int32_t row, int32_t paneIndex, PaneRect* out, int32_t radiusExtra, int32_t reduction) {
  const float W = PictureWidth(image), H = PictureHeight(image);
  const PaneRect fitted = FitPictureRect(W, H, w, h);
  int32_t cx = 0, cy = 0;
  GetLoupeCentre(paneIndex, &cx, &cy);
  int32_t sx = 0, sy = 0;
  LoupeSourcePoint(fitted, W, H, cx, cy, &sx, &sy);
  int32_t r = g_settings.loupeSize + radiusExtra;
  if (r < 1) r = 1;
  HRGN pane = CreateRectRgn(0, 0, w, h);
  HRGN circle = CreateEllipticRgn(cx - r, cy - r, cx + r, cy + r);
  HRGN inside = CreateRectRgn(0, 0, 0, 0);
  HRGN outside = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(inside, pane, circle, RGN_AND);
  CombineRgn(outside, pane, inside, RGN_DIFF);
  SelectClipRgn(paneDc, outside);
  DrawImageFitted(g, image, w, h, out);
  DrawInfoOverlay(g, entry, w, h, row, paneIndex, *out);
  g->Flush(FlushIntentionSync);
  BitBlt(paneDc, 0, 0, w, h, g_buffer.dc, 0, 0, SRCCOPY);
  SelectClipRgn(paneDc, inside);
  const int32_t side = 2 * r * reduction;
  SolidBrush background(SlotColour(19));
  g->FillRectangle(&background, cx - side / 2, cy - side / 2, side, side);
  g->DrawImage(image, Rect(cx - side / 2, cy - side / 2, side, side), sx - r, sy - r, 2 * r, 2 * r, UnitPixel);
  for (HRGN region : {pane, circle, inside, outside}) DeleteObject(region);
  (void)paneWindow;
}

}  // namespace

void TouchEntryImage(ImageEntry* entry, int level) {
  if (!entry || level < 0 || level > 2 || !entry->levelImages[level]) return;
  if (!g_touchGraphics) {
    g_touchTarget = new Bitmap(1, 1, PixelFormat32bppARGB);
    if (!g_touchTarget || g_touchTarget->GetLastStatus() != Ok) {
      delete g_touchTarget;
      g_touchTarget = nullptr;
      return;
    }
    g_touchGraphics = new Graphics(g_touchTarget);
  }
  g_touchGraphics->DrawImage(entry->levelImages[level], Rect(0, 0, 1, 1), 0, 0, 1, 1, UnitPixel);
}

void DrawImageFitted(Graphics* g, Image* image, int32_t w, int32_t h, PaneRect* out) {
  const float W = PictureWidth(image), H = PictureHeight(image);
  *out = FitPictureRect(W, H, w, h);
  if (out->w <= 0 || out->h <= 0) return;
  // A picture larger than its place is shown from its shrunk copy (made once, usually by the
  // prefetch thread): a scaled draw reads every pixel of the decoded picture, 20 megapixels for
  // a camera picture, and costs hundreds of milliseconds under Wine.
  if ((out->w < W || out->h < H) && MakeFittedPicture(image, out->w, out->h)) {
    HDC dc = g->GetHDC();
    const bool drawn = dc && DrawFittedPicture(dc, out->x, out->y, image, out->w, out->h);
    if (dc) g->ReleaseHDC(dc);
    if (drawn) return;
  }
  ImageAttributes edges;
  edges.SetWrapMode(WrapModeTileFlipXY);  // no half-transparent fringe at the picture's edges
  g->DrawImage(image, Rect(out->x, out->y, out->w, out->h), 0, 0, static_cast<INT>(W), static_cast<INT>(H),
               UnitPixel, &edges);
}

void DrawImageZoomed(Graphics* g, Image* image, int32_t w, int32_t h, int32_t paneIndex, PaneRect* out, float factor,
                     int32_t reduction) {
  const int32_t W = static_cast<int32_t>(image->GetWidth()), H = static_cast<int32_t>(image->GetHeight());
  float dx = 0, dy = 0;
  PanDelta(paneIndex, &dx, &dy);
  const ZoomAxis ax = ComputeZoomAxis(W, w, reduction, factor, &g_zoomPointX[paneIndex], dx);
  const ZoomAxis ay = ComputeZoomAxis(H, h, reduction, factor, &g_zoomPointY[paneIndex], dy);
  *out = PaneRect{ax.outPos, ay.outPos, ax.outSize, ay.outSize};
  if (paneIndex >= 0 && paneIndex < 4) {
    g_paneViewW[paneIndex] = ax.window;
    g_paneViewH[paneIndex] = ay.window;
  }
  if (ax.window <= 0 || ay.window <= 0) return;
  // Outside the picture (the margins of a small one) nothing is drawn.
  ImageAttributes edges;
  edges.SetWrapMode(WrapModeClamp, Color(0));
  g->DrawImage(image, Rect(0, 0, w, h), ax.start, ay.start, ax.window, ay.window, UnitPixel, &edges);
}

void DrawCentredMessage(Graphics* g, const wchar_t* text, int32_t w, int32_t h) {
  OverlayFont font(Points(g_settings.fileNameFontSize, 12), g_settings.fileNameFontBold == 1);
  StringFormat format;
  format.SetAlignment(StringAlignmentCenter);
  format.SetLineAlignment(StringAlignmentCenter);
  SolidBrush ink(SlotColour(0));
  g->DrawString(text, static_cast<int>(wcslen(text)), font.font,
                PointF(static_cast<REAL>(w) / 2, static_cast<REAL>(h) / 2), &format, &ink);
}

const wchar_t* FormatInfoLine(ImageEntry* e) {
  static const int kColumns[11] = {6, 10, 8, 11, 12, 13, 14, 15, 18, 21, 17};
  // Column texts are copied: a made text lives only until the next lookup of this thread.
  char16_t texts[11][128];
  for (int i = 0; i < 11; ++i) {
    const wchar_t* t = GetInfoField(e->info, kColumns[i]);
    size_t n = 0;
    for (; t && t[n] && n < 127; ++n) texts[i][n] = static_cast<char16_t>(t[n]);
    texts[i][n] = 0;
  }
  InfoLineFields f{e->name,   texts[0], texts[1], texts[2], texts[3], texts[4],
                   texts[5],  texts[6], texts[7], texts[8], texts[9], texts[10]};
  static wchar_t own[1536];
  wchar_t* out = g_overlayText ? g_overlayText : own;
  FormatInfoLineText(f, reinterpret_cast<char16_t*>(out), 1536);
  return out;
}

void DrawInfoOverlay(Graphics* g, ImageEntry* e, int32_t w, int32_t h, int32_t row, int32_t paneIndex,
                     const PaneRect& picture) {
  const int32_t n = ExposureShift;
  if (n != 0) {
    SolidBrush veil(Color(n > 0 ? (0x00FFFFFFu | (static_cast<uint32_t>(n) << 24)) : (static_cast<uint32_t>(-n) << 24)));
    g->FillRectangle(&veil, picture.x, picture.y, picture.w, picture.h);
  }
  if (g_gridShown) {
    SolidBrush line(SlotColour(19));
    int32_t at[256];
    const int32_t rows = GridLinePositions(h, at, 256);
    for (int32_t i = 0; i < rows; ++i) g->FillRectangle(&line, 0, at[i], w, 1);
    const int32_t columns = GridLinePositions(w, at, 256);
    for (int32_t i = 0; i < columns; ++i) g->FillRectangle(&line, at[i], 0, 1, h);
  }
  if (!e) return;
  if (g_displayType == 1 && g_settings.histogramOnMainScreen) {
    const int32_t mode = g_histogramCacheMode;
    if (g_histogramKey == paneIndex && DrawOverlayHistogram(e, paneIndex, mode) &&
        g_histogramCache[paneIndex].picture) {
      if (mode == 3)
        g->DrawImage(g_histogramCache[paneIndex].picture, Rect(w - 272, h - 242, 262, 232));
      else
        g->DrawImage(g_histogramCache[paneIndex].picture, Rect(w - 272, h - 80, 262, 70));
    } else if (e->histogramPicture) {
      g->DrawImage(e->histogramPicture, Rect(w - 74, h - 42, 64, 32));
    }
  }
  if (e->checked == 1 && MarkPicture(0)) g->DrawImage(MarkPicture(0), Rect(8, 4, 14, 14));
  if (paneIndex >= 0 && paneIndex < 4 && g_paneEntry[paneIndex] != -1 && MarkPicture(1))
    g->DrawImage(MarkPicture(1), Rect(w - 40, 4, 14, 14));
  if (!SlideshowRunning && g_settings.splitLayout != 0 && GetPaneOrderNumber(g_focusedPane) == row && MarkPicture(2))
    g->DrawImage(MarkPicture(2), Rect(w - 24, 4, 14, 14));

  if (g_displayType == 0 || !g_settings.infoOnMainScreen) return;
  g->SetTextRenderingHint(TextRenderingHintAntiAliasGridFit);
  const bool boldInfo = g_settings.infoFontBold == 1;
  {
    OverlayFont font(Points(g_settings.fileNameFontSize, 12), g_settings.fileNameFontBold == 1);
    wchar_t line[400];
    swprintf(line, 400, L"File:%ls\u3000(%d/%d)", EntryName(e), row + 1, g_entryCount);
    StringFormat centred;
    centred.SetAlignment(StringAlignmentCenter);
    ShadowedText(g, line, font.font, PointF(static_cast<REAL>(w) / 2, 16), centred);
  }
  if (g_displayType == 1) {
    OverlayFont font(Points(g_settings.infoFontSize, 10), boldInfo);
    StringFormat format;
    const bool large = g_histogramKey == paneIndex && g_histogramCacheMode != 0;
    format.SetAlignment(large ? StringAlignmentNear : StringAlignmentCenter);
    format.SetLineAlignment(StringAlignmentFar);
    ShadowedText(g, FormatInfoLine(e), font.font,
                 PointF(large ? 10.0f : static_cast<REAL>(w) / 2, static_cast<REAL>(h - 10)), format);
  } else if (g_displayType == 2) {
    wchar_t date[128];
    const wchar_t* shot = GetInfoField(e->info, 10);
    if (!shot || !shot[0]) shot = GetInfoField(e->info, 5);
    wcsncpy(date, shot ? shot : L"", 127);
    date[127] = 0;
    OverlayFont font(Points(g_settings.shootingDateFontSize, 20), boldInfo);
    StringFormat format;
    format.SetAlignment(StringAlignmentFar);
    format.SetLineAlignment(StringAlignmentFar);
    ShadowedText(g, date, font.font, PointF(static_cast<REAL>(w - 10), static_cast<REAL>(h - 10)), format);
  }
  if (n != 0) {
    char16_t text[32];
    FormatBrightnessText(n, text, 32);
    OverlayFont font(Points(g_settings.fileNameFontSize, 12), g_settings.fileNameFontBold == 1);
    StringFormat format;
    format.SetAlignment(StringAlignmentFar);
    ShadowedText(g, reinterpret_cast<const wchar_t*>(text), font.font, PointF(static_cast<REAL>(w - 8), 20), format);
  }
}

int32_t PaintViewerPane(HDC paneDc, HWND paneWindow, int32_t row, int32_t paneIndex, int32_t keepBuffer) {
  int32_t result = kPaneFinal;
  if (!paneDc || !paneWindow || paneIndex < 0 || paneIndex > 3) return kPaneNoPicture;
  RECT client{};
  GetClientRect(paneWindow, &client);
  const int32_t w = client.right - client.left, h = client.bottom - client.top;
  // A minimised window has panes of no size: nothing to draw, and no division may see them.
  if (w <= 0 || h <= 0) return kPaneFinal;
  ImageEntry* e = nullptr;
  if (row >= 0 && row < g_listCount && g_cursorRow != -1 && g_entryPointers && g_displayOrder &&
      g_displayOrder[row] < g_entryCount)
    e = EntryAtRow(row);
  const int32_t panes = CurrentPaneCount();
  bool changed = false;
  for (int32_t k = 0; k < panes; ++k)
    changed |= g_paneEntry[k] != g_keptPaneEntry[k] || GetPaneOrderNumber(k) != g_keptPaneShown[k];
  if (changed) {
    for (int32_t k = 0; k < 4; ++k) {
      g_keptPaneEntry[k] = g_paneEntry[k];
      g_keptPaneShown[k] = k < panes ? GetPaneOrderNumber(k) : -1;
    }
    // A playing movie follows its row into whichever pane shows it now.
    for (int32_t k = 0; k < panes; ++k) AttachMovieWindowToPane(g_keptPaneShown[k]);
  }
  if (!(g_viewMode & 2) || (e && e->presence == kEntryVanished)) result = kPaneNoPicture;
  if (e && e->presence != kEntryVanished && (e->flags & kEntryRotated)) return kPanePreliminary;

  bool remade = false;
  if (!g_buffer.graphics || (!keepBuffer && (w != g_buffer.w || h != g_buffer.h))) {
    if (!MakeBuffer(paneDc, w, h)) return kPaneNotReady;
    remade = true;
    for (int32_t slot = 0; slot < kMovieSlotCount; ++slot) {
      const int32_t movie = GetMovieSlotEntry(slot);
      if (movie >= 0) ResizeMovieWindow(movie, paneWindow);
    }
  }
  if (remade || (paneIndex == 0 && g_screenProfileChanged == 1)) {
    if (!remade) g_screenProfileChanged = 0;
    ApplyScreenProfile();
  }
  SetICMMode(g_buffer.dc, (g_settings.colorMatchSetup.flags & 1) ? ICM_OFF : ICM_ON);
  Graphics* g = g_buffer.graphics;
  g->Clear(SlotColour(19));

  bool fitted = false;
  Image* picture = nullptr;
  if (!e || g_cursorRow == -1 || result == kPaneNoPicture) {
    DrawCentredMessage(g, L"?", w, h);
    result = kPaneNoPicture;
  } else if (e->flags & kEntryMovieNoCodec) {
    DrawCentredMessage(g, L"NO CODEC", w, h);
    result = kPaneNoPicture;
  } else if (g_listCount != 0 && e->presence != kEntryVanished) {
    int32_t reduction = 1;
    bool quick = false;
    if (g_cursorMoveCount >= 2) {
      g->SetSmoothingMode(SmoothingModeHighSpeed);
      g->SetInterpolationMode(InterpolationModeLowQuality);
      picture = e->levelImages[kLevelThumbnail] ? e->levelImages[kLevelThumbnail] : e->levelImages[kLevelView];
      if (picture) {
        quick = true;
        FastDrawPending = 1;
      } else {
        result = kPaneNotReady;
      }
    } else {
      if (MovieWantsPane(e)) {
        bool opened = false;
        const int32_t movie = PaintMoviePane(paneDc, paneWindow, row, paneIndex, keepBuffer, &opened);
        // The video window covers the pane; a movie that could not open shows its still frame.
        if (opened) return movie;
      }
      if (g_settings.noHighQualityAntialias) {
        g->SetSmoothingMode(SmoothingModeNone);
        g->SetInterpolationMode(InterpolationModeLowQuality);
      } else {
        g->SetSmoothingMode(SmoothingModeHighQuality);
        g->SetInterpolationMode(InterpolationModeHighQualityBicubic);
      }
      if (e->levelImages[kLevelFull]) {
        ClearEntryFlags(e, kEntryDevelopmentCleared);
        if (e->flags & kEntryHalfSizeDevelopment) reduction = 2;
        picture = e->levelImages[kLevelFull];
      } else if (e->levelImages[kLevelView]) {
        if (e->flags & kEntryWantFullDevelopment) {
          // Drawn once while the development runs; the pane then waits for level 2.
          if (e->flags & kEntryDevelopmentCleared) return kPanePreliminary;
          if (EntryCameraModel(e).code == kUnknownModelCode) {
            ClearEntryFlags(e, kEntryWantFullDevelopment | kEntryDevelopmentCleared);
          } else {
            SetEntryFlags(e, kEntryDevelopmentCleared);
            result = kPanePreliminary;
          }
        }
        if (e->flags & kEntryViewFromHalfRaw) reduction = 2;
        // A JPEG decoded reduced for the fitted view; a zoomed pane gets it whole from the render thread.
        if (e->viewReduction > 1) reduction *= e->viewReduction;
        picture = e->levelImages[kLevelView];
      } else if (e->levelImages[kLevelThumbnail]) {
        picture = e->levelImages[kLevelThumbnail];
        result = kPanePreliminary;
      } else {
        result = kPaneNotReady;
      }
    }
    if (picture) {
      const float W = PictureWidth(picture), H = PictureHeight(picture);
      g_panePictureW[paneIndex] = static_cast<int32_t>(W);
      g_panePictureH[paneIndex] = static_cast<int32_t>(H);
      SetZoomPointUnderCursor(W, H, paneIndex, keepBuffer);
      int32_t offset = MagnificationStep;
      const int32_t step = ClampZoomStep(ZoomBaseStep, &offset);
      MagnificationStep = offset;
      const float factor = ZoomFactorOfStep(step, g_zoomDoubleSize == 1);
      PaneRect at{};
      if (((quick && g_settings.reducedImageWhilePaging) || g_zoomMode) && result == kPaneFinal) {
        if (g_settings.loupeEnabled == 0) {
          DrawImageZoomed(g, picture, w, h, paneIndex, &at, factor, reduction);
          char16_t text[32];
          FormatZoomStatusText(factor, text, 32);
          SetStatusPartText(4, reinterpret_cast<const wchar_t*>(text));
        } else {
          int32_t extra = step * 4 - 40;
          if (g_zoomDoubleSize == 1) extra += g_settings.loupeSize / 2;
          PaintLoupe(paneWindow, g, picture, paneDc, e, w, h, row, paneIndex, &at, extra, reduction);
          SetStatusPartText(4, L"\tLOOPE MODE");
        }
      } else {
        DrawImageFitted(g, picture, w, h, &at);
        fitted = true;
        SetStatusPartText(4, L"\tFIT MODE");
      }
      DrawInfoOverlay(g, e, w, h, row, paneIndex, at);
    }
  }
  g->Flush(FlushIntentionSync);
  BitBlt(paneDc, 0, 0, w, h, g_buffer.dc, 0, 0, SRCCOPY);
  if (fitted && picture) g->DrawImage(picture, Rect(0, 0, 1, 1), 0, 0, 1, 1, UnitPixel);
  if (g_settings.loupeEnabled) SelectClipRgn(paneDc, nullptr);
  return result;
}

void RefreshPaneDcs() {
  HANDLE sema = g_semaphores[kSemaImage];
  // The render thread may hold "sema": wait for it answering messages meanwhile (at shut-down
  // for a bounded time only, then without it).
  const DWORD start = GetTickCount();
  while (sema && WaitForSingleObject(sema, 0) != WAIT_OBJECT_0) {
    if (ShutDownWaitLeft(start) == 0) sema = nullptr;
    else PumpMessages(1);
  }
  for (int32_t k = 0; k < 4; ++k) {
    HWND pane = GetPaneControl(k);
    if (g_panelDcs[k] && pane) ReleaseDC(pane, g_panelDcs[k]);
    // Clipped to the pane itself (the static class would hand out its parent's clipping), with
    // the origin the pane has now.
    g_panelDcs[k] = pane ? GetDCEx(pane, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS) : nullptr;
  }
  if (sema) ReleaseSemaphore(sema, 1, nullptr);
}

void PaintAllPanesBlank() {
  // The back buffer is the render thread's too. The wait is bounded: this thread may itself hold
  // the lock below a modal loop that paints.
  HANDLE sema = g_semaphores[kSemaImage];
  const DWORD start = GetTickCount();
  while (sema) {
    const DWORD r = MsgWaitForMultipleObjects(1, &sema, FALSE, 50, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) break;
    if (r == WAIT_OBJECT_0 + 1) {
      MSG message;  // delivers the sent messages only
      PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    } else if (r != WAIT_TIMEOUT || GetTickCount() - start > 1000) {
      return;
    }
  }
  for (int32_t k = 0; k < CurrentPaneCount(); ++k) PaintViewerPane(g_panelDcs[k], GetPaneControl(k), -1, k, k);
  if (sema) ReleaseSemaphore(sema, 1, nullptr);
}

void FreeViewerBackBuffer() {
  FreeBuffer();
  for (Bitmap*& b : g_markPictures) {
    delete b;
    b = nullptr;
  }
  delete g_touchGraphics;
  g_touchGraphics = nullptr;
  delete g_touchTarget;
  g_touchTarget = nullptr;
}
