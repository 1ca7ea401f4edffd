#include "browser/focus_queries.h"

#include "browser/pure/main_layout.h"

#include <windows.h>
#include <commctrl.h>

#include "browser/file_list_pane.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/viewer_panes.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "core/list_helpers.h"


namespace {
constexpr int kListControl = 313, kFirstPane = 301;

HWND PaneControl(int id) {
  HWND pane = g_windowSlots[kSlotFileListPane];
  return pane ? GetDlgItem(pane, id) : nullptr;
}
int32_t InList(int32_t row) { return row >= 0 && row < g_listCount ? row : -1; }
int32_t FirstSelectedRow() {
  HWND list = PaneControl(kListControl);
  return list ? InList(static_cast<int32_t>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)))
              : -1;
}
std::vector<int> SelectionOr(int32_t row) {
  if (IsListFocused()) return SelectedRows(PaneControl(kListControl));
  return row >= 0 ? std::vector<int>{row} : std::vector<int>{};
}
int32_t PaneCount() {
  int32_t layout = g_settings.splitLayout;
  return (layout >= 0 && layout < 5) ? g_paneCountByLayout[layout] : 1;
}
}  // namespace

bool IsListFocused() {
  HWND list = PaneControl(kListControl);
  return (g_viewMode & 1) && list && GetFocus() == list;
}

int32_t GetFocusedPaneIndex(int mode) {
  HWND focus = GetFocus();
  int32_t count = PaneCount();
  for (int32_t k = 0; focus && k < count; ++k)
    if (PaneControl(kFirstPane + k) == focus) return k;
  if (mode == 0) return 0;
  if (mode == 1) return -1;
  g_rememberedPane = ClampRememberedPane(g_rememberedPane, count);
  return g_rememberedPane;
}

bool HasBrowsingFocus() {
  if (g_listCount <= 0 || g_cursorRow == -1) return false;
  if (IsListFocused()) return true;
  return (g_viewMode & 2) && GetFocusedPaneIndex(1) != -1;
}

int32_t GetFocusedPaneRow() {
  if (g_listCount <= 0 || g_cursorRow == -1 || !(g_viewMode & 2) || IsListFocused()) return -1;
  // The pane that has the keyboard focus, not the remembered one: with the focus on a tree or
  // a bar no pane is the target of a file action.
  const int32_t pane = GetFocusedPaneIndex(1);
  return pane != -1 ? GetPaneOrderNumber(pane) : -1;
}

int32_t GetCurrentPaneRow() {
  if (g_listCount <= 0 || g_focusedPane < 0) return -1;
  const int32_t row = GetPaneOrderNumber(g_focusedPane);
  return row >= 0 && row < g_listCount ? row : -1;
}

int32_t GetCurrentPictureRow() {
  if (!IsListFocused()) return GetCurrentPaneRow();
  return g_cursorRow >= 0 && g_cursorRow < g_listCount ? g_cursorRow : -1;
}

std::vector<int> GetFileActionRows() { return SelectionOr(InList(GetFocusedPaneRow())); }
int32_t FirstFileActionRow() { return IsListFocused() ? FirstSelectedRow() : InList(GetFocusedPaneRow()); }
std::vector<int> GetPictureCommandRows() { return SelectionOr(GetCurrentPaneRow()); }
int32_t FirstPictureCommandRow() { return IsListFocused() ? FirstSelectedRow() : GetCurrentPaneRow(); }

