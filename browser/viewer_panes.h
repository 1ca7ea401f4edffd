// Viewer pane geometry, the rows the panes show, paging, the wheel, the zoom point, and the
// pane subclasses and hit tests.
#pragma once
#include "core/pane_state.h"
#include <windows.h>
#include <cstdint>


void LayoutViewerPanes(int x, int y, int width, int height);
void AssignPaneEntries();
// No pane shows or holds a row (a new list, a new pane).
void ResetPaneRows();
void SyncListSelectionWithView();
void ShowNextImage();
void ShowPreviousImage();
void HandleMouseWheel(WPARAM wParam);
void UpdateZoomModeFromKeys();
void FindPaneUnderCursor();
void SetZoomPointUnderCursor(float pictureW, float pictureH, int k, int c);
void UpdateMainMenuState();
// The pan since the last call in pane pixels (previous drag point - current), for pane k; the
// current point becomes the previous one.
bool TakePanMotion(int k, int32_t* dx, int32_t* dy);
// A mouse move while zoomed: the cursor, in the hovered pane's pixels, becomes the drag point
// (while panning) and the loupe point (loupe on) of the hovered pane only or of all four. True
// when it differs from the hovered pane's press point.
bool FollowZoomCursor(bool panning, bool hoveredOnly);
// The loupe centre of pane k in its client pixels.
void GetLoupeCentre(int k, int32_t* x, int32_t* y);

LRESULT CALLBACK ViewerPaneSubclassProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ListHeaderSubclassProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam);
void InstallPaneSubclasses(HWND fileListPane);
bool IsOverHistogramZone();
bool IsOverPaneEdgeZone();
