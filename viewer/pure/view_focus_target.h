// Where the view-focus tour puts a zoomed pane's zoom point: the chosen table point of the
// picture, placed so that the shown window stays inside the picture. No windows here.
#pragma once
#include <cstdint>

struct ViewFocusTarget {
  int32_t point;  // the point index after wrapping (-1 is the last point, count is point 0)
  float x, y;     // the zoom point in picture pixels
};

// type: the pattern 0..5 (others use 0); picture and view sizes in picture pixels, the view being
// the source window the zoomed pane shows. Per axis: (picture - view) x fraction + view / 2.
ViewFocusTarget ComputeViewFocusTarget(int32_t type, int32_t point, int32_t pictureW, int32_t pictureH,
                                       int32_t viewW, int32_t viewH);
