// Pages 11 and 12: the favourite folders and the file list's detail columns, both edited as
// lists with check boxes whose rows are coloured by their check.
#include <windows.h>
#include <commctrl.h>

#include <cwchar>

#include "browser/caption_favourites.h"
#include "browser/icon_lists.h"
#include "browser/list_rows.h"
#include "browser/menus.h"
#include "browser/pure/favourite_rows.h"
#include "browser/pure/list_pane_rules.h"
#include "browser/rebar_bands.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "resources/resource.h"
#include "browser/main_window.h"
#include "settings_dialog/pure/later_page_rules.h"
#include "settings_dialog/settings_dialog.h"
#include "settings_dialog/settings_more_ids.h"

namespace {
constexpr int kFavouritesSlot = 26, kListItemsSlot = 27;
constexpr COLORREF kHiddenRowColour = 0x0A0A0A;
const wchar_t* const kStyleNames[5] = {L"通常表示", L"通常表示２", L"短縮表示", L"短縮表示２",
                                       L"カスタム(項目名を編集すると自動的にカスタムに保存されます)"};
int g_refreshing = 0;
int g_editRow = -1;
wchar_t g_editCaption[32];

const wchar_t* Caption(int column, int32_t style) {
  return W(ListColumnCaptionForStyle(column, style, g_settings.customColumnCaptions));
}

int StateImage(HWND list, int row) {
  return static_cast<int>((SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12);
}

void SetCheck(HWND list, int row, bool on) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

LPARAM RowParam(HWND list, int row) {
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return -1;
  return item.lParam;
}

void SetCellText(HWND list, int row, int column, const wchar_t* text) {
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = const_cast<wchar_t*>(text);
  SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void AddColumn(HWND list, int index, const wchar_t* text, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(text);
  column.cx = width;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

// Rows of shown columns and used favourites on colour slot 4, the others dark.
LRESULT CustomDraw(NMLVCUSTOMDRAW* draw, bool shown) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT || draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT)
    return CDRF_NOTIFYITEMDRAW;
  if (draw->nmcd.dwDrawStage == (CDDS_ITEMPREPAINT | CDDS_SUBITEM))
    draw->clrTextBk = shown ? g_settings.colorSlots[4] : kHiddenRowColour;
  return CDRF_DODEFAULT;
}

INT_PTR Answer(HWND page, LRESULT result) {
  SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
  return TRUE;
}

void ShowPopup(HWND page, int index) {
  if (!g_menus[index]) return;
  POINT at;
  GetCursorPos(&at);
  HMENU menu = GetSubMenu(g_menus[index], 0) ? GetSubMenu(g_menus[index], 0) : g_menus[index];
  TrackPopupMenu(menu, TPM_LEFTBUTTON, at.x, at.y, 0, page, nullptr);
}

// ---- page 11 ----

void RefreshFavourites(HWND page) {
  HWND list = GetDlgItem(page, IDC_FAVOURITES_LIST);
  ++g_refreshing;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (int k = 0; k < kFavouriteRows; ++k) {
    const FavouriteFolderRow& row = g_settings.favouriteFolders[k];
    if (!row.path[0]) continue;
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = k;
    item.pszText = const_cast<wchar_t*>(W(row.path));
    item.lParam = k;
    const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCheck(list, at, row.used != 0);
  }
  LVITEMW select{};
  select.stateMask = select.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&select));
  SendMessageW(list, LVM_ENSUREVISIBLE, 0, FALSE);
  --g_refreshing;
}

// The favourite row behind the first selected list row, -1 with none.
int SelectedFavourite(HWND page) {
  HWND list = GetDlgItem(page, IDC_FAVOURITES_LIST);
  const int row = GetFirstSelectedRow(list);
  if (row < 0) return -1;
  const LPARAM k = RowParam(list, row);
  return k >= 0 && k < kFavouriteRows ? static_cast<int>(k) : -1;
}

