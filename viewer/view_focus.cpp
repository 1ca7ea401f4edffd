#include "viewer/view_focus.h"

#include "core/settings.h"
#include "viewer/pure/view_focus_target.h"
#include "viewer/viewer_paint.h"

int32_t GetViewerPictureZoomTarget(int32_t pane, int32_t point, float* x, float* y) {
  if (pane < 0 || pane > 3) pane = 0;
  // The render thread writes these sizes; a torn pair only misplaces one easing target.
  const ViewFocusTarget t = ComputeViewFocusTarget(g_settings.viewFocusType, point, g_panePictureW[pane],
                                                   g_panePictureH[pane], g_paneViewW[pane], g_paneViewH[pane]);
  if (x) *x = t.x;
  if (y) *y = t.y;
  return t.point;
}
