// What the File Information window needs of the subsystems above metadata: the list, the menus.
// The program installs them at start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct MetadataHooks {
  // Whether the file list has the keyboard focus: the window then follows the list's rows, else
  // the focused viewer pane's.
  bool (*isListFocused)();
  // WM_MEASUREITEM / WM_DRAWITEM of the owner-drawn items of the tabs' popup menus: TRUE when
  // the item was one of the program's.
  BOOL (*measureOwnerMenuItem)(MEASUREITEMSTRUCT* measure);
  BOOL (*drawOwnerMenuItem)(const DRAWITEMSTRUCT* draw);
  // Popup menu `index` of the program's menus, prepared for showing from an information tab.
  HMENU (*infoTabPopup)(int index);
};
extern MetadataHooks g_metadataHooks;
