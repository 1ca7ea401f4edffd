// The cursor over the viewer panes: the hovered pane, the zoom point under the cursor, the pan
// and loupe points of a zoomed pane, and the histogram and edge zones.
#pragma once
#include <cstdint>

// The pane under the cursor becomes the hovered one; its cursor point becomes every pane's
// press and drag point (and loupe point, loupe on).
void FindPaneUnderCursor();
// The index of the pane FindPaneUnderCursor chose.
int32_t GetHoveredPaneIndex();
// On a pending zoom-point request: the picture point of a pictureW x pictureH picture under the
// cursor in the hovered pane becomes pane k's zoom point; c is the pane being drawn (the request
// stays for later panes that asked for a row).
void SetZoomPointUnderCursor(float pictureW, float pictureH, int k, int c);
// The pan since the last call in pane pixels (previous drag point - current), for pane k; the
// current point becomes the previous one.
bool TakePanMotion(int k, int32_t* dx, int32_t* dy);
// A mouse move while zoomed: the cursor, in the hovered pane's pixels, becomes the drag point
// (while panning) and the loupe point (loupe on) of the hovered pane only or of all four. True
// when it differs from the hovered pane's press point.
bool FollowZoomCursor(bool panning, bool hoveredOnly);
// The loupe centre of pane k in its client pixels.
void GetLoupeCentre(int k, int32_t* x, int32_t* y);
// Whether the cursor is over a pane's histogram zone (histogram on the main screen); entering
// or leaving it switches the histogram shown and asks for a redraw.
bool IsOverHistogramZone();
bool IsOverPaneEdgeZone();
