// The index page: composed afresh at the print resolution for every paint of the preview pane,
// for a save and for a print.
#pragma once
#include <windows.h>
#include <cstdint>

extern wchar_t g_printTargetPath[260];
extern SCROLLINFO g_previewHScroll, g_previewVScroll;

// Composes the current page. With a surface, shows it there scrolled and magnified; with a
// save path, draws full pictures and saves the page there in the format of its extension.
// Returns -1 when nothing was to be saved, 1 saved, 0 not saved.
int ComposeIndexPage(HWND surface, HDC target, const wchar_t* savePath);
SCROLLINFO* SetPreviewScrollRanges(HWND pane, SCROLLINFO* horizontal, SCROLLINFO* vertical, int32_t pageWidth,
                                   int32_t pageHeight, float zoom);
INT_PTR CALLBACK IndexPrintPreviewProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
