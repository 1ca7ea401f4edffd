// The list commands the file-list pane runs itself.
#include "browser/file_list_pane.h"

#include <commctrl.h>
#include <cwchar>
#include <vector>

#include "actions/picture_export.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/icon_lists.h"
#include "browser/main_window.h"
#include "browser/pure/list_pane_rules.h"
#include "browser/search_dialog.h"
#include "browser/viewer_panes.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/standins.h"
#include "core/window_helpers.h"
#include "metadata/file_info_window.h"
#include "metadata/image_info_win.h"
#include "resources/resource.h"

namespace {
constexpr size_t kClipboardRowChars = 768;

struct FileTypeCommand {
  int id;
  uint32_t bit;
};
const FileTypeCommand kFileTypeCommands[] = {
    {140, 0x1},      {141, 0x2},      {142, 0x4},       {143, 0x8},      {144, 0x10},       {242, 0x200000},
    {145, 0x4000},   {146, 0x20},     {147, 0x40},      {148, 0x80},     {233, 0x8000},     {149, 0x200},
    {150, 0x400},    {151, 0x800},    {152, 0x1000},    {153, 0x2000},   {154, 0x100},      {235, 0x10000},
    {237, 0x20000},  {239, 0x40000},  {236, 0x100000},  {261, 0x400000}, {238, 0x80000},    {274, 0x800000},
    {278, 0x80000000u}, {309, 0x1000000},
};

void SaveColumnLayout(HWND list) {
  int32_t order[kListColumnCount];
  if (SendMessageW(list, LVM_GETCOLUMNORDERARRAY, kListColumnCount, reinterpret_cast<LPARAM>(order)))
    for (int k = 0; k < kListColumnCount; ++k) g_settings.columnOrder[k] = order[k];
  for (int k = 0; k < kListColumnCount; ++k)
    if (g_settings.columnShown[k] == 1)
      g_settings.columnWidths[k] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, k, 0));
}

void ToggleStyle(HWND pane) {
  HWND list = GetDlgItem(pane, IDC_FILE_LIST);
  if (!list) return;
  LONG keep = GetWindowLongW(list, GWL_STYLE) & (WS_BORDER | WS_TABSTOP | LVS_OWNERDATA | LVS_SHAREIMAGELISTS);
  if (g_reportViewFlag) {
    SaveColumnLayout(list);
    g_reportViewFlag = 0;
    SetWindowLongW(list, GWL_STYLE,
                   keep | WS_CHILD | WS_VISIBLE | LVS_ICON | LVS_SHOWSELALWAYS | LVS_AUTOARRANGE | LVS_EDITLABELS);
  } else {
    SetWindowLongW(list, GWL_STYLE, keep | WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (header && g_listReadyFlag == 1) {
      SetWindowLongW(header, GWL_STYLE, g_listHeaderStyle);
      EnableWindow(header, TRUE);
    }
    g_reportViewFlag = 1;
  }
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(g_largeThumbnailList));
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_smallThumbnailList));
  InvalidateRect(list, nullptr, TRUE);
}

// One clipboard row of the entry over the columns in the saved order; only shown columns when
// shownOnly. A row that would pass the buffer ends at the last column that fits.
void AppendEntryRow(std::vector<wchar_t>& text, size_t* used, ImageEntry* e, bool shownOnly) {
  size_t limit = *used + kClipboardRowChars - 1;
  auto put = [&](const wchar_t* s) {
    size_t n = wcslen(s);
    if (*used + n + 2 > limit) return false;
    text[(*used)++] = L'\t';
    wmemcpy(&text[*used], s, n);
    *used += n;
    return true;
  };
  for (int k = 0; k < kListColumnCount; ++k) {
    int c = g_settings.columnOrder[k];
    if (c < 0 || c >= kListColumnCount || c == 1 || c == 2 || c == 23) continue;
    if (shownOnly && g_settings.columnShown[c] != 1) continue;
    if (!put(c == 0 ? (EntryName(e) ? EntryName(e) : L"") : GetInfoField(e->info, c))) break;
  }
  text[(*used)++] = L'\n';
  text[*used] = 0;
}

void CopySelectionInformation(HWND pane) {
  HWND list = GetDlgItem(pane, IDC_FILE_LIST);
  if (!list || g_listCount <= 0 || g_cursorRow < 0) return;
  int32_t order[kListColumnCount];
  if (SendMessageW(list, LVM_GETCOLUMNORDERARRAY, kListColumnCount, reinterpret_cast<LPARAM>(order)))
    for (int k = 0; k < kListColumnCount; ++k) g_settings.columnOrder[k] = order[k];
  std::vector<int> rows;
  bool listFocused = IsListFocused();
  if (listFocused) {
    for (int r = -1; (r = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, r, LVNI_SELECTED))) >= 0;)
      if (r < g_listCount) rows.push_back(r);
  } else {
    int r = GetFocusedPaneRow();
    if (r >= 0 && r < g_listCount) rows.push_back(r);
  }
  if (rows.empty()) return;
  std::vector<wchar_t> text(rows.size() * kClipboardRowChars + 1, 0);
  size_t used = 0;
  for (int r : rows) AppendEntryRow(text, &used, EntryAtRow(r), listFocused);
  CopyTextToClipboard(text.data());
}
}  // namespace

uint32_t FileTypeCommandBit(int id) {
  for (const FileTypeCommand& c : kFileTypeCommands)
    if (c.id == id) return c.bit;
  return 0;
}

void RunListPaneCommand(HWND pane, int id, LPARAM lParam) {
  switch (id) {
    case kStyleToggleCommand:
      ToggleStyle(pane);
      return;
    case kUpdateEntryRowCommand: {
      int row = static_cast<int>(lParam);
      if (row < 0 || row >= g_listCount) return;
      SetEntryActionText(g_displayOrder[row]);
      SendMessageW(GetDlgItem(pane, IDC_FILE_LIST), LVM_REDRAWITEMS, row, row);
      return;
    }
    case 136:
      CopySelectionInformation(pane);
      return;
    case 253:
      RunFileInfoCommand();
      return;
    case 275:
      RunSearchCommand();
      return;
    case 125:
      SetWallpaperFromSelection(pane);
      return;
    case 230:
      g_mailRequest = 1;
      return;
  }
  if (uint32_t bit = FileTypeCommandBit(id)) {
    g_settings.enabledImageTypes ^= bit;
    ReloadCurrentList(0);
  }
}
