#include "browser/pure/favourite_rows.h"

#include <cstring>

#include "core/pure/settings_rules.h"

void AddFavouriteRow(FavouriteFolderRow rows[kFavouriteRows], const char16_t* path, SamePathFn samePath) {
  if (!path || !path[0]) return;
  // Copy first: the path may point into a row that moves.
  FavouriteFolderRow fresh{};
  fresh.used = 1;
  CopyText16(fresh.path, 260, path);
  for (int row = 0; row < kFavouriteRows;) {
    if (rows[row].path[0] && samePath(rows[row].path, fresh.path))
      RemoveFavouriteRow(rows, row);
    else
      ++row;
  }
  int last = 0;
  while (last < kFavouriteRows - 1 && rows[last].path[0]) ++last;
  std::memmove(&rows[1], &rows[0], sizeof(FavouriteFolderRow) * last);
  rows[0] = fresh;
}

void SetFavouriteRow(FavouriteFolderRow rows[kFavouriteRows], int row, const char16_t* path) {
  if (row < 0 || row >= kFavouriteRows || !path) return;
  CopyText16(rows[row].path, 260, path);
}

void RemoveFavouriteRow(FavouriteFolderRow rows[kFavouriteRows], int row) {
  if (row < 0 || row >= kFavouriteRows) return;
  std::memmove(&rows[row], &rows[row + 1], sizeof(FavouriteFolderRow) * (kFavouriteRows - 1 - row));
  std::memset(&rows[kFavouriteRows - 1], 0, sizeof(FavouriteFolderRow));
}
