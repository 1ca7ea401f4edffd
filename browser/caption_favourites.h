// The main window caption, the favourite folders and the opening of a favourite or cached
// folder.
#pragma once
#include <cstdint>

void UpdateMainCaption(const wchar_t* prefix);
// Builds the caption text (the caption setter without a window); returns its length.
int FormatMainCaption(const wchar_t* prefix, wchar_t* out, int capacity);

bool AddFavouriteFolder(const wchar_t* path);
bool SetFavouriteFolder(int row, const wchar_t* path);
bool RemoveFavouriteFolder(int row);
bool OpenFavouriteFolder(int row);
bool OpenCachedFolder(int index);
