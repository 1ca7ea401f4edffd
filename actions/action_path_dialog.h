// The question for an action's target folder before a row that asks at run time fires.
#pragma once
#include <windows.h>

constexpr int kActionPathDialogTemplate = 206;
constexpr int IDC_ACTION_PATH_TITLE = 343, IDC_ACTION_PATH_EDIT = 309, IDC_ACTION_PATH_BROWSE = 311,
              IDC_ACTION_PATH_KEEP = 454;

// lParam: the action row. Ends with 1 after a valid OK (the row's path is stored), else 0.
INT_PTR CALLBACK ActionPathInputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
