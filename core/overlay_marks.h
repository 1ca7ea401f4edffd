// The viewer overlay's marks, loaded by the file-list pane with its controls and drawn by the
// viewer over the panes.
#pragma once
#include <windows.h>

// 0 check, 1 fixed pane, 2 focus.
extern HBITMAP g_overlayMarks[3];

// The viewer overlay's mark k; null when not loaded.
HBITMAP GetOverlayMarkBitmap(int k);
