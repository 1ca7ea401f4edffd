#include "metadata/file_info_window.h"

#include <commctrl.h>
#include <cwchar>
#include <string>

#include "core/idle_requests.h"
#include "core/main_window_state.h"
#include "metadata/pure/list_column_captions.h"
#include "core/pane_state.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/window_helpers.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_hooks.h"
#include "core/settings.h"
#include "resources/resource.h"

FileInfoShown FileInfoShownEntry[kFileInfoTabCount];

namespace {
struct TabPage {
  const wchar_t* caption;
  int dialog;
  int slot;
  DLGPROC proc;
};
const TabPage kPages[kFileInfoTabCount] = {
    {L"FILE", IDD_FILE_TAB, kSlotInfoTabFile, FileTabProc},
    {L"EXIF", IDD_EXIF_TAB, kSlotInfoTabExif, ExifTabProc},
    {L"IPTC", IDD_IPTC_TAB, kSlotInfoTabIptc, IptcTabProc},
    {L"COMMENT", IDD_COMMENT_TAB, kSlotInfoTabComment, CommentTabProc},
    {L"GPS", IDD_GPS_TAB, kSlotInfoTabGps, GpsTabProc},
    {L"PREVIEW", IDD_PREVIEW_TAB, kSlotInfoTabPreview, PreviewTabProc},
};
HWND g_pages[kFileInfoTabCount];

void MarkAllStale() {
  for (FileInfoShown& s : FileInfoShownEntry) {
    s.entry = -1;
    s.path[0] = 0;
  }
}

int StripHeight() { return 12 * g_uiScale + 10; }

// The floating form is a top-level window; the docked one a child of the navigation pane.
bool IsFloating(HWND window) { return (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0; }

void LayOut(HWND window) {
  RECT rc;
  GetClientRect(window, &rc);
  const int strip = StripHeight();
  MoveWindow(GetDlgItem(window, IDC_FILE_INFO_TAB), 0, 0, rc.right, strip, TRUE);
  for (HWND page : g_pages)
    if (page) MoveWindow(page, 0, strip, rc.right, rc.bottom - strip > 0 ? rc.bottom - strip : 0, TRUE);
}
}  // namespace

int32_t FileInfoTargetEntry() {
  if (g_listCount <= 0) return -1;
  int32_t row = -1;
  if ((g_viewMode == 1 || g_metadataHooks.isListFocused()) && g_cursorRow != -1) row = g_cursorRow;
  else row = GetPaneOrderNumber(g_focusedPane);
  if (row < 0 || row >= g_listCount) return -1;
  const int32_t entry = g_displayOrder[row];
  return entry < g_entryCount && EntryAt(entry) ? entry : -1;
}

bool TakeFileInfoTarget(int tab, int32_t* entry) {
  *entry = FileInfoTargetEntry();
  FileInfoShown& s = FileInfoShownEntry[tab];
  if (*entry < 0) {
    s.entry = -1;
    s.path[0] = 0;
    return false;
  }
  const wchar_t* path = EntryPath(EntryAt(*entry));
  if (s.entry == *entry && wcscmp(s.path, path) == 0) return false;
  s.entry = *entry;
  wcsncpy(s.path, path, 259);
  s.path[259] = 0;
  return true;
}

void MarkFileInfoTabStale(int tab) {
  FileInfoShownEntry[tab].entry = -1;
  FileInfoShownEntry[tab].path[0] = 0;
}

void SelectFileInfoTab(int tab) {
  if (tab != -1) g_settings.fileInfoLastTab = tab;
  if (g_settings.fileInfoLastTab < 0) g_settings.fileInfoLastTab = 0;
  if (g_settings.fileInfoLastTab > kFileInfoTabCount - 1) g_settings.fileInfoLastTab = kFileInfoTabCount - 1;
  const int last = g_settings.fileInfoLastTab;
  for (int t = 0; t < kFileInfoTabCount; ++t)
    if (HWND page = g_windowSlots[kPages[t].slot]) ShowWindow(page, t == last ? SW_SHOW : SW_HIDE);
  if (HWND window = g_windowSlots[kSlotFileInfo]) SendDlgItemMessageW(window, IDC_FILE_INFO_TAB, TCM_SETCURSEL, last, 0);
  MarkAllStale();
  FileInfoRefreshFlag = 1;
}

void RunFileInfoCommand() {
  if (g_settings.fileInfoDockInTree != 1 || g_treeHidden) {
    if (!g_windowSlots[kSlotFileInfo])
      CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_FILE_INFO), g_hwndMain, FileInfoWindowProc,
                         g_settings.fileInfoLastTab);
    return;
  }
  g_settings.fileInfoDocked = g_windowSlots[kSlotFileInfo] ? !g_settings.fileInfoDocked : 1;
  PostMessageW(g_hwndMain, WM_SIZE, 0, 0);
}

