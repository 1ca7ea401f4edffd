// The popups that show an enlarged preview or the RGB histogram of the thumbnail the cursor
// rests on in the file list.
#pragma once
#include <windows.h>

namespace Gdiplus {
class Graphics;
}
struct ImageEntry;

INT_PTR CALLBACK PreviewPopupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HistogramPopupDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Counts the histogram of the entry's preview source and draws it (mode 1: red, green and blue
// bars over the histogram background); false when the picture cannot be decoded.
bool DrawPopupHistogram(Gdiplus::Graphics* graphics, ImageEntry* entry, int mode);
