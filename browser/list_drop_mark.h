// The mark the file list shows during a drag of its own rows: the row under the cursor, before
// which the dragged rows will stand when released there.
#pragma once
#include <windows.h>

// The row the mark is on, -1 while none.
int ListDropRow();
// Moves the mark to a row (-1 removes it); the rows it leaves and reaches are repainted.
void SetListDropRow(HWND list, int row);
// Draws the mark over the painted list (the list's own paint does not know it).
void DrawListDropMark(HWND list);
