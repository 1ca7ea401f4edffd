// Page 8 (the action list), page 9 (the rename settings) and what the settings dialog and the
// action register dialog reach of them.
#pragma once
#include <windows.h>

INT_PTR CALLBACK ActionListPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RenameSettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// Reads the rename page's controls into the global rename settings and their histories;
// nothing when the page is not open.
void CommitRenameSettings();
// The three check boxes of the action list page from the settings (then the list refills).
void RefreshActionListPage(HWND page);
