// The dialog that creates or changes one action of the action table.
#pragma once
#include <windows.h>

// lParam below 0x10000: the row to change. Otherwise a new action; the low 16 bits, unless
// 0xFFFF, name a row whose key, kind, command, path and comment pre-fill the dialog.
// Ends with 1 when an action was registered, 0 when cancelled.
INT_PTR CALLBACK ActionRegisterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
