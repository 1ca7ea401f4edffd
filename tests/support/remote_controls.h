// Reading what another process's controls show, as a user sees it. Text that lives in the
// other process is read through a buffer allocated there (VirtualAllocEx), filled by the
// control's own message and copied back (ReadProcessMemory); this works under Wine too.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace testsupport {

// A block of memory in another process, freed at the end.
class RemoteBuffer {
 public:
  RemoteBuffer(HWND owner, size_t size);
  ~RemoteBuffer();
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;
  bool ok() const { return address_ != nullptr; }
  void* address() const { return address_; }
  bool Write(size_t offset, const void* data, size_t size);
  bool Read(size_t offset, void* data, size_t size) const;

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  size_t size_ = 0;
};

// The text of one status-bar part (SB_GETTEXTW).
std::wstring StatusPartText(HWND statusBar, int part);
// The text of an item of an extended combo box (CBEM_GETITEMW).
std::wstring ComboBoxExItemText(HWND combo, int index);
// The text of one list-view cell (LVM_GETITEMTEXTW).
std::wstring ListCellText(HWND list, int row, int column);
// The bounds of a list-view row in the list's client coordinates (LVM_GETITEMRECT, LVIR_BOUNDS).
RECT ListRowRect(HWND list, int row);
// A list-view row's rectangle part (LVIR_BOUNDS, LVIR_ICON, ...) and a cell's rectangle
// (LVM_GETSUBITEMRECT), in screen coordinates; empty when the list has no such row.
RECT ListItemScreenRect(HWND list, int row, int part);
RECT ListSubItemScreenRect(HWND list, int row, int column, int part);
// A tree item's text rectangle in screen coordinates (TVM_GETITEMRECT).
RECT TreeItemScreenRect(HWND tree, HTREEITEM item);
// Sets state bits of a list-view row (-1: every row), as LVM_SETITEMSTATE does.
void SetListRowState(HWND list, int row, UINT state, UINT mask);
// A header item's rectangle (HDM_GETITEMRECT) and its format and image (HDM_GETITEMW).
RECT HeaderItemRect(HWND header, int index);
bool HeaderItemFormat(HWND header, int index, int* format, int* image);
// The text of one tree item (TVM_GETITEMW), and the texts of all items, depth first.
std::wstring TreeItemText(HWND tree, HTREEITEM item);
std::vector<std::wstring> TreeTexts(HWND tree);
// The range and position of a trackbar.
struct TrackbarState {
  int min = 0, max = 0, pos = 0;
};
TrackbarState ReadTrackbar(HWND trackbar);
// The texts of a menu's items (empty for separators). Under Wine a menu of another process
// cannot be read (its handle is only valid in its own process): the result is then empty.
std::vector<std::wstring> MenuItemTexts(HMENU menu);
// A visible popup menu window ("#32768") of the process, null when none is open; and all of
// them (a menu and its open submenus).
HWND FindOpenPopupMenu(DWORD processId);
std::vector<HWND> FindOpenPopupMenus(DWORD processId);
// Keys for the menu loop of another process: it reads its thread's queue, whatever window
// the key is posted to.
void PostMenuKey(HWND menuWindow, WPARAM key, int times = 1);

}  // namespace testsupport
