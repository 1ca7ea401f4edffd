#include "browser/list_rows.h"

#include <commctrl.h>
#include <cwchar>

#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/pure/catalogue_rules.h"
#include "core/settings.h"
#include "core/app_globals.h"
#include "browser/viewer_panes.h"

namespace {

bool EntryPresent(const ImageEntry* e) { return e && e->presence != kEntryVanished; }
bool TransferListSelectionHere(HWND list, bool toEntries);

void SetRowState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void ReadCell(HWND list, int row, int column, wchar_t* cell, int capacity) {
  cell[0] = 0;
  LVITEMW item = {};
  item.iSubItem = column;
  item.pszText = cell;
  item.cchTextMax = capacity;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

bool TransferListSelection(bool toEntries) {
  HWND list = GetFileListControl();
  // From another thread the walk over the rows runs on the list's own: a message for each row
  // waited on that thread once per row (a fifth of a second for a thousand rows).
  if (list && GetWindowThreadProcessId(list, nullptr) != GetCurrentThreadId()) {
    const LRESULT answer = SendMessageW(list, TransferSelectionMessage, toEntries ? 1 : 0, 0);
    if (answer != 0) return answer == 2;
  }
  return TransferListSelectionHere(list, toEntries);
}

namespace {
bool TransferListSelectionHere(HWND list, bool toEntries) {
  int rows = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  if (rows <= 0) return false;
  if (rows > g_listCount) rows = g_listCount;
  if (toEntries) {
    bool focusSeen = false;
    for (int r = 0; r < rows; ++r) {
      ImageEntry* e = EntryAtRow(r);
      if (!EntryPresent(e)) continue;
      UINT state = static_cast<UINT>(SendMessageW(list, LVM_GETITEMSTATE, r, LVIS_FOCUSED | LVIS_SELECTED));
      if (state & LVIS_FOCUSED) {
        g_cursorRow = r;
        focusSeen = true;
      }
      if (state & LVIS_SELECTED) {
        SelectEntryIfPresent(e);
      } else {
        UnselectEntry(e);
      }
    }
    if (!focusSeen) {
      for (int r = 0; r < rows; ++r) {
        ImageEntry* e = EntryAtRow(r);
        if (e && (e->presence & kEntrySelected)) {
          g_cursorRow = r;
          break;
        }
      }
    }
  } else {
    MarkFlaggedEntries();
    for (int r = 0; r < rows; ++r) {
      if (r == g_cursorRow) {
        SetRowState(list, r, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      } else {
        SetRowState(list, r, 0, LVIS_SELECTED);
      }
    }
  }
  g_shownRowMarker = 0;
  if (g_cursorRow < 0 || g_cursorRow >= g_listCount) return false;
  if (!EntryPresent(EntryAtRow(g_cursorRow)) || g_listCount == 0) return false;
  g_cursorRow = AdjustRowForPaneCount(g_cursorRow);
  return true;
}
}  // namespace

int AdjustRowForPaneCount(int row) {
  return AdjustRowForPanes(
      row, g_settings.stopPagingAtEnds != 0, CurrentPaneCount(), g_listCount,
      [](int r) {
        ImageEntry* e = EntryAtRow(r);
        return e && (e->presence & kEntrySelected);
      });
}

int FindRowByNumber(HWND list, int number, int column) {
  wchar_t wanted[16];
  swprintf(wanted, 16, L"%d", number);
  int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int r = 0; r < rows; ++r) {
    wchar_t cell[32];
    ReadCell(list, r, column, cell, 32);
    if (wcscmp(cell, wanted) == 0) return r;
  }
  return -1;
}

int GetRowNumber(HWND list, int row, int column) {
  wchar_t cell[512];
  ReadCell(list, row, column, cell, 512);
  return cell[0] ? _wtoi(cell) : -1;
}

int GetFirstSelectedRow(HWND list) {
  return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

int GetSelectedRowNumber(HWND list, int column) {
  int row = GetFirstSelectedRow(list);
  return row < 0 ? -1 : GetRowNumber(list, row, column);
}

void ClearListSelection(HWND list) {
  // Row -1 applies the state to every row.
  SetRowState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}
