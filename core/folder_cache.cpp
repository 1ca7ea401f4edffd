#include "core/folder_cache.h"

#include <gdiplus.h>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "core/app_globals.h"
#include "core/data_folders.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/list_hooks.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/folder_helpers.h"
#include "core/path_utils.h"
#include "core/pure/folder_cache_format.h"
#include "core/pure/level_rotation.h"
#include "core/safe_file.h"
#include "core/settings.h"
#include "core/write_failure.h"

using namespace Gdiplus;

LoadedCacheView g_loadedCache = {};
uint8_t g_skipFolderCache = 0;

namespace {

constexpr int kCacheNameChars = 1024;
constexpr uint64_t kMiB = 1048576;

struct BuiltCache {
  bool built = false;
  // Marks, turns or undo steps of the user's, or an older file that may still hold some the user
  // took back: a failed write of such a block loses work, and the user is told.
  bool holdsWork = false;
  uint8_t* block = nullptr;
  CacheLayout layout{};
  wchar_t fileName[kCacheNameChars] = {};
};
BuiltCache s_new;
uint8_t* s_loadedBlock = nullptr;
CacheView s_loadedView;
// The cache file of the list shown when it is there but could not be read (held by another
// program, too big for memory): the marks, turns and undo steps it holds are not in the list,
// and a block built from the list never replaces it. A file read and refused is replaced.
wchar_t s_unreadFile[kCacheNameChars] = {};

bool LimitOn() { return g_settings.trimCacheFolder != 0; }

double MinimumCacheVersion() {
  if (!g_cacheVersionText) return 5.16;
  CacheHeader h{};
  for (int i = 0; i < 7 && g_cacheVersionText[i]; ++i) h.version[i] = static_cast<char16_t>(g_cacheVersionText[i]);
  return CacheVersionNumber(h);
}

// The cache file for the folder or collection; false when there is none.
bool FormCacheFileName(const wchar_t* folder, bool collection, int collectionIndex, wchar_t* out) {
  wchar_t cacheFolder[kPathChars];
  if (!GetCacheFolder(cacheFolder)) return false;
  EnsureFolderExists(cacheFolder, 0);  // the data folder itself may be missing too
  const wchar_t* name = folder;
  if (collection) {
    name = g_listHooks.collectionName(collectionIndex);
    if (!name) return false;
  }
  return BuildCacheFilePath(name, collection, out, kCacheNameChars);
}

// A file of a folder by the name a listing gave: cache names are long, hence the long form.
bool DeleteFileIn(const wchar_t* folder, const wchar_t* name) {
  wchar_t path[kCacheNameChars], longPath[kCacheNameChars];
  return swprintf(path, kCacheNameChars, L"%ls%ls", folder, name) > 0 && MakeLongPath(path, longPath, kCacheNameChars) &&
         DeleteFileW(longPath);
}

bool ReadWhole(HANDLE file, void* into, uint32_t bytes) {
  DWORD read = 0;
  return ReadFile(file, into, bytes, &read, nullptr) && read == bytes;
}

void TakeAsLoaded(uint8_t* block, const CacheView& view) {
  s_loadedBlock = block;
  s_loadedView = view;
  const uint32_t n = view.count;
  g_loadedCache.block = block;
  g_loadedCache.size = static_cast<uint32_t>(view.size);
  g_loadedCache.count = static_cast<int32_t>(n);
  g_loadedCache.undoOffsets = reinterpret_cast<const uint32_t*>(block + kCacheHeaderSize);
  g_loadedCache.records = block + kCacheHeaderSize + 8ull * n;
}

int ClampRow(int32_t row, uint32_t count) {
  if (count == 0 || row < 0) return 0;
  return row >= static_cast<int32_t>(count) ? static_cast<int>(count) - 1 : row;
}

// The pixel block of a row: copied from the loaded cache, or read back from the level-0 picture
// (turned upright for the read) and the histogram picture. False when there is none, and for a
// row turned since its picture was drawn: that picture does not have the turn it is undone by.
bool TakeRowPixels(ImageEntry* e, uint8_t* out) {
  const uint8_t* cached = s_loadedView.PixelBlock(e->cacheIndex < 0 ? UINT32_MAX : static_cast<uint32_t>(e->cacheIndex));
  if (cached) {
    std::memcpy(out, cached, kCachePixelBlockSize);
    return true;
  }
  Bitmap* thumb = static_cast<Bitmap*>(e->levelImages[kLevelThumbnail]);
  if (!thumb || !e->histogramPicture || (e->flags & kEntryRenderAgain)) return false;
  static const RotateFlipType kTurns[4] = {RotateNoneFlipNone, Rotate90FlipNone, Rotate180FlipNone,
                                           Rotate270FlipNone};
  int turns = TotalQuarterTurns(e->userRotation, e->exifRotation);
  if (turns) thumb->RotateFlip(kTurns[InverseQuarterTurns(turns)]);
  bool ok = false;
  Rect all(0, 0, kThumbWidth, kThumbHeight);
  BitmapData data;
  if (thumb->GetWidth() == kThumbWidth && thumb->GetHeight() == kThumbHeight &&
      thumb->LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data) == Ok) {
    for (int y = 0; y < kThumbHeight; ++y)
      std::memcpy(out + y * kThumbWidth * 3, static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                  kThumbWidth * 3);
    thumb->UnlockBits(&data);
    ok = true;
    Rect small(0, 0, 32, 16);
    if (e->histogramPicture->LockBits(&small, ImageLockModeRead, PixelFormat24bppRGB, &data) == Ok) {
      for (int y = 0; y < 16; ++y)
        std::memcpy(out + kCacheThumbBytes + y * 96, static_cast<uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                    96);
      e->histogramPicture->UnlockBits(&data);
    } else {
      // The buffer is shared by every row: never leave the previous row's histogram in it.
      std::memset(out + kCacheThumbBytes, 0, kCacheHistogramBytes);
    }
  }
  if (turns) thumb->RotateFlip(kTurns[turns]);
  return ok;
}

