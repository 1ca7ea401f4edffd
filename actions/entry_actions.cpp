#include "actions/entry_actions.h"

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <cwchar>

#include "actions/action_history.h"
#include "actions/batch_rename.h"
#include "actions/pure/action_table.h"
#include "actions/recycle_restore.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/status_bar.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/folder_helpers.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"

namespace {
constexpr uint32_t kStatusSel = 0x40, kStatusSize = 0x80, kStatusFile = 0x100, kStatusTotal = 0x200;
constexpr FILEOP_FLAGS kRecycleFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;
constexpr FILEOP_FLAGS kDeleteFlags = FOF_SILENT | FOF_NOCONFIRMATION;

uint32_t g_fileOperationCalls = 0;

struct PendingStamp {
  int32_t entry = -1;
  ProductStamp stamp{};
};
PendingStamp g_pendingStamp;

void PumpNow() {
  if (g_fileOperationCalls++ % 16 == 0) PumpMessages(1);
}

// A shell operation on one file; the buffers end in two NULs.
bool RunFileOperation(UINT func, const wchar_t* from, const wchar_t* to, FILEOP_FLAGS flags) {
  wchar_t source[kPathChars + 2] = {}, target[kPathChars + 2] = {};
  if (wcslen(from) >= kPathChars || (to && wcslen(to) >= kPathChars)) return false;
  wcscpy(source, from);
  if (to) wcscpy(target, to);
  SHFILEOPSTRUCTW op{};
  op.hwnd = g_hwndMain;
  op.wFunc = func;
  op.pFrom = source;
  op.pTo = to ? target : nullptr;
  op.fFlags = flags;
  const int result = RunShellFileOperationDelayed(&op);
  return ShellFileOperationDone(result, op);
}

bool StampOf(const wchar_t* path, ProductStamp* stamp) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path, GetFileExInfoStandard, &data)) return false;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  stamp->size = data.nFileSizeLow;
  stamp->timeLow = data.ftLastWriteTime.dwLowDateTime;
  stamp->timeHigh = data.ftLastWriteTime.dwHighDateTime;
  return true;
}


// The row's folder with its final '\', resolved against the image; false when it does not fit.
bool TargetFolderOf(const ImageEntry* e, const wchar_t* path, wchar_t* folder) {
  char16_t given[kPathChars] = {};
  if (!CopyText(given, kPathChars, U16(path ? path : L""))) return false;
  if (!AppendFolderSeparator(given, kPathChars)) return false;
  return ResolveAgainstImageFolder(e->path, given, U16(folder), kPathChars);
}

bool JoinPath(const wchar_t* folder, const wchar_t* name, wchar_t* out) {
  if (wcslen(folder) + wcslen(name) + 1 > kPathChars) return false;
  swprintf(out, kPathChars, L"%ls%ls", folder, name);
  return true;
}

void FormatLocalTime(const FILETIME& utc, char16_t* out, size_t capacity) {
  FILETIME local{};
  SYSTEMTIME st{};
  FileTimeToLocalFileTime(&utc, &local);
  FileTimeToSystemTime(&local, &st);
  wchar_t text[32];
  swprintf(text, 32, L"%04d/%02d/%02d %02d:%02d:%02d", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
           st.wSecond);
  CopyText(out, capacity, U16(text));
}

// The entry after its orientation changed in the file.
void ApplyOrientation(ImageEntry* e, int32_t value, int32_t exifTurns, const FILETIME& time) {
  e->exifRotation = static_cast<int8_t>(exifTurns);
  e->userRotation = 0;
  e->info.orientation = static_cast<int8_t>(value);
  e->info.fileTimeLow = time.dwLowDateTime;
  e->info.fileTimeHigh = time.dwHighDateTime;
  e->flags |= kEntryRenderAgain | kEntryRotated;
  g_listChanged = 1;
  FormatLocalTime(time, e->info.fileTimeText, sizeof e->info.fileTimeText / sizeof(char16_t));
  wchar_t text[8];
  swprintf(text, 8, L"%d", value);
  CopyText(e->info.orientationText, sizeof e->info.orientationText / sizeof(char16_t), U16(text));
  g_redrawFlag = 1;
}

