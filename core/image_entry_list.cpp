#include "core/image_entry_list.h"

#include <commctrl.h>
#include <gdiplus.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <unordered_map>

#include "core/main_window_state.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/folder_watcher.h"
#include "core/list_helpers.h"
#include "core/list_hooks.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pure/catalogue_rules.h"
#include "core/settings.h"
#include "core/stage_clock.h"
#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_pipeline.h"
#include "core/shut_down.h"
#include "core/window_helpers.h"

int32_t g_entryCount = 0;
int32_t g_listCount = 0;
int32_t g_cursorRow = -1;
int32_t g_listSource = 0;
int32_t g_currentCollection = -1;
int32_t g_requestedListSource = 0;
int32_t g_requestedCollection = -1;
wchar_t g_currentFolder[kPathChars] = {};
std::atomic<uint32_t> g_cacheDirty{0};
int32_t g_savedRow = 0;
int32_t g_restoreRow = 0;
std::atomic<uint32_t> g_entryGeneration{0};
uint8_t g_listLoadBlocked = 0;
uint8_t g_listLoading = 0;
uint8_t g_keepCheckMarks = 0;
uint8_t g_regenerateAll = 0;
uint8_t g_deferredLoadPending = 0;
uint8_t g_deferredLoadForce = 0;
int32_t g_deferredLoadDelay = 0;

namespace {

uint32_t s_pumpCalls = 0;

ImageEntry* NewEntry() {
  return static_cast<ImageEntry*>(static_cast<void*>(AllocGlobal(GPTR, sizeof(ImageEntry))));
}

// Everything the entry owns goes with it: its pictures, streams and undo records.
void DestroyEntry(ImageEntry* e) {
  for (int k = kLevelFull; k >= kLevelThumbnail; --k) ReleaseEntryLevel(e, k, 0);
  std::free(e->undoRecords);
  e->undoRecords = nullptr;
  delete e->histogramPicture;
  for (IStream*& s : e->levelStreams) {
    if (s) s->Release();
    s = nullptr;
  }
  GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(e)));
}

// The settings' defaults for a file seen for the first time. False when the path does not fit.
bool FillNewEntry(ImageEntry* e, const wchar_t* path, uint32_t type, uint32_t size, FILETIME time) {
  std::memset(e, 0, sizeof(*e));
  if (wcslen(path) >= kEntryPathChars) return false;
  e->currentUndo = -1;
  e->cacheIndex = -1;
  e->movieSlot = 255;
  e->volume = static_cast<int8_t>(g_settings.movieInitialVolume);
  if (g_settings.movieRepeatDefault == 1) e->flags ^= kEntryMovieRepeat;
  wcscpy(EntryPath(e), path);
  SetEntryNamePointer(e);
  e->presence = kEntryPresent;
  e->info.fileTypeFlag = type;
  e->info.fileSize = size;
  e->info.fileTimeLow = time.dwLowDateTime;
  e->info.fileTimeHigh = time.dwHighDateTime;
  return true;
}

bool SameFileState(const ImageEntry* e, uint32_t size, FILETIME time) {
  return e->info.fileSize == size && e->info.fileTimeLow == time.dwLowDateTime &&
         e->info.fileTimeHigh == time.dwHighDateTime;
}

int CachedRecordCount() {
  const LoadedCacheView& c = g_loadedCache;
  if (!c.block || !c.records || c.count <= 0) return 0;
  if (c.records < c.block) return 0;
  uint64_t room = c.size - static_cast<uint64_t>(c.records - c.block);
  if (c.records - c.block > static_cast<ptrdiff_t>(c.size)) return 0;
  uint64_t fit = room / kEntryImageSize;
  int n = c.count > kMaxEntries ? kMaxEntries : c.count;
  return static_cast<int>(static_cast<uint64_t>(n) > fit ? fit : n);
}

// Copies the record's undo steps out of the cache block; a step list that does not lie inside
// the block is dropped.
void TakeCachedUndo(int index, ImageEntry* e) {
  const LoadedCacheView& c = g_loadedCache;
  uint32_t offset = c.undoOffsets ? c.undoOffsets[index] : 0;
  uint64_t bytes = static_cast<uint64_t>(e->undoCount) * sizeof(UndoRecord);
  e->undoRecords = nullptr;
  if (e->undoCount > 0 && offset != 0 && offset + bytes <= c.size) {
    e->undoRecords = static_cast<UndoRecord*>(std::malloc(static_cast<size_t>(bytes)));
    if (e->undoRecords) std::memcpy(e->undoRecords, c.block + offset, static_cast<size_t>(bytes));
  }
  if (!e->undoRecords) {
    e->undoCount = 0;
    e->currentUndo = -1;
  }
  for (int i = 0; i < e->undoCount; ++i) e->undoRecords[i].path[kEntryPathChars - 1] = 0;
}

