// The main window caption, the favourite folders and the opening of a favourite or cached
// folder.
#pragma once
#include <cstdint>

void UpdateMainCaption(const wchar_t* prefix);
struct CaptionParts {
  const wchar_t* prefix;
  const wchar_t* product;
  const wchar_t* version;
  int32_t listSource;  // 0 folder, else collections
  const wchar_t* folder;
  const wchar_t* collection;
};
// The caption text, cut to the capacity; returns its length.
int FormatMainCaption(const CaptionParts& parts, wchar_t* out, int capacity);

bool AddFavouriteFolder(const wchar_t* path);
bool SetFavouriteFolder(int row, const wchar_t* path);
bool RemoveFavouriteFolder(int row);
bool OpenFavouriteFolder(int row);
bool OpenCachedFolder(int index);
