// The display order of the file list: column sorts, dragged rows, callback rows.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/list_pane_state.h"

void SortListByColumn(HWND list, int column, int descending);
void ClearHeaderSortMarks(HWND list);
// draggedList: each item's data is the dragged row's number.
void MoveDraggedRows(HWND list, HWND draggedList, int dropRow);
int InsertListRow(HWND list, int index);
void FillThumbnailList(HWND list, int count);

// Sent by the list thread to the file list (its window procedure answers it on the window's own
// thread): wParam rows of callback items from row 0. Returns the rows inserted plus one, so that 0
// tells a list without the handler.
constexpr UINT InsertRowsMessage = WM_APP + 102;
LRESULT InsertCallbackRows(HWND list, int count);
// The same for taking the sort marks off the header: one message instead of one for each column.
// Returns 1 when done.
constexpr UINT ClearSortMarksMessage = WM_APP + 105;
LRESULT ClearHeaderSortMarksHere(HWND list);
