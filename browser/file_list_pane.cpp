// The file-list pane: list 313 over the entry list's display order, its colours, renames by
// label edit, column sorts, hover texts, the list/panel splitter and file drops.
#include "browser/file_list_pane.h"

#include <commctrl.h>
#include <shellapi.h>
#include <cwchar>
#include <string>
#include <vector>

#include "browser/drag_drop.h"
#include "browser/list_drop_mark.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/list_order.h"
#include "browser/list_rows.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/pure/list_pane_rules.h"
#include "browser/slideshow.h"
#include "browser/toolbar_state.h"
#include "browser/tooltips.h"
#include "browser/viewer_panes.h"
#include "viewer/movie_player.h"
#include "viewer/viewer_paint.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_watcher.h"
#include "browser/browser_hooks.h"
#include "browser/collections.h"
#include "browser/navigation_pane.h"
#include "browser/shell_tree.h"
#include "core/thumbnail_list_thread.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pending_undo_path.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "metadata/image_info_win.h"
#include "resources/resource.h"


namespace {
WNDPROC g_previousListProc = nullptr;
HBRUSH g_backgroundBrush = nullptr;
HFONT g_listFont = nullptr;
HDC g_listDc = nullptr;
POINT g_splitterPoint = {};
wchar_t g_renameOldName[260];
wchar_t g_renameExtension[260];
const UINT kDropFormats[1] = {CF_HDROP};

HWND ListOf(HWND pane) { return GetDlgItem(pane, IDC_FILE_LIST); }
COLORREF Colour(int index) {
  return (index >= 0 && index < kColorSlotCount) ? g_settings.colorSlots[index] : g_settings.colorSlots[3];
}
int ClampedActionIndex(const ImageEntry* e) {
  int k = GetEntryActionStateIndex(e);
  return (k >= 0 && k < kColorSlotCount) ? k : -1;
}
int32_t ThumbSplitKind() { return g_settings.thumbnailSplitKind; }

void CopyText(wchar_t* out, int capacity, const wchar_t* text) {
  if (!out || capacity <= 0) return;
  wcsncpy(out, text ? text : L"", capacity - 1);
  out[capacity - 1] = 0;
}

void InsertColumns(HWND list) {
  for (int k = 0; k < kListColumnCount; ++k) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = ListColumnRightAligned(k) ? LVCFMT_RIGHT : LVCFMT_LEFT;
    column.cx = g_settings.columnShown[k] == 1 ? g_settings.columnWidths[k] : 0;
    const char16_t* caption =
        ListColumnCaptionForStyle(k, g_settings.listCaptionStyle, g_settings.customColumnCaptions);
    column.pszText = const_cast<wchar_t*>(reinterpret_cast<const wchar_t*>(caption));
    SendMessageW(list, LVM_INSERTCOLUMNW, k, reinterpret_cast<LPARAM>(&column));
  }
  // The saved order is applied only when it is a permutation; a damaged block keeps 0..23.
  bool seen[kListColumnCount] = {};
  bool valid = true;
  for (int k = 0; k < kListColumnCount && valid; ++k) {
    int v = g_settings.columnOrder[k];
    valid = v >= 0 && v < kListColumnCount && !seen[v];
    if (valid) seen[v] = true;
  }
  if (valid) SendMessageW(list, LVM_SETCOLUMNORDERARRAY, kListColumnCount, reinterpret_cast<LPARAM>(g_settings.columnOrder));
}

