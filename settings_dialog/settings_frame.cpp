#include "settings_dialog/settings_dialog.h"

#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "resources/resource.h"
#include "settings_dialog/action_pages.h"
#include "resources/action_pages_ids.h"
#include "settings_dialog/color_settings.h"
#include "settings_dialog/pure/page_rules.h"
#include "resources/settings_ids.h"
#include "settings_dialog/settings_more_ids.h"

uint8_t ThumbnailRebuildFlag = 0;
HWND SettingsPageHandles[kSettingsPageCount];

namespace {
struct PageRow {
  int templateId;
  DLGPROC proc;
  int slot;
  const wchar_t* tabCaption;
};
// Indexed by page.
const PageRow kPages[kSettingsPageCount] = {
    {IDD_SETTINGS_IMAGE_FORMATS, ImageFormatsPageProc, 14, L"画像ﾌｧｲﾙ"},
    {IDD_SETTINGS_MOVIE_FORMATS, MovieFilesPageProc, 15, L"動画ﾌｧｲﾙ"},
    {IDD_SETTINGS_DISPLAY, DisplayPageProc, 16, L"表示設定"},
    {IDD_SETTINGS_THUMBNAILS, ThumbnailPageProc, 17, L"ｻﾑﾈｲﾙ設定"},
    {IDD_SETTINGS_CACHE, CacheSettingsPageProc, 18, L"ｷｬｯｼｭ設定"},
    {IDD_SETTINGS_VIEW_FOCUS, ViewFocusPageProc, 28, L"ﾋﾞｭｰﾌｫｰｶｽ設定"},
    {IDD_SETTINGS_COLORS, ColorsPageProc, 21, L"ｶﾗｰ設定"},
    {IDD_SETTINGS_FONTS, FontsPageProc, 25, L"ﾌｫﾝﾄ設定"},
    {IDD_SETTINGS_ACTION_LIST, ActionListPageProc, 19, L"ｱｸｼｮﾝ設定"},
    {IDD_SETTINGS_RENAME, RenameSettingsPageProc, 24, L"ﾘﾈｰﾑ設定"},
    {IDD_SETTINGS_MEDIA_SPLIT, MediaSplitPageProc, 20, L"ﾒﾃﾞｨｱ容量分割設定"},
    {IDD_SETTINGS_FAVOURITES, FavouritesPageProc, 26, L"お気に入り設定"},
    {IDD_SETTINGS_LIST_ITEMS, ListItemsPageProc, 27, L"ﾘｽﾄ項目設定"},
    {IDD_SETTINGS_PERFORMANCE, PerformancePageProc, 22, L"ﾊﾟﾌｫｰﾏﾝｽ設定"},
    {IDD_SETTINGS_WALLPAPER, WallpaperPageProc, 23, L"壁紙設定"},
    {IDD_SETTINGS_MAIL, MailAttachmentPageProc, 29, L"ﾒｰﾙ添付画像設定"},
    {IDD_SETTINGS_TOOLBOX, ToolboxButtonsPageProc, 30, L"ﾂｰﾙBOX ﾎﾞﾀﾝ設定"},
    {IDD_SETTINGS_GPS, GpsSettingsPageProc, 31, L"GPS撮影位置推測設定"},
};
// Creation order; the pages are destroyed in the same order.
const int kCreationOrder[kSettingsPageCount] = {0, 1, 2, 4, 3, 8, 10, 6, 13, 14, 9, 7, 11, 12, 5, 15, 16, 17};

struct TreeRow {
  int page;  // -1: a group row
  const wchar_t* text;
  HTREEITEM item;
};
TreeRow g_treeRows[24] = {
    {-1, L"全般", nullptr}, {0, L"画像ファイル", nullptr}, {1, L"動画ファイル", nullptr},
    {2, L"表示設定", nullptr}, {3, L"サムネイル設定", nullptr}, {4, L"キャッシュ設定", nullptr},
    {5, L"ビューフォーカス設定", nullptr}, {-1, L"ウインドウ設定", nullptr}, {6, L"カラー設定", nullptr},
    {7, L"フォント設定", nullptr}, {-1, L"アクション", nullptr}, {8, L"アクション設定(F10)", nullptr},
    {9, L"リネーム設定", nullptr}, {10, L"メディア容量分割設定", nullptr}, {-1, L"フォルダショートカット", nullptr},
    {11, L"お気に入り設定", nullptr}, {12, L"リスト項目設定", nullptr}, {-1, L"パフォーマンス", nullptr},
    {13, L"パフォーマンス設定", nullptr}, {-1, L"その他", nullptr}, {14, L"壁紙設定", nullptr},
    {15, L"メール添付画像設定", nullptr}, {16, L"ツールBOX ボタン設定", nullptr}, {17, L"GPS撮影位置推測設定", nullptr},
};

SettingsBlock g_atOpen;  // compared at close to raise the effects of changed fields
bool g_closePending = false;

// The pages fill the tab's display area taken from the dialog's client area, starting at the
// tab's left edge; the tab clips what lies beyond its own display area.
void FitPages(HWND dialog) {
  HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
  RECT r;
  GetClientRect(dialog, &r);
  SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  MapWindowPoints(dialog, tab, reinterpret_cast<POINT*>(&r), 2);
  for (HWND page : SettingsPageHandles)
    if (page) MoveWindow(page, 0, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void BuildTree(HWND tree) {
  HTREEITEM group = TVI_ROOT;
  for (TreeRow& row : g_treeRows) {
    TVINSERTSTRUCTW ins{};
    ins.hParent = row.page < 0 ? TVI_ROOT : group;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    ins.item.pszText = const_cast<wchar_t*>(row.text);
    ins.item.lParam = row.page;
    row.item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    if (row.page < 0) group = row.item;
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(row.item));
  }
}

void SaveColumnLayout() {
  HWND pane = g_windowSlots[kSlotFileListPane];
  HWND list = pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr;
  if (!list || (GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT) return;
  int order[24];
  if (SendMessageW(list, LVM_GETCOLUMNORDERARRAY, 24, reinterpret_cast<LPARAM>(order)))
    for (int i = 0; i < 24; ++i) g_settings.columnOrder[i] = order[i];
  for (int i = 0; i < 24; ++i)
    if (g_settings.columnShown[i] == 1)
      g_settings.columnWidths[i] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0));
}

// The selected row while the tree has no focus: Wine fills it with the button face colour but
// keeps the tree's own text colour, light on light with the default colours, so the row reads
// in the button colours as a whole.
LRESULT DrawTreeRow(NMTVCUSTOMDRAW* draw) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
  HWND tree = draw->nmcd.hdr.hwndFrom;
  const LRESULT state = SendMessageW(tree, TVM_GETITEMSTATE, draw->nmcd.dwItemSpec, TVIS_SELECTED | TVIS_DROPHILITED);
  if ((state & TVIS_SELECTED) && !(state & TVIS_DROPHILITED) && GetFocus() != tree) {
    draw->clrText = GetSysColor(COLOR_BTNTEXT);
    draw->clrTextBk = GetSysColor(COLOR_BTNFACE);
  }
  return CDRF_DODEFAULT;
}

