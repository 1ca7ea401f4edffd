// What the user sees while dragging files out of the list, and the drops the program handles
// itself: reordering the list, copying or moving into a folder, adding to a collection.
#pragma once
#include <windows.h>
#include <cstdint>

extern uint8_t g_dragActive;           // a drag out of the list runs
extern uint8_t g_treeSelectionFrozen;  // tree rebuilds leave the selection alone meanwhile
extern int32_t g_dragTargetTree;       // control id of the tree that takes drops
extern uint8_t g_dropTargetValid;      // the tree item under the cursor takes the drop
extern uint8_t g_dragMoves;            // releasing now moves rather than copies

void OpenDragPopups(HWND owner);
void TrackFileDrag(HWND listPane, int screenX, int screenY);
void UpdateDropFeedback(HWND listPane, HWND list, HWND tree);
// 0: not handled here (OLE delivers the drop); 1 copied, 2 moved by the program itself.
int FinishFileDrag(HWND listPane);

INT_PTR CALLBACK DragMarkerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DragListDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
