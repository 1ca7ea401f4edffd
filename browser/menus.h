// The popup menus: built once at start-up, their three data-driven submenus rebuilt before
// each showing, and the owner-drawn items measured and drawn.
#pragma once
#include <windows.h>
#include <cstdint>
#include "browser/pure/menu_tables.h"
#include "core/folder_cache.h"

extern HMENU g_menus[kMenuCount];
extern CacheHistoryRow* g_cacheHistory;
extern int g_cacheHistoryCount;

void BuildMenuBar(HINSTANCE instance);
// The icon strip of the owner-drawn items at the current interface scale; start-up loads it
// again once the settings have fixed the scale.
void LoadMenuIcons(HINSTANCE instance);
void DestroyMenus();
HMENU BuildPopupFromTable(int index, const MenuItemRecord* table, int count);
void BuildFavouritesSubmenu();
void BuildCacheHistorySubmenu();
void BuildCollectionsSubmenu();

void PrepareListPopup();
void PrepareFolderTreePopup();
// Item 207 is greyed while the list-item kind chosen on the list-items page is 4.
void UpdateColumnItemPopup(int32_t selectedItemKind);
// Popups that open without preparation keep these hooks for symmetry with their callers.
inline void PrepareToolPopup() {}
inline void PrepareCollectionTreePopup() {}
inline void PrepareInfoTabPopup() {}

// WM_MEASUREITEM / WM_DRAWITEM of owner-drawn menu items: TRUE when the item was one of ours.
BOOL MeasureOwnerMenuItem(MEASUREITEMSTRUCT* measure);
BOOL DrawOwnerMenuItem(const DRAWITEMSTRUCT* draw);
