// The list commands the file-list pane runs itself.
#include "browser/file_list_pane.h"

#include <commctrl.h>
#include <cwchar>
#include <cstring>
#include <shlobj.h>
#include <shellapi.h>
#include <string>
#include <vector>

#include "browser/browser_hooks.h"
#include "browser/caption_favourites.h"
#include "browser/idle_loop.h"
#include "browser/list_rows.h"
#include "browser/pure/list_command_rules.h"
#include "browser/rebar_bands.h"
#include "browser/slideshow.h"
#include "core/window_slots.h"
#include "browser/collections.h"
#include "core/folder_cache.h"
#include "core/message_box.h"
#include "core/window_helpers.h"

#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/icon_lists.h"
#include "browser/main_window.h"
#include "browser/pure/list_pane_rules.h"
#include "browser/search_dialog.h"
#include "browser/viewer_panes.h"
#include "core/image_entry_list.h"
#include "core/list_hooks.h"
#include "core/list_helpers.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/app_globals.h"
#include "core/thumbnail_list_thread.h"
#include "viewer/histogram.h"
#include "viewer/viewer_threads.h"
#include "core/window_helpers.h"
#include "metadata/file_info_window.h"
#include "metadata/image_info_win.h"
#include "resources/resource.h"

std::vector<int> SelectedRows(HWND list);

