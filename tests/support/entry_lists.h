// The program's list state for tests that load folders and their cache files without opening
// its windows.
#pragma once
#include <cstdint>
#include <string>

struct ImageEntry;

namespace testsupport {

// The global buffers and entry arrays, and the program version 5.16 that the cache files these
// tests read and write carry. False when the buffers cannot be had.
bool PrepareEntryLists();
// The data folder, where the cache files go, in the settings.
void UseDataFolder(const std::wstring& folder);
// The entries and the folder's cache freed, and no folder counted as loaded: the next load is a
// first one.
void ForgetLoadedList();

// An entry of its own for a file, outside the list: present, of the file type flag and camera
// model row given (the unknown model's when negative; the model index must be built). Freed with
// its pictures by DeleteFileEntry.
ImageEntry* NewFileEntry(const std::wstring& path, uint32_t type, int modelRow = -1);
void DeleteFileEntry(ImageEntry* entry);
// Level 0 as the thumbnail pass makes it on its locked road, with the lock it holds.
bool BuildThumbnailLocked(ImageEntry* entry);

}  // namespace testsupport
