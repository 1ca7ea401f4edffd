#include "actions/action_history.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>

#include "actions/action_table.h"
#include "actions/entry_actions.h"
#include "actions/pure/undo_rules.h"
#include "browser/rebar_bands.h"
#include "core/app_globals.h"
#include "core/entry_lock.h"
#include "core/image_entry_list.h"
#include "core/path_utils.h"

namespace {
int32_t g_historyCount = 0;

ImageEntry* EntryOrNull(int32_t entry) { return entry >= 0 && entry < g_entryCount ? EntryAt(entry) : nullptr; }

// The undo text of a successful operation, by where it came from; pending is what the
// operation itself left (a rename's old path, a rotation's old values).
void ChooseUndoText(const char16_t* entryPath, int32_t kind, int32_t source, const char16_t* pending,
                    char16_t* text) {
  if (source >= 0 && source < kActionRowLimit) {
    if (kind == 10 || kind == 11 || kind == 12) {
      CopyText(text, kPathUnits, pending);
      return;
    }
    const ActionEntry* row = ActionRowAt(source);
    if (!row) return;
    // The folder is kept absolute: a later rename or a relative text must not send the undo
    // to another place.
    char16_t folder[kPathUnits] = {};
    CopyText(folder, kPathUnits, row->path);
    if (ActionPathKind(kind) == 1 && folder[0]) {
      AppendFolderSeparator(folder, kPathUnits);
      if (!ResolveAgainstImageFolder(entryPath, folder, text, kPathUnits)) CopyText(text, kPathUnits, row->path);
    } else {
      CopyText(text, kPathUnits, row->path);
    }
    return;
  }
  switch (source) {
    case -1:
      if (kind == 12) CopyText(text, kPathUnits, pending);
      return;
    case -2:
      if (kind == 13 && g_scratchPath) CopyText(text, kPathUnits, U16(g_scratchPath));
      return;
    case -3:
      if (kind == 10 || kind == 11) CopyText(text, kPathUnits, pending);
      return;
    case -4:
    case -5:
      if ((kind == 3 || kind == 4) && g_targetFolder) CopyText(text, kPathUnits, U16(g_targetFolder));
      return;
    default:
      return;
  }
}
}  // namespace

int32_t AddActionHistoryEntry(int32_t entry, int32_t kind, int32_t source, int32_t result) {
  return AddActionHistoryEntryWithUndo(entry, kind, source, result, g_pendingUndoPath);
}

int32_t AddActionHistoryEntryWithUndo(int32_t entry, int32_t kind, int32_t source, int32_t result,
                                      const wchar_t* undoText) {
  // The caller's text is copied at once: it may be a buffer that another operation fills next.
  char16_t pending[kPathUnits] = {};
  if (undoText) CopyText(pending, kPathUnits, U16(undoText));
  // Every row's changes reach the folder's cache file, or their undo records would be lost.
  g_cacheDirty |= 2;
  // The folder watcher reports from the list thread: the entry's path is read under the lock, and
  // the lock is let go before the line is sent to the drop-down, whose thread may be waiting for it.
  ImageEntry* e = kind == -2 ? nullptr : EntryOrNull(entry);
  char16_t path[kPathUnits] = {}, name[kPathUnits] = {};
  if (e) {
    EntryUndoLock lock;
    CopyText(path, kPathUnits, e->path);
    CopyText(name, kPathUnits, e->name ? e->name : u"");
  }
  const char16_t* shown = kind == -2 ? (g_scratchPath ? U16(g_scratchPath) : u"") : name;
  const std::u16string line = FormatHistoryLine(kind, shown, result);
  const int32_t icon = HistoryIconIndex(kind, result);
  if (HWND combo = g_bandControls[kBandActionHistory]) {
    EnableWindow(combo, TRUE);
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_INDENT;
    item.iItem = 0;
    item.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(line.c_str()));
    item.iImage = item.iSelectedImage = icon;
    SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
  }
  const bool undoable = result == kActionDone && e && kind != 0 && kind != 2 && kind != 6 && kind > 0 &&
                        kind <= kLastActionKind;
  char16_t text[kPathUnits] = {};
  if (undoable) {
    ChooseUndoText(path, kind, source, pending, text);
    ProductStamp stamp{};
    const bool makesAFile = kind == 3 || kind == 7 || kind == 8 || kind == 9;
    if (makesAFile && TakeProductStamp(entry, &stamp)) StoreProductStamp(text, stamp);
  }
  int32_t count;
  {
    EntryUndoLock lock;
    if (undoable) PushUndoRecord(e, kind, text, kPathUnits);
    count = ++g_historyCount;
  }
  if (undoable && kind == 10 && g_listSource != 0)
    ReplacePathInCurrentCollection(reinterpret_cast<const wchar_t*>(pending), reinterpret_cast<const wchar_t*>(path));
  return count;
}

void ClearActionHistory() {
  {
    EntryUndoLock lock;
    g_historyCount = 0;
  }
  if (HWND combo = g_bandControls[kBandActionHistory]) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    EnableWindow(combo, FALSE);
  }
}

int32_t GetActionHistoryCount() {
  EntryUndoLock lock;
  return g_historyCount;
}

bool IsEntryFileInPlace(int32_t entry) {
  ImageEntry* e = EntryOrNull(entry);
  if (!e) return true;
  EntryUndoLock lock;
  return IsEntryFileInPlaceRule(e);
}

void AppendEntryUndoRecord(int32_t entry, int32_t kind, const wchar_t* text) {
  ImageEntry* e = EntryOrNull(entry);
  if (!e) return;
  EntryUndoLock lock;
  // A rotation's record is three words that may hold zeros; any other is a text.
  PushUndoRecord(e, kind, U16(text), kind == 12 ? 3 : 0);
}

void ClearEntryUndoList(int32_t entry) {
  ImageEntry* e = EntryOrNull(entry);
  if (!e) return;
  EntryUndoLock lock;
  FreeUndoRecords(e);
}

bool CopyCurrentUndoRecord(int32_t entry, UndoRecord* record, int32_t* index) {
  ImageEntry* e = EntryOrNull(entry);
  if (!e) return false;
  EntryUndoLock lock;
  const UndoRecord* current = CurrentUndoRecord(e);
  if (!current) return false;
  *record = *current;
  *index = e->currentUndo;
  return true;
}

bool RetireUndoRecord(int32_t entry, int32_t index, const UndoRecord& record) {
  ImageEntry* e = EntryOrNull(entry);
  if (!e) return false;
  EntryUndoLock lock;
  const UndoRecord* current = CurrentUndoRecord(e);
  if (!current || e->currentUndo != index || std::memcmp(current, &record, sizeof record) != 0) return false;
  PopUndoRecord(e);
  return true;
}