void FavouritesCommand(HWND page, int id) {
  if (id == IDC_FAVOURITES_ADD) {
    wchar_t initial[kPathChars], chosen[kPathChars];
    wcsncpy(initial, g_currentFolder, kPathChars - 1);
    initial[kPathChars - 1] = 0;
    if (!ChooseFolder(page, initial, chosen)) return;
    AddFavouriteFolder(chosen);
  } else if (id == IDC_FAVOURITES_CHANGE) {
    const int k = SelectedFavourite(page);
    if (k < 0) return;
    wchar_t initial[kPathChars], chosen[kPathChars];
    wcscpy(initial, W(g_settings.favouriteFolders[k].path));
    if (!ChooseFolder(page, initial, chosen)) return;
    SetFavouriteFolder(k, chosen);
  } else if (id == IDC_FAVOURITES_DELETE) {
    const int k = SelectedFavourite(page);
    if (k < 0) return;
    RemoveFavouriteFolder(k);
  } else {
    return;
  }
  SendMessageW(page, WM_COMMAND, kRefreshCommand, 0);
  FillFavouritesCombo();
}

void StoreFavouriteChecks(HWND list) {
  const int n = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < n; ++row) {
    const LPARAM k = RowParam(list, row);
    if (k >= 0 && k < kFavouriteRows) g_settings.favouriteFolders[k].used = StateImage(list, row) == 1 ? 0 : 1;
  }
}

// ---- page 12 ----

void RefreshListItems(HWND page) {
  HWND list = GetDlgItem(page, IDC_LIST_ITEMS_LIST);
  ++g_refreshing;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  for (int c = 0; c < kListColumnCount; ++c) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = c;
    item.pszText = const_cast<wchar_t*>(Caption(c, g_settings.listCaptionStyle));
    item.lParam = c;
    const int at = static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCheck(list, at, g_settings.columnShown[c] != 0);
    SetCellText(list, at, 1, Caption(c, g_settings.columnCaptionBaseStyle));
  }
  --g_refreshing;
}

int SelectedStyle(HWND page) {
  const LRESULT sel = SendDlgItemMessageW(page, IDC_LIST_ITEMS_STYLE, CB_GETCURSEL, 0, 0);
  return sel >= 0 && sel <= kCustomCaptionStyle ? static_cast<int>(sel) : -1;
}

void ShowStyleCaptions(HWND page, int style) {
  HWND list = GetDlgItem(page, IDC_LIST_ITEMS_LIST);
  for (int row = 0; row < kListColumnCount; ++row) {
    const int c = static_cast<int>(RowParam(list, row));
    if (c < 0 || c >= kListColumnCount) continue;
    SetCellText(list, row, 0, Caption(c, style));
    SetCellText(list, row, 1, Caption(c, style == kCustomCaptionStyle ? g_settings.columnCaptionBaseStyle : style));
  }
}

void StoreCaption(char16_t* field, const wchar_t* text) {
  wcsncpy(W(field), text, kCustomCaptionChars - 1);
  field[kCustomCaptionChars - 1] = 0;
}

void EndCaptionEdit(HWND page, const NMLVDISPINFOW* info) {
  CloseIme(page);
  const int row = g_editRow;
  g_editRow = -1;
  if (!info->item.pszText || row < 0 || row >= kListColumnCount) return;
  if (!AcceptColumnCaption(U16(info->item.pszText), U16(g_editCaption))) return;
  const int style = SelectedStyle(page);
  if (style >= 0 && style != kCustomCaptionStyle && style != g_settings.columnCaptionBaseStyle) {
    for (int c = 0; c < kListColumnCount; ++c) StoreCaption(g_settings.customColumnCaptions[c], Caption(c, style));
    g_settings.columnCaptionBaseStyle = style;
  }
  g_settings.listCaptionStyle = kCustomCaptionStyle;
  SendDlgItemMessageW(page, IDC_LIST_ITEMS_STYLE, CB_SETCURSEL, kCustomCaptionStyle, 0);
  StoreCaption(g_settings.customColumnCaptions[row], info->item.pszText);
  RefreshSettingsPages();
}

