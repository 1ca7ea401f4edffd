// The about, key-guide and terms-of-use dialogs.
#pragma once
#include <windows.h>

INT_PTR CALLBACK TermsOfUseDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void OpenMakerSite();
