// What the viewer needs of the subsystems above it: the shared tooltip window.
// The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct ViewerHooks {
  // The shared tooltip window: registers the dialog control under the cursor with its text from
  // the tables (the movie controls' WM_SETCURSOR).
  BOOL (*addControlTooltip)(HWND dialog, HWND windowUnderCursor, const int* ids, const wchar_t* const* texts,
                            int count);
};
extern ViewerHooks g_viewerHooks;