// Only the cursor moved: the stored row of an accepted file is rewritten in place.
void RewriteRestoreRow(const wchar_t* name, int32_t row) {
  HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  uint8_t header[kCacheHeaderSize];
  if (ReadWhole(file, header, sizeof header) && AcceptCacheHeader(header, sizeof header, MinimumCacheVersion())) {
    CacheHeader h;
    std::memcpy(&h, header, sizeof h);
    h.restoreRow = ClampRow(row, static_cast<uint32_t>(h.count));
    DWORD written = 0;
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0) WriteFile(file, &h, sizeof h, &written, nullptr);
  }
  CloseHandle(file);
}

void TouchFileTime(const wchar_t* name) {
  HANDLE file = CreateFileW(name, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  SetFileTime(file, nullptr, nullptr, &now);
  CloseHandle(file);
}

// The last cache block let go is kept for the next one that fits: every page of a new block
// costs a fault when it is first written, and on a virtual machine the faults of a thousand rows'
// block (17 MB, 60 ms) cost twice the read of the file into it.
constexpr size_t kSpareBlockLimit = 32u << 20;
uint8_t* s_spareBlock = nullptr;
size_t s_spareBytes = 0;

uint8_t* NewBlock(uint32_t bytes) {
  if (s_spareBlock && s_spareBytes >= bytes) {
    uint8_t* block = s_spareBlock;
    s_spareBlock = nullptr;
    s_spareBytes = 0;
    return block;
  }
  return static_cast<uint8_t*>(AllocVirtual(0, bytes));
}

void LetGoOfBlock(uint8_t* block) {
  if (!block) return;
  MEMORY_BASIC_INFORMATION info{};
  const size_t bytes = VirtualQuery(block, &info, sizeof info) == sizeof info ? info.RegionSize : 0;
  if (bytes == 0 || bytes > kSpareBlockLimit || bytes <= s_spareBytes) {
    FreeVirtual(block);
    return;
  }
  FreeVirtual(s_spareBlock);
  s_spareBlock = block;
  s_spareBytes = bytes;
}

void FreeBuilt() {
  LetGoOfBlock(s_new.block);
  s_new.block = nullptr;
  s_new.built = false;
  s_new.holdsWork = false;
}

bool IsCollectionCacheName(const wchar_t* name) {
  return wcsncmp(name, L"Lib\xFF1A", 4) == 0;
}

}  // namespace