void OnInitDialog(HWND pane) {
  ResetMovieSlots();
  ResetPaneRows();
  g_windowSlots[kSlotFileListPane] = pane;
  for (int k = 0; k < 4; ++k) g_panelDcs[k] = GetDC(GetDlgItem(pane, IDC_VIEWER_PANE1 + k));
  if (!RegisterFileDropTarget(pane, DropNotifyMessage, kDropFormats, 1)) {
    EndDialog(pane, 0);
    return;
  }
  HWND list = ListOf(pane);
  g_listDc = GetDC(list);
  g_listFont = CreateUiFont(g_listDc, reinterpret_cast<const wchar_t*>(g_settings.listFontFace), g_settings.listFontSize, g_settings.listFontBold);
  if (g_listFont) SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(g_listFont), FALSE);
  const int marks[3] = {182, 212, 208};
  for (int k = 0; k < 3; ++k)
    g_overlayMarks[k] = static_cast<HBITMAP>(LoadImageW(g_hInstance, MAKEINTRESOURCEW(marks[k]), IMAGE_BITMAP, 0, 0, 0));
  g_previousListProc =
      reinterpret_cast<WNDPROC>(SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FileListSubclassProc)));
  InstallPaneSubclasses(pane);
  DWORD ex = static_cast<DWORD>(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  ex |= LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT |
        LVS_EX_INFOTIP;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ex);
  InsertColumns(list);
  // The rows' drop highlight during a drag of the list's own rows is the pane's to give.
  const UINT callbackMask = static_cast<UINT>(SendMessageW(list, LVM_GETCALLBACKMASK, 0, 0));
  SendMessageW(list, LVM_SETCALLBACKMASK, callbackMask | LVIS_DROPHILITED, 0);
  HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
  if (header) g_listHeaderStyle = GetWindowLongW(header, GWL_STYLE);
}

void OnDestroy(HWND pane) {
  for (int k = 0; k < 4; ++k) {
    if (g_panelDcs[k]) ReleaseDC(GetDlgItem(pane, IDC_VIEWER_PANE1 + k), g_panelDcs[k]);
    g_panelDcs[k] = nullptr;
  }
  for (HBITMAP& b : g_overlayMarks) {
    if (b) DeleteObject(b);
    b = nullptr;
  }
  HWND list = ListOf(pane);
  if (g_listFont) DeleteObject(g_listFont);
  g_listFont = nullptr;
  if (g_listDc) ReleaseDC(list, g_listDc);
  g_listDc = nullptr;
  RevokeFileDropTarget(pane);
  if (g_backgroundBrush) DeleteObject(g_backgroundBrush);
  g_backgroundBrush = nullptr;
  EndDialog(pane, 0);
  if (g_windowSlots[kSlotFileListPane] == pane) g_windowSlots[kSlotFileListPane] = nullptr;
}

bool RowHasEntry(int row) { return row >= 0 && row < g_listCount && row < g_entryCount; }

void OnGetDispInfo(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (!RowHasEntry(item.iItem)) return;
  int number = g_displayOrder[item.iItem];
  ImageEntry* entry = EntryAt(number);
  if (!entry) return;
  if (item.mask & LVIF_IMAGE) {
    if (item.iSubItem == 0)
      item.iImage = g_reportViewFlag ? 2 * number : number;
    else if (item.iSubItem == 1)
      item.iImage = g_reportViewFlag ? 2 * number + 1 : 0;
    else
      item.iImage = I_IMAGECALLBACK;  // no image: some list views keep an empty image slot for I_IMAGENONE
  }
  if ((item.mask & LVIF_STATE) && item.iSubItem == 0) {
    item.stateMask = LVIS_STATEIMAGEMASK | LVIS_DROPHILITED;
    item.state = INDEXTOSTATEIMAGEMASK((entry->checked ? 1 : 0) + 1);
    if (item.iItem == ListDropRow()) item.state |= LVIS_DROPHILITED;
  }
  if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
    const wchar_t* text = L"";
    if (item.iSubItem == 0)
      text = EntryName(entry) ? EntryName(entry) : L"";
    else if (item.iSubItem >= 2 && item.iSubItem < kListColumnCount)
      text = GetInfoField(entry->info, item.iSubItem);
    CopyText(item.pszText, item.cchTextMax, text);
  }
}

bool IsFocusedPanelRow(int row) { return row >= 0 && row == GetPaneOrderNumber(g_focusedPane); }

void HighlightFocusedRow(NMLVCUSTOMDRAW* draw, int row) {
  if (!IsFocusedPanelRow(row)) return;
  draw->clrTextBk = g_highlightColors[IsListFocused() ? 1 : 0];
  draw->nmcd.uItemState = 0;
}

LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
  int row = static_cast<int>(draw->nmcd.dwItemSpec);
  switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
      return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
      if (!g_reportViewFlag && RowHasEntry(row))
        draw->clrText = Colour(ThumbnailLabelColorIndex(ClampedActionIndex(EntryAtRow(row))));
      HighlightFocusedRow(draw, row);
      return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      if (row != -1 && RowHasEntry(row)) {
        ImageEntry* e = EntryAtRow(row);
        draw->clrTextBk = Colour(ListCellColorIndex(draw->iSubItem, row, e->mediaNumber, ClampedActionIndex(e)));
        HighlightFocusedRow(draw, row);
      }
      return CDRF_NOTIFYPOSTPAINT;
  }
  return CDRF_DODEFAULT;
}

void OnBeginLabelEdit(HWND list, NMLVDISPINFOW* info) {
  BusyFlag = 1;
  g_labelEditActive = 1;
  g_renameOldName[0] = 0;
  g_renameExtension[0] = 0;
  LVITEMW item{};
  item.iSubItem = 0;
  item.pszText = g_renameOldName;
  item.cchTextMax = 260;
  SendMessageW(list, LVM_GETITEMTEXTW, info->item.iItem, reinterpret_cast<LPARAM>(&item));
  wchar_t base[260];
  SplitRenameName(U16(g_renameOldName), U16(base), U16(g_renameExtension), 260);
  HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETEDITCONTROL, 0, 0));
  if (edit) SetWindowTextW(edit, base);
  g_cursorRow = info->item.iItem;
}

void OnEndLabelEdit(HWND pane, NMLVDISPINFOW* info) {
  CloseIme(pane);
  const wchar_t* typed = info->item.pszText;
  if (typed && typed[0] && RowHasEntry(g_cursorRow)) {
    wchar_t name[520];
    swprintf(name, 520, L"%ls%ls", typed, g_renameExtension);
    if (ComparePaths(name, g_renameOldName) != 0) {
      ImageEntry* entry = EntryAtRow(g_cursorRow);
      // A name that is a path of its own ("..\x", "a\b") would move the file out of its folder.
      if (wcslen(typed) + wcslen(g_renameExtension) < 260 && IsValidItemName(name) && IsValidFilePath(name)) {
        wchar_t folder[260], target[260];
        GetFolderPart(EntryPath(entry), folder);
        if (JoinRenamePath(U16(folder), U16(name), U16(target), 260)) {
          if (MoveOwnFile(EntryPath(entry), target)) {
            CopyText(g_pendingUndoPath, 260, EntryPath(entry));
            CopyText(EntryPath(entry), kEntryPathChars, target);
            SetEntryNamePointer(entry);
            g_browserHooks.addActionHistoryEntry(g_displayOrder[g_cursorRow], 10, -3, 1);
            SendMessageW(pane, WM_COMMAND, kUpdateEntryRowCommand, g_cursorRow);
          } else {
            ShowAppMessageBox(pane, L"リネームに失敗しました。\n既に同名のファイルがある可能性があります。",
                              g_productName, MB_ICONINFORMATION);
          }
        }
      } else {
        ShowAppMessageBox(
            pane, L"このファイル名は使用できません。\nファイル名に使用できない文字が含まれている可能性があります。",
            g_productName, MB_ICONINFORMATION);
      }
    }
  }
  Sleep(200);
  BusyFlag = 0;
  g_labelEditActive = 0;
}

void OnColumnClick(HWND list, int column) {
  if (g_listReadyFlag != 1) return;
  CaptureMouseWithCursor(GetParent(list), IDC_WAIT);
  if (column != g_lastSortColumn) {
    g_lastSortColumn = column;
    g_sortDescendingNext = 0;
  }
  SortListByColumn(list, column, g_sortDescendingNext);
  g_sortDescendingNext ^= 1;
  g_listNextRowRequest = 0;
  ReleaseMouseCapture();
}

void OnItemChanged(HWND pane, NMLISTVIEW* change) {
  if (change->iItem < 0 || !(change->uNewState & LVIS_FOCUSED)) return;
  g_cursorRow = change->iItem;
  if (!IsListFocused()) return;
  AssignPaneEntries();
  g_listPaneHoldOff = 83;
  InvalidateRect(pane, nullptr, TRUE);
  UpdateToolbarButtons(8);
}

