// The file-list pane (the main window's right-hand child) and its list control's subclass.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

#include "core/list_pane_state.h"
#include "core/overlay_marks.h"

INT_PTR CALLBACK FileListPaneDlgProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FileListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);
// The list commands the pane serves itself (style toggle, row update, clipboard, file types).
void RunListPaneCommand(HWND pane, int id, LPARAM lParam);
constexpr int kReloadListCommand = 228;
// The selected rows of a list, in row order, below the list count.
std::vector<int> SelectedRows(HWND list);
// The GPS position of the first target: opened from its own position when it has one, else
// estimated from the GPS logs of the shown folder by its shooting time.
void EstimateGpsPositionCommand(HWND pane);
// Bit of the enabled image types a file-type command toggles; 0 when id is not one.
uint32_t FileTypeCommandBit(int id);
