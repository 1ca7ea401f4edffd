// The print job of an index page: the system print dialog, the paper and orientation of the
// index print settings, the printer's colour management, and the saved page on paper.
#pragma once
#include <windows.h>

// 0 when the print dialog was cancelled or failed, else the result of deleting the printer DC.
int PrintImage(HWND owner, int paperCode, int orientation, int pageCount);
// Puts the printer profile of the colour-matching set-up on the printer's DC; without one, the
// printer's own profile becomes that path for this and later jobs. Returns the path.
const wchar_t* ApplyPrinterProfile(HDC printer);
// Draws g_printTargetPath on the current printer page at its paper size.
void RenderPrintPage(HDC printer, int page);