namespace {

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

// One clipboard line of the entry over the columns in the saved order (only shown columns
// when shownOnly): a tab before every field and a newline at the end.
void AppendEntryRow(std::wstring& text, ImageEntry* e, bool shownOnly) {
  for (int k = 0; k < kListColumnCount; ++k) {
    int c = g_settings.columnOrder[k];
    if (c < 0 || c >= kListColumnCount || c == 1 || c == 2 || c == 23) continue;
    if (shownOnly && g_settings.columnShown[c] != 1) continue;
    const wchar_t* field = c == 0 ? EntryName(e) : GetInfoField(e->info, c);
    text += L'\t';
    if (field) text.append(field, wcsnlen(field, kEntryPathChars));
  }
  text += L'\n';
}

void CopySelectionInformation(HWND pane) {
  HWND list = GetDlgItem(pane, IDC_FILE_LIST);
  if (!list || g_listCount <= 0 || g_cursorRow < 0) return;
  int32_t order[kListColumnCount];
  if (SendMessageW(list, LVM_GETCOLUMNORDERARRAY, kListColumnCount, reinterpret_cast<LPARAM>(order)))
    for (int k = 0; k < kListColumnCount; ++k) g_settings.columnOrder[k] = order[k];
  const bool listFocused = IsListFocused();
  const std::vector<int> rows = GetPictureCommandRows();
  if (rows.empty()) return;
  // The string grows to what the rows measure: no row is cut, however long its fields.
  std::wstring text;
  for (int r : rows) AppendEntryRow(text, EntryAtRow(r), listFocused);
  CopyTextToClipboard(text.c_str());
}

HWND MainWindow() { return g_hwndMain; }
HWND NavigationPane() { return g_windowSlots[kSlotNavigationPane]; }
void SendTo(HWND window, int id) {
  if (window) SendMessageW(window, WM_COMMAND, id, 0);
}

// Runs one action kind over the target rows, each followed by the row's update.
void RunActionOnRows(HWND pane, int kind, const std::vector<int>& rows, bool listFocused) {
  if (rows.empty()) return;
  if (listFocused) CaptureMouseWithCursor(pane, IDC_WAIT);
  for (int row : rows) {
    if (row >= g_listCount) continue;
    const int entry = g_displayOrder[row];
    const int32_t result = g_browserHooks.executeEntryAction(entry, kind, L"", -1, 0);
    g_browserHooks.addActionHistoryEntry(entry, kind, -1, result);
    SendMessageW(pane, WM_COMMAND, kUpdateEntryRowCommand, row);
  }
  if (listFocused) ReleaseMouseCapture();
}

void RunActionOnTargets(HWND pane, int kind) {
  const bool listFocused = IsListFocused();
  RunActionOnRows(pane, kind, GetFileActionRows(), listFocused);
}

void RecycleTargets(HWND pane, LPARAM fromKey) {
  if (SlideshowRunning || g_windowSlots[kSlotIndexPrint]) return;
  // The targets are taken before the question: the box takes the focus from the list.
  const bool listFocused = IsListFocused();
  const std::vector<int> rows = GetFileActionRows();
  if (fromKey == 1 && g_deleteConfirmPending == 1) {
    const bool again = g_settings.confirmAgainAfterCancel != 0;
    if (!again) g_deleteConfirmPending = 0;
    const int answer = ShowAppMessageBox(pane, reinterpret_cast<const wchar_t*>(DeleteQuestionText(again)),
                                         g_productName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST);
    if (answer != IDYES) {
      PauseBusy();
      return;
    }
    if (again) g_deleteConfirmPending = 0;
  }
  RunActionOnRows(pane, 5, rows, listFocused);
  if (g_cursorRow >= 0 && g_cursorRow < g_listCount && EntryAtRow(g_cursorRow)->presence == 0) g_nextImageRequest = 1;
  g_redrawFlag = 1;
  PauseBusy();
}

void RefreshAsked(HWND pane) {
  if (g_settings.confirmRefresh) {
    const int answer = ShowAppMessageBox(
        pane, L"最新の情報に更新しますか？\n※更新をすると現フォルダのアクション履歴などもクリアされます。", g_productName,
        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST);
    if (answer != IDYES) {
      PauseBusy();
      return;
    }
  }
  SendMessageW(pane, WM_COMMAND, kReloadListCommand, 0);
}

void ReloadList() {
  g_listHooks.loadListContents(1, 1, g_reloadSelectionMode);
  if (g_viewMode == 1) SetFocusRestoreTarget(1);
  g_relayoutFlag = 1;
}

void ViewSelectedOnly() {
  StopViewerThreads();
  const bool shown = TransferListSelection(true);
  // Without a row to show the panes still paint what they did: their threads run again.
  StartViewerThreads();
  g_relayoutFlag = 1;
  if (!shown) return;
  if (g_viewMode != 3) g_viewMode = 2;
  FocusRestoreWindow = GetPaneControl(GetFocusedPaneIndex(2));
}

void UndoTargets(HWND pane) {
  if (SlideshowRunning) return;
  RunActionOnTargets(pane, 0);
}

void ShowFileProperties() {
  if (g_listCount <= 0 || g_cursorRow < 0) return;
  const int row = FirstPictureCommandRow();
  if (row < 0) return;
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
  info.hwnd = GetShellWindow();
  info.lpVerb = L"properties";
  info.lpFile = EntryPath(EntryAtRow(row));
  info.nShow = SW_SHOWNORMAL;
  if (ShellExecuteExW(&info) && info.hProcess) CloseHandle(info.hProcess);
  PauseBusy();
}

void ForwardFolderCommand(int id) {
  std::memset(g_targetFolder, 0, 520);
  wcsncpy(g_targetFolder, g_currentFolder, kPathChars - 1);
  SendTo(NavigationPane(), id);
}

void RegisterFavourite(HWND pane) {
  wchar_t text[kPathChars + 128];
  swprintf(text, kPathChars + 128, L"現在のフォルダをお気に入りフォルダに登録します。\n%ls　　\n\n登録してよろしいですか？",
           g_currentFolder);
  const int answer = ShowConfirmSettingsBox(pane, text, g_productName,
                                            MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3 | MB_TOPMOST);
  if (answer == IDYES) {
    SendTo(MainWindow(), 301);
    PendingCommand = 281;
    PendingCommandWindow = MainWindow();
  } else if (answer == IDNO) {
    AddFavouriteFolder(g_currentFolder);
    FillFavouritesCombo();
  }
  PauseBusy();
}

// Selects the rows whose check mark equals `checked`, deselecting the others.
void SelectByCheckMark(HWND list, bool checked) {
  if (!IsListFocused()) return;
  for (int row = 0; row < g_listCount; ++row) {
    LVITEMW item{};
    const bool pick = (EntryAtRow(row)->checked != 0) == checked;
    item.stateMask = pick ? (LVIS_SELECTED | LVIS_FOCUSED) : LVIS_SELECTED;
    item.state = pick ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
}

void InvertCheckMarks(HWND list) {
  const bool panel = !IsListFocused();
  for (int row : GetPictureCommandRows()) {
    ImageEntry* e = EntryAtRow(row);
    e->checked = e->checked ? 0 : 1;
    g_cacheDirty |= 2;
    SendMessageW(list, LVM_REDRAWITEMS, row, row);
  }
  if (panel || (g_viewMode & 2)) g_redrawFlag = 1;
}

void RemoveFromCollection() {
  RemoveSelectionFromCollection(g_currentCollection);
  ReloadCurrentList(0);
}

void SetSplitLayout(int layout) {
  g_settings.splitLayout = layout;
  if (g_viewMode == 1) g_toggleViewRequest = 1;
  if (g_viewMode & 2) g_relayoutFlag = 1;
  g_histogramBudget = g_paneCountByLayout[layout];
  SyncListSelectionWithView();
}
}  // namespace

std::vector<int> SelectedRows(HWND list) {
  std::vector<int> rows;
  if (!list) return rows;
  for (int r = -1; (r = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, r, LVNI_SELECTED))) >= 0;)
    if (r < g_listCount) rows.push_back(r);
    else break;
  return rows;
}