std::u16string FoldedKey(const char16_t* text) {
  std::u16string key(text);
  for (char16_t& c : key) c = FoldLower(c);
  return key;
}

using EntryIndex = std::unordered_map<std::u16string, int>;

// Step one of both loaders: the cache's records, as vanished rows until their file is seen.
// keep decides per record whether it is listed. Returns false when memory ran out.
template <typename Keep>
bool TakeCachedRecords(const wchar_t* folderPrefix, Keep keep, EntryIndex* byKey, bool keyIsName) {
  int n = CachedRecordCount();
  bool rewrite = false;
  for (int i = 0; i < n; ++i) {
    ImageEntry e;
    DecodeEntryImage(g_loadedCache.records + static_cast<size_t>(i) * kEntryImageSize, kEntryImageSize, &e);
    if (folderPrefix && i == 0) {
      wchar_t folderPart[kPathChars];
      size_t nameAt = static_cast<size_t>(e.name - e.path);
      wcsncpy(folderPart, EntryPath(&e), nameAt);
      folderPart[nameAt] = 0;
      rewrite = wcscmp(folderPart, folderPrefix) != 0;
    }
    if (rewrite) {
      wchar_t moved[kPathChars * 2];
      swprintf(moved, kPathChars * 2, L"%ls%ls", folderPrefix, EntryName(&e));
      if (wcslen(moved) >= kEntryPathChars) moved[0] = 0;
      wcscpy(EntryPath(&e), moved);
      SetEntryNamePointer(&e);
    }
    bool take = (e.info.fileTypeFlag & g_settings.enabledImageTypes) && e.path[0] && keep(EntryPath(&e));
    if (!take || g_entryCount >= kMaxEntries) {
      g_cacheDirty |= 2;
    } else {
      ImageEntry* entry = NewEntry();
      if (!entry) return false;
      *entry = e;
      SetEntryNamePointer(entry);
      entry->fullLevelSize = 0;
      entry->developMode = 0;
      entry->flags &= kEntryFlagsKeptFromCache;
      if (entry->flags & kEntryInfoRead) entry->flags ^= kEntryThumbFromCache;
      entry->cacheIndex = i;
      entry->moviePosition = 0;
      entry->movieSlot = 255;
      TakeCachedUndo(i, entry);
      if (g_regenerateAll == 1) {
        entry->flags |= kEntryRenderAgain;
        g_cacheDirty |= 2;
        entry->cacheIndex = -1;
      }
      MarkEntriesForRegeneration(entry);
      entry->presence = kEntryVanished;
      entry->mediaNumber = 0;
      (*byKey)[FoldedKey(keyIsName ? entry->name : entry->path)] = g_entryCount;
      g_entryPointers[g_entryCount++] = entry;
    }
    StepProgressBar();
    PumpWhileLoading();
  }
  return true;
}

// A listed file met again: it is present, and an undo step that took it away no longer counts.
// False when the entry must be made anew.
bool ReviveEntry(int number, uint32_t size, FILETIME time) {
  ImageEntry* e = EntryAt(number);
  if (!SameFileState(e, size, time)) return false;
  e->presence = kEntryPresent;
  if (e->currentUndo >= 0) {
    if (!e->undoRecords || e->currentUndo >= e->undoCount) {
      e->currentUndo = -1;
      return false;
    }
    UndoRecord& r = e->undoRecords[e->currentUndo];
    if (IsFileGoneKind(r.kind)) {
      r.kind = 0;
      --e->currentUndo;
      g_cacheDirty |= 2;
    }
  }
  SetEntryActionText(number);
  return true;
}

void RenewEntry(int number, const wchar_t* path, uint32_t type, uint32_t size, FILETIME time) {
  ImageEntry* e = EntryAt(number);
  g_listHooks.clearEntryUndoList(number);
  for (int k = kLevelFull; k >= kLevelThumbnail; --k) ReleaseEntryLevel(e, k, 0);
  delete e->histogramPicture;
  FillNewEntry(e, path, type, size, time);
}

// False when no entry could be made (the list is full or memory ran out).
bool AppendNewEntry(const wchar_t* path, uint32_t type, uint32_t size, FILETIME time, uint8_t presence) {
  if (g_entryCount >= kMaxEntries) return false;
  ImageEntry* e = NewEntry();
  if (!e) return false;
  if (!FillNewEntry(e, path, type, size, time)) {
    GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(e)));
    return true;
  }
  e->presence = presence;
  // The folder watcher appends on the list thread: the entry is in place before the count shows it.
  g_entryPointers[g_entryCount] = e;
  MemoryBarrier();
  ++g_entryCount;
  return true;
}

