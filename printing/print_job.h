// The print job of an index page: the system print dialog, the paper and orientation of the
// index print settings, the printer's colour management, and the saved page on paper.
#pragma once
#include <windows.h>

// 0 when the print dialog was cancelled or failed, else the result of deleting the printer DC.
int PrintImage(HWND owner, int paperCode, int orientation, int pageCount);
// Draws g_printTargetPath on the current printer page at its paper size.
void RenderPrintPage(HDC printer, int page);