INT_PTR CALLBACK FileInfoWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotFileInfo] = dialog;
      MarkAllStale();
      HWND tabs = GetDlgItem(dialog, IDC_FILE_INFO_TAB);
      SendMessageW(tabs, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
      for (int t = 0; t < kFileInfoTabCount; ++t) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kPages[t].caption);
        SendMessageW(tabs, TCM_INSERTITEMW, t, reinterpret_cast<LPARAM>(&item));
      }
      for (int t = 0; t < kFileInfoTabCount; ++t) {
        if (!g_windowSlots[kPages[t].slot])
          CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(kPages[t].dialog), dialog, kPages[t].proc, 0);
        g_pages[t] = g_windowSlots[kPages[t].slot];
      }
      SelectFileInfoTab(-1);
      if (IsFloating(dialog) && g_settings.fileInfoWidth > 0 && g_settings.fileInfoHeight > 0)
        MoveWindow(dialog, g_settings.fileInfoLeft, g_settings.fileInfoTop, g_settings.fileInfoWidth,
                   g_settings.fileInfoHeight, TRUE);
      LayOut(dialog);
      if (IsFloating(dialog)) ShowWindow(dialog, SW_SHOW);
      return TRUE;
    }
    case WM_SIZE:
      LayOut(dialog);
      return TRUE;
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->idFrom == IDC_FILE_INFO_TAB && hdr->code == TCN_SELCHANGE)
        SelectFileInfoTab(static_cast<int>(SendMessageW(hdr->hwndFrom, TCM_GETCURSEL, 0, 0)));
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
          SendMessageW(dialog, WM_CLOSE, 0, 0);
          return TRUE;
        case kRefreshCommand: {
          const int last = g_settings.fileInfoLastTab;
          if (last >= 0 && last < kFileInfoTabCount && g_windowSlots[kPages[last].slot])
            SendMessageW(g_windowSlots[kPages[last].slot], WM_COMMAND, kRefreshCommand, 0);
          return TRUE;
        }
      }
      return FALSE;
    case WM_CLOSE:
      // The docked pane is closed by the main window's layout; the floating window by itself.
      if (IsFloating(dialog)) DestroyWindow(dialog);
      else {
        g_settings.fileInfoDocked = 0;
        PostMessageW(g_hwndMain, WM_SIZE, 0, 0);
      }
      return TRUE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_DESTROY: {
      // Only the floating form keeps its rectangle: the docked pane's is the layout's.
      if (IsFloating(dialog) && !IsIconic(dialog)) {
        RECT rc;
        GetWindowRect(dialog, &rc);
        g_settings.fileInfoLeft = rc.left;
        g_settings.fileInfoTop = rc.top;
        g_settings.fileInfoWidth = rc.right - rc.left;
        g_settings.fileInfoHeight = rc.bottom - rc.top;
      }
      // The pages are child windows: they go with this window, clearing their own slots.
      for (HWND& page : g_pages) page = nullptr;
      MarkAllStale();
      if (g_windowSlots[kSlotFileInfo] == dialog) g_windowSlots[kSlotFileInfo] = nullptr;
      PauseBusy();
      return TRUE;
    }
  }
  return FALSE;
}

