// The one shared tooltip window: dialog controls are registered when the cursor enters them,
// toolbar buttons get their text on demand.
#pragma once
#include <windows.h>
#include <cstdint>
#include "browser/pure/toolbar_tables.h"

extern HWND TooltipWindow;

void CreateTooltipWindow(HINSTANCE instance);
void DestroyTooltipWindow();
// From a dialog's WM_SETCURSOR: registers the control under the cursor with its text when it
// is in the table and not registered yet. Always false, so the dialog's cursor handling goes on.
BOOL AddControlTooltip(HWND dialog, HWND windowUnderCursor, const int* ids, const wchar_t* const* texts, int count);
// The toolbar text of a command (the toggled text while its toggle is on) into out
// (80 characters, the TTN_GETDISPINFOW buffer); false, out untouched, when the id is not listed.
bool GetCommandTooltipText(int commandId, const int32_t* ids, const TooltipTextPair* pairs, int count, wchar_t* out);
// TTN_GETDISPINFOW of the toolbars, as forwarded to the main window: TRUE when answered.
BOOL AnswerToolbarTooltip(NMHDR* header);
// Whether a toolbar command's toggle is on (full screen, tree hidden, list focus, ...).
bool IsCommandToggledOn(int commandId);
