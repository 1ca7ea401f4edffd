#include "viewer/pure/pane_rules.h"

#include <algorithm>

WheelAction DecideWheelAction(int32_t delta, bool zoomMode, bool pagingWhenZoomed, bool reverseZoom,
                              bool reversePaging) {
  const int32_t s = delta / 20;
  if (s == 0) return WheelAction::kNone;
  if (zoomMode && !pagingWhenZoomed) {
    bool less = reverseZoom ? s < 0 : s > 0;
    return less ? WheelAction::kMagnifyLess : WheelAction::kMagnifyMore;
  }
  bool next = reversePaging ? s > 0 : s < 0;
  return next ? WheelAction::kNextImage : WheelAction::kPreviousImage;
}

int32_t PaneEdgeZoneHeight(int32_t paneHeight) {
  if (paneHeight <= 255) return paneHeight / 4;
  return std::min(std::max(paneHeight / 8, 64), 128);
}

bool IsInPaneEdgeZone(int32_t x, int32_t y, int32_t w, int32_t h) {
  if (!(0 < x && x < w && 0 < y && y < h)) return false;
  const int32_t z = PaneEdgeZoneHeight(h);
  return y < z || y > h - z;
}

bool IsInHistogramZone(int32_t x, int32_t y, int32_t w, int32_t h) {
  return w - 74 < x && x < w - 10 && h - 42 < y && y < h - 10;
}

bool ComputeZoomPointUnderCursor(float pictureW, float pictureH, int32_t paneW, int32_t paneH, int32_t px,
                                 int32_t py, float* zoomX, float* zoomY) {
  // A minimised window or a picture not yet decoded has no scale.
  if (paneW <= 0 || paneH <= 0 || !(pictureW > 0) || !(pictureH > 0)) return false;
  const float W = static_cast<float>(paneW), H = static_cast<float>(paneH);
  float s, marginX = 0, marginY = 0;
  if (pictureW / W >= pictureH / H) {
    s = pictureW / W;
    marginY = (H - pictureH / s) / 2;
  } else {
    s = pictureH / H;
    marginX = (W - pictureW / s) / 2;
  }
  *zoomX = (static_cast<float>(px) - marginX) * s;
  *zoomY = (static_cast<float>(py) - marginY) * s;
  return true;
}
