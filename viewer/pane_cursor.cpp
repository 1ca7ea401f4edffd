#include "viewer/pane_cursor.h"

#include "core/main_window_state.h"
#include "core/pane_state.h"
#include "core/settings.h"
#include "core/window_slots.h"
#include "viewer/histogram.h"
#include "viewer/pure/pane_rules.h"

namespace {
HWND g_hoveredPane = nullptr;
int32_t g_hoveredPaneIndex = 0;
int32_t g_pressX[4], g_pressY[4], g_dragX[4], g_dragY[4];
int32_t g_loupeX[4], g_loupeY[4];

bool PaneClientSize(HWND pane, int32_t* w, int32_t* h) {
  RECT r;
  if (!pane || !GetClientRect(pane, &r)) return false;
  *w = r.right - r.left;
  *h = r.bottom - r.top;
  return true;
}

bool CursorInPane(HWND pane, POINT* p) {
  if (!pane || !GetCursorPos(p)) return false;
  return ScreenToClient(pane, p) != FALSE;
}
}  // namespace

void FindPaneUnderCursor() {
  g_hoveredPane = GetPaneControl(0);
  g_hoveredPaneIndex = 0;
  int32_t w = 0, h = 0;
  PaneClientSize(GetPaneControl(0), &w, &h);
  POINT p{};
  for (int32_t k = 0; k < CurrentPaneCount(); ++k) {
    POINT q;
    if (!CursorInPane(GetPaneControl(k), &q)) continue;
    if (q.x > 0 && q.x < w && q.y > 0 && q.y < h) {
      g_hoveredPane = GetPaneControl(k);
      g_hoveredPaneIndex = k;
      p = q;
      break;
    }
  }
  for (int32_t i = 0; i < 4; ++i) {
    g_pressX[i] = g_dragX[i] = p.x;
    g_pressY[i] = g_dragY[i] = p.y;
  }
  if (g_settings.loupeEnabled) {
    POINT q;
    if (CursorInPane(g_hoveredPane, &q))
      for (int32_t i = 0; i < 4; ++i) {
        g_loupeX[i] = q.x;
        g_loupeY[i] = q.y;
      }
  }
}

int32_t GetHoveredPaneIndex() { return g_hoveredPaneIndex; }

void SetZoomPointUnderCursor(float pictureW, float pictureH, int k, int c) {
  if (!g_zoomPointRequest || k < 0 || k > 3) return;
  bool later = false;
  for (int32_t i = c + 1; i < CurrentPaneCount(); ++i) later |= g_paneRequested[i] >= 0;
  if (!later) g_zoomPointRequest = 0;
  int32_t w = 0, h = 0;
  POINT p;
  if (!PaneClientSize(g_hoveredPane, &w, &h) || !CursorInPane(g_hoveredPane, &p)) return;
  ComputeZoomPointUnderCursor(pictureW, pictureH, w, h, p.x, p.y, &g_zoomPointX[k], &g_zoomPointY[k]);
}

bool TakePanMotion(int k, int32_t* dx, int32_t* dy) {
  if (k < 0 || k > 3) return false;
  *dx = g_pressX[k] - g_dragX[k];
  *dy = g_pressY[k] - g_dragY[k];
  g_pressX[k] = g_dragX[k];
  g_pressY[k] = g_dragY[k];
  return true;
}

bool FollowZoomCursor(bool panning, bool hoveredOnly) {
  POINT p;
  if (!CursorInPane(g_hoveredPane, &p)) return false;
  const int32_t k = g_hoveredPaneIndex;
  const bool moved = p.x != g_pressX[k] || p.y != g_pressY[k];
  for (int32_t i = 0; i < 4; ++i) {
    if (hoveredOnly && i != k) continue;
    if (panning) {
      g_dragX[i] = p.x;
      g_dragY[i] = p.y;
    }
    if (g_settings.loupeEnabled) {
      g_loupeX[i] = p.x;
      g_loupeY[i] = p.y;
    }
  }
  return moved;
}

void GetLoupeCentre(int k, int32_t* x, int32_t* y) {
  *x = (k >= 0 && k < 4) ? g_loupeX[k] : 0;
  *y = (k >= 0 && k < 4) ? g_loupeY[k] : 0;
}

bool IsOverHistogramZone() {
  if (!g_panningActive && g_settings.histogramOnMainScreen) {
    int32_t w = 0, h = 0;
    PaneClientSize(GetPaneControl(0), &w, &h);
    for (int32_t k = 0; k < CurrentPaneCount(); ++k) {
      POINT p;
      if (!CursorInPane(GetPaneControl(k), &p) || !IsInHistogramZone(p.x, p.y, w, h)) continue;
      if (g_histogramCacheMode != g_settings.histogramMode) {
        ClearHistogramCache();
        g_histogramCacheMode = g_settings.histogramMode;
        g_histogramKey = k;
        g_redrawFlag = 1;
      }
      return true;
    }
  }
  if (g_histogramCacheMode != 0) {
    g_histogramCacheMode = 0;
    g_redrawFlag = 1;
  }
  return false;
}

bool IsOverPaneEdgeZone() {
  int32_t w = 0, h = 0;
  PaneClientSize(GetPaneControl(0), &w, &h);
  for (int32_t k = 0; k < CurrentPaneCount(); ++k) {
    POINT p;
    if (CursorInPane(GetPaneControl(k), &p) && IsInPaneEdgeZone(p.x, p.y, w, h)) return true;
  }
  return false;
}