int32_t RotateLosslessly(ImageEntry* e, int32_t entry) {
  if (!IsEntryFileInPlace(entry) || e->info.orientationOffset <= 0 || e->userRotation == 0) return kActionSkipped;
  const int32_t old = e->info.orientation;
  const int32_t value = RotatedOrientation(old, e->userRotation);
  if (!value) return kActionSkipped;
  FILETIME time{};
  if (!WriteOrientationValue(EntryPath(e), e->info.orientationOffset, e->info.orientationByteOrder, old, value,
                             g_settings.keepTimeOnLosslessRotation == 1, &time))
    return kActionFailed;
  char16_t undo[kPathChars];
  StoreRotationUndo(undo, old, e->exifRotation, e->userRotation);
  std::memcpy(g_pendingUndoPath, undo, sizeof undo);
  ApplyOrientation(e, value, ((e->userRotation + e->exifRotation) % 4 + 4) % 4, time);
  return kActionDone;
}

// Removes the product of an action for its undo: only the file the action made, and only to
// the Recycle Bin. 1 gone, 2 nothing of ours to remove, 0 the removal failed.
int32_t RecycleProduct(int32_t kind, const wchar_t* product, const char16_t* recordText) {
  if (!FileExists(product)) return kActionSkipped;
  ProductStamp kept{}, now{};
  const bool stamped = ReadProductStamp(recordText, &kept);
  // A development's name is often taken by another file of the pair: without its stamp the
  // file there cannot be told to be ours.
  if (!stamped && (kind == 7 || kind == 8)) return kActionSkipped;
  if (stamped) {
    if (!StampOf(product, &now) || now.size != kept.size || now.timeLow != kept.timeLow ||
        now.timeHigh != kept.timeHigh)
      return kActionSkipped;
  }
  return RunFileOperation(FO_DELETE, product, nullptr, kRecycleFlags) && !FileExists(product) ? kActionDone
                                                                                              : kActionFailed;
}

void PopRecord(ImageEntry* e) {
  PopUndoRecord(e);
  UpdateStatusCounters(kStatusSel | kStatusSize | kStatusFile | kStatusTotal | 0x8);
}

// Drops a record whose product is gone, so the next undo reaches the older one.
void DropRecord(ImageEntry* e) {
  e->undoRecords[e->currentUndo].kind = 0;
  --e->currentUndo;
}

int32_t UndoLastAction(ImageEntry* e) {
  const UndoRecord* r = CurrentUndoRecord(e);
  if (!r) return kActionSkipped;
  const int32_t kind = r->kind;
  wchar_t product[kPathChars] = {};
  switch (kind) {
    case 0:
    case 2:
    case 6:
      return kActionSkipped;
    case 3:
    case 7:
    case 8:
    case 9: {
      if (!BuildUndoProductPath(kind, r->path, e->path, U16(product), kPathChars)) return kActionFailed;
      const int32_t result = RecycleProduct(kind, product, r->path);
      if (result == kActionDone) PopRecord(e);
      if (result == kActionSkipped) DropRecord(e);
      return result;
    }
    case 4:
    case 13: {
      if (!BuildUndoProductPath(kind, r->path, e->path, U16(product), kPathChars)) return kActionFailed;
      // Never over a file that has taken the old place meanwhile.
      if (FileExists(EntryPath(e)) || !FileExists(product)) return kActionFailed;
      if (!RunFileOperation(FO_MOVE, product, EntryPath(e), FOF_SILENT) || !FileExists(EntryPath(e)))
        return kActionFailed;
      e->presence = 3;
      PopRecord(e);
      return kActionDone;
    }
    case 5:
      if (FileExists(EntryPath(e)) || !RestoreFromRecycleBin(EntryPath(e))) return kActionFailed;
      e->presence = 3;
      PopRecord(e);
      return kActionDone;
    case 10:
    case 11: {
      wchar_t oldPath[kPathChars] = {};
      if (!CopyText(U16(oldPath), kPathChars, r->path) || !oldPath[0]) return kActionFailed;
      if (!MoveOwnFile(EntryPath(e), oldPath)) return kActionFailed;
      if (g_listSource != 0) ReplacePathInCurrentCollection(EntryPath(e), oldPath);
      CopyText(e->path, kPathChars, U16(oldPath));
      SetEntryNamePointer(e);
      e->presence = 3;
      if (g_viewMode & 2) g_redrawFlag = 1;
      else g_relayoutFlag = 1;
      PopRecord(e);
      return kActionDone;
    }
    case 12: {
      const int32_t value = r->path[0];
      // A record read back from a cache file may hold anything: only an orientation is written.
      if (value < 1 || value > 8) return kActionFailed;
      FILETIME time{};
      if (!WriteOrientationValue(EntryPath(e), e->info.orientationOffset, e->info.orientationByteOrder,
                                 e->info.orientation, value, g_settings.keepTimeOnLosslessRotation == 1, &time))
        return kActionFailed;
      ApplyOrientation(e, value, static_cast<int8_t>(r->path[1] & 0xFF), time);
      PopRecord(e);
      return kActionDone;
    }
    default:  // 1 and kinds of later versions have nothing to take back
      PopRecord(e);
      return kActionDone;
  }
}