void ListItemsCommand(HWND page, int id) {
  HWND list = GetDlgItem(page, IDC_LIST_ITEMS_LIST);
  if (id == IDM_LIST_ITEMS_RESTORE) {
    for (int row = -1; (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
      const int c = static_cast<int>(RowParam(list, row));
      if (c >= 0 && c < kListColumnCount)
        StoreCaption(g_settings.customColumnCaptions[c],
                     W(ListColumnCaption(c, g_settings.columnCaptionBaseStyle)));
    }
    RefreshSettingsPages();
  } else if (id == IDM_LIST_ITEMS_CHECK_ALL || id == IDM_LIST_ITEMS_UNCHECK_ALL) {
    for (int c = 0; c < kListColumnCount; ++c) {
      g_settings.columnShown[c] = id == IDM_LIST_ITEMS_CHECK_ALL ? 1 : 0;
      RefreshSettingsPages();
    }
  } else if (id == IDM_LIST_ITEMS_RENAME) {
    const int row = GetFirstSelectedRow(list);
    if (row >= 0) {
      SetFocus(list);
      SendMessageW(list, LVM_EDITLABELW, row, 0);
    }
  }
}

// At close the file list takes the captions and shows only the checked columns.
void ApplyColumnsToFileList(HWND page) {
  HWND list = GetDlgItem(page, IDC_LIST_ITEMS_LIST);
  const int n = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < n; ++row) {
    const int c = static_cast<int>(RowParam(list, row));
    if (c >= 0 && c < kListColumnCount) g_settings.columnShown[c] = StateImage(list, row) == 1 ? 0 : 1;
  }
  for (int k = 0; k < 2; ++k)
    g_settings.listItemsColumnWidths[k] = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, k, 0));
  const int style = SelectedStyle(page);
  if (style >= 0) g_settings.listCaptionStyle = style;
  HWND pane = g_windowSlots[kSlotFileListPane];
  HWND fileList = pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr;
  if (!fileList) return;
  for (int c = 0; c < kListColumnCount; ++c) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(Caption(c, g_settings.listCaptionStyle));
    column.cx = g_settings.columnShown[c] ? g_settings.columnWidths[c] : 0;
    SendMessageW(fileList, LVM_SETCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  InvalidateRect(fileList, nullptr, TRUE);
}
}  // namespace

INT_PTR CALLBACK FavouritesPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kFavouritesSlot] = page;
      HWND list = GetDlgItem(page, IDC_FAVOURITES_LIST);
      SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x435);
      AddColumn(list, 0, L"お気に入り", g_settings.favouritesColumnWidth);
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_favouriteIcons));
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand && lParam == 0) RefreshFavourites(page);
      else if (HIWORD(wParam) == BN_CLICKED || lParam == 0) FavouritesCommand(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
      if (h->idFrom != IDC_FAVOURITES_LIST) return FALSE;
      if (h->code == NM_CUSTOMDRAW) {
        NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        const LPARAM k = draw->nmcd.lItemlParam;
        return Answer(page, CustomDraw(draw, k >= 0 && k < kFavouriteRows && g_settings.favouriteFolders[k].used));
      }
      if (h->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(lParam);
        if (!g_refreshing && (change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) && change->lParam >= 0 &&
            change->lParam < kFavouriteRows) {
          const int image = static_cast<int>((change->uNewState & LVIS_STATEIMAGEMASK) >> 12);
          if (image == 1 || image == 2) g_settings.favouriteFolders[change->lParam].used = image == 2;
          SendMessageW(h->hwndFrom, LVM_UPDATE, change->iItem, 0);
        }
      } else if (h->code == NM_DBLCLK) {
        FavouritesCommand(page, IDC_FAVOURITES_CHANGE);
      } else if (h->code == NM_RCLICK) {
        ShowPopup(page, 21);
      }
      return Answer(page, 0);
    }
    case WM_MEASUREITEM:
      return MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return DrawOwnerMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 11, wParam);
    case WM_DESTROY: {
      HWND list = GetDlgItem(page, IDC_FAVOURITES_LIST);
      StoreFavouriteChecks(list);
      g_settings.favouritesColumnWidth = static_cast<int32_t>(SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
      g_windowSlots[kFavouritesSlot] = nullptr;
      return FALSE;
    }
  }
  return FALSE;
}

