#include "browser/pure/main_layout.h"

#include <algorithm>

namespace {
// WMSZ_* codes of WM_SIZING.
enum : int32_t { kLeft = 1, kRight, kTop, kTopLeft, kTopRight, kBottom, kBottomLeft, kBottomRight };

LayoutRect Rect(int32_t x, int32_t y, int32_t w, int32_t h) {
  // A window smaller than its bars yields negative extents: place such children at size 0.
  return {x, y, std::max(w, 0), std::max(h, 0)};
}

const int32_t kStatusPartWidths[kStatusPartCount] = {0, 55, 55, 55, 100, 120, 60, 100, 100, 100, 16};
}  // namespace

LayoutRect ClampWindowPlacement(LayoutRect saved, int32_t deskW, int32_t deskH, bool* isDefault) {
  LayoutRect r;
  if (saved.w != 0 && saved.h != 0) {
    *isDefault = false;
    r.x = saved.x < 0 ? 0 : std::min(saved.x, deskW - 64);
    r.y = saved.y < 0 ? 0 : std::min(saved.y, deskH - 64);
    r.w = std::max(saved.w, kMinWindowWidth);
    r.h = std::max(saved.h, kMinWindowHeight);
  } else {
    *isDefault = true;
    r = {50, 50, std::max(deskW - 100, kMinWindowWidth), std::max(deskH - 100, kMinWindowHeight)};
  }
  return r;
}

void ClampSizingRect(int32_t* left, int32_t* top, int32_t* right, int32_t* bottom, int32_t edge,
                     int32_t navigationWidth) {
  int32_t minW = navigationWidth > 42 ? navigationWidth + 10 : kMinWindowWidth;
  if (*right - *left < minW) {
    if (edge == kLeft || edge == kTopLeft || edge == kBottomLeft) *left = *right - minW;
    if (edge == kRight || edge == kTopRight || edge == kBottomRight) *right = *left + minW;
  }
  if (*bottom - *top < kMinWindowHeight) {
    if (edge == kTop || edge == kTopLeft || edge == kTopRight) *top = *bottom - kMinWindowHeight;
    if (edge == kBottom || edge == kBottomLeft || edge == kBottomRight) *bottom = *top + kMinWindowHeight;
  }
}

int32_t ClampListSplit(int32_t value, int32_t paneExtent) {
  value = std::min(value, paneExtent - 64);
  return value <= 63 ? 64 : value;
}

MainLayout ComputeMainLayout(const MainLayoutInput& in) {
  MainLayout o{};
  const int32_t W = in.clientW, H = in.clientH, T = in.rebarH, S = in.statusH, N = in.navigationWidth;
  const int32_t M = 12 * in.uiScale + 10;
  const int32_t Hc = H - T - S;
  o.statusBar = Rect(0, H - S, W, S);
  o.rebar = Rect(0, 0, W, T);

  int32_t L, paneH;
  if (in.navigationShown) {
    o.fileListPane = Rect(N, T, W - N, Hc);
    o.navigationPane = Rect(0, T, N, Hc);
    o.navigationTab = Rect(0, 0, N - 4, M);
    o.navigationTree = Rect(0, M, N - 4, Hc - M - in.dockedHeight);
    o.dockedInfo = Rect(0, Hc - kDockedInfoHeight, N - 4, kDockedInfoHeight);
    L = W - N;
    paneH = Hc;
  } else if (in.fullScreen && in.viewMode == 2) {
    o.fileListPane = Rect(0, 0, W, H);
    o.navigationPane = Rect(0, T, 0, 0);
    o.navigationTree = Rect(0, M, 0, 0);
    L = W;
    paneH = H;
  } else {
    o.fileListPane = Rect(0, T, W, Hc);
    o.navigationPane = Rect(0, T, 0, 0);
    o.navigationTree = Rect(0, M, 0, 0);
    L = W;
    paneH = Hc;
  }

  const int32_t sh = in.listSplitHeight, sw = in.listSplitWidth;
  if (in.viewMode == 1) {
    o.listPlaced = true;
    o.list = Rect(0, 0, L, paneH);
  } else if (in.viewMode == 3) {
    o.listPlaced = o.panesPlaced = true;
    switch (in.thumbSplitKind) {
      case 1:
        o.panes = Rect(0, 0, L, sh - kSplitterBar);
        o.list = Rect(0, sh, L, paneH - sh);
        break;
      case 2:
        o.list = Rect(L - sw + kSplitterBar, 0, sw - kSplitterBar, paneH);
        o.panes = Rect(0, 0, L - sw, paneH);
        o.listMovesWithPosition = true;
        break;
      case 3:
        o.list = Rect(0, 0, sw, paneH);
        o.panes = Rect(sw + kSplitterBar, 0, L - sw - kSplitterBar, paneH);
        o.listMovesWithPosition = true;
        break;
      default:
        o.list = Rect(0, 0, L, sh - kSplitterBar);
        o.panes = Rect(0, sh, L, paneH - sh);
        break;
    }
  } else {
    o.panesPlaced = true;
    o.panes = Rect(0, 0, L, paneH);
  }
  return o;
}

int32_t ComputeViewerPaneRects(int32_t layout, int32_t x, int32_t y, int32_t w, int32_t h,
                               LayoutRect out[kMaxPanes]) {
  const int32_t hw = w >> 1, hh = h >> 1, tw = w / 3;
  switch (layout) {
    case 1:
      out[0] = Rect(x, y, hw, h);
      out[1] = Rect(x + hw, y, hw, h);
      return 2;
    case 2:
      out[0] = Rect(x, y, w, hh);
      out[1] = Rect(x, y + hh, w, hh);
      return 2;
    case 3:
      out[0] = Rect(x, y, tw, h);
      out[1] = Rect(x + tw, y, tw, h);
      out[2] = Rect(x + 2 * tw, y, tw, h);
      return 3;
    case 4:
      out[0] = Rect(x, y, hw, hh);
      out[1] = Rect(x + hw, y, hw, hh);
      out[2] = Rect(x, y + hh, hw, hh);
      out[3] = Rect(x + hw, y + hh, hw, hh);
      return 4;
    default:
      out[0] = Rect(x, y, w, h);
      return 1;
  }
}

void ComputeStatusPartEdges(int32_t clientW, int32_t edges[kStatusPartCount]) {
  edges[kStatusPartCount - 1] = clientW;
  for (int k = kStatusPartCount - 2; k >= 0; --k) edges[k] = edges[k + 1] - kStatusPartWidths[k + 1];
}