// Whether a click at the list point hits the row's check box. The detail style compares the whole
// flags: Wine answers a click on another column with LVHT_ONITEM, which holds the icon bits too.
bool HitsCheckBox(HWND list, const LVHITTESTINFO& hit) {
  if (g_reportViewFlag) return hit.flags == LVHT_ONITEMSTATEICON || hit.flags == LVHT_ONITEMICON;
  if (!(hit.flags & LVHT_ONITEMICON)) return false;
  POINT at{};
  SendMessageW(list, LVM_GETITEMPOSITION, hit.iItem, reinterpret_cast<LPARAM>(&at));
  return hit.pt.x - at.x < 7;
}

LVHITTESTINFO HitAtCursor(HWND list) {
  LVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  ScreenToClient(list, &hit.pt);
  SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return hit;
}

void ShowListPopup(HWND pane) {
  MarkFlaggedEntries();
  PrepareListPopup();
  if (!g_menus[2]) return;
  POINT at;
  GetCursorPos(&at);
  g_popupMenuOpen = 1;
  TrackPopupMenu(GetSubMenu(g_menus[2], 0) ? GetSubMenu(g_menus[2], 0) : g_menus[2], TPM_LEFTBUTTON, at.x, at.y, 0,
                 pane, nullptr);
  g_popupMenuOpen = 0;
}

void OnClick(HWND pane, HWND list, UINT code) {
  LVHITTESTINFO hit = HitAtCursor(list);
  if (code == NM_RCLICK) {
    if (!g_windowSlots[kSlotIndexPrint] && !g_windowSlots[kSlotRawProgress]) ShowListPopup(pane);
    return;
  }
  if (!RowHasEntry(hit.iItem)) return;
  bool onBox = HitsCheckBox(list, hit);
  if (code == NM_CLICK) {
    if (onBox) {
      ImageEntry* e = EntryAtRow(hit.iItem);
      e->checked = e->checked ? 0 : 1;
      g_cacheDirty |= 2;
      SendMessageW(list, LVM_REDRAWITEMS, hit.iItem, hit.iItem);
    }
    if (g_viewMode == 3) {
      g_cursorRow = hit.iItem;
      MarkFlaggedEntries();
      g_redrawFlag = 1;
    }
  } else if (code == NM_DBLCLK && !onBox) {
    g_cursorRow = hit.iItem;
    if (g_viewMode & 1)
      g_toggleViewRequest = 1;
    else
      g_redrawFlag = 1;
  }
}

void OnBeginDrag(HWND pane, HWND list) {
  if (SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0) > 0) StartFileDrag(pane, RenderFormatMessage, kDropFormats, 1, 0x80000007);
}

INT_PTR OnNotify(HWND pane, NMHDR* header) {
  if (header->idFrom != IDC_FILE_LIST) return FALSE;
  HWND list = header->hwndFrom;
  switch (header->code) {
    case LVN_GETDISPINFOW:
      OnGetDispInfo(reinterpret_cast<NMLVDISPINFOW*>(header));
      return TRUE;
    case NM_CUSTOMDRAW:
      SetWindowLongPtrW(pane, DWLP_MSGRESULT, OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(header)));
      return TRUE;
    case LVN_BEGINLABELEDITW:
      OnBeginLabelEdit(list, reinterpret_cast<NMLVDISPINFOW*>(header));
      return TRUE;
    case LVN_ENDLABELEDITW:
      OnEndLabelEdit(pane, reinterpret_cast<NMLVDISPINFOW*>(header));
      SetWindowLongPtrW(pane, DWLP_MSGRESULT, FALSE);
      return TRUE;
    case LVN_COLUMNCLICK:
      OnColumnClick(list, reinterpret_cast<NMLISTVIEW*>(header)->iSubItem);
      return TRUE;
    case LVN_ITEMCHANGED:
      OnItemChanged(pane, reinterpret_cast<NMLISTVIEW*>(header));
      return TRUE;
    case NM_CLICK:
    case NM_DBLCLK:
    case NM_RCLICK:
      OnClick(pane, list, header->code);
      return TRUE;
    case LVN_BEGINDRAG:
      OnBeginDrag(pane, list);
      return TRUE;
  }
  return FALSE;
}