INT_PTR CALLBACK ListItemsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      g_windowSlots[kListItemsSlot] = page;
      HWND list = GetDlgItem(page, IDC_LIST_ITEMS_LIST);
      SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, 0x635);
      AddColumn(list, 0, L"項目名", g_settings.listItemsColumnWidths[0]);
      AddColumn(list, 1, L"ベース項目名（カスタム時のベース項目名）", g_settings.listItemsColumnWidths[1]);
      HWND styles = GetDlgItem(page, IDC_LIST_ITEMS_STYLE);
      for (const wchar_t* name : kStyleNames) SendMessageW(styles, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
      SendMessageW(styles, CB_SETCURSEL, g_settings.listCaptionStyle, 0);
      return TRUE;
    }
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      if (id == kRefreshCommand && lParam == 0) {
        RefreshListItems(page);
      } else if (id == IDC_LIST_ITEMS_STYLE && HIWORD(wParam) == CBN_SELCHANGE) {
        const int style = SelectedStyle(page);
        if (style >= 0) {
          g_settings.listCaptionStyle = style;
          ShowStyleCaptions(page, style);
        }
      } else if (lParam == 0) {
        ListItemsCommand(page, id);
      }
      return TRUE;
    }
    case WM_NOTIFY: {
      NMHDR* h = reinterpret_cast<NMHDR*>(lParam);
      if (h->idFrom != IDC_LIST_ITEMS_LIST) return FALSE;
      if (h->code == NM_CUSTOMDRAW) {
        NMLVCUSTOMDRAW* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(lParam);
        const LPARAM c = draw->nmcd.lItemlParam;
        return Answer(page, CustomDraw(draw, c >= 0 && c < kListColumnCount && g_settings.columnShown[c]));
      }
      if (h->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = reinterpret_cast<NMLISTVIEW*>(lParam);
        if (!g_refreshing && (change->uChanged & LVIF_STATE) &&
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) && change->lParam >= 0 &&
            change->lParam < kListColumnCount) {
          const int image = static_cast<int>((change->uNewState & LVIS_STATEIMAGEMASK) >> 12);
          if (image == 1 || image == 2) g_settings.columnShown[change->lParam] = image == 2;
          SendMessageW(h->hwndFrom, LVM_UPDATE, change->iItem, 0);
        }
        return Answer(page, 0);
      }
      if (h->code == LVN_BEGINLABELEDITW) {
        const NMLVDISPINFOW* info = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        g_editRow = info->item.iItem;
        g_editCaption[0] = 0;
        LVITEMW item{};
        item.pszText = g_editCaption;
        item.cchTextMax = 32;
        SendMessageW(h->hwndFrom, LVM_GETITEMTEXTW, info->item.iItem, reinterpret_cast<LPARAM>(&item));
        return Answer(page, FALSE);
      }
      if (h->code == LVN_ENDLABELEDITW) {
        EndCaptionEdit(page, reinterpret_cast<NMLVDISPINFOW*>(lParam));
        return Answer(page, FALSE);  // the rows were written again from the settings
      }
      if (h->code == NM_RCLICK) {
        UpdateColumnItemPopup(SelectedStyle(page));
        ShowPopup(page, 14);
      }
      return Answer(page, 0);
    }
    case WM_MEASUREITEM:
      return MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return DrawOwnerMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_SETCURSOR:
      return AnswerPageSetCursor(page, 12, wParam);
    case WM_DESTROY:
      ApplyColumnsToFileList(page);
      g_windowSlots[kListItemsSlot] = nullptr;
      return FALSE;
  }
  return FALSE;
}
