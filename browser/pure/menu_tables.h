// The static item tables of every popup menu, the rules that decide their check marks and
// enabled items, and the rows of the three menus rebuilt from current data.
#pragma once
#include <cstdint>
#include "core/pure/settings_records.h"

constexpr int kMenuCount = 22;
constexpr uint32_t kMenuChecked = 0x8;
constexpr uint32_t kMenuGrayed = 0x1;
constexpr uint32_t kMenuPopup = 0x10;
constexpr uint32_t kMenuSeparator = 0x800;

// icon -1: plain item; 0: owner-drawn without picture; n > 0: image n of the icon strip.
// For a popup item, id is the menu-table index of the submenu.
struct MenuItemRecord {
  int32_t icon;
  uint32_t flags;
  int32_t id;
  const char16_t* text;
};

struct PopupTable {
  int index;
  MenuItemRecord* items;
  int count;
};

// The table of popup `index`, or null for the menu bar and the three rebuilt submenus.
const PopupTable* FindPopupTable(int index);

// Build order: a submenu always stands before the popups that hold it. The cache-history
// list is allocated between kBuildOrder[12] and kBuildOrder[13].
constexpr int kBuildOrderCount = 18;
extern const int kBuildOrder[kBuildOrderCount];

// The rebuilt submenus and where they sit in their parents.
constexpr int kFavouritesMenu = 12, kCacheHistoryMenu = 13, kCollectionsMenu = 19;
struct SubmenuSlot {
  int parent;
  int position;
};
// Fills up to 2 slots; returns their count.
int SubmenuSlots(int submenu, SubmenuSlot out[2]);

// Owner-drawn items keep popup and position in their item data, so the drawing code always
// reads the table of the popup the item belongs to.
inline uint32_t OwnerItemData(int popup, int position) { return uint32_t(popup) << 16 | uint32_t(position); }
// The record behind item data, or null when it names no owner-drawn row.
const MenuItemRecord* OwnerItemRecord(uintptr_t itemData);

// Popup 4: the file-type bit each format item stands for; 0 for other ids.
uint32_t FormatItemTypeBit(int id);
// Popup 3: items 435..439 for the split layouts 0..4.
constexpr int kSplitLayoutFirstId = 435;

// Rows of a rebuilt submenu.
struct DynamicMenuItem {
  int32_t id;
  uint32_t flags;
  const char16_t* text;
};
extern const char16_t kNoneItemText[];
// Favourites: used rows with a path, in row order, id 3000 + row. Returns the count written
// (at least 1: the greyed "なし" when there is none).
int FavouriteMenuItems(const FavouriteFolderRow rows[128], DynamicMenuItem out[128]);
// Generic: count texts with ids base + n; texts[n] null or empty are still listed.
int ListMenuItems(int base, const char16_t* const* texts, int count, DynamicMenuItem* out, int capacity);

// Owner-drawn size rule.
inline void OwnerItemSize(int textWidth, int textHeight, int uiScale, int* width, int* height) {
  *width = textWidth + 16 * uiScale + 10;
  *height = textHeight + 16 * uiScale - 8;
}

// What the list popup depends on, and the enabled state of each command it touches.
struct ListPopupInputs {
  bool thumbnailsComplete;
  int32_t entryCount;
  int32_t viewMode;        // bit 0 list shown, bit 1 pictures shown
  int32_t selectedRows;    // selected rows of the list control
  int32_t listCount;
  int32_t cursorRow;
  bool cursorEntryPresent; // the current row's entry has a non-zero presence byte
  int32_t listSource;      // 0 folder
  bool searchOpen;         // search dialog or its progress dialog
  bool fileActionTarget;   // the rows a file action takes (selection or the pane with the keys)
  bool pictureTarget;      // the rows the other picture commands take (selection or current pane)
};
struct CommandEnable {
  int32_t id;
  bool enabled;
};
constexpr int kListPopupRuleCount = 23;
void ListPopupEnableRules(const ListPopupInputs& in, CommandEnable out[kListPopupRuleCount]);

// The folder-tree popup: copy and move here only with something to send to another folder.
bool FolderTreeCopyEnabled(bool listShown, int32_t selectedRows, int32_t entryCount, bool targetIsCurrent);

// Zoom-hold and loupe pictures of popup 2 positions 8 and 9.
void SetListPopupModeIcons(bool zoomHold, bool loupe);
