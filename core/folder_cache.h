// The thumbnail cache file of each folder or collection shown: written when the list is left,
// read when it is shown again, trimmed to the size limit, listed for the cache history.
#pragma once
#include <windows.h>
#include <cstdint>

// The loaded cache as the list loader reads it: `count` records of the 32-bit entry image at
// `records`, and per record the block offset of its first undo record (0 none). Everything it
// points at has been checked to lie inside the block.
struct LoadedCacheView {
  const uint8_t* block;
  uint32_t size;
  int32_t count;
  const uint32_t* undoOffsets;
  const uint8_t* records;
};
extern LoadedCacheView g_loadedCache;

// Set when the list being left must not be cached; the next write clears it.
extern uint8_t g_skipFolderCache;

void BuildFolderCache();
bool WriteFolderCache();
bool LoadFolderCache();
void AdoptFolderCache();
void ReleaseFolderCache();
// The 15,840 thumbnail bytes of a record of the loaded cache, or null.
const uint8_t* LoadedCacheThumbnail(int32_t cacheIndex);
// The 1,536 histogram-picture bytes (32 x 16, B G R) of the same record, or null.
const uint8_t* LoadedCacheHistogram(int32_t cacheIndex);

// The long form of "<cache folder><list name>.cac" for a folder or a collection's name, which
// opens on a drive and on a share alike; false when there is no cache folder or it does not fit.
bool BuildCacheFilePath(const wchar_t* listName, bool collection, wchar_t* out, size_t capacity);

void TrimCacheFolder(uint64_t limitBytes);

// A row of the cache history: a cached list's folder (or collection) and its file's write time.
#pragma pack(push, 1)
struct CacheHistoryRow {
  uint64_t lastWrite;
  wchar_t folder[260];
};
#pragma pack(pop)
static_assert(sizeof(CacheHistoryRow) == 528, "");
constexpr int kCacheHistoryRows = 128;
int CompareCacheFileTimes(const CacheHistoryRow* a, const CacheHistoryRow* b);
// Fills up to `capacity` rows (at most 128), newest first; returns their count.
int ListCacheFiles(CacheHistoryRow* rows, int capacity);
void ConfirmAndClearDiskCache(HWND owner);
// Deletes the files "<folder>*.<extension>" (folder ends with "\"); true.
bool DeleteFilesByExtension(const wchar_t* folder, const wchar_t* extension);
// Removes the empty sub-folders below the folder (not the folder itself, and never through a
// link or junction); 0 when all went, else the last error.
DWORD RemoveEmptySubfolders(const wchar_t* folder, bool firstCall);