// A file a loader met: its cached entry (looked up by key) comes back or is made anew, else a
// new entry is added while there is room. False when memory ran out: adding stops.
bool TakeListedFile(const EntryIndex& cached, int cachedEntries, const char16_t* key, const wchar_t* path,
                    uint32_t type, uint32_t size, FILETIME time) {
  int found = -1;
  if (cachedEntries > 0) {
    auto it = cached.find(FoldedKey(key));
    if (it != cached.end() && EntryAt(it->second)->info.fileTypeFlag) found = it->second;
  }
  bool memoryLeft = true;
  if (found >= 0) {
    if (!ReviveEntry(found, size, time)) RenewEntry(found, path, type, size, time);
  } else if (g_entryCount < kMaxEntries) {
    memoryLeft = AppendNewEntry(path, type, size, time, kEntryPresent);
  }
  StepProgressBar();
  PumpWhileLoading();
  return memoryLeft;
}

// Calls take(path, type, find data) for each listed file matching "<folder>\\<name>" until it
// answers false.
template <typename Take>
void ForEachTypedFile(const wchar_t* folder, const wchar_t* name, Take take) {
  // A drive's root ends with its separator: a second one would go into every entry's path.
  wchar_t pattern[kPathChars * 2];
  if (!JoinFolderAndName(folder, name, pattern, kPathChars * 2)) return;
  WIN32_FIND_DATAW fd;
  // Without the short names, which Wine makes up for every file, and in large batches.
  HANDLE find = FindFirstFileExW(pattern, FindExInfoBasic, &fd, FindExSearchNameMatch, nullptr,
                                 FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    uint32_t type = GetFileTypeFlag(fd.cFileName);
    if (!type) continue;
    wchar_t path[kPathChars * 2];
    if (!JoinFolderAndName(folder, fd.cFileName, path, kPathChars * 2)) continue;
    if (!take(path, type, fd)) break;
  } while (FindNextFileW(find, &fd));
  FindClose(find);
}

// A file that nobody holds open for writing (opening it while denying writers works) and that was
// last written a few seconds ago is not growing; only other files need the stability wait, whose
// two readings 100 ms apart made every folder open a tenth of a second slower. Either test alone
// misleads: a writer outside Windows (under Wine) holds no share lock, and Windows may leave the
// write time of a file being copied at its source's.
bool SettledFile(const wchar_t* path) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME written{};
  bool known = GetFileTime(file, nullptr, nullptr, &written) != 0;
  CloseHandle(file);
  if (!known) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const uint64_t a = (static_cast<uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
  const uint64_t b = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  constexpr uint64_t kSettledTicks = 3ull * 10000000ull;  // 3 s in 100 ns steps
  return b > a && b - a >= kSettledTicks;
}

void FinishLoad() {
  ShowProgressStep();
  MarkFlaggedEntries();
  StageClock settle(kClockSettle);
  if (g_entryCount > 0) {
    const wchar_t* last = EntryPath(EntryAt(g_entryCount - 1));
    if (!SettledFile(last)) WaitFileStable(last);  // bounded by its own 60 x 100 ms
  }
  for (int i = 0; i < g_entryCount; ++i) g_displayOrder[i] = static_cast<uint16_t>(i);
}

}  // namespace

void PumpWhileLoading() {
  // The window answers every 32 files. No sleep here: a millisecond slept every 32 files cost a
  // large folder more than its whole walk. The capture can only be lost to a message, so it is
  // checked after the pump (under Wine each check is a round trip to the server).
  if (++s_pumpCalls % 32 != 0) return;
  PumpMessages(0);
  if (g_hwndMain && GetCapture() != g_hwndMain) {
    SetCapture(g_hwndMain);
    SetCursor(LoadCursorW(nullptr, g_captureCursor ? g_captureCursor : IDC_WAIT));
  }
}

void MarkEntriesForRegeneration(ImageEntry* e) {
  bool again = false;
  if (e->info.fileTypeFlag == kFileTypeMef) {
    // The MEF thumbnail range follows the Mamiya development setting.
    int32_t wanted = g_settings.mamiyaThumbsByDevelopment ? 0 : 0x40000;
    if (e->info.thumbSize != wanted) {
      e->info.thumbSize = wanted;
      again = true;
    }
  } else if (e->info.fileTypeFlag == kMovieTypeFlag) {
    again = e->movieThumbSecond != g_settings.movieThumbSecond;
  }
  if (again) {
    e->flags |= kEntryRenderAgain;
    g_cacheDirty |= 2;
    e->cacheIndex = -1;
  }
}

