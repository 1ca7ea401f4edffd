#include "browser/drag_feedback.h"

#include <commctrl.h>
#include <cwchar>

#include "browser/drag_drop.h"
#include "browser/file_list_pane.h"
#include "browser/icon_lists.h"
#include "browser/list_drop_mark.h"
#include "browser/list_order.h"
#include "browser/main_window.h"
#include "browser/navigation_pane.h"
#include "browser/pure/list_command_rules.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "resources/resource.h"

uint8_t g_dragActive = 0;
uint8_t g_treeSelectionFrozen = 0;
int32_t g_dragTargetTree = IDC_FOLDER_TREE;
uint8_t g_dropTargetValid = 0;
uint8_t g_dragMoves = 0;

namespace {
constexpr UINT_PTR kMarkerTimer = 32764;
constexpr int kListEdge = 32, kTreeEdge = 4;
HBITMAP g_markerBitmap = nullptr;
HTREEITEM g_dropItem = nullptr;  // the tree item under the cursor, null off any item

HWND Slot(int k) { return g_windowSlots[k]; }
HWND NavTree() { return Slot(kSlotNavigationPane) ? GetDlgItem(Slot(kSlotNavigationPane), g_dragTargetTree) : nullptr; }
HWND ListOf(HWND pane) { return pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr; }

bool StrictlyInside(HWND window, POINT p) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  return p.x > r.left && p.x < r.right - 1 && p.y > r.top && p.y < r.bottom - 1;
}

// Read straight from the keyboard: the idle loop's key table is not polled inside the drag loop.
bool CtrlHeld() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0; }

bool OverFolderTree() { return g_dragTargetTree == IDC_FOLDER_TREE; }

// Hit-tests the drop tree at the cursor; notes the item and whether it takes the drop.
void HitTestDropTree(HWND tree) {
  HTREEITEM item = nullptr;
  const int hit = OverFolderTree() ? HitTestFolderTree(tree, 0, &item) : HitTestCollectionTree(tree, 0, &item);
  g_dropItem = hit ? item : nullptr;
  if (!g_dropItem) {
    g_dropTargetValid = 0;
    return;
  }
  SendMessageW(tree, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(g_dropItem));
  SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(g_dropItem));
  if (hit == 3) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(g_dropItem));
  if (OverFolderTree())
    g_dropTargetValid = ComparePaths(g_targetFolder, g_currentFolder) != 0 ? 1 : 0;
  else  // the root of the collection tree (data -1) is no collection
    g_dropTargetValid = (g_targetCollection >= 0 && g_targetCollection < 256 &&
                         (g_listSource == 0 || g_targetCollection != g_currentCollection)) ? 1 : 0;
}

void DecideMove() {
  g_dragMoves = 0;
  if (!OverFolderTree()) {
    g_dragMoves = CtrlHeld() ? 1 : 0;
    return;
  }
  if (!g_dropItem) return;
  wchar_t targetRoot[kPathChars] = {}, shownRoot[kPathChars] = {};
  GetDriveRoot(g_targetFolder, targetRoot);
  GetDriveRoot(g_currentFolder, shownRoot);
  g_dragMoves = FolderDropMoves(g_settings.treeDropMovesOnSameDrive != 0,
                                ComparePaths(g_targetFolder, g_currentFolder) == 0, U16(targetRoot), U16(shownRoot),
                                CtrlHeld())
                    ? 1
                    : 0;
}

