#include "core/file_system.h"

#include <cstring>
#include <string>

#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/window_slots.h"

namespace {

constexpr int kFolderTreeId = 302;

HANDLE OpenForQuery(const wchar_t* path) {
  return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

using DiskFreeSpaceEx = BOOL(WINAPI*)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// Copies a multibyte name, cut to the 260-character buffer.
void CopyMultibyteName(const char* name, size_t maxBytes, wchar_t* out) {
  const size_t n = strnlen(name, maxBytes);
  std::wstring wide(n + 1, L'\0');
  const int got = n ? MultiByteToWideChar(CP_ACP, 0, name, int(n), &wide[0], int(n)) : 0;
  wide.resize(got > 0 ? size_t(got) : 0);
  if (wide.size() >= kPathUnits) wide.resize(kPathUnits - 1);
  std::memcpy(out, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

HWND FolderTree() {
  HWND pane = g_windowSlots[kSlotNavigationPane];
  return pane ? GetDlgItem(pane, kFolderTreeId) : nullptr;
}

}  // namespace

bool PathExists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }
bool FileExists(const wchar_t* path) { return PathExists(path); }

uint32_t GetFileSizeOfPath(const wchar_t* path) {
  HANDLE file = OpenForQuery(path);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info;
  const bool ok = GetFileInformationByHandle(file, &info) != 0;
  CloseHandle(file);
  return ok ? info.nFileSizeLow : 0;
}

bool GetFileWriteTime(FILETIME* out, const wchar_t* path) {
  HANDLE file = OpenForQuery(path);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileTime(file, nullptr, nullptr, out) != 0;
  CloseHandle(file);
  return ok;
}

uint64_t GetFreeDiskSpace(const wchar_t* path) {
  wchar_t root[kPathUnits + 1] = {};
  const size_t n = wcsnlen(path, kPathUnits - 1);
  if (n >= 2 && path[0] == L'\\' && path[1] == L'\\') {
    // A share has no drive letter: ask for the folder itself, which the call wants ending in '\'.
    std::memcpy(root, path, n * sizeof(wchar_t));
    if (root[n - 1] != L'\\') root[n] = L'\\';
  } else {
    std::memcpy(root, path, (n < 3 ? n : 3) * sizeof(wchar_t));
  }
  auto freeSpaceEx = reinterpret_cast<DiskFreeSpaceEx>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetDiskFreeSpaceExW")));
  if (freeSpaceEx) {
    ULARGE_INTEGER available, total, totalFree;
    return freeSpaceEx(root, &available, &total, &totalFree) ? available.QuadPart : 0;
  }
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
  if (!GetDiskFreeSpaceW(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters)) return 0;
  return uint32_t(freeClusters * sectorsPerCluster * bytesPerSector);
}

int RunShellFileOperation(SHFILEOPSTRUCTW* op) {
  EnterBusy();
  const int result = SHFileOperationW(op);
  if (result != 0) Sleep(200);
  LeaveBusy();
  return result;
}

int RunShellFileOperationDelayed(SHFILEOPSTRUCTW* op) {
  EnterBusy();
  Sleep(1);
  const int result = SHFileOperationW(op);
  if (result != 0) Sleep(200);
  LeaveBusy();
  return result;
}

bool ShellFileOperationDone(int result, const SHFILEOPSTRUCTW& op) { return result == 0 && !op.fAnyOperationsAborted; }

void* ShellAllocZeroed(size_t bytes) {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return nullptr;
  void* block = allocator->Alloc(bytes);
  allocator->Release();
  if (block) std::memset(block, 0, bytes);
  return block;
}

uint32_t GetIdListSize(LPCITEMIDLIST list) {
  if (!list) return 0;
  uint32_t size = 2;
  for (LPCITEMIDLIST item = list; item->mkid.cb; item = NextItemId(item)) size += item->mkid.cb;
  return size;
}

LPCITEMIDLIST NextItemId(LPCITEMIDLIST item) {
  return reinterpret_cast<LPCITEMIDLIST>(reinterpret_cast<const BYTE*>(item) + item->mkid.cb);
}

LPITEMIDLIST CopyItemId(IMalloc* allocator, LPCITEMIDLIST list) {
  const USHORT count = list->mkid.cb;
  auto* copy = static_cast<BYTE*>(allocator->Alloc(count + 2));
  if (!copy) return nullptr;
  std::memcpy(copy, list, count);
  copy[count] = copy[count + 1] = 0;
  return reinterpret_cast<LPITEMIDLIST>(copy);
}

LPITEMIDLIST JoinItemIdLists(LPCITEMIDLIST first, LPCITEMIDLIST second) {
  const uint32_t firstBytes = first ? GetIdListSize(first) - 2 : 0;
  const uint32_t secondBytes = GetIdListSize(second);
  auto* joined = static_cast<BYTE*>(ShellAllocZeroed(firstBytes + (secondBytes ? secondBytes : 2)));
  if (!joined) return nullptr;
  if (firstBytes) std::memcpy(joined, first, firstBytes);
  if (secondBytes) std::memcpy(joined + firstBytes, second, secondBytes);
  return reinterpret_cast<LPITEMIDLIST>(joined);
}

uint8_t GetShellItemDisplayName(IShellFolder* folder, LPCITEMIDLIST child, DWORD flags, wchar_t* out) {
  out[0] = 0;
  STRRET name;
  ZeroMemory(&name, sizeof name);
  if (FAILED(folder->GetDisplayNameOf(child, flags, &name))) return 0;
  switch (name.uType) {
    case STRRET_WSTR: {
      if (!name.pOleStr) return 0;
      const size_t n = wcsnlen(name.pOleStr, kPathUnits - 1);
      std::memcpy(out, name.pOleStr, n * sizeof(wchar_t));
      out[n] = 0;
      CoTaskMemFree(name.pOleStr);
      return 1;
    }
    case STRRET_OFFSET:
      CopyMultibyteName(reinterpret_cast<const char*>(child) + name.uOffset, kPathUnits, out);
      return 1;
    case STRRET_CSTR:
      CopyMultibyteName(name.cStr, sizeof name.cStr, out);
      return 1;
    default:
      return 0;
  }
}

bool GetShellItemParentPath(IShellFolder* folder, LPCITEMIDLIST child, wchar_t* out) {
  if (!GetShellItemDisplayName(folder, child, SHGDN_FORPARSING, out)) return false;
  for (size_t i = wcslen(out); i > 1; --i)
    if (out[i - 1] == L'\\') {
      out[i - 1] = 0;
      break;
    }
  return true;
}

int GetTreeItemText(HWND tree, HTREEITEM item, wchar_t* out) {
  out[0] = 0;
  TVITEMW tv;
  ZeroMemory(&tv, sizeof tv);
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = out;
  tv.cchTextMax = kPathUnits;
  if (!tree || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) {
    out[0] = 0;
    return -1;
  }
  out[kPathUnits - 1] = 0;
  return 0;
}

int GetTreeItemPath(HWND tree, HTREEITEM item, wchar_t* out) {
  std::wstring path;
  const HTREEITEM top = tree ? reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)) : nullptr;
  wchar_t text[kPathUnits];
  do {
    if (GetTreeItemText(tree, item, text) != 0) return -1;
    path.insert(0, std::wstring(text) + L'\\');
    item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(item)));
  } while (item && item != top);
  if (path.size() > 1 && path.back() == L'\\') path.pop_back();
  if (path.size() >= kPathUnits) return -1;
  std::memcpy(out, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
  return 0;
}

int GetTreeItemText(HTREEITEM item, wchar_t* out) { return GetTreeItemText(FolderTree(), item, out); }
int GetTreeItemPath(HTREEITEM item, wchar_t* out) { return GetTreeItemPath(FolderTree(), item, out); }
