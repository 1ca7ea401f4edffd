// Page 16: the toolbox buttons in use and the ones that can still be added. Every change is
// stored at once and the main window rebuilds its toolbox band from it.
#include <windows.h>
#include <commctrl.h>

#include "browser/icon_lists.h"
#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/settings.h"
#include "settings_dialog/pure/later_page_rules.h"
#include "settings_dialog/settings_dialog.h"
#include "settings_dialog/settings_more_ids.h"

namespace {
constexpr int kSlot = 30;
int32_t g_marks[kToolboxSlotCount];
int32_t g_availableKinds[kToolboxKinds];
int g_availableCount = 0;

void SetUpList(HWND list) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x431);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(L"ツールBOX　ボタン");
  column.cx = 322;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_toolboxIcons));
}

void InsertRow(HWND list, int row, int32_t kind, LPARAM param) {
  const ToolboxKind& k = kToolboxKindTable[kind >= 0 && kind < kToolboxKinds ? kind : 0];
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = row;
  item.pszText = const_cast<wchar_t*>(W(k.caption));
  item.iImage = k.image;
  item.lParam = param;
  SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void Select(HWND list, int row) {
  LVITEMW state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

int UsedCount() {
  const int32_t n = g_settings.toolboxButtonCount;
  return n < 0 ? 0 : n > kToolboxMaxUsed ? kToolboxMaxUsed : n;
}

void RefreshPage(HWND page) {
  HWND used = GetDlgItem(page, IDC_TOOLBOX_USED);
  SendMessageW(used, LVM_DELETEALLITEMS, 0, 0);
  const int n = UsedCount();
  for (int i = 0; i < n; ++i) InsertRow(used, i, g_settings.toolboxButtons[i], i);
  int last = -1;
  for (int i = 0; i < n; ++i)
    if (g_marks[i] == 1) {
      Select(used, i);
      last = i;
    }
  int visible = last > 0 ? last + 1 : 0;
  if (visible > n - 1) visible = n - 1;
  if (visible >= 0) SendMessageW(used, LVM_ENSUREVISIBLE, visible, FALSE);

  HWND available = GetDlgItem(page, IDC_TOOLBOX_AVAILABLE);
  SendMessageW(available, LVM_DELETEALLITEMS, 0, 0);
  g_availableCount = AvailableToolboxKinds(g_settings.toolboxButtons, n, g_availableKinds);
  for (int r = 0; r < g_availableCount; ++r) InsertRow(available, r, g_availableKinds[r], g_availableKinds[r]);
  Select(available, 0);
  SendMessageW(available, LVM_ENSUREVISIBLE, 0, FALSE);
  if (g_hwndMain) SendMessageW(g_hwndMain, WM_COMMAND, kRefreshCommand, 0);
}

int SelectedRows(HWND list, int* rows, int capacity) {
  int n = 0;
  for (int row = -1; n < capacity && (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
    rows[n++] = row;
  return n;
}

void Command(HWND page, int id) {
  int rows[kToolboxSlotCount];
  if (id == IDC_TOOLBOX_ADD) {
    if (g_settings.toolboxButtonCount >= kToolboxMaxUsed) return;
    ResetToolboxMarks(g_marks);
    const int n = SelectedRows(GetDlgItem(page, IDC_TOOLBOX_AVAILABLE), rows, kToolboxSlotCount);
    int32_t kinds[kToolboxKinds];
    int k = 0;
    for (int i = 0; i < n && k < kToolboxKinds; ++i)
      if (rows[i] < g_availableCount) kinds[k++] = g_availableKinds[rows[i]];
    AddToolboxKinds(g_settings.toolboxButtons, &g_settings.toolboxButtonCount, kinds, k);
  } else if (id == IDC_TOOLBOX_REMOVE) {
    if (g_settings.toolboxButtonCount == 0) return;
    ResetToolboxMarks(g_marks);
    const int n = SelectedRows(GetDlgItem(page, IDC_TOOLBOX_USED), rows, kToolboxSlotCount);
    RemoveToolboxPositions(g_settings.toolboxButtons, &g_settings.toolboxButtonCount, rows, n);
  } else if (id == IDC_TOOLBOX_UP || id == IDC_TOOLBOX_DOWN) {
    const int n = SelectedRows(GetDlgItem(page, IDC_TOOLBOX_USED), rows, kToolboxSlotCount);
    if (id == IDC_TOOLBOX_UP) MoveToolboxUp(g_settings.toolboxButtons, UsedCount(), rows, n, g_marks);
    else MoveToolboxDown(g_settings.toolboxButtons, UsedCount(), rows, n, g_marks);
  } else if (id == IDC_TOOLBOX_RESET) {
    ResetToolboxMarks(g_marks);
    for (int i = 0; i < 32; ++i) g_settings.toolboxButtons[i] = kDefaultToolboxButtons[i];
    g_settings.toolboxButtonCount = 32;
  } else {
    return;
  }
  RefreshPage(page);
}
}  // namespace

INT_PTR CALLBACK ToolboxButtonsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlot] = page;
      SetUpList(GetDlgItem(page, IDC_TOOLBOX_USED));
      SetUpList(GetDlgItem(page, IDC_TOOLBOX_AVAILABLE));
      ResetToolboxMarks(g_marks);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand && lParam == 0) RefreshPage(page);
      else if (HIWORD(wParam) == BN_CLICKED) Command(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
      const LRESULT result = h->idFrom == IDC_TOOLBOX_USED && h->code == NM_CUSTOMDRAW &&
                                     (reinterpret_cast<const NMCUSTOMDRAW*>(lParam)->dwDrawStage == CDDS_PREPAINT ||
                                      reinterpret_cast<const NMCUSTOMDRAW*>(lParam)->dwDrawStage == CDDS_ITEMPREPAINT)
                                 ? CDRF_NOTIFYITEMDRAW
                                 : 0;
      SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 16, wParam);
    case WM_DESTROY:
      g_windowSlots[kSlot] = nullptr;
      return FALSE;
  }
  return FALSE;
}
