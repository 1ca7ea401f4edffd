#include "settings_dialog/color_settings.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <cstring>

#include "browser/window_slots.h"
#include "core/settings.h"
#include "resources/resource.h"

uint32_t g_appliedColors[20];

namespace {
// The list views of the settings pages that show lists: page slot and control.
constexpr struct { int slot; int control; } kPageLists[] = {{19, 316}, {26, 426}, {27, 442}, {30, 531}, {30, 532}};

// Windows made after the last application would otherwise keep the system colours while the
// slots stay unchanged: remember which controls got them.
HWND g_appliedTrees[2], g_appliedList;

void ColorList(HWND list) {
  const COLORREF* slot = reinterpret_cast<const COLORREF*>(g_settings.colorSlots);
  SendMessageW(list, LVM_SETBKCOLOR, 0, slot[3]);
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, slot[3]);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, slot[6]);
  InvalidateRect(list, nullptr, TRUE);
}

void ColorTree(HWND tree, bool withImages) {
  const COLORREF* slot = reinterpret_cast<const COLORREF*>(g_settings.colorSlots);
  if (withImages) {
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
    if (images) ImageList_SetBkColor(images, slot[1]);
  }
  SendMessageW(tree, TVM_SETBKCOLOR, 0, slot[1]);
  SendMessageW(tree, TVM_SETTEXTCOLOR, 0, slot[2]);
  InvalidateRect(tree, nullptr, TRUE);
}
}  // namespace

void ApplyColorSettings() {
  if (HWND dialog = g_windowSlots[kSlotSettingsDialog]) {
    if (HWND tree = GetDlgItem(dialog, 485)) ColorTree(tree, false);
    for (const auto& page : kPageLists) {
      HWND pageWindow = g_windowSlots[page.slot];
      if (!pageWindow) continue;
      if (HWND list = GetDlgItem(pageWindow, page.control)) ColorList(list);
      InvalidateRect(dialog, nullptr, TRUE);
    }
  }
  HWND nav = g_windowSlots[kSlotNavigationPane];
  HWND trees[2] = {nav ? GetDlgItem(nav, IDC_FOLDER_TREE) : nullptr, nav ? GetDlgItem(nav, IDC_COLLECTION_TREE) : nullptr};
  HWND pane = g_windowSlots[kSlotFileListPane];
  HWND list = pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr;
  const bool changed = std::memcmp(g_appliedColors, g_settings.colorSlots, sizeof g_appliedColors) != 0;
  std::memcpy(g_appliedColors, g_settings.colorSlots, sizeof g_appliedColors);
  const bool newWindows = trees[0] != g_appliedTrees[0] || trees[1] != g_appliedTrees[1] || list != g_appliedList;
  if (!changed && !newWindows) return;
  if ((g_viewMode & 2) && pane) InvalidateRect(pane, nullptr, TRUE);
  for (int k = 0; k < 2; ++k) {
    if (trees[k]) ColorTree(trees[k], true);
    g_appliedTrees[k] = trees[k];
  }
  if (list) ColorList(list);
  g_appliedList = list;
}

uint32_t PickColor(HWND owner, uint32_t color) {
  static COLORREF customColors[16];
  CHOOSECOLORW choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = owner;
  choose.lpCustColors = customColors;
  choose.rgbResult = color;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  return ChooseColorW(&choose) ? choose.rgbResult : color;
}
