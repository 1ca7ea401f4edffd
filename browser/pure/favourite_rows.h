// The favourite-folder rows of the settings block: most recent first, used rows together
// from row 0.
#pragma once
#include "core/pure/settings_records.h"

constexpr int kFavouriteRows = 128;
using SamePathFn = bool (*)(const char16_t* a, const char16_t* b);

// Puts the path first, once: equal rows are removed, the others move down one place and the
// last falls off when all rows are used. An empty path changes nothing.
void AddFavouriteRow(FavouriteFolderRow rows[kFavouriteRows], const char16_t* path, SamePathFn samePath);
// Replaces the path of a row (the used flag stays); rows outside 0..127 are ignored.
void SetFavouriteRow(FavouriteFolderRow rows[kFavouriteRows], int row, const char16_t* path);
// Moves the rows below up one place and clears the last row.
void RemoveFavouriteRow(FavouriteFolderRow rows[kFavouriteRows], int row);