// Kinds 5 and 6: the entry leaves the list's folder.
int32_t RemoveEntryFile(ImageEntry* e, int32_t entry, FILEOP_FLAGS flags) {
  if (!IsEntryFileInPlace(entry)) return kActionSkipped;
  const uint8_t presence = e->presence;
  e->presence = 0;
  PumpNow();
  ReleaseEntryLevel(e, kLevelView, 0);
  ReleaseEntryLevel(e, kLevelFull, 0);
  if (!RunFileOperation(FO_DELETE, EntryPath(e), nullptr, flags) || FileExists(EntryPath(e))) {
    if (FileExists(EntryPath(e))) e->presence = presence;
    return kActionFailed;
  }
  ++g_deleteCount;
  UpdateStatusCounters(kStatusSel | kStatusSize | kStatusFile | kStatusTotal | 0x8);
  return kActionDone;
}
}  // namespace

void ResolveAgainstImageFolder(const wchar_t* imagePath, wchar_t* folder) {
  char16_t out[kPathChars] = {};
  if (ResolveAgainstImageFolder(U16(imagePath), U16(folder), out, kPathChars)) CopyText(U16(folder), kPathChars, out);
}

void NoteActionProduct(int32_t entry, const wchar_t* product) {
  g_pendingStamp.entry = StampOf(product, &g_pendingStamp.stamp) ? entry : -1;
}

bool TakeProductStamp(int32_t entry, ProductStamp* stamp) {
  if (g_pendingStamp.entry < 0 || g_pendingStamp.entry != entry) return false;
  *stamp = g_pendingStamp.stamp;
  g_pendingStamp.entry = -1;
  return true;
}