// Hover text of the row under the cursor; the shared tooltip window shows it.
void UpdateHoverText(HWND list, LPARAM lParam) {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  int row = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  static wchar_t text[1024];
  if (row < 0 || !RowHasEntry(row)) {
    text[0] = 0;
  } else {
    if (row == g_hoverRow) return;
    ImageEntry* e = EntryAtRow(row);
    const char16_t* fields[kListColumnCount] = {};
    fields[0] = U16(EntryName(e) ? EntryName(e) : L"");
    for (int c = 2; c < kListColumnCount; ++c) fields[c] = U16(GetInfoField(e->info, c));
    BuildHoverText(fields, U16(text), 1024);
    DestroyTooltipWindow();
    CreateTooltipWindow(g_hInstance);
  }
  if (TooltipWindow) {
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(list);
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = text;
    SendMessageW(TooltipWindow, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  g_hoverRow = row;
}

void SetMouseActionFromX(WPARAM wParam) {
  WORD keys = GET_KEYSTATE_WPARAM(wParam);
  if (keys == MK_XBUTTON1) g_mouseActionKey = 2;
  else if (keys == MK_XBUTTON2) g_mouseActionKey = 3;
}

bool IsHeaderTrackOfHidden(NMHDR* header) {
  switch (header->code) {
    case HDN_BEGINTRACKW: case HDN_BEGINTRACKA: case HDN_ENDTRACKW: case HDN_ENDTRACKA:
    case HDN_DIVIDERDBLCLICKW: case HDN_DIVIDERDBLCLICKA: {
      int item = reinterpret_cast<NMHEADERW*>(header)->iItem;
      return item >= 0 && item < kListColumnCount && g_settings.columnShown[item] == 0;
    }
  }
  return false;
}

int SplitterCursorKind() { return ThumbSplitKind() >= 2 ? 1 : 0; }
LPCWSTR SplitterCursor() { return SplitterCursorKind() ? IDC_SIZEWE : IDC_SIZENS; }

bool OnGrip(HWND pane, int x, int y) {
  RECT r;
  GetClientRect(pane, &r);
  return IsOnSplitterGrip(ThumbSplitKind(), r.right, r.bottom, ListSplitHeight(), ListSplitWidth(), x, y);
}

void OnLeftDown(HWND pane, LPARAM lParam) {
  g_leftButtonDown = 1;
  int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  if (g_viewMode == 3 && OnGrip(pane, x, y)) {
    CaptureMouseWithCursor(pane, SplitterCursor());
    g_listSplitterDragging = 1;
    g_mouseCaptureOwner = pane;
    g_splitterPoint = {x, y};
    return;
  }
  g_leftHeldOnViewer = 1;
  if (g_zoomMode && !GetCapture()) {
    g_panState = 2;
    g_panningActive = 1;
    g_mouseCaptureOwner = pane;
    CaptureMouseWithCursor(pane, IDC_ARROW);
    FindPaneUnderCursor();
    // The pressed pane takes the keys: Delete, undo and the turns then act on the picture panned.
    FocusRestoreWindow = GetPaneControl(GetHoveredPaneIndex());
  }
}

void OnMouseMove(HWND pane, LPARAM lParam) {
  int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  if (g_viewMode == 3) {
    if (g_listSplitterDragging) {
      SetCursor(LoadCursorW(nullptr, SplitterCursor()));
      if (x != g_splitterPoint.x || y != g_splitterPoint.y) {
        RECT r;
        GetClientRect(pane, &r);
        if (DragSplitter(ThumbSplitKind(), r.right, r.bottom, g_splitterPoint.x, g_splitterPoint.y, x, y,
                         &ListSplitHeight(), &ListSplitWidth())) {
          g_splitterPoint = {x, y};
          g_relayoutFlag = 1;
        }
      }
    } else {
      SetCursor(LoadCursorW(nullptr, OnGrip(pane, x, y) ? SplitterCursor() : IDC_ARROW));
    }
  }
  if (g_zoomMode) {
    SetCursor(LoadCursorW(nullptr, g_panningActive ? IDC_CROSS : IDC_ARROW));
    const bool moved = FollowZoomCursor(g_panningActive != 0, IsKeyHeld(VK_MENU));
    if (g_panningActive && moved) g_panState = 1;
    g_redrawFlag = 1;
  }
  IsOverHistogramZone();
}

void OnLeftUp(HWND pane) {
  g_leftButtonDown = 0;
  g_listSplitterDragging = 0;
  g_leftHeldOnViewer = 0;
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  if (g_mouseCaptureOwner == pane) {
    ReleaseMouseCapture();
    g_mouseCaptureOwner = nullptr;
  }
  g_panningActive = 0;
  if (g_panState == 2) g_panState = 0;
  if (!g_zoomHoldLatch) {
    g_zoomHoldLatch = 1;
    ZoomBaseStep = 10;
    if (g_zoomMode) {
      g_zoomMode = 0;
      g_redrawFlag = 1;
    }
  }
}

void OnRightDown(HWND pane) {
  if (SlideshowRunning) {
    StopSlideshow();
  } else if (g_leftButtonDown) {
    g_rightWithLeftRequest = 1;
    if (g_settings.keepZoomWhilePaging) g_panState = 1;
  } else if (IsOverPaneEdgeZone()) {
    ShowListPopup(pane);
  } else {
    g_nextImageRequest = 1;
  }
}

void OnDrop(HWND pane, WPARAM wParam, LPARAM lParam) {
  const DropNotifyBlock* notice = reinterpret_cast<const DropNotifyBlock*>(lParam);
  if (wParam != 3 || !notice || notice->format != CF_HDROP || !notice->data) return;
  if (g_internalDropHandled) {
    g_internalDropHandled = 0;
    return;
  }
  HDROP drop = static_cast<HDROP>(notice->data);
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  if (g_listSource == 0 && count > 1) count = 1;
  bool added = false;
  for (UINT k = 0; k < count; ++k) {
    UINT length = DragQueryFileW(drop, k, nullptr, 0);
    std::vector<wchar_t> path(length + 1);
    if (!DragQueryFileW(drop, k, path.data(), length + 1)) continue;
    wchar_t display[1024] = {};
    if (g_listSource != 0) {
      // The display path only vouches that the file is on a drive or share; the collection
      // keeps the file path itself, which is what its loader opens.
      if (BuildShellDisplayPath(path.data(), display) && display[0] && AddFileToCollection(g_currentCollection, path.data()))
        added = true;
    } else {
      g_treeDrivenByCode = 1;
      if (BuildShellDisplayPath(path.data(), display) && display[0]) {
        CopyText(g_startFolder, 260, display);
        g_tempCaption = 1;
        if (g_windowSlots[kSlotNavigationPane])
          SendMessageW(g_windowSlots[kSlotNavigationPane], WM_COMMAND, kRefreshCommand, 0);
      }
      g_treeDrivenByCode = 0;
    }
  }
  if (added) ReloadCurrentList(0);
  (void)pane;
}

void OnRenderFormat(HWND pane, WPARAM wParam, LPARAM lParam) {
  HGLOBAL* out = reinterpret_cast<HGLOBAL*>(lParam);
  if (!out) return;
  *out = nullptr;
  if (wParam != CF_HDROP) return;
  HWND list = ListOf(pane);
  std::vector<std::wstring> copies;
  for (int row = -1; (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;)
    if (RowHasEntry(row)) copies.emplace_back(EntryPath(EntryAtRow(row)));
  std::vector<const wchar_t*> paths;
  for (const std::wstring& p : copies) paths.push_back(p.c_str());
  if (!paths.empty()) *out = BuildFileDropBlock(paths.data(), static_cast<int>(paths.size()));
}

void PaintSplitter(HWND pane, HDC dc) {
  if (g_viewMode != 3) return;
  RECT r;
  GetClientRect(pane, &r);
  HGDIOBJ old = SelectObject(dc, GetSysColorBrush(COLOR_3DLIGHT));
  int edge = GetSystemMetrics(SM_CXEDGE);
  switch (ThumbSplitKind()) {
    case 2:
      PatBlt(dc, r.right - ListSplitWidth() - edge, 0, edge + 4, r.bottom, PATCOPY);
      break;
    case 3:
      PatBlt(dc, ListSplitWidth() - edge, 0, edge + 4, r.bottom, PATCOPY);
      break;
    default:
      PatBlt(dc, 0, ListSplitHeight() - 4, r.right, 4, PATCOPY);
      break;
  }
  SelectObject(dc, old);
}

// Commands that carry an index in their id: the popups' dynamic items.
void StoreDynamicPick(int id) {
  if (id >= 4000 && id <= 4255) g_collectionAddRequest = id - 4000;
  if (id >= 3000 && id <= 3127) g_favouritePick = id - 3000;
  if (id >= 1000 && id <= 1127) g_cacheHistoryPick = id - 1000;
  if (id >= 2000 && id <= 2017) PendingSettingsPage = id - 2000;
}
}  // namespace

LRESULT CALLBACK FileListSubclassProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEMOVE:
      UpdateHoverText(list, lParam);
      break;
    case WM_MBUTTONDOWN:
      g_mouseActionKey = 1;
      break;
    case WM_XBUTTONDOWN:
      SetMouseActionFromX(wParam);
      break;
    case WM_MOUSEWHEEL:
      for (int k = 0; k < CurrentPaneCount(); ++k) {
        HWND panel = GetPaneControl(k);
        if (panel && IsWindowVisible(panel) && IsCursorOverWindow(panel)) {
          SetFocus(panel);
          return 0;
        }
      }
      break;
    case WM_SETFOCUS:
      MarkFlaggedEntries();
      for (int k = 0; k < 4; ++k) {
        g_paneRequested[k] = -1;
        g_paneEntry[k] = -1;
      }
      g_focusedPane = 0;
      AssignPaneEntries();
      InvalidateRect(list, nullptr, FALSE);
      break;
    case WM_NOTIFY:
      if (IsHeaderTrackOfHidden(reinterpret_cast<NMHDR*>(lParam))) return 1;
      break;
    case WM_CHAR:
      return 0;
    case InsertRowsMessage:
      return InsertCallbackRows(list, static_cast<int>(wParam));
    case ClearSortMarksMessage:
      return ClearHeaderSortMarksHere(list);
    case ShowProgressMessage:
      ShowProgressCount();
      return 0;
    case TransferSelectionMessage:
      return TransferListSelection(wParam != 0) ? 2 : 1;
    case WM_PAINT: {
      const LRESULT painted = CallWindowProcW(g_previousListProc, list, message, wParam, lParam);
      DrawListDropMark(list);
      return painted;
    }
  }
  return CallWindowProcW(g_previousListProc, list, message, wParam, lParam);
}

