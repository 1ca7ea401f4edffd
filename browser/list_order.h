// The display order of the file list: column sorts, dragged rows, callback rows.
#pragma once
#include <windows.h>
#include <cstdint>

extern uint16_t g_sortColumn;
extern int16_t g_sortDescending;

void SortListByColumn(HWND list, int column, int descending);
void ClearHeaderSortMarks(HWND list);
// draggedList: each item's data is the dragged row's number.
void MoveDraggedRows(HWND list, HWND draggedList, int dropRow);
int InsertListRow(HWND list, int index);
void FillThumbnailList(HWND list, int count);
