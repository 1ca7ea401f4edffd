// The rebar and its seven band controls: 0 button toolbar, 1 favourites combo 211,
// 2 cache-history combo 212, 3 position slider 339, 4 action-history combo 325,
// 5 progress bar, 6 customisable toolbar.
#pragma once
#include <windows.h>

extern HWND g_bandControls[7];
void CreateRebarBands(HWND mainWindow);
// The toolbar that carries the command buttons (band control 6).
inline HWND CommandToolbar() { return g_bandControls[6]; }
