// The modeless index print dialog: its settings, page moves, saving and printing.
#pragma once
#include <windows.h>

INT_PTR CALLBACK IndexPrintDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
