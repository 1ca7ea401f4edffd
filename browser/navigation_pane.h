// The navigation pane: the folder and collection trees, their menus and commands, drops from
// other programs and the splitter at its right edge.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

constexpr UINT kNavRefreshCommand = 112;
extern HTREEITEM g_targetTreeItem;
extern int32_t g_targetCollection;
extern uint8_t g_renameByCommand;
extern uint8_t g_labelEditActive;
extern uint8_t g_treeDrivenByCode;
// The next folder-cache write is skipped: the folder or collection being left was deleted.
// Read by the hover popups: a context menu of a tree is open.
extern uint8_t g_navContextMenuOpen;

INT_PTR CALLBACK NavigationPaneDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// 0 nothing, 1 an item, 3 its expand button.
int HitTestFolderTree(HWND tree, int useSelection, HTREEITEM* out);
int HitTestCollectionTree(HWND tree, int useSelection, HTREEITEM* out);
// One entry into g_targetFolder; 1 when done.
int CopyEntryToTargetFolder(int32_t entry);
int MoveEntryToTargetFolder(int32_t entry);
