// The question for an action's target folder before a row that asks at run time fires.
#pragma once
#include <windows.h>
#include <cstdint>

constexpr int kActionPathDialogTemplate = 206;
constexpr int IDC_ACTION_PATH_TITLE = 343, IDC_ACTION_PATH_EDIT = 309, IDC_ACTION_PATH_BROWSE = 311,
              IDC_ACTION_PATH_KEEP = 454;

// lParam: the action row. Ends with 1 after a valid OK (the row's path is stored), else 0.
INT_PTR CALLBACK ActionPathInputDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shared with the action register dialog. A WM_DROPFILES on a path edit: the edit takes the
// first dropped name (its dialog hears EN_CHANGE as for typing); true when the message was the drop.
bool TakeDroppedPath(HWND edit, UINT message, WPARAM wParam);
// The typed target as the row's path (kPathChars units); false after telling why it is refused.
bool FinishTypedActionPath(HWND dialog, const wchar_t* typed, int32_t kind, char16_t* out);