void PlaceMarker(HWND marker) {
  DecideMove();
  if (!g_dropTargetValid || g_dragMoves) {
    ShowWindow(marker, SW_HIDE);
    return;
  }
  POINT p;
  GetCursorPos(&p);
  SetWindowPos(marker, HWND_TOPMOST, p.x + GetSystemMetrics(SM_CXCURSOR) / 2 - 3, p.y - 5, 11, 11,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (HDC dc = GetDC(marker)) {
    if (HDC source = CreateCompatibleDC(dc)) {
      HGDIOBJ old = SelectObject(source, g_markerBitmap);
      BitBlt(dc, 0, 0, 11, 11, source, 0, 0, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    }
    ReleaseDC(marker, dc);
  }
}

HWND DraggedList(HWND popup) { return GetDlgItem(popup, IDC_DRAG_LIST); }

// The listed row at a point of the list's client area, -1 off every row.
int ListRowAt(HWND list, POINT client) {
  LVHITTESTINFO hit{};
  hit.pt = client;
  const int row = static_cast<int>(SendMessageW(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return row >= 0 && row < g_listCount ? row : -1;
}

void FillDragList(HWND popup) {
  HWND source = GetListControl();
  HWND list = DraggedList(popup);
  if (!list) return;
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(g_smallThumbnailList));
  const int width = DragListWidth(source ? static_cast<int>(SendMessageW(source, LVM_GETCOLUMNWIDTH, 0, 0)) : 0);
  SetWindowLongPtrW(popup, GWLP_USERDATA, width);
  const COLORREF* slot = reinterpret_cast<const COLORREF*>(g_settings.colorSlots);
  SendMessageW(list, LVM_SETBKCOLOR, 0, slot[3]);
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, slot[3]);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, slot[6]);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = width;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  int index = 0;
  for (int row : SelectedRows(source)) {
    const int number = g_displayOrder[row];
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index++;
    item.pszText = EntryName(EntryAt(number));
    item.iImage = 2 * number;
    item.lParam = row;
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void PlaceDragList(HWND popup) {
  HWND list = DraggedList(popup);
  const int width = static_cast<int>(GetWindowLongPtrW(popup, GWLP_USERDATA));
  const int items = list ? static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
  const int border = GetSystemMetrics(SM_CYBORDER);
  const int height = (g_settings.listThumbHeight + border) * items + border;
  POINT p;
  GetCursorPos(&p);
  SetWindowPos(popup, HWND_TOPMOST, p.x + GetSystemMetrics(SM_CXCURSOR) / 8, p.y + GetSystemMetrics(SM_CYCURSOR) / 2 - 6,
               width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  if (list) SetWindowPos(list, nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Gives the selection back as it was when the drag started: the rows the popup lists.
void RestoreSelection(HWND popup) {
  HWND source = GetListControl();
  HWND list = DraggedList(popup);
  if (!source || !list) return;
  LVITEMW clear{};
  clear.stateMask = LVIS_SELECTED;
  SendMessageW(source, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  const int items = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int k = 0; k < items; ++k) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = k;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) continue;
    LVITEMW pick{};
    pick.stateMask = pick.state = LVIS_SELECTED;
    SendMessageW(source, LVM_SETITEMSTATE, item.lParam, reinterpret_cast<LPARAM>(&pick));
  }
}

void CloseMarkerAndList(bool restoreSelection) {
  if (HWND marker = Slot(kSlotDragMarker)) SendMessageW(marker, WM_CLOSE, 0, 0);
  if (HWND popup = Slot(kSlotDraggedItems)) SendMessageW(popup, WM_CLOSE, restoreSelection ? 1 : 0, 0);
}
}  // namespace

void OpenDragPopups(HWND owner) {
  g_dragListPane = owner;
  g_internalDropHandled = 0;
  g_dragMoves = 0;
  g_dragActive = 1;
  g_dragTargetTree = g_listSource != 0 ? IDC_COLLECTION_TREE : IDC_FOLDER_TREE;
  g_treeSelectionFrozen = 1;
  g_dropItem = nullptr;
  g_dropTargetValid = 0;
  CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_DRAG_MARKER), owner, DragMarkerDlgProc, 0);
  CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_DRAG_LIST), owner, DragListDlgProc, 0);
}

void TrackFileDrag(HWND listPane, int screenX, int screenY) {
  if (!Slot(kSlotDraggedItems)) return;
  HWND list = ListOf(listPane);
  UpdateDropFeedback(listPane, list, NavTree());
  RECT r;
  if (!list || !GetWindowRect(list, &r) || screenX <= r.left || screenX >= r.right - 1) return;
  if (screenY - r.top < kListEdge && screenY >= r.top)
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screenX, screenY));
  else if (r.bottom - screenY < kListEdge && screenY < r.bottom)
    SendMessageW(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screenX, screenY));
}