void LoadFolderEntries(const wchar_t* folder) {
  g_listCount = 0;
  g_cursorRow = -1;
  wchar_t prefix[kPathChars + 1];
  swprintf(prefix, kPathChars + 1, L"%ls\\", folder);
  EntryIndex byName;
  bool hideDeleted = g_settings.hideDeletedFiles != 0;
  StageClock records(kClockCacheRecords);
  bool memoryLeft = TakeCachedRecords(
      prefix, [&](const wchar_t* path) { return !hideDeleted || PathExists(path); }, &byName, true);
  records.Stop();
  int cachedEntries = g_entryCount;
  StageClock walk(kClockWalk);
  if (memoryLeft) {
    ForEachTypedFile(folder, L"*.*", [&](const wchar_t* path, uint32_t type, const WIN32_FIND_DATAW& fd) {
      return TakeListedFile(byName, cachedEntries, U16(fd.cFileName), path, type, fd.nFileSizeLow, fd.ftLastWriteTime);
    });
  }
  OpenWatchedFolder(folder);
  walk.Stop();
  FinishLoad();
}

void LoadCollectionEntries() {
  g_listCount = 0;
  g_cursorRow = -1;
  const wchar_t* list = g_listHooks.currentCollectionList();
  EntryIndex byPath;
  bool hideDeleted = g_settings.hideDeletedFiles != 0;
  bool memoryLeft = TakeCachedRecords(
      nullptr,
      [&](const wchar_t* path) {
        return list && ContainsLine(U16(list), U16(path), true) && (!hideDeleted || PathExists(path));
      },
      &byPath, false);
  int cachedEntries = g_entryCount;

  for (const wchar_t* p = list; memoryLeft && p && *p;) {
    const wchar_t* end = wcschr(p, L'\n');
    size_t len = end ? static_cast<size_t>(end - p) : wcslen(p);
    wchar_t path[kPathChars];
    bool fits = len > 0 && len < kPathChars;
    if (fits) {
      wmemcpy(path, p, len);
      path[len] = 0;
    }
    p = end ? end + 1 : p + len;
    if (!fits) continue;
    uint32_t type = GetFileTypeFlag(path);
    if (!type) continue;
    BY_HANDLE_FILE_INFORMATION fi;
    std::memset(&fi, 0, sizeof fi);
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      if (!GetFileInformationByHandle(file, &fi)) std::memset(&fi, 0, sizeof fi);
      CloseHandle(file);
    }
    if (!TakeListedFile(byPath, cachedEntries, U16(path), path, type, fi.nFileSizeLow, fi.ftLastWriteTime)) break;
  }
  OpenWatchedFolder(L"");
  FinishLoad();
}

void AddFileEntries(const wchar_t* folder, const wchar_t* name) {
  if (g_entryCount >= kMaxEntries) return;
  g_cacheDirty |= 2;
  ForEachTypedFile(folder, name, [](const wchar_t* path, uint32_t type, const WIN32_FIND_DATAW& fd) {
    return AppendNewEntry(path, type, fd.nFileSizeLow, fd.ftLastWriteTime, kEntryPresent | kEntrySelected);
  });
}

void FreeImageEntries() {
  // No viewer thread may be inside an entry while it is freed.
  g_listHooks.stopViewerThreads();
  g_listHooks.releaseAllMovieSlots();
  int count = g_entryCount;
  g_listCount = 0;
  g_cursorRow = -1;
  if (g_displayOrder) std::memset(g_displayOrder, 0, kMaxEntries * sizeof(uint16_t));
  g_entryCount = 0;
  ++g_entryGeneration;
  Sleep(1);
  // A worker left running at shut-down may still be inside an entry: the process exit frees them.
  if (g_shuttingDown && g_abandonedThreads > 0) count = 0;
  // Bounded by the count taken above, not by g_entryCount, which is 0 by now.
  for (int i = 0; i < count; ++i) {
    ImageEntry* e = EntryAt(i);
    if (!e) continue;
    DestroyEntry(e);
    g_entryPointers[i] = nullptr;
  }
  CloseWatchedFolder();
}

void ResetImageEntryArrays() {
  if (g_entryPointers) std::memset(g_entryPointers, 0, kMaxEntries * sizeof(void*));
  g_entryCount = 0;
  ++g_entryGeneration;
  g_listCount = 0;
  g_cursorRow = -1;
}

void ReplacePathInCurrentCollection(const wchar_t* oldPath, const wchar_t* newPath) {
  const wchar_t* list = g_listHooks.currentCollectionList();
  std::u16string replaced;
  if (list && ReplaceLine(U16(list), U16(oldPath), U16(newPath), &replaced)) {
    g_listHooks.setCollectionList(g_currentCollection, reinterpret_cast<const wchar_t*>(replaced.c_str()));
  }
}

void ReloadCurrentList(uint8_t regenerate) {
  g_regenerateAll = regenerate;
  g_cacheDirty |= 2;
  g_listHooks.loadListContents(1, 1, 2);
}
