// Two modal dialogs that only collect input: the name of a new folder, and the options of the
// sub-folder merge.
#pragma once
#include <windows.h>

constexpr int kNewFolderDialog = 167;
constexpr int kSubfolderMergeDialog = 163;

extern wchar_t g_newFolderNameText[256];

INT_PTR CALLBACK NewFolderDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SubfolderMergeDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
