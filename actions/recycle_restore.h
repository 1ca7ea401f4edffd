// Puts a file sent to the Recycle Bin back at the path it had.
#pragma once
#include <cstdint>

// True when the file is back at that path (and can be opened).
bool RestoreFromRecycleBin(const wchar_t* path);
bool RestoreFromInfo2RecycleBin(const wchar_t* path);
bool RestoreFromVistaRecycleBin(const wchar_t* path);