void UpdateDropFeedback(HWND listPane, HWND list, HWND tree) {
  POINT p;
  GetCursorPos(&p);
  if (listPane && list && StrictlyInside(list, p) && IsWindowEnabled(list)) {
    POINT c = p;
    ScreenToClient(list, &c);
    SetListDropRow(list, ListRowAt(list, c));
    RECT one = {c.x, c.y, c.x + 1, c.y + 1};
    RedrawWindow(list, &one, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  } else if (list) {
    SetListDropRow(list, -1);
  }
  if (Slot(kSlotNavigationPane) && tree && StrictlyInside(tree, p) && IsPointOnShownPart(tree, p) &&
      IsWindowEnabled(tree)) {
    RECT client;
    GetClientRect(tree, &client);
    POINT c = p;
    ScreenToClient(tree, &c);
    if (c.y < client.top + kTreeEdge)
      SendMessageW(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(p.x, p.y));
    else if (c.y > client.bottom - kTreeEdge)
      SendMessageW(tree, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(p.x, p.y));
  }
  if (tree) HitTestDropTree(tree);
  else g_dropTargetValid = 0;
  if (HWND marker = Slot(kSlotDragMarker)) SendMessageW(marker, WM_COMMAND, kRefreshCommand, 0);
  if (HWND popup = Slot(kSlotDraggedItems)) SendMessageW(popup, WM_COMMAND, kRefreshCommand, 0);
}

int FinishFileDrag(HWND listPane) {
  g_dragActive = 0;
  g_treeSelectionFrozen = 0;
  bool restoreSelection = true;
  POINT p;
  GetCursorPos(&p);
  HWND list = ListOf(listPane);
  SetListDropRow(list, -1);
  if (listPane && Slot(kSlotFileListPane) && list && StrictlyInside(list, p) && IsWindowEnabled(list)) {
    g_internalDropHandled = 1;
    POINT c = p;
    ScreenToClient(list, &c);
    const int row = ListRowAt(list, c);
    HWND popup = Slot(kSlotDraggedItems);
    if (row >= 0 && popup) {
      MoveDraggedRows(list, DraggedList(popup), row);
      g_cacheDirty |= 2;
      restoreSelection = false;
    }
  }
  CloseMarkerAndList(restoreSelection);
  HWND tree = NavTree();
  if (tree) SendMessageW(tree, TVM_SELECTITEM, TVGN_DROPHILITE, 0);
  if (!tree || !g_dropItem || !g_dropTargetValid) return 0;
  // The hit test of the last poll named the target; the release happens where it was.
  HWND nav = Slot(kSlotNavigationPane);
  PumpMessages(1);
  if (OverFolderTree())
    SendMessageW(nav, WM_COMMAND, g_dragMoves ? 163 : 162, 0);
  else
    SendMessageW(nav, WM_COMMAND, g_dragMoves ? 269 : 270, 0);
  g_internalDropHandled = 1;
  return g_dragMoves ? 2 : 1;
}

INT_PTR CALLBACK DragMarkerDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      if (Slot(kSlotDragMarker)) return TRUE;
      g_windowSlots[kSlotDragMarker] = dialog;
      ShowWindow(dialog, SW_HIDE);
      g_markerBitmap = static_cast<HBITMAP>(LoadImageW(g_hInstance, MAKEINTRESOURCEW(IDB_DRAG_MARKER), IMAGE_BITMAP, 0, 0, 0));
      SetTimer(dialog, kMarkerTimer, 100, nullptr);
      return TRUE;
    case WM_TIMER:
      if (wParam == kMarkerTimer) SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand) PlaceMarker(dialog);
      return TRUE;
    case WM_CLOSE:
      KillTimer(dialog, kMarkerTimer);
      DestroyWindow(dialog);
      if (g_markerBitmap) DeleteObject(g_markerBitmap);
      g_markerBitmap = nullptr;
      if (g_windowSlots[kSlotDragMarker] == dialog) g_windowSlots[kSlotDragMarker] = nullptr;
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK DragListDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotDraggedItems] = dialog;
      SetWindowLongW(dialog, GWL_EXSTYLE, GetWindowLongW(dialog, GWL_EXSTYLE) | WS_EX_LAYERED);
      SetLayeredWindowAttributes(dialog, 0, 192, LWA_ALPHA);
      ShowWindow(dialog, SW_HIDE);
      FillDragList(dialog);
      return TRUE;
    case WM_ERASEBKGND:
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand) PlaceDragList(dialog);
      return TRUE;
    case WM_CLOSE:
      if (wParam == 1) RestoreSelection(dialog);
      DestroyWindow(dialog);
      if (g_windowSlots[kSlotDraggedItems] == dialog) g_windowSlots[kSlotDraggedItems] = nullptr;
      return TRUE;
  }
  return FALSE;
}
