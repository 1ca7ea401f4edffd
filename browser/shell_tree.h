// The folder tree of the navigation pane as a browser of the shell namespace: the desktop at
// the top, folders filled when expanded, a selection opening its folder after the idle delay.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <cstdint>

// The data of every tree item, from the shell allocator.
struct ShellTreeItemData {
  IShellFolder* folder;
  LPITEMIDLIST relativeId;
  LPITEMIDLIST fullId;
  ULONG attributes;
  wchar_t parsingPart[1];  // sized at allocation
};

constexpr ULONG kShellTreeAttributeMask = 0xE0020177;
extern wchar_t g_selectedFolderPath[260];
extern int32_t g_treeExpanding;

bool CreateShellTree(HWND tree);
LRESULT HandleShellTreeNotify(HWND tree, NMHDR* header);
void DestroyShellTree(HWND tree);
// Drops every item (their records are freed through TVN_DELETEITEM) and the state record, so
// the tree can be created again.
void ClearShellTree(HWND tree);
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath);
int CALLBACK CompareTreeItems(LPARAM first, LPARAM second, LPARAM folder);
// The file-system folder of an item: from its full ID list, else its parent's parsing name;
// false for items outside the file system (Recycle Bin, virtual folders).
bool GetShellTreeItemFolder(HWND tree, HTREEITEM item, wchar_t* out);
ShellTreeItemData* GetShellTreeItemData(HWND tree, HTREEITEM item);
// The display path of an item: the texts from the desktop down, "\"-joined.
bool GetShellTreeDisplayPath(HWND tree, HTREEITEM item, wchar_t* out, size_t capacity);
