// Viewer pane arithmetic: the wheel, the edge and histogram zones, the picture point under
// the cursor.
#pragma once
#include <cstdint>

enum class WheelAction { kNone, kMagnifyLess, kMagnifyMore, kNextImage, kPreviousImage };

// delta: signed high word of WM_MOUSEWHEEL's wparam. pagingWhenZoomed: the wheel pages even
// in zoom mode.
WheelAction DecideWheelAction(int32_t delta, bool zoomMode, bool pagingWhenZoomed, bool reverseZoom,
                              bool reversePaging);

int32_t PaneEdgeZoneHeight(int32_t paneHeight);
bool IsInPaneEdgeZone(int32_t x, int32_t y, int32_t w, int32_t h);
bool IsInHistogramZone(int32_t x, int32_t y, int32_t w, int32_t h);

// The picture pixel under the cursor (px, py) of a paneW x paneH pane when a pictureW x
// pictureH picture is fitted and centred. False for an empty pane or picture.
bool ComputeZoomPointUnderCursor(float pictureW, float pictureH, int32_t paneW, int32_t paneH, int32_t px,
                                 int32_t py, float* zoomX, float* zoomY);
