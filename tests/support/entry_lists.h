// The program's list state for tests that load folders and their cache files without opening
// its windows.
#pragma once
#include <string>

namespace testsupport {

// The global buffers and entry arrays, and the program version 5.16 that the cache files these
// tests read and write carry. False when the buffers cannot be had.
bool PrepareEntryLists();
// The data folder, where the cache files go, in the settings.
void UseDataFolder(const std::wstring& folder);
// The entries and the folder's cache freed, and no folder counted as loaded: the next load is a
// first one.
void ForgetLoadedList();

}  // namespace testsupport
