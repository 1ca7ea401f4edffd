#include "support/remote_controls.h"

#include "support/win_test_support.h"

namespace testsupport {

RemoteBuffer::RemoteBuffer(HWND owner, size_t size) : size_(size) {
  DWORD pid = 0;
  GetWindowThreadProcessId(owner, &pid);
  process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
  if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
  if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
  if (process_) CloseHandle(process_);
}

bool RemoteBuffer::Write(size_t offset, const void* data, size_t size) {
  SIZE_T done = 0;
  return address_ && offset + size <= size_ &&
         WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) && done == size;
}

bool RemoteBuffer::Read(size_t offset, void* data, size_t size) const {
  SIZE_T done = 0;
  return address_ && offset + size <= size_ &&
         ReadProcessMemory(process_, static_cast<char*>(address_) + offset, data, size, &done) && done == size;
}

namespace {
constexpr size_t kTextChars = 2048;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result)) return 0;
  return static_cast<LRESULT>(result);
}

// Reads a terminated text of at most kTextChars at the offset.
std::wstring ReadText(const RemoteBuffer& buffer, size_t offset) {
  std::vector<wchar_t> text(kTextChars + 1, 0);
  if (!buffer.Read(offset, text.data(), kTextChars * sizeof(wchar_t))) return L"";
  text[kTextChars] = 0;
  return text.data();
}
}  // namespace

std::wstring StatusPartText(HWND statusBar, int part) {
  RemoteBuffer buffer(statusBar, (kTextChars + 1) * sizeof(wchar_t));
  if (!buffer.ok()) return L"";
  const wchar_t zero = 0;
  buffer.Write(0, &zero, sizeof zero);
  // The text may be longer than the buffer only if the control is broken; ask its length first.
  const LRESULT length = Send(statusBar, SB_GETTEXTLENGTHW, part, 0);
  if (LOWORD(length) >= kTextChars) return L"";
  Send(statusBar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer.address()));
  return ReadText(buffer, 0);
}

std::wstring ComboBoxExItemText(HWND combo, int index) {
  RemoteBuffer buffer(combo, sizeof(COMBOBOXEXITEMW) + (kTextChars + 1) * sizeof(wchar_t));
  if (!buffer.ok()) return L"";
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT;
  item.iItem = index;
  item.cchTextMax = kTextChars;
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.address()) + sizeof item);
  const wchar_t zero = 0;
  buffer.Write(0, &item, sizeof item);
  buffer.Write(sizeof item, &zero, sizeof zero);
  return Send(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.address())) ? ReadText(buffer, sizeof item)
                                                                                     : L"";
}

std::wstring ListCellText(HWND list, int row, int column) {
  RemoteBuffer buffer(list, sizeof(LVITEMW) + (kTextChars + 1) * sizeof(wchar_t));
  if (!buffer.ok()) return L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.cchTextMax = kTextChars;
  item.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.address()) + sizeof(LVITEMW));
  const wchar_t zero = 0;
  buffer.Write(0, &item, sizeof item);
  buffer.Write(sizeof item, &zero, sizeof zero);
  Send(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buffer.address()));
  // Owner-data lists may answer with a pointer of their own instead of filling the buffer.
  LVITEMW back{};
  buffer.Read(0, &back, sizeof back);
  if (back.pszText != item.pszText) {
    if (!back.pszText) return L"";
    std::vector<wchar_t> text(kTextChars + 1, 0);
    HANDLE process = nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    process = OpenProcess(PROCESS_VM_READ, FALSE, pid);
    SIZE_T done = 0;
    if (process) ReadProcessMemory(process, back.pszText, text.data(), kTextChars * sizeof(wchar_t), &done);
    if (process) CloseHandle(process);
    return text.data();
  }
  return ReadText(buffer, sizeof(LVITEMW));
}

RECT ListRowRect(HWND list, int row) {
  RECT r{};
  r.left = LVIR_BOUNDS;
  RemoteBuffer buffer(list, sizeof r);
  if (!buffer.ok() || !buffer.Write(0, &r, sizeof r)) return RECT{};
  if (!Send(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buffer.address()))) return RECT{};
  buffer.Read(0, &r, sizeof r);
  return r;
}

