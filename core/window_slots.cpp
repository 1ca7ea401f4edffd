#include "core/window_slots.h"

#include "core/image_entry_list.h"
#include "resources/resource.h"

HWND g_windowSlots[kWindowSlotCount];

HWND ChildOfSlot(int slot, int id) { return g_windowSlots[slot] ? GetDlgItem(g_windowSlots[slot], id) : nullptr; }

HWND GetListControl() { return ChildOfSlot(kSlotFileListPane, IDC_FILE_LIST); }
HWND GetPaneControl(int pane) {
  return (pane >= 0 && pane < 4) ? ChildOfSlot(kSlotFileListPane, IDC_VIEWER_PANE1 + pane) : nullptr;
}
HWND GetActiveTree() {
  return ChildOfSlot(kSlotNavigationPane, g_listSource == 1 ? IDC_COLLECTION_TREE : IDC_FOLDER_TREE);
}
