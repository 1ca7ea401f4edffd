// The view-focus tour: table points as zoom points, wrapping, and the window they show.
#include <gtest/gtest.h>

#include "viewer/pure/view_focus_points.h"
#include "viewer/pure/view_focus_target.h"
#include "viewer/pure/viewer_geometry.h"

namespace {

TEST(ViewFocusTarget, CornersShowTheEdgesAndTheTourWraps) {
  // 4000 x 3000 zoomed at x1.0 in an 800 x 600 pane: the window is 800 x 600 picture pixels.
  ViewFocusTarget t = ComputeViewFocusTarget(0, 0, 4000, 3000, 800, 600);
  EXPECT_EQ(t.point, 0);
  EXPECT_FLOAT_EQ(t.x, 2000);
  EXPECT_FLOAT_EQ(t.y, 1500);
  t = ComputeViewFocusTarget(0, 1, 4000, 3000, 800, 600);  // top-right corner
  EXPECT_FLOAT_EQ(t.x, 3600);
  EXPECT_FLOAT_EQ(t.y, 300);
  // The pane then shows exactly the top-right window of the picture.
  float cx = t.x, cy = t.y;
  const ZoomAxis ax = ComputeZoomAxis(4000, 800, 1, 1.0f, &cx, 0);
  const ZoomAxis ay = ComputeZoomAxis(3000, 600, 1, 1.0f, &cy, 0);
  EXPECT_EQ(ax.start, 3200);
  EXPECT_EQ(ay.start, 0);
  // Page Up from the centre goes to the last point, Page Down past the last back to the centre.
  t = ComputeViewFocusTarget(0, -1, 4000, 3000, 800, 600);
  EXPECT_EQ(t.point, 4);
  EXPECT_FLOAT_EQ(t.x, 400);
  EXPECT_FLOAT_EQ(t.y, 300);
  t = ComputeViewFocusTarget(0, 5, 4000, 3000, 800, 600);
  EXPECT_EQ(t.point, 0);
  EXPECT_FLOAT_EQ(t.x, 2000);
  // An unknown pattern walks pattern 0.
  t = ComputeViewFocusTarget(9, 3, 4000, 3000, 800, 600);
  EXPECT_EQ(t.point, 3);
  EXPECT_FLOAT_EQ(t.x, 400);
  EXPECT_FLOAT_EQ(t.y, 2700);
}

TEST(ViewFocusTarget, CirclesAndNarrowPictures) {
  BuildViewFocusPointTables();
  // The 16-point circle: point 5 is the right middle, 17 is the top again, 18 wraps to the centre.
  ViewFocusTarget t = ComputeViewFocusTarget(5, 5, 2000, 1000, 200, 100);
  EXPECT_NEAR(t.x, 1900, 0.01);
  EXPECT_NEAR(t.y, 500, 0.01);
  t = ComputeViewFocusTarget(5, 17, 2000, 1000, 200, 100);
  EXPECT_NEAR(t.x, 1000, 0.01);
  EXPECT_NEAR(t.y, 50, 0.01);
  EXPECT_EQ(ComputeViewFocusTarget(5, 18, 2000, 1000, 200, 100).point, 0);
  // A picture narrower than its window: the centre point is still its middle.
  t = ComputeViewFocusTarget(0, 0, 300, 3000, 800, 600);
  EXPECT_FLOAT_EQ(t.x, 150);
  EXPECT_FLOAT_EQ(t.y, 1500);
}

}  // namespace
