// Watching the shown folder: files that other programs add, change, delete or rename there
// update the entry list and its rows without a reload. One overlapped directory-change request
// is kept pending; the list thread polls it while idle.
#pragma once
#include <windows.h>
#include <cstdint>

// Opens the folder for watching (an empty path or null: nothing is watched); closes the one
// watched before. Called by the list loader while the list thread is stopped.
HANDLE OpenWatchedFolder(const wchar_t* folder);
// Cancels the pending request and closes the folder (when the list is freed).
void CloseWatchedFolder();
// Forgets the event at start-up.
void ResetFolderWatchEvent();
// Issues the request when none is pending and a folder is open.
void ArmFolderWatch();
// Applies one completed batch of changes; true when one was applied. The watch is re-armed.
bool ProcessFolderChanges();
// True once the file's size reads the same twice 100 ms apart (or the file is gone); false
// when it cannot be opened or is still growing after 6 seconds.
bool WaitFileStable(const wchar_t* path);

// Set when a batch was lost (the system's buffer overflowed or the request failed): the list
// must be read again. The idle loop serves it.
extern volatile uint8_t g_folderReloadRequest;
void ServeFolderReloadRequest();

// MoveFileW for the program's own renames of listed files: the watcher ignores the notification
// of that rename however late it arrives (until the folder is closed).
bool MoveOwnFile(const wchar_t* from, const wchar_t* to);