INT_PTR CALLBACK FileListPaneDlgProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(pane);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(pane);
      return FALSE;
    case WM_COMMAND:
      RunListPaneCommand(pane, LOWORD(wParam), lParam);
      StoreDynamicPick(LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(pane, reinterpret_cast<NMHDR*>(lParam));
    case WM_PAINT:
      g_paneRepaintRequest = ((g_viewMode & 2) && g_listCount > 0) ? 1 : 0;
      if (g_listCount == 0) PaintAllPanesBlank();
      return FALSE;
    case WM_ERASEBKGND:
      PaintSplitter(pane, reinterpret_cast<HDC>(wParam));
      return FALSE;
    case WM_CTLCOLORDLG:
      if (g_listCount > 0) return FALSE;
      if (g_backgroundBrush) DeleteObject(g_backgroundBrush);
      g_backgroundBrush = CreateSolidBrush(Colour(3));
      return reinterpret_cast<INT_PTR>(g_backgroundBrush);
    case WM_DRAWITEM:
      return DrawOwnerMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
    case WM_MEASUREITEM:
      return MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_MOUSEMOVE:
      OnMouseMove(pane, lParam);
      return FALSE;
    case WM_LBUTTONDOWN:
      OnLeftDown(pane, lParam);
      return FALSE;
    case WM_LBUTTONUP:
      OnLeftUp(pane);
      return FALSE;
    case WM_LBUTTONDBLCLK:
      if (g_settings.doubleClickReturnsToList && !SlideshowRunning && g_viewMode != 3) g_toggleViewRequest = 1;
      return FALSE;
    case WM_RBUTTONDOWN:
      OnRightDown(pane);
      return FALSE;
    case WM_MBUTTONDOWN:
      g_mouseActionKey = 1;
      return FALSE;
    case WM_XBUTTONDOWN:
      SetMouseActionFromX(wParam);
      return FALSE;
    case DropNotifyMessage:
      OnDrop(pane, wParam, lParam);
      return TRUE;
    case RenderFormatMessage:
      OnRenderFormat(pane, wParam, lParam);
      return TRUE;
  }
  return FALSE;
}
