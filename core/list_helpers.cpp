#include "core/list_helpers.h"

#include <commctrl.h>
#include <cwchar>

#include "core/entry_lock.h"
#include "core/main_window_state.h"
#include "core/window_slots.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/list_hooks.h"
#include "core/pane_state.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pure/catalogue_rules.h"
#include "core/settings.h"
#include "core/status_counters.h"
#include "core/app_globals.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"

volatile int32_t g_listProcessedRows = 0;
uint32_t g_progressSteps = 0;

namespace {

constexpr int kFileListControl = 313;
constexpr int kViewerPaneFirstId = 301;

bool RowSelected(int row) {
  ImageEntry* e = EntryAtRow(row);
  return e && (e->presence & kEntrySelected);
}

void ListStep() {
  MarkFlaggedEntries();
  HWND list = GetFileListControl();
  if (list) FocusRestoreWindow = list;
  SelectCurrentEntryRow();
}

void PaneStep() {
  HWND pane = g_windowSlots[kSlotFileListPane];
  int index = g_listHooks.getFocusedPaneIndex(2);
  if (pane && index >= 0) FocusRestoreWindow = GetDlgItem(pane, kViewerPaneFirstId + index);
}

void SelectAndShowRow(HWND list, int row, BOOL partial) {
  LVITEMW item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  SendMessageW(list, LVM_ENSUREVISIBLE, row, partial);
}

}  // namespace

HWND GetFileListControl() {
  HWND pane = g_windowSlots[kSlotFileListPane];
  return pane ? GetDlgItem(pane, kFileListControl) : nullptr;
}

int32_t FindRowOfEntry(int32_t entry) {
  if (!g_displayOrder) return -1;
  int32_t rows = g_listCount < kMaxEntries ? g_listCount : kMaxEntries;
  for (int32_t row = 0; row < rows; ++row)
    if (g_displayOrder[row] == entry) return row;
  return -1;
}

void RedrawEntryRow(int32_t entry) {
  const int32_t row = FindRowOfEntry(entry);
  HWND list = GetFileListControl();
  if (row >= 0 && list) SendMessageW(list, LVM_REDRAWITEMS, row, row);
}

int FindNextMatchingEntry(int* position, int direction, int n) {
  return FindNextMatchingRow(position, direction, n, g_listCount, RowSelected, g_settings.stopPagingAtEnds != 0);
}

int FindNextFlaggedEntry(int* position, int direction, int n) {
  return FindNextFlaggedRow(position, direction, n, g_listCount, RowSelected);
}

void MarkFlaggedEntries() {
  for (int i = 0; i < g_entryCount; ++i) {
    ImageEntry* e = EntryAt(i);
    if (e) SelectEntryIfPresent(e);
  }
}

int FindListPositionByName(const wchar_t* name) {
  for (int row = 0; row < g_listCount; ++row) {
    ImageEntry* e = EntryAtRow(row);
    if (e && ComparePaths(EntryName(e), name) == 0) return row;
  }
  return -1;
}

int GetPaneOrderNumber(int pane) {
  if (pane == -1) return -1;
  return PaneOrderNumber(g_paneEntry, g_paneRequested, CurrentPaneCount(), pane);
}

int FindPaneByOrderNumber(int row) {
  if (row == -1) return -1;
  for (int k = 0; k < CurrentPaneCount(); ++k) {
    if (GetPaneOrderNumber(k) == row) return k;
  }
  return -1;
}

namespace {
// The undo count and the current record's kind (-1 none), read under the entry lock: the folder
// watcher may be replacing the records.
void CurrentUndoKind(const ImageEntry* e, int* count, int* kind) {
  EntryUndoLock lock;
  *count = e->undoCount;
  *kind = (e->undoRecords && e->currentUndo >= 0 && e->currentUndo < e->undoCount)
              ? e->undoRecords[e->currentUndo].kind
              : -1;
}
}  // namespace

void SetEntryActionText(int entryNumber) {
  if (!GetFileListControl()) return;
  ImageEntry* e = EntryAt(entryNumber);
  if (!e) return;
  int count, kind;
  CurrentUndoKind(e, &count, &kind);
  const char16_t* text = EntryActionText(count, kind, e->presence == kEntryVanished);
  CopyText(e->info.actionText, sizeof e->info.actionText / sizeof(char16_t), text ? text : u"");
}

int GetEntryActionStateIndex(const ImageEntry* e) {
  int count, kind;
  CurrentUndoKind(e, &count, &kind);
  return EntryActionStateIcon(count, kind, e->presence == kEntryVanished, g_settings.colorSlotEnabled);
}

