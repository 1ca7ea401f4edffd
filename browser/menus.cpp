#include "browser/menus.h"

#include <commctrl.h>
#include <cstdlib>
#include <initializer_list>

#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "browser/collections.h"
#include "browser/focus_queries.h"
#include "core/entry_queries.h"
#include "core/thumbnail_list_thread.h"
#include "core/path_utils.h"
#include "core/window_helpers.h"
#include "resources/resource.h"

HMENU g_menus[kMenuCount];
CacheHistoryRow* g_cacheHistory;
int g_cacheHistoryCount;

namespace {

HBITMAP g_menuIcons;
constexpr int kSearchDialogSlot = 43, kSearchProgressSlot = 44;
constexpr int kMaxCollections = 256;

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const char16_t* U16(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

HMENU MenuFromItems(const DynamicMenuItem* items, int count) {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < count; ++i) AppendMenuW(menu, MF_STRING | items[i].flags, items[i].id, Wide(items[i].text));
  return menu;
}

HMENU NewSubmenu(int index) {
  static DynamicMenuItem items[kMaxCollections];
  static const char16_t* texts[kMaxCollections];
  int count = 0;
  if (index == kFavouritesMenu) {
    count = FavouriteMenuItems(g_settings.favouriteFolders, items);
  } else if (index == kCacheHistoryMenu) {
    int rows = g_cacheHistory ? g_cacheHistoryCount : 0;
    if (rows > kCacheHistoryRows) rows = kCacheHistoryRows;
    for (int i = 0; i < rows; ++i) texts[i] = U16(g_cacheHistory[i].folder);
    count = ListMenuItems(1000, texts, rows, items, kMaxCollections);
  } else {
    int n = g_collections ? g_collectionCount : 0;
    if (n < 0) n = 0;
    if (n > kMaxCollections) n = kMaxCollections;
    for (int i = 0; i < n; ++i) texts[i] = U16(g_collections[i].name);
    count = ListMenuItems(4000, texts, n, items, kMaxCollections);
  }
  return MenuFromItems(items, count);
}

// Replaces a data-driven submenu in every popup that holds it, so no parent keeps a handle
// that was destroyed.
void RebuildSubmenu(int index) {
  SubmenuSlot slots[2];
  int n = SubmenuSlots(index, slots);
  HMENU old = g_menus[index];
  bool removed[2] = {};
  for (int i = 0; i < n; ++i) {
    HMENU parent = g_menus[slots[i].parent];
    if (parent && old && GetSubMenu(parent, slots[i].position) == old)
      removed[i] = RemoveMenu(parent, slots[i].position, MF_BYPOSITION) != 0;
  }
  if (old) DestroyMenu(old);
  g_menus[index] = NewSubmenu(index);
  for (int i = 0; i < n; ++i) {
    if (!removed[i]) continue;
    const PopupTable* t = FindPopupTable(slots[i].parent);
    const MenuItemRecord& r = t->items[slots[i].position];
    InsertMenuW(g_menus[slots[i].parent], slots[i].position, MF_BYPOSITION | MF_POPUP | MF_OWNERDRAW | r.flags,
                reinterpret_cast<UINT_PTR>(g_menus[index]),
                reinterpret_cast<LPCWSTR>(uintptr_t(OwnerItemData(slots[i].parent, slots[i].position))));
  }
}

void EnableCommand(HMENU menu, int id, bool enabled) {
  EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

}  // namespace

HMENU BuildPopupFromTable(int index, const MenuItemRecord* table, int count) {
  HMENU menu = CreatePopupMenu();
  for (int i = 0; i < count; ++i) {
    const MenuItemRecord& r = table[i];
    UINT_PTR item = (r.flags & kMenuPopup) ? reinterpret_cast<UINT_PTR>(g_menus[r.id]) : UINT_PTR(r.id);
    if (r.icon < 0)
      AppendMenuW(menu, r.flags, item, Wide(r.text));
    else
      AppendMenuW(menu, r.flags | MF_OWNERDRAW, item, reinterpret_cast<LPCWSTR>(uintptr_t(OwnerItemData(index, i))));
  }
  g_menus[index] = menu;
  return menu;
}

void BuildMenuBar(HINSTANCE instance) {
  g_menus[0] = CreateMenu();
  g_cacheHistory = static_cast<CacheHistoryRow*>(calloc(kCacheHistoryRows, sizeof(CacheHistoryRow)));
  g_cacheHistoryCount = 0;
  // The data-driven submenus exist (empty) before the popups that hold them.
  for (int index : {kFavouritesMenu, kCacheHistoryMenu, kCollectionsMenu}) g_menus[index] = NewSubmenu(index);
  for (int index : kBuildOrder) {
    const PopupTable* t = FindPopupTable(index);
    BuildPopupFromTable(index, t->items, t->count);
  }
  LoadMenuIcons(instance);
}

void LoadMenuIcons(HINSTANCE instance) {
  if (g_menuIcons) DeleteObject(g_menuIcons);
  g_menuIcons = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(g_uiScale == 2 ? IDB_MENU_ICONS_LARGE : IDB_MENU_ICONS),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

void DestroyMenus() {
  // Submenus are shared between popups: detach every one first, then destroy each handle once.
  for (HMENU menu : g_menus) {
    if (!menu) continue;
    for (int pos = GetMenuItemCount(menu) - 1; pos >= 0; --pos)
      if (GetSubMenu(menu, pos)) RemoveMenu(menu, pos, MF_BYPOSITION);
  }
  for (HMENU& menu : g_menus) {
    if (menu) DestroyMenu(menu);
    menu = nullptr;
  }
  if (g_menuIcons) DeleteObject(g_menuIcons);
  g_menuIcons = nullptr;
  free(g_cacheHistory);
  g_cacheHistory = nullptr;
  g_cacheHistoryCount = 0;
}

void BuildFavouritesSubmenu() { RebuildSubmenu(kFavouritesMenu); }
void BuildCacheHistorySubmenu() { RebuildSubmenu(kCacheHistoryMenu); }
void BuildCollectionsSubmenu() { RebuildSubmenu(kCollectionsMenu); }

namespace {
int32_t SelectedListRows() {
  HWND pane = g_windowSlots[kSlotFileListPane];
  HWND list = pane ? GetDlgItem(pane, 313) : nullptr;
  return list ? int32_t(SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0)) : 0;
}
}  // namespace

void PrepareListPopup() {
  if (!g_menus[2]) return;
  BuildCollectionsSubmenu();
  BuildFavouritesSubmenu();
  BuildCacheHistorySubmenu();
  for (int n = 0; n < 5; ++n)
    CheckMenuItem(g_menus[3], kSplitLayoutFirstId + n,
                  MF_BYCOMMAND | (n == g_settings.splitLayout ? MF_CHECKED : MF_UNCHECKED));
  const PopupTable* formats = FindPopupTable(4);
  for (int i = 0; i < formats->count; ++i) {
    int id = formats->items[i].id;
    bool on = (g_settings.enabledImageTypes & FormatItemTypeBit(id)) != 0;
    CheckMenuItem(g_menus[4], id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  }
  SetListPopupModeIcons(g_settings.keepZoomWhilePaging != 0, g_settings.loupeEnabled != 0);

  ListPopupInputs in{};
  in.thumbnailsComplete = g_listPassComplete != 0;
  in.entryCount = g_entryCount;
  in.viewMode = g_viewMode;
  in.selectedRows = SelectedListRows();
  in.listCount = g_listCount;
  in.cursorRow = g_cursorRow;
  in.cursorEntryPresent = g_cursorRow >= 0 && g_cursorRow < g_listCount && IsRowEntryPresent(g_cursorRow);
  in.listSource = g_listSource;
  in.searchOpen = g_windowSlots[kSearchDialogSlot] || g_windowSlots[kSearchProgressSlot];
  in.fileActionTarget = FirstFileActionRow() >= 0;
  in.pictureTarget = FirstPictureCommandRow() >= 0;
  CommandEnable rules[kListPopupRuleCount];
  ListPopupEnableRules(in, rules);
  for (const CommandEnable& r : rules) EnableCommand(g_menus[2], r.id, r.enabled);
}

void PrepareFolderTreePopup() {
  if (!g_menus[11]) return;
  BuildFavouritesSubmenu();
  BuildCacheHistorySubmenu();
  bool same = g_targetFolder && ComparePaths(g_targetFolder, g_currentFolder) == 0;
  bool enabled = FolderTreeCopyEnabled((g_viewMode & 1) != 0, SelectedListRows(), g_entryCount, same);
  EnableCommand(g_menus[11], 162, enabled);
  EnableCommand(g_menus[11], 163, enabled);
}

void UpdateColumnItemPopup(int32_t selectedItemKind) {
  if (g_menus[14]) EnableCommand(g_menus[14], 207, selectedItemKind != 4);
}

BOOL MeasureOwnerMenuItem(MEASUREITEMSTRUCT* measure) {
  if (measure->CtlType != ODT_MENU) return FALSE;
  const MenuItemRecord* r = OwnerItemRecord(measure->itemData);
  if (!r) return FALSE;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32W(dc, Wide(r->text), lstrlenW(Wide(r->text)), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int width, height;
  OwnerItemSize(size.cx, size.cy, g_uiScale, &width, &height);
  measure->itemWidth = UINT(width);
  measure->itemHeight = UINT(height);
  return TRUE;
}

BOOL DrawOwnerMenuItem(const DRAWITEMSTRUCT* draw) {
  if (draw->CtlType != ODT_MENU) return FALSE;
  const MenuItemRecord* r = OwnerItemRecord(draw->itemData);
  if (!r) return FALSE;
  HDC dc = draw->hDC;
  RECT rc = draw->rcItem;
  const int cell = 16 * g_uiScale;
  bool selected = (draw->itemState & ODS_SELECTED) != 0;
  bool grayed = (draw->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  int background = selected ? COLOR_HIGHLIGHT : COLOR_MENU;
  int text = grayed ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT;
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  if (selected) {
    // A raised frame over the icon column, then the highlight beside it.
    RECT frame{rc.left, rc.top, cell + 4, rc.bottom};
    FillRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    RECT shadow{frame.left + 1, frame.top + 1, frame.right, frame.bottom};
    HBRUSH dark = CreateSolidBrush(RGB(0x42, 0x41, 0x42));
    FillRect(dc, &shadow, dark);
    DeleteObject(dark);
    RECT face{shadow.left, shadow.top, shadow.right - 1, shadow.bottom - 1};
    FillRect(dc, &face, GetSysColorBrush(COLOR_MENU));
    RECT rest{cell + 6, rc.top, rc.right, rc.bottom};
    FillRect(dc, &rest, GetSysColorBrush(background));
  } else {
    FillRect(dc, &rc, GetSysColorBrush(background));
  }
  if (r->icon != 0 && g_menuIcons) {
    HDC src = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(src, g_menuIcons);
    TransparentBlt(dc, rc.left + 2, rc.top + 2, cell, cell, src, cell * r->icon, 0, cell, cell, RGB(0xC0, 0xC0, 0xC0));
    SelectObject(src, oldBitmap);
    DeleteDC(src);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(text));
  TextOutW(dc, rc.left + cell + 10, rc.top + 2, Wide(r->text), lstrlenW(Wide(r->text)));
  SelectObject(dc, oldFont);
  return TRUE;
}