// Returns false (the dialog stays open on the cache page) when the typed folder is not valid.
bool StoreDataFolder(HWND dialog) {
  wchar_t text[261] = L"";
  if (HWND cache = SettingsPageHandles[4]) GetDlgItemTextW(cache, IDC_DATA_FOLDER, text, 261);
  else wcsncpy(text, W(g_settings.dataFolder), 260);
  text[260] = 0;
  if (text[0] && !IsValidFolderPath(text)) {
    ShowAppMessageBox(dialog, L"キャッシュ保存先フォルダが不正です。", g_productName, MB_ICONERROR);
    SelectSettingsPage(4);
    return false;
  }
  NormaliseDataFolderText(reinterpret_cast<const char16_t*>(text), g_settings.dataFolder);
  return true;
}
}  // namespace

const SettingsBlock& SettingsAtOpen() { return g_atOpen; }

void OpenSettingsDialog(HWND owner, int page) {
  if (g_windowSlots[kSlotSettingsDialog]) return;
  DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, SettingsDialogProc, page);
}

void SelectSettingsPage(int page) {
  if (page >= 0 && page < kSettingsPageCount) g_settings.lastSettingsPage = page;
  const int shown = g_settings.lastSettingsPage;
  for (int p = 0; p < kSettingsPageCount; ++p)
    if (HWND w = g_windowSlots[kPages[p].slot]) ShowWindow(w, p == shown ? SW_SHOW : SW_HIDE);
  // The action list shows the rename settings as typed so far; the rename page keeps what was
  // typed on it when it is shown again.
  if (shown == 8 || shown == 9) CommitRenameSettings();
  if (shown == 8 || shown == 9)
    if (HWND w = g_windowSlots[kPages[shown].slot]) SendMessageW(w, WM_COMMAND, kRefreshCommand, 0);
  HWND dialog = g_windowSlots[kSlotSettingsDialog];
  if (!dialog) return;
  SendDlgItemMessageW(dialog, IDC_SETTINGS_TAB, TCM_SETCURSEL, shown, 0);
  for (const TreeRow& row : g_treeRows)
    if (row.page == shown && row.item)
      SendDlgItemMessageW(dialog, IDC_SETTINGS_TREE, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(row.item));
}

