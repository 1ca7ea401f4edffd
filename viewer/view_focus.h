// The view-focus tour of a zoomed pane: a point of the chosen pattern as the pane's zoom point.
#pragma once
#include <cstdint>

// The zoom point pane (0..3) should ease to for table point `point` of the pattern the settings
// choose, from the picture and the window it last showed; returns the point index after wrapping.
int32_t GetViewerPictureZoomTarget(int32_t pane, int32_t point, float* x, float* y);