bool BuildCacheFilePath(const wchar_t* listName, bool collection, wchar_t* out, size_t capacity) {
  wchar_t cacheFolder[kPathChars], path[kCacheNameChars];
  return GetCacheFolder(cacheFolder) &&
         BuildCacheFileName(U16(cacheFolder), U16(listName), collection, U16(path), kCacheNameChars) &&
         MakeLongPath(path, out, capacity);
}

void BuildFolderCache() {
  FreeBuilt();
  s_new.layout = CacheLayout{};
  if (g_skipFolderCache || (LimitOn() && g_settings.cacheLimitMiB == 0)) return;
  const wchar_t* folder = g_loadedFolderPath && g_loadedFolderPath[0] ? g_loadedFolderPath : g_currentFolder;
  if (!FormCacheFileName(folder, g_listSource != 0, g_currentCollection, s_new.fileName)) return;
  const uint32_t dirty = g_cacheDirty.exchange(0);
  if (g_entryCount <= 0) {
    // Before the first load nothing was listed: the name is then the folder about to be shown,
    // whose file holds the marks and turns of the last session.
    if (g_loadedFolderPath && g_loadedFolderPath[0]) DeleteFileW(s_new.fileName);
    return;
  }
  if (g_listCount <= 0) return;
  const uint32_t n = static_cast<uint32_t>(std::min<int32_t>(g_listCount, kCacheMaxEntries));
  uint64_t undoTotal = 0;
  for (uint32_t row = 0; row < n; ++row) {
    ImageEntry* e = EntryAtRow(static_cast<int>(row));
    if (e && e->undoRecords && e->undoCount > 0) undoTotal += static_cast<uint32_t>(e->undoCount);
  }
  const bool fileExists = GetFileAttributesW(s_new.fileName) != INVALID_FILE_ATTRIBUTES;
  if (fileExists) {
    if (dirty == 1) {
      RewriteRestoreRow(s_new.fileName, g_savedRow);
      return;
    }
    if (dirty == 0) {
      TouchFileTime(s_new.fileName);
      return;
    }
  }
  CacheLayout layout;
  if (undoTotal > UINT32_MAX || !ComputeCacheLayout(n, static_cast<uint32_t>(undoTotal), &layout)) return;
  if (LimitOn() && static_cast<uint64_t>(g_settings.cacheLimitMiB) * kMiB < layout.totalSize) return;
  uint8_t* block = layout.totalSize <= UINT32_MAX ? NewBlock(static_cast<uint32_t>(layout.totalSize)) : nullptr;
  if (!block) {
    layout.pixelSize = 0;
    layout.totalSize = layout.fixedSize;
    block = NewBlock(layout.fixedSize);
    if (!block) return;
  }
  CacheBlockWriter writer(block, layout, n);
  writer.SetHeader(U16(g_programVersion ? g_programVersion : L""), U16(folder), ClampRow(g_savedRow, n));
  uint8_t image[kCacheEntryImageSize];
  std::vector<uint8_t> pixels(kCachePixelBlockSize);
  bool holdsWork = fileExists;
  for (uint32_t row = 0; row < n; ++row) {
    ImageEntry* e = EntryAtRow(static_cast<int>(row));
    if (!e) {
      std::memset(image, 0, sizeof image);
      writer.AddRow(image, nullptr, 0, nullptr);
      continue;
    }
    EncodeEntryImage(*e, image);
    bool hasPixels = layout.pixelSize != 0 && TakeRowPixels(e, pixels.data());
    uint32_t undo = e->undoRecords && e->undoCount > 0 ? static_cast<uint32_t>(e->undoCount) : 0;
    holdsWork = holdsWork || e->checked || e->userRotation != 0 || undo > 0;
    writer.AddRow(image, reinterpret_cast<const uint8_t*>(e->undoRecords), undo, hasPixels ? pixels.data() : nullptr);
  }
  s_new.block = block;
  s_new.layout = layout;
  s_new.holdsWork = holdsWork;
  s_new.built = true;
}

