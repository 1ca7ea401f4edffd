#include "actions/rename_support.h"

#include <cstring>
#include <cwchar>

#include "actions/action_history.h"
#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/entry_lock.h"
#include "core/file_system.h"
#include "core/folder_watcher.h"
#include "core/image_entry_list.h"
#include "core/path_utils.h"
#include "core/settings.h"

namespace {
constexpr int32_t kRowsWithRename = 39;
constexpr int32_t kMaxReturnSuffix = 9999;

template <size_t N, size_t M>
void CopyField(char16_t (&to)[N], const char16_t (&from)[M]) {
  static_assert(N == M, "fields of one width");
  std::memcpy(to, from, sizeof to);
  to[N - 1] = 0;
}
}  // namespace

void (*g_renameTemporaryReached)(const wchar_t* path) = nullptr;

RenamePattern GlobalRenamePattern() {
  RenamePattern p{};
  p.prefixType = g_settings.renamePrefixType;
  p.nameType = g_settings.renameNameType;
  p.dateJoiner = g_settings.renameDateJoiner;
  p.prefixJoiner = g_settings.renamePrefixJoiner;
  p.sequenceStart = g_settings.renameSequenceStart;
  CopyField(p.prefix, g_settings.renamePrefix);
  return p;
}

ReplaceTexts GlobalReplaceTexts() {
  ReplaceTexts t{};
  CopyField(t.oldText, g_settings.replaceRenameOld);
  CopyField(t.newText, g_settings.replaceRenameNew);
  return t;
}

bool ActionRowRename(int32_t row, RenamePattern* pattern, ReplaceTexts* texts) {
  if (row < 0 || row >= kRowsWithRename) return false;
  const uint8_t* bytes = g_settings.actionTable[row].bytes;
  RenamePattern p{};
  ReplaceTexts t{};
  if (!ReadActionRowRename(bytes, &p, &t)) return false;
  if (pattern) *pattern = p;
  if (texts) *texts = t;
  return true;
}

std::vector<RangeItem> RenameRange(int32_t entry) {
  std::vector<RangeItem> items;
  const int32_t rows = g_displayOrder ? g_listCount : 0;
  if (entry == -1) {
    for (int32_t row = 0; row < rows; ++row) {
      const int32_t number = g_displayOrder[row];
      if (number < g_entryCount && EntryAt(number)) items.push_back({number, row});
    }
    return items;
  }
  if (entry < 0 || entry >= g_entryCount || !EntryAt(entry)) return items;
  int32_t shownAt = -1;
  for (int32_t row = 0; row < rows && shownAt < 0; ++row)
    if (g_displayOrder[row] == entry) shownAt = row;
  items.push_back({entry, shownAt});
  return items;
}

bool FolderOfPath(const wchar_t* path, wchar_t* out) {
  const wchar_t* last = wcsrchr(path, L'\\');
  out[0] = 0;
  if (!last || last - path >= kPathChars) return false;
  wmemcpy(out, path, last - path);
  out[last - path] = 0;
  return true;
}

void SetEntryPath(ImageEntry* e, const wchar_t* path) {
  EntryUndoLock lock;
  std::memset(e->path, 0, sizeof e->path);
  wcsncpy(EntryPath(e), path, kPathChars - 1);
  SetEntryNamePointer(e);
}

void SendEntryRowUpdate(int32_t row) {
  if (row < 0) return;
  if (HWND pane = g_windowSlots[kSlotFileListPane]) SendMessageW(pane, WM_COMMAND, kUpdateEntryRowCommand, row);
}

bool ReturnFromTemporaryName(ImageEntry* e, const wchar_t* oldPath) {
  if (MoveOwnFile(EntryPath(e), oldPath)) {
    SetEntryPath(e, oldPath);
    return true;
  }
  wchar_t folder[kPathChars], stem[kPathChars], other[kPathChars];
  if (!FolderOfPath(oldPath, folder)) return false;
  GetNameWithoutExtension(oldPath, stem);
  const wchar_t* extension = reinterpret_cast<const wchar_t*>(ExtensionOf(U16(oldPath + wcslen(folder) + 1)));
  for (int n = 1; n <= kMaxReturnSuffix; ++n) {
    const int length = swprintf(other, kPathChars, L"%ls\\%ls_%d%ls", folder, stem, n, extension);
    if (length < 0 || length >= kPathChars) return false;
    if (PathExists(other)) continue;
    if (!MoveOwnFile(EntryPath(e), other)) return false;
    SetEntryPath(e, other);
    return true;
  }
  return false;
}

void ReportLeftAtTemporaryName(ImageEntry* e, int32_t entry, int32_t row, int32_t kind, const wchar_t* oldPath,
                               const wchar_t* temporary, bool allRows) {
  wchar_t old[kPathChars];
  wcsncpy(old, oldPath, kPathChars - 1);
  old[kPathChars - 1] = 0;
  SetEntryPath(e, temporary);
  if (g_listSource != 0) ReplacePathInCurrentCollection(old, temporary);
  if (allRows) AddActionHistoryEntry(entry, kind, -3, kActionFailed);
  SendEntryRowUpdate(row);
}
