// List-view row helpers: the file list's selection against the entries' selected bit, and
// rows of tables whose cells hold their record numbers as text.
#pragma once
#include <windows.h>

bool TransferListSelection(bool toEntries);
// Sent to the file list by TransferListSelection from another thread: the list's own thread does
// the transfer (wParam: to the entries) and answers 2 for true, 1 for false (0: no handler).
constexpr UINT TransferSelectionMessage = WM_APP + 104;
int AdjustRowForPaneCount(int row);
int FindRowByNumber(HWND list, int number, int column);
int GetRowNumber(HWND list, int row, int column);
int GetSelectedRowNumber(HWND list, int column);
int GetFirstSelectedRow(HWND list);
void ClearListSelection(HWND list);