bool WriteFolderCache() {
  if (g_skipFolderCache) {
    g_skipFolderCache = 0;
    FreeBuilt();
    return false;
  }
  if (LimitOn()) {
    uint64_t limit = static_cast<uint64_t>(std::max<int32_t>(g_settings.cacheLimitMiB, 0)) * kMiB;
    uint64_t total = s_new.built ? s_new.layout.totalSize : 0;
    TrimCacheFolder(limit > total ? limit - total : 0);
  }
  if (!s_new.built || (s_unreadFile[0] && wcscmp(s_new.fileName, s_unreadFile) == 0)) {
    FreeBuilt();
    return false;
  }
  bool ok = WriteFileReplacing(s_new.fileName, s_new.block, static_cast<uint32_t>(s_new.layout.totalSize));
  const DWORD error = LastWriteError();
  const bool tell = !ok && s_new.holdsWork;
  FreeBuilt();
  if (tell)
    ReportWriteFailure(L"次のキャッシュファイルを保存できませんでした。\n"
                       L"このフォルダのチェックマーク・回転・復帰(UNDO)情報は保存されていません。",
                       s_new.fileName, error);
  return ok;
}

bool LoadFolderCache() {
  g_savedRow = 0;
  ReleaseFolderCache();
  s_unreadFile[0] = 0;
  wchar_t name[kCacheNameChars];
  if (!FormCacheFileName(g_currentFolder, g_listSource != 0, g_currentCollection, name)) return false;
  auto unread = [&name] {
    wcscpy(s_unreadFile, name);
    return false;
  };
  HANDLE file =
      CreateFileW(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? false : unread();
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file, &size)) {
    CloseHandle(file);
    return unread();
  }
  if (size.QuadPart < static_cast<LONGLONG>(kCacheHeaderSize)) {
    CloseHandle(file);
    return false;
  }
  const double minVersion = MinimumCacheVersion();
  uint32_t bytes = size.QuadPart <= UINT32_MAX ? static_cast<uint32_t>(size.QuadPart) : 0;
  uint8_t* block = bytes ? NewBlock(bytes) : nullptr;
  bool withPixels = block != nullptr;
  bool refused = false;
  if (!block) {
    // Too big to hold whole: the records and undo steps alone, without the pixels.
    uint8_t header[kCacheHeaderSize];
    CacheHeader h;
    if (ReadWhole(file, header, sizeof header)) {
      refused = !AcceptCacheHeader(header, sizeof header, minVersion);
      std::memcpy(&h, header, sizeof h);
      refused = refused || h.fixedSize > size.QuadPart;
      if (!refused && SetFilePointer(file, 0, nullptr, FILE_BEGIN) == 0) {
        bytes = h.fixedSize;
        block = NewBlock(bytes);
      }
    }
  }
  bool read = block && ReadWhole(file, block, bytes);
  CloseHandle(file);
  if (!read) {
    LetGoOfBlock(block);
    return refused ? false : unread();
  }
  CacheView view;
  if (!OpenCacheView(block, bytes, minVersion, withPixels, &view)) {
    LetGoOfBlock(block);
    return false;
  }
  TakeAsLoaded(block, view);
  if (!g_settings.cursorToFirstRowOnFolderChange) g_savedRow = ClampRow(view.restoreRow, view.count);
  return true;
}

void AdoptFolderCache() {
  if (!s_new.built) return;
  uint8_t* block = s_new.block;
  s_new.block = nullptr;
  s_new.built = false;
  CacheView view;
  if (OpenCacheView(block, static_cast<size_t>(s_new.layout.totalSize), MinimumCacheVersion(),
                    s_new.layout.pixelSize != 0, &view)) {
    ReleaseFolderCache();
    TakeAsLoaded(block, view);
  } else {
    LetGoOfBlock(block);
  }
}

void ReleaseFolderCache() {
  LetGoOfBlock(s_loadedBlock);
  s_loadedBlock = nullptr;
  s_loadedView = CacheView();
  g_loadedCache = LoadedCacheView{};
}

const uint8_t* LoadedCacheThumbnail(int32_t cacheIndex) {
  if (cacheIndex < 0) return nullptr;
  return s_loadedView.PixelBlock(static_cast<uint32_t>(cacheIndex));
}

const uint8_t* LoadedCacheHistogram(int32_t cacheIndex) {
  const uint8_t* pixels = LoadedCacheThumbnail(cacheIndex);
  if (!pixels || !g_loadedCache.block || pixels < g_loadedCache.block) return nullptr;
  const size_t start = static_cast<size_t>(pixels - g_loadedCache.block) + kCacheThumbBytes;
  if (start + kCacheHistogramBytes > g_loadedCache.size) return nullptr;
  return g_loadedCache.block + start;
}