void SelectCurrentEntryRow() {
  HWND list = GetFileListControl();
  if (list) g_listHooks.clearListSelection(list);
  g_focusedPane = FindPaneByOrderNumber(g_cursorRow);
  if (IsKeyHeld(VK_SHIFT) || IsKeyHeld(VK_CONTROL)) return;
  if (list && (g_viewMode & 1) && g_cursorRow >= 0) SelectAndShowRow(list, g_cursorRow, FALSE);
}

void ToggleListViewerMode(uint8_t focusFlag) {
  g_viewSwitchRequest = 0;
  HWND list = GetFileListControl();
  if (g_listThreadAskedSwitch) {
    g_listThreadAskedSwitch = 0;
    if (g_viewMode == 3) {
      g_viewMode = g_lastViewMode != 2 ? 1 : 2;
    } else if (g_viewMode & 2) {
      g_viewMode |= 1;
    } else {
      g_viewMode = 3;
    }
  } else if (g_viewMode == 3) {
    if (!list || GetFocus() != list) {
      HWND rebar = g_listHooks.rebarWindow();
      if (rebar) SetFocusTo(rebar);
      if (focusFlag == 1) ListStep();
    } else if (focusFlag == 1) {
      PaneStep();
    }
  } else {
    HWND slot10 = g_windowSlots[10];
    if (slot10) InvalidateRect(slot10, nullptr, FALSE);
    if (g_viewMode & 2) {
      g_viewMode = 1;
      g_listHooks.releaseAllMovieSlots();
      for (int k = 0; k < 4; ++k) g_paneEntry[k] = g_paneRequested[k] = -1;
    } else {
      g_viewMode = 2;
    }
  }

  if ((g_viewMode & 1) && !(g_viewMode & 2)) {
    ListStep();
    if (list) {
      g_listHooks.clearListSelection(list);
      if (g_cursorRow >= 0) SelectAndShowRow(list, g_cursorRow, TRUE);
    }
    g_relayoutFlag = 1;
  } else if (g_viewMode & 2) {
    g_listHooks.transferListSelection(false);
    if (focusFlag == 1) {
      if (g_viewMode == 1) {
        ListStep();
      } else {
        PaneStep();
      }
    }
    g_relayoutFlag = 1;
  }

  if (!(g_viewMode & 2)) SetStatusPartText(4, L"\tLISTVIEW");
  g_redrawFlag = 1;
  g_listHooks.syncListSelectionWithView();
  g_listHooks.startViewerThreads();
  if (g_listPassComplete && g_viewMode != 2) RestoreListHeader();
  if (g_viewMode != 3) g_lastViewMode = g_viewMode;
}

void ShowProgressCount() {
  char16_t text[32];
  FormatProgressText(g_listProcessedRows, g_entryCount, text);
  g_listHooks.setRebarBandText(5, reinterpret_cast<wchar_t*>(text));
  HWND bar = g_listHooks.progressBar();
  if (bar) PostMessageW(bar, PBM_SETPOS, ProgressPercent(g_listProcessedRows, g_entryCount), 0);
}

namespace {
DWORD s_progressShownAt = 0;
}

// The bar paints itself at once on every change of its position (every tenth step): under Wine
// those paints cost a folder's load more than its listing. It follows the steps a few times a
// second, and ShowProgressStep puts the last step's position there when a load ends.
void StepProgressBar() {
  ++g_progressSteps;
  HWND bar = g_listHooks.progressBar();
  if (!bar) return;
  const DWORD now = GetTickCount();
  if (now - s_progressShownAt < 40) return;
  s_progressShownAt = now;
  SendMessageW(bar, PBM_SETPOS, StepPercent(g_progressSteps), 0);
}

void ShowProgressStep() {
  HWND bar = g_listHooks.progressBar();
  if (!bar) return;
  s_progressShownAt = GetTickCount();
  SendMessageW(bar, PBM_SETPOS, StepPercent(g_progressSteps), 0);
}

void RestoreSavedFocus() {
  if (!FocusRestoreWindow) return;
  SetFocusTo(FocusRestoreWindow);
  FocusRestoreWindow = nullptr;
  g_listHooks.syncListSelectionWithView();
}

bool IsMainWindowAloneInFront() {
  if (GetForegroundWindow() != g_hwndMain || !g_hwndMain) return false;
  for (int slot = 13; slot <= 44; ++slot) {
    if (g_windowSlots[slot]) return false;
  }
  return true;
}

bool IsOwnWindowInFront() {
  HWND front = GetForegroundWindow();
  if (!front) return false;
  if (front == g_hwndMain) return true;
  for (HWND w : g_windowSlots) {
    if (w && w == front) return true;
  }
  return front == g_extraOwnWindows[0] || front == g_extraOwnWindows[1];
}