// ---- FILE tab ----
namespace {
wchar_t g_fileTabPath[260];

void SetText(HWND page, int id, const wchar_t* text) { SetDlgItemTextW(page, id, text); }

void ShowAttributes(HWND page, DWORD attributes) {
  CheckDlgButton(page, IDC_ATTR_READONLY, (attributes & FILE_ATTRIBUTE_READONLY) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_ATTR_HIDDEN, (attributes & FILE_ATTRIBUTE_HIDDEN) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_ATTR_ARCHIVE, (attributes & FILE_ATTRIBUTE_ARCHIVE) ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(page, IDC_ATTR_SYSTEM, (attributes & FILE_ATTRIBUTE_SYSTEM) ? BST_CHECKED : BST_UNCHECKED);
}

void RefreshFileTab(HWND page) {
  int32_t entry;
  const bool changed = TakeFileInfoTarget(kTabFile, &entry);
  if (entry < 0) {
    for (int id = IDC_INFO_NAME; id <= IDC_INFO_ACCESSED; ++id) SetText(page, id, L"");
    ShowAttributes(page, 0);
    g_fileTabPath[0] = 0;
    return;
  }
  if (!changed || g_entryCount <= 0) return;
  ImageEntry* e = EntryAt(entry);
  const wchar_t* path = EntryPath(e);
  SetText(page, IDC_INFO_NAME, EntryName(e));
  wchar_t folder[260] = {};
  GetFolderPart(path, folder);
  SetText(page, IDC_INFO_FOLDER, folder);
  wcsncpy(g_fileTabPath, path, 259);
  const wchar_t* size = GetInfoField(e->info, 4);
  SetText(page, IDC_INFO_SIZE, size ? size : L"");
  wchar_t time[64];
  FormatFileCreationTime(path, time, 64);
  SetText(page, IDC_INFO_CREATED, time);
  FormatFileWriteTime(path, time, 64);
  SetText(page, IDC_INFO_WRITTEN, time);
  FormatFileAccessTime(path, time, 64);
  SetText(page, IDC_INFO_ACCESSED, time);
  const DWORD attributes = GetFileAttributesW(path);
  if (attributes != INVALID_FILE_ATTRIBUTES) ShowAttributes(page, attributes);
}

void ToggleAttribute(HWND page, int id, DWORD bit) {
  if (!g_fileTabPath[0]) return;
  const DWORD attributes = GetFileAttributesW(g_fileTabPath);
  if (attributes == INVALID_FILE_ATTRIBUTES) return;  // never write a made-up set back
  const bool on = IsDlgButtonChecked(page, id) == BST_CHECKED;
  SetFileAttributesW(g_fileTabPath, on ? (attributes | bit) : (attributes & ~bit));
  const int last = g_settings.fileInfoLastTab;
  if (last >= 0 && last < kFileInfoTabCount && g_windowSlots[kPages[last].slot])
    SendMessageW(g_windowSlots[kPages[last].slot], WM_COMMAND, kRefreshCommand, 0);
}
}  // namespace

INT_PTR CALLBACK FileTabProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotInfoTabFile] = page;
      g_fileTabPath[0] = 0;
      return TRUE;
    case WM_DESTROY:
      g_fileTabPath[0] = 0;
      if (g_windowSlots[kSlotInfoTabFile] == page) g_windowSlots[kSlotInfoTabFile] = nullptr;
      return TRUE;
    case WM_NOTIFY:
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kRefreshCommand:
          RefreshFileTab(page);
          return TRUE;
        case IDC_ATTR_READONLY:
          ToggleAttribute(page, IDC_ATTR_READONLY, FILE_ATTRIBUTE_READONLY);
          return TRUE;
        case IDC_ATTR_HIDDEN:
          ToggleAttribute(page, IDC_ATTR_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
          return TRUE;
        case IDC_ATTR_ARCHIVE:
          ToggleAttribute(page, IDC_ATTR_ARCHIVE, FILE_ATTRIBUTE_ARCHIVE);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

// ---- EXIF tab ----
namespace {
constexpr int kCopyCommand = 244;

void AddListRow(HWND list, int index, const wchar_t* value, const wchar_t* label, LPARAM data) {
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(value);
  item.lParam = data;
  const int row = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  LVITEMW sub{};
  sub.iSubItem = 1;
  sub.pszText = const_cast<wchar_t*>(label);
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
}

void RefreshExifTab(HWND page) {
  HWND list = GetDlgItem(page, IDC_EXIF_LIST);
  int32_t entry;
  const bool changed = TakeFileInfoTarget(kTabExif, &entry);
  if (entry < 0) {
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    return;
  }
  if (!changed) return;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  if (g_entryCount <= 0) return;
  const ImageInfo& info = EntryAt(entry)->info;
  int rows = 0;
  for (int column = 7; column <= 22; ++column) {
    const wchar_t* text = GetInfoField(info, column);
    if (!text || !text[0]) continue;
    // The same item names as the file list's column captions.
    const wchar_t* label =
        reinterpret_cast<const wchar_t*>(ListColumnCaptionForStyle(column, g_settings.listCaptionStyle,
                                                                   g_settings.customColumnCaptions));
    AddListRow(list, rows, text, label, rows);
    ++rows;
  }
  if (rows == 0) AddListRow(list, 0, L"", L"EXIF情報が見つかりません", 0);
}
}  // namespace

// Selected rows of a two-column info list as "value\tlabel\n" lines on the clipboard.
void CopyInfoListRows(HWND list) {
  const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  if (count <= 0) return;
  std::wstring text;
  text.reserve(static_cast<size_t>(count) * 768);
  for (int row = -1; (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) != -1;) {
    wchar_t part[512];
    for (int column = 0; column < 2; ++column) {
      LVITEMW item{};
      item.iSubItem = column;
      item.pszText = part;
      item.cchTextMax = 512;
      part[0] = 0;
      SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
      text += part;
      text += column == 0 ? L"\t" : L"\n";
    }
  }
  CopyTextToClipboard(text.c_str());
}

void SetUpInfoList(HWND list, const wchar_t* const* captions, const int32_t* widths, int columns,
                   const int* order) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  for (int c = 0; c < columns; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(captions[c]);
    column.cx = widths[c];
    column.iSubItem = c;
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  SendMessageW(list, LVM_SETCOLUMNORDERARRAY, columns, reinterpret_cast<LPARAM>(order));
}

bool HandleInfoListTabMessage(HWND page, const InfoListTab& tab, UINT message, LPARAM lParam, INT_PTR* result) {
  HWND list = GetDlgItem(page, tab.listId);
  *result = TRUE;
  switch (message) {
    case WM_SIZE:
      MoveWindow(list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return true;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(page, DWLP_MSGRESULT, 1);
      return true;
    case WM_MEASUREITEM:
      *result = g_metadataHooks.measureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return true;
    case WM_DRAWITEM:
      *result = g_metadataHooks.drawOwnerMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return true;
    case WM_DESTROY:
      for (int c = 0; c < tab.columns; ++c)
        tab.widths[c] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
      if (g_windowSlots[tab.slot] == page) g_windowSlots[tab.slot] = nullptr;
      return true;
    case WM_NOTIFY: {
      const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (static_cast<int>(hdr->idFrom) == tab.listId && hdr->code == NM_RCLICK) {
        POINT p;
        GetCursorPos(&p);
        TrackPopupMenu(g_metadataHooks.infoTabPopup(tab.menu), TPM_LEFTBUTTON, p.x, p.y, 0, page, nullptr);
      }
      return true;
    }
  }
  return false;
}

INT_PTR CALLBACK ExifTabProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  static const InfoListTab kTab = {IDC_EXIF_LIST, kSlotInfoTabExif, g_settings.exifTabColumnWidths, 2, 16};
  HWND list = GetDlgItem(page, IDC_EXIF_LIST);
  INT_PTR result;
  if (HandleInfoListTabMessage(page, kTab, message, lParam, &result)) return result;
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotInfoTabExif] = page;
      const wchar_t* captions[] = {L"内容", L"タグ"};
      const int order[] = {1, 0};
      SetUpInfoList(list, captions, g_settings.exifTabColumnWidths, 2, order);
      return TRUE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kRefreshCommand:
          RefreshExifTab(page);
          return TRUE;
        case kCopyCommand:
          CopyInfoListRows(list);
          return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}
