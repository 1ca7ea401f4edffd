#include "viewer/pure/view_focus_target.h"

#include "viewer/pure/view_focus_points.h"

ViewFocusTarget ComputeViewFocusTarget(int32_t type, int32_t point, int32_t pictureW, int32_t pictureH,
                                       int32_t viewW, int32_t viewH) {
  if (type < 0 || type >= kViewFocusTypes) type = 0;
  const int32_t count = ViewFocusPointCounts[type];
  // The tour wraps at both ends: back past the centre to the last point, on past the last to the centre.
  if (point < 0) point = count - 1;
  if (point >= count) point = 0;
  const FocusPoint& p = ViewFocusPointTable[type][point];
  ViewFocusTarget t{point, 0.0f, 0.0f};
  t.x = static_cast<float>(pictureW - viewW) * p.x + static_cast<float>(viewW) / 2.0f;
  t.y = static_cast<float>(pictureH - viewH) * p.y + static_cast<float>(viewH) / 2.0f;
  return t;
}