bool WriteOrientationValue(const wchar_t* path, int32_t offset, int32_t byteOrder, int32_t expected, int32_t value,
                           bool keepTime, FILETIME* newTime) {
  uint8_t want[2], put[2];
  if (offset <= 0 || !EncodeOrientation(expected, byteOrder, want) || !EncodeOrientation(value, byteOrder, put))
    return false;
  // A read-only file stays as the user marked it (not every file system refuses it an open for writing).
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
    return false;
  // Two bytes inside one sector are written in place: the file stays the same file (its
  // creation time, attributes and identity), and no room for a copy is needed.
  HANDLE h = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER at{}, now{};
  at.QuadPart = offset;
  FILETIME oldTime{};
  uint8_t found[2] = {};
  DWORD done = 0;
  auto seek = [&] { return SetFilePointerEx(h, at, &now, FILE_BEGIN) && now.QuadPart == at.QuadPart; };
  // The value must still be the one the metadata reader saw there; anything else is not ours
  // to overwrite.
  bool ok = GetFileTime(h, nullptr, nullptr, &oldTime) && seek() && ReadFile(h, found, 2, &done, nullptr) &&
            done == 2 && found[0] == want[0] && found[1] == want[1];
  ok = ok && seek() && WriteFile(h, put, 2, &done, nullptr) && done == 2;
  ok = CloseHandle(h) && ok;
  if (!ok) return false;
  if (keepTime) {
    HANDLE t = CreateFileW(path, FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (t != INVALID_HANDLE_VALUE) {
      SetFileTime(t, nullptr, nullptr, &oldTime);
      CloseHandle(t);
    }
  }
  if (!GetFileWriteTime(newTime, path)) *newTime = oldTime;
  return true;
}

int32_t ExecuteEntryAction(int32_t entry, int32_t kind, const wchar_t* path, int32_t row, int32_t jpgFlag) {
  if (entry < 0 || entry >= g_entryCount) return kActionFailed;
  ImageEntry* e = EntryAt(entry);
  if (!e) return kActionFailed;
  if (e->presence == 0 && kind != 0) return kActionFailed;
  g_pendingStamp.entry = -1;  // a stamp belongs only to the operation that made it
  wchar_t folder[kPathChars] = {};
  switch (kind) {
    case 0:
      return UndoLastAction(e);
    case 1:
    case 7:
    case 8:
    case 13:
      return kActionDone;
    case 2: {
      wchar_t args[kPathChars + 4];
      swprintf(args, kPathChars + 4, L"\"%ls\"", EntryPath(e));
      const INT_PTR r = reinterpret_cast<INT_PTR>(
          ShellExecuteW(GetShellWindow(), L"open", path, args, nullptr, SW_SHOWNORMAL));
      if (r <= 32) {
        ShowAppMessageBox(nullptr, L"アプリケーション転送に失敗しました。", g_productName, MB_ICONERROR);
        return kActionFailed;
      }
      return kActionDone;
    }
    case 3: {
      if (!IsEntryFileInPlace(entry)) return kActionSkipped;
      wchar_t product[kPathChars];
      if (!TargetFolderOf(e, path, folder) || !JoinPath(folder, EntryName(e), product)) return kActionFailed;
      const bool existed = PathExists(folder);
      if (!RunFileOperation(FO_COPY, EntryPath(e), product, FOF_SILENT) || !FileExists(product)) return kActionFailed;
      NoteActionProduct(entry, product);
      ++g_copyCount;
      UpdateStatusCounters(0x2);
      if (!existed) g_treeRebuildRequest = 1;
      return kActionDone;
    }
    case 4: {
      if (!IsEntryFileInPlace(entry)) return kActionSkipped;
      wchar_t product[kPathChars];
      if (!TargetFolderOf(e, path, folder) || !JoinPath(folder, EntryName(e), product)) return kActionFailed;
      const uint8_t presence = e->presence;
      e->presence = 0;
      PumpNow();
      ReleaseEntryLevel(e, kLevelView, 0);
      ReleaseEntryLevel(e, kLevelFull, 0);
      const bool existed = PathExists(folder);
      if (!RunFileOperation(FO_MOVE, EntryPath(e), product, FOF_SILENT) || FileExists(EntryPath(e)) ||
          !FileExists(product)) {
        // The file is still where it was (an aborted move): it stays listed.
        if (FileExists(EntryPath(e))) e->presence = presence;
        return kActionFailed;
      }
      ++g_moveCount;
      UpdateStatusCounters(kStatusSel | kStatusSize | kStatusFile | kStatusTotal | 0x4);
      if (!existed) g_treeRebuildRequest = 1;
      return kActionDone;
    }
    case 5:
      return RemoveEntryFile(e, entry, kRecycleFlags);
    case 6:
      return RemoveEntryFile(e, entry, kDeleteFlags);
    case 9: {
      if (e->info.previewSize <= 0) return kActionSkipped;
      if (!TargetFolderOf(e, path, folder)) return kActionFailed;
      const bool existed = PathExists(folder);
      if (!EnsureFolderExists(folder, 1)) return kActionSkipped;
      wchar_t product[kPathChars];
      if (!BuildRenamedProduct(U16(folder), e->name, u".jpg", U16(product), kPathChars)) return kActionFailed;
      // The camera's own JPEG of a RAW+JPEG pair has this name: it is never replaced.
      if (FileExists(product)) return kActionSkipped;
      if (!ExportEmbeddedPreview(e, product)) {
        ShowAppMessageBox(nullptr, L"サムネイルセーブに失敗しました", g_productName, MB_ICONERROR);
        return kActionFailed;
      }
      NoteActionProduct(entry, product);
      if (!existed) g_treeRebuildRequest = 1;
      return kActionDone;
    }
    case 10: {
      const int32_t result = BatchRenameFiles(entry, row, jpgFlag);
      if (g_viewMode & 2) g_redrawFlag = 1;
      return result;
    }
    case 11: {
      const int32_t result = ReplaceRenameFiles(entry, row);
      if (g_viewMode & 2) g_redrawFlag = 1;
      return result;
    }
    case 12:
      return RotateLosslessly(e, entry);
    default:
      return kActionFailed;
  }
}
