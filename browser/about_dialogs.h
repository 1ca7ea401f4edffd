// The about, key-guide and terms-of-use dialogs.
#pragma once
#include <windows.h>

// Parameter 0: about the program; 1: the notice that a newer version is published.
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// Modeless: lives until its close box is used.
INT_PTR CALLBACK KeyGuideDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK TermsOfUseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OpenMakerSite();