RECT ListItemScreenRect(HWND list, int row, int part) {
  RECT r{};
  r.left = part;
  RemoteBuffer buffer(list, sizeof r);
  if (!buffer.ok() || !buffer.Write(0, &r, sizeof r)) return RECT{};
  if (!Send(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(buffer.address()))) return RECT{};
  buffer.Read(0, &r, sizeof r);
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ListSubItemScreenRect(HWND list, int row, int column, int part) {
  RECT r{};
  r.top = column;
  r.left = part;
  RemoteBuffer buffer(list, sizeof r);
  if (!buffer.ok() || !buffer.Write(0, &r, sizeof r)) return RECT{};
  if (!Send(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(buffer.address()))) return RECT{};
  buffer.Read(0, &r, sizeof r);
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT TreeItemScreenRect(HWND tree, HTREEITEM item) {
  RECT r{};
  *reinterpret_cast<HTREEITEM*>(&r) = item;
  RemoteBuffer buffer(tree, sizeof r);
  if (!buffer.ok() || !buffer.Write(0, &r, sizeof r)) return RECT{};
  if (!Send(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(buffer.address()))) return RECT{};
  buffer.Read(0, &r, sizeof r);
  MapWindowPoints(tree, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void SetListRowState(HWND list, int row, UINT state, UINT mask) {
  LVITEMW item{};
  item.state = state;
  item.stateMask = mask;
  RemoteBuffer buffer(list, sizeof item);
  if (buffer.ok() && buffer.Write(0, &item, sizeof item))
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.address()));
}

RECT HeaderItemRect(HWND header, int index) {
  RECT r{};
  RemoteBuffer buffer(header, sizeof r);
  if (!buffer.ok() || !Send(header, HDM_GETITEMRECT, index, reinterpret_cast<LPARAM>(buffer.address()))) return r;
  buffer.Read(0, &r, sizeof r);
  return r;
}

bool HeaderItemFormat(HWND header, int index, int* format, int* image) {
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  RemoteBuffer buffer(header, sizeof item);
  if (!buffer.ok() || !buffer.Write(0, &item, sizeof item)) return false;
  if (!Send(header, HDM_GETITEMW, index, reinterpret_cast<LPARAM>(buffer.address()))) return false;
  if (!buffer.Read(0, &item, sizeof item)) return false;
  *format = item.fmt;
  *image = item.iImage;
  return true;
}

std::wstring TreeItemText(HWND tree, HTREEITEM item) {
  RemoteBuffer buffer(tree, sizeof(TVITEMW) + (kTextChars + 1) * sizeof(wchar_t));
  if (!buffer.ok() || !item) return L"";
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.cchTextMax = kTextChars;
  tv.pszText = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer.address()) + sizeof(TVITEMW));
  const wchar_t zero = 0;
  buffer.Write(0, &tv, sizeof tv);
  buffer.Write(sizeof tv, &zero, sizeof zero);
  if (!Send(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(buffer.address()))) return L"";
  return ReadText(buffer, sizeof(TVITEMW));
}

namespace {
void CollectTreeTexts(HWND tree, HTREEITEM item, int depth, std::vector<std::wstring>* out) {
  for (int guard = 0; item && guard < 10000 && depth < 64; ++guard) {
    out->push_back(TreeItemText(tree, item));
    CollectTreeTexts(tree, reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))),
                     depth + 1, out);
    item = reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
  }
}
}  // namespace

std::vector<std::wstring> TreeTexts(HWND tree) {
  std::vector<std::wstring> out;
  CollectTreeTexts(tree, reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0, &out);
  return out;
}

TrackbarState ReadTrackbar(HWND trackbar) {
  TrackbarState s;
  s.min = static_cast<int>(Send(trackbar, TBM_GETRANGEMIN, 0, 0));
  s.max = static_cast<int>(Send(trackbar, TBM_GETRANGEMAX, 0, 0));
  s.pos = static_cast<int>(Send(trackbar, TBM_GETPOS, 0, 0));
  return s;
}

std::vector<std::wstring> MenuItemTexts(HMENU menu) {
  std::vector<std::wstring> out;
  const int n = GetMenuItemCount(menu);
  for (int i = 0; i < n; ++i) {
    wchar_t text[512] = {};
    GetMenuStringW(menu, i, text, 512, MF_BYPOSITION);
    out.push_back(text);
  }
  return out;
}

HWND FindOpenPopupMenu(DWORD processId) { return FindTopWindow(processId, L"#32768", L""); }

std::vector<HWND> FindOpenPopupMenus(DWORD processId) { return VisibleTopWindows(processId, L"#32768"); }

void PostMenuKey(HWND menuWindow, WPARAM key, int times) {
  for (int i = 0; i < times; ++i) {
    PostMessageW(menuWindow, WM_KEYDOWN, key, 1);
    PostMessageW(menuWindow, WM_KEYUP, key, 0xC0000001);
    Sleep(30);
  }
}

}  // namespace testsupport