void RefreshSettingsPages() {
  for (int p = 0; p < kSettingsPageCount; ++p) {
    HWND w = g_windowSlots[kPages[p].slot];
    if (!w) continue;
    if (p <= 4) RefreshBoundPage(w, p);
    else if (p == 8) RefreshActionListPage(w);
    else if (p == 7) SetFontPageBoldChecks(w);
    // The colour, rename and performance pages show nothing that another page's change moves.
    else if (p == 5 || (p >= 10 && p != 13)) SendMessageW(w, WM_COMMAND, kRefreshCommand, 0);
  }
}

void ApplySettingsAfterClose() {
  ApplyBoundPageEffects();
  const SettingsBlock& was = g_atOpen;
  if (g_settings.mamiyaThumbsByDevelopment != was.mamiyaThumbsByDevelopment ||
      g_settings.movieThumbSecond != was.movieThumbSecond)
    ReloadCurrentList(1);
  else if (ThumbnailRebuildFlag == 1)
    ReloadCurrentList(0);
  SaveSettingsFile();
  ApplyColorSettings();
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kSlotSettingsDialog] = dialog;
      g_closePending = true;
      SaveColumnLayout();
      std::memcpy(&g_atOpen, &g_settings, sizeof g_atOpen);
      ThumbnailRebuildFlag = 0;
      BuildTree(GetDlgItem(dialog, IDC_SETTINGS_TREE));
      HWND tab = GetDlgItem(dialog, IDC_SETTINGS_TAB);
      for (int p = 0; p < kSettingsPageCount; ++p) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(kPages[p].tabCaption);
        SendMessageW(tab, TCM_INSERTITEMW, p, reinterpret_cast<LPARAM>(&item));
      }
      for (int p : kCreationOrder)
        if (!SettingsPageHandles[p])
          SettingsPageHandles[p] =
              CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(kPages[p].templateId), tab, kPages[p].proc, 0);
      FitPages(dialog);
      ApplyColorSettings();
      const int page = static_cast<int>(lParam);
      SelectSettingsPage(page >= 0 && page < kSettingsPageCount ? page : -1);
      RefreshSettingsPages();
      return FALSE;
    }
    case WM_SIZE:
      FitPages(dialog);
      return TRUE;
    case WM_NOTIFY: {
      NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
      if (h->idFrom == IDC_SETTINGS_TREE && h->code == TVN_SELCHANGEDW) {
        const NMTREEVIEWW* tv = reinterpret_cast<NMTREEVIEWW*>(lParam);
        if (tv->itemNew.lParam != -1) SelectSettingsPage(static_cast<int>(tv->itemNew.lParam));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
        return TRUE;
      }
      if (h->idFrom == IDC_SETTINGS_TREE && h->code == NM_CUSTOMDRAW) {
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, DrawTreeRow(reinterpret_cast<NMTVCUSTOMDRAW*>(lParam)));
        return TRUE;
      }
      if (h->idFrom == IDC_SETTINGS_TAB && h->code == TCN_SELCHANGE) {
        SelectSettingsPage(static_cast<int>(SendMessageW(h->hwndFrom, TCM_GETCURSEL, 0, 0)));
        return TRUE;
      }
      return FALSE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      if (StoreDataFolder(dialog)) EndDialog(dialog, 0);
      return TRUE;
    case WM_DESTROY:
      PauseBusy();
      CloseIme(dialog);
      return FALSE;
    case WM_NCDESTROY:
      // The pages are gone by now and have stored their last values.
      g_windowSlots[kSlotSettingsDialog] = nullptr;
      for (HWND& h : SettingsPageHandles) h = nullptr;
      if (g_closePending) {
        g_closePending = false;
        ApplySettingsAfterClose();
      }
      return FALSE;
  }
  return FALSE;
}