void TrimCacheFolder(uint64_t limitBytes) {
  if (!LimitOn()) return;
  wchar_t folder[kPathChars];
  if (!GetCacheFolder(folder)) return;
  std::wstring pattern = std::wstring(folder) + L"*.cac";
  std::set<std::wstring> undeletable;
  for (;;) {
    WIN32_FIND_DATAW fd;
    HANDLE find = FindFirstFileW(pattern.c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return;
    uint64_t sum = 0;
    std::wstring oldest;
    FILETIME oldestTime{};
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      sum += (static_cast<uint64_t>(fd.nFileSizeHigh) << 32) | fd.nFileSizeLow;
      if (g_settings.keepCollectionCaches && IsCollectionCacheName(fd.cFileName)) continue;
      if (undeletable.count(fd.cFileName)) continue;
      if (oldest.empty() || CompareFileTime(&fd.ftLastWriteTime, &oldestTime) < 0) {
        oldest = fd.cFileName;
        oldestTime = fd.ftLastWriteTime;
      }
    } while (FindNextFileW(find, &fd));
    FindClose(find);
    if (oldest.empty() || sum <= limitBytes) return;
    // A file that cannot be deleted (in use, read-only) is passed over from now on.
    if (!DeleteFileIn(folder, oldest.c_str())) undeletable.insert(oldest);
  }
}

int CompareCacheFileTimes(const CacheHistoryRow* a, const CacheHistoryRow* b) {
  if (a->lastWrite == b->lastWrite) return 0;
  return a->lastWrite > b->lastWrite ? -1 : 1;
}

int ListCacheFiles(CacheHistoryRow* rows, int capacity) {
  wchar_t folder[kPathChars];
  if (!rows || capacity <= 0 || !GetCacheFolder(folder)) return 0;
  if (capacity > kCacheHistoryRows) capacity = kCacheHistoryRows;
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((std::wstring(folder) + L"*.cac").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  std::vector<CacheHistoryRow> all;
  do {
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    CacheHistoryRow row{};
    if (!DecodeCacheFileName(U16(fd.cFileName), reinterpret_cast<char16_t*>(row.folder), kPathChars)) continue;
    row.lastWrite = (static_cast<uint64_t>(fd.ftLastWriteTime.dwHighDateTime) << 32) | fd.ftLastWriteTime.dwLowDateTime;
    all.push_back(row);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  // All of them sorted first, so that the newest are the ones kept.
  std::stable_sort(all.begin(), all.end(),
                   [](const CacheHistoryRow& a, const CacheHistoryRow& b) { return CompareCacheFileTimes(&a, &b) < 0; });
  int count = std::min<int>(capacity, static_cast<int>(all.size()));
  std::copy(all.begin(), all.begin() + count, rows);
  return count;
}

void ConfirmAndClearDiskCache(HWND owner) {
  if (ShowAppMessageBox(owner, L"キャッシュデータを全て削除します。\n実行しますか？", g_productName,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST) != IDYES)
    return;
  wchar_t folder[kPathChars];
  if (GetCacheFolder(folder)) DeleteFilesByExtension(folder, L"cac");
  g_listHooks.fillCacheHistoryCombo();
}

bool DeleteFilesByExtension(const wchar_t* folder, const wchar_t* extension) {
  std::wstring base(folder);
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((base + L"*." + extension).c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return true;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileIn(folder, fd.cFileName);
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  return true;
}

DWORD RemoveEmptySubfolders(const wchar_t* folder, bool firstCall) {
  static DWORD s_lastError = 0;
  if (firstCall) s_lastError = 0;
  std::wstring base(folder);
  if (!base.empty() && base.back() != L'\\') base += L'\\';
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW((base + L"*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return s_lastError;
  do {
    if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
    if (!wcscmp(fd.cFileName, L".") || !wcscmp(fd.cFileName, L"..")) continue;
    // A junction or link leads out of the tree: neither entered nor removed.
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
    std::wstring sub = base + fd.cFileName;
    RemoveEmptySubfolders(sub.c_str(), false);
    if (!RemoveDirectoryW(sub.c_str())) s_lastError = GetLastError();
  } while (FindNextFileW(find, &fd));
  FindClose(find);
  return s_lastError;
}
