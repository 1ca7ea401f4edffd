// File-system tests and shell item-ID list handling shared by the panes, the list and the watcher.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <cstddef>
#include <cstdint>

// Folder or file; the two names are one test.
bool PathExists(const wchar_t* path);
bool FileExists(const wchar_t* path);
// Low 32 bits of the size; 0 for a folder or a file that cannot be opened. Opened shared for
// reading and writing, so a file another process is writing still answers.
uint32_t GetFileSizeOfPath(const wchar_t* path);
bool GetFileWriteTime(FILETIME* out, const wchar_t* path);
// Bytes free for the caller on the drive of the path (a network path is asked as a whole); 0 on failure.
uint64_t GetFreeDiskSpace(const wchar_t* path);

// SHFileOperationW with BusyFlag set; a failure holds the flag 200 ms longer.
int RunShellFileOperation(SHFILEOPSTRUCTW* op);
int RunShellFileOperationDelayed(SHFILEOPSTRUCTW* op);
// An operation counts as done only when it answered 0 and nothing was aborted.
bool ShellFileOperationDone(int result, const SHFILEOPSTRUCTW& op);

// Item-ID lists from here come from the shell allocator; free them with it.
void* ShellAllocZeroed(size_t bytes);
uint32_t GetIdListSize(LPCITEMIDLIST list);
LPCITEMIDLIST NextItemId(LPCITEMIDLIST item);
LPITEMIDLIST CopyItemId(IMalloc* allocator, LPCITEMIDLIST list);
LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second);

// Names into 260-character buffers.
uint8_t GetShellItemDisplayName(IShellFolder* folder, LPCITEMIDLIST child, DWORD flags, wchar_t* out);
bool GetShellItemParentPath(IShellFolder* folder, LPCITEMIDLIST child, wchar_t* out);

// Folder tree items: 0 on success, -1 on failure. The tree's top item is not part of any path.
int GetTreeItemText(HWND tree, HTREEITEM item, wchar_t* out);
int GetTreeItemPath(HWND tree, HTREEITEM item, wchar_t* out);
// The same on the navigation pane's folder tree.
int GetTreeItemText(HTREEITEM item, wchar_t* out);
int GetTreeItemPath(HTREEITEM item, wchar_t* out);