namespace {
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
    case 117: RecycleTargets(pane, lParam); return;
    case 118: RefreshAsked(pane); return;
    case 119: g_styleToggleRequest = 1; return;
    case 120: ViewSelectedOnly(); return;
    case 122: UndoTargets(pane); return;
    case 123: SHEmptyRecycleBinW(g_hwndMain, nullptr, 0); return;
    case 125: g_browserHooks.setWallpaperFromSelection(pane); return;
    case 126: SendTo(MainWindow(), 32788); return;
    case 127: SendTo(MainWindow(), 32783); return;
    case 128: SendTo(MainWindow(), 32787); return;
    case 129: SendTo(MainWindow(), 32779); return;
    case 130: SendTo(MainWindow(), 32781); return;
    case 131: SendTo(MainWindow(), 32797); return;
    case 132: SendTo(MainWindow(), 104); return;
    case 133: SendTo(MainWindow(), 32792); return;
    case 134: SendTo(MainWindow(), 32790); return;
    case 136: CopySelectionInformation(pane); return;
    case 137: SelectByCheckMark(GetDlgItem(pane, IDC_FILE_LIST), true); return;
    case 138: SelectByCheckMark(GetDlgItem(pane, IDC_FILE_LIST), false); return;
    case 139: SendCommandThroughRebar(309); return;
    case 156: ForwardFolderCommand(156); return;
    case 157: ForwardFolderCommand(157); return;
    case 158: ShowFileProperties(); return;
    case 164: RegisterFavourite(pane); return;
    case 182: SendCommandThroughRebar(305); return;
    case 183: SendCommandThroughRebar(308); return;
    case 185:
      ConfirmAndClearDiskCache(g_hwndMain);
      PauseBusy();
      return;
    case 197: RunActionOnTargets(pane, 12); return;
    case 200: InvertCheckMarks(GetDlgItem(pane, IDC_FILE_LIST)); return;
    case 206: SendTo(MainWindow(), 226); return;
    case 218: SendCommandThroughRebar(340); return;
    case 227: SendTo(MainWindow(), 225); return;
    case kReloadListCommand: ReloadList(); return;
    case 230: g_mailRequest = 1; return;
    case 231: SendTo(MainWindow(), 232); return;
    case 267: SendTo(NavigationPane(), 267); return;
    case 273: RemoveFromCollection(); return;
    case 305: EstimateGpsPositionCommand(pane); return;
    case 253:
      RunFileInfoCommand();
      return;
    case 275:
      RunSearchCommand();
      return;
  }
  if (id >= 435 && id <= 439) {
    SetSplitLayout(id - 435);
    return;
  }
  if (uint32_t bit = FileTypeCommandBit(id)) {
    g_settings.enabledImageTypes ^= bit;
    ReloadCurrentList(0);
  }
}
