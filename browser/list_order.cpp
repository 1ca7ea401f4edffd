#include "browser/list_order.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <vector>

#include "browser/list_rows.h"
#include "browser/pure/list_sort.h"
#include "core/window_slots.h"
#include "core/image_entry_list.h"
#include "core/app_globals.h"
#include "browser/viewer_panes.h"
#include "core/thumbnail_list_thread.h"
#include "metadata/image_info_win.h"


namespace {

constexpr UINT kRefreshCommand = 112;
constexpr int kHeaderItems = 24;

uint8_t g_entrySelectionMarks[kMaxEntries];

int CompareNamesLogically(const char16_t* a, const char16_t* b) {
  return StrCmpLogicalW(reinterpret_cast<const wchar_t*>(a), reinterpret_cast<const wchar_t*>(b));
}

void SetRowState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item = {};
  item.state = state;
  item.stateMask = mask;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void SetCallbackRows(HWND list, int rows) {
  for (int r = 0; r < rows; ++r) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = r;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.cchTextMax = 260;
    item.iImage = I_IMAGECALLBACK;
    SendMessageW(list, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

// Runs change with the list's redrawing off: with it on, every row put in or set laid the list out
// and invalidated it again (under Wine a thousand rows took 0.4 s instead of a few ms). Turning
// redrawing back on may also set WS_VISIBLE, which a list hidden while it fills must not get.
template <typename Change>
void WithoutRedraw(HWND list, Change change) {
  const LONG style = GetWindowLongW(list, GWL_STYLE);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  change();
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  if ((GetWindowLongW(list, GWL_STYLE) ^ style) & WS_VISIBLE) SetWindowLongW(list, GWL_STYLE, style);
}

void MakeCallbackRows(HWND list, int rows) {
  WithoutRedraw(list, [&] { SetCallbackRows(list, rows); });
}

void RefreshAfterReorder(HWND list) {
  InvalidateRect(list, nullptr, FALSE);
  HWND print = g_windowSlots[kSlotIndexPrint];
  if (print) SendMessageW(print, WM_COMMAND, kRefreshCommand, 0);
}

LRESULT InsertCallbackRow(HWND list, int index) {
  LVITEMW item = {};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
  item.iItem = index;
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.iImage = I_IMAGECALLBACK;
  item.state = INDEXTOSTATEIMAGEMASK(1);
  item.stateMask = LVIS_STATEIMAGEMASK;
  return SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void ClearHeaderSortMarks(HWND list) {
  // From another thread every look at a column waited on the list's thread (a few dozen
  // messages cost 20-35 ms at each folder change).
  const bool otherThread = GetWindowThreadProcessId(list, nullptr) != GetCurrentThreadId();
  if (!otherThread || SendMessageW(list, ClearSortMarksMessage, 0, 0) != 1) ClearHeaderSortMarksHere(list);
}

LRESULT ClearHeaderSortMarksHere(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (!header) return 1;
  for (int i = 0; i < kHeaderItems; ++i) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
    // Only a marked column is set: each set lays the header and the list out again.
    if (!(item.fmt & (HDF_IMAGE | HDF_BITMAP_ON_RIGHT))) continue;
    item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
    SendMessageW(header, HDM_SETITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  return 1;
}

void SortListByColumn(HWND list, int column, int descending) {
  int n = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (n > g_listCount) n = g_listCount;
  if (n <= 0 || column < 0 || column >= kHeaderItems) return;
  AssignPaneEntries();
  for (int r = 0; r < n; ++r) {
    g_entrySelectionMarks[g_displayOrder[r]] =
        (SendMessageW(list, LVM_GETITEMSTATE, r, LVIS_SELECTED) & LVIS_SELECTED) ? 1 : 0;
  }
  ClearListSelection(list);
  g_sortColumn = static_cast<uint16_t>(column);
  g_sortDescending = descending ? 1 : 0;
  g_cacheDirty |= 2;

  SortDisplayOrder(
      g_displayOrder, static_cast<size_t>(n), column, descending != 0,
      [column](uint16_t e) {
        const wchar_t* text = GetInfoField(EntryAt(e)->info, column);
        return text ? reinterpret_cast<const char16_t*>(text) : u"";
      },
      [](uint16_t e) { return static_cast<const char16_t*>(EntryAt(e)->name); }, CompareNamesLogically);

  MakeCallbackRows(list, n);
  ClearHeaderSortMarks(list);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header) {
    HDITEMW item = {};
    item.mask = HDI_FORMAT;
    SendMessageW(header, HDM_GETITEMW, column, reinterpret_cast<LPARAM>(&item));
    item.mask = HDI_FORMAT | HDI_IMAGE;
    item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
    item.iImage = descending ? 0 : 1;
    SendMessageW(header, HDM_SETITEMW, column, reinterpret_cast<LPARAM>(&item));
  }
  for (int r = n - 1; r >= 0; --r) {
    if (g_entrySelectionMarks[g_displayOrder[r]]) SetRowState(list, r, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  RefreshAfterReorder(list);
}

void MoveDraggedRows(HWND list, HWND draggedList, int dropRow) {
  int k = static_cast<int>(SendMessageW(draggedList, LVM_GETITEMCOUNT, 0, 0));
  if (k <= 0 || g_listCount <= 0) return;
  std::vector<int> rows(k);
  for (int i = 0; i < k; ++i) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = i;
    rows[i] = SendMessageW(draggedList, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) ? static_cast<int>(item.lParam) : -1;
  }
  size_t moved = 0;
  size_t start = MoveDraggedRows(g_displayOrder, static_cast<size_t>(g_listCount), rows.data(), rows.size(),
                                 dropRow < 0 ? 0 : static_cast<size_t>(dropRow), &moved);
  MakeCallbackRows(list, g_listCount);
  ClearListSelection(list);
  for (size_t i = 0; i < moved; ++i) {
    SetRowState(list, static_cast<int>(start + i), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  RefreshAfterReorder(list);
}

LRESULT InsertCallbackRows(HWND list, int count) {
  int r = 0;
  WithoutRedraw(list, [&] {
    for (; r < count && !ListThreadStopRequested(); ++r) InsertCallbackRow(list, r);
  });
  return r + 1;
}

int InsertListRow(HWND list, int index) {
  if (index < 0 || index >= kMaxEntries) return g_entryCount;
  InsertCallbackRow(list, index);
  g_displayOrder[index] = static_cast<uint16_t>(index);
  g_listCount = g_entryCount;
  return g_listCount;
}

void FillThumbnailList(HWND list, int count) {
  UINT mask = static_cast<UINT>(SendMessageW(list, LVM_GETCALLBACKMASK, 0, 0));
  SendMessageW(list, LVM_SETCALLBACKMASK, mask | LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK, 0);
  if (count > kMaxEntries) count = kMaxEntries;
  // All the rows in one message to the list's own thread: a message from this thread for each row
  // waited on that thread a thousand times for a thousand rows.
  const bool otherThread = GetWindowThreadProcessId(list, nullptr) != GetCurrentThreadId();
  if (!otherThread || SendMessageW(list, InsertRowsMessage, static_cast<WPARAM>(count), 0) == 0)
    InsertCallbackRows(list, count);
  g_listCount = count;
  if (g_cursorRow == -1) g_cursorRow = 0;
  if (g_restoreRow < 0) g_restoreRow = 0;
  if (g_restoreRow > count - 1) g_restoreRow = count > 0 ? count - 1 : 0;
  if (count > 0) {
    SendMessageW(list, LVM_ENSUREVISIBLE, g_restoreRow, FALSE);
    ClearListSelection(list);
    SetRowState(list, g_restoreRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
}
