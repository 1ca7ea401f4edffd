#include "browser/shell_tree.h"

#include <cstring>
#include <cwchar>

#include "browser/idle_loop.h"
#include "browser/drag_feedback.h"
#include "browser/pure/nav_rules.h"
#include "core/app_globals.h"
#include "core/file_system.h"
#include "core/path_utils.h"
#include "core/window_helpers.h"

wchar_t g_selectedFolderPath[260];
int32_t g_treeExpanding = 0;

namespace {
constexpr wchar_t kStateProperty[] = L"EVData";

struct ShellTreeState {
  HWND tree;
};

struct SpecialFolderName {
  wchar_t displayName[260];
  wchar_t path[260];
};
SpecialFolderName g_specialFolders[2];

char16_t* U(wchar_t* p) { return reinterpret_cast<char16_t*>(p); }
const char16_t* U(const wchar_t* p) { return reinterpret_cast<const char16_t*>(p); }

IMalloc* ShellMalloc() {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator))) return nullptr;
  return allocator;
}

void FreeShell(void* block) {
  if (!block) return;
  if (IMalloc* m = ShellMalloc()) {
    m->Free(block);
    m->Release();
  }
}

void FillSpecialFolderNames() {
  const int ids[2] = {CSIDL_DESKTOP, CSIDL_PERSONAL};
  IShellFolder* desktop = nullptr;
  SHGetDesktopFolder(&desktop);
  for (int i = 0; i < 2; ++i) {
    SpecialFolderName& row = g_specialFolders[i];
    row.displayName[0] = row.path[0] = 0;
    LPITEMIDLIST id = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, ids[i], &id)) || !id) continue;
    if (desktop) GetShellItemDisplayName(desktop, id, SHGDN_NORMAL, row.displayName);
    if (!SHGetPathFromIDListW(id, row.path)) row.path[0] = 0;
    FreeShell(id);
  }
  if (desktop) desktop->Release();
}

bool IsAbsoluteFileSystemPath(const wchar_t* path) {
  return (path[0] && path[1] == L':' && path[2] == L'\\') || (path[0] == L'\\' && path[1] == L'\\' && path[2]);
}

ShellTreeItemData* AllocItemData(const wchar_t* parsingPart) {
  const size_t chars = wcslen(parsingPart);
  auto* data = static_cast<ShellTreeItemData*>(
      ShellAllocZeroed(offsetof(ShellTreeItemData, parsingPart) + (chars + 1) * sizeof(wchar_t) + 8));
  if (data) std::memcpy(data->parsingPart, parsingPart, (chars + 1) * sizeof(wchar_t));
  return data;
}

void FreeItemData(ShellTreeItemData* data) {
  if (!data) return;
  if (data->folder) data->folder->Release();
  FreeShell(data->relativeId);
  FreeShell(data->fullId);
  FreeShell(data);
}

// Inserts one child id below `parent`; returns the new item or null.
HTREEITEM InsertShellItem(HWND tree, HTREEITEM parent, HTREEITEM after, IShellFolder* parentFolder,
                          LPCITEMIDLIST parentFullId, LPCITEMIDLIST id, IMalloc* allocator) {
  ULONG attributes = kShellTreeAttributeMask;
  LPCITEMIDLIST one = id;
  if (FAILED(parentFolder->GetAttributesOf(1, &one, &attributes)) || !(attributes & SFGAO_FOLDER)) return nullptr;
  TVINSERTSTRUCTW insert;
  ZeroMemory(&insert, sizeof insert);
  TVITEMW& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  if (attributes & SFGAO_HASSUBFOLDER) {
    item.mask |= TVIF_CHILDREN;
    item.cChildren = 1;
  }
  wchar_t parsing[260], part[260], text[260];
  part[0] = 0;
  if (GetShellItemDisplayName(parentFolder, id, SHGDN_FORPARSING, parsing)) GetFileNamePart(parsing, part);
  if (!GetShellItemDisplayName(parentFolder, id, SHGDN_INFOLDER, text)) return nullptr;
  if (wcscmp(part, text) == 0 || wcsncmp(part, L"::", 2) == 0) part[0] = 0;
  ShellTreeItemData* data = AllocItemData(part);
  if (!data) return nullptr;
  data->attributes = attributes;
  data->fullId = JoinItemIdLists(parentFullId, id);
  data->relativeId = CopyItemId(allocator, id);
  if (!data->fullId || !data->relativeId ||
      FAILED(parentFolder->BindToObject(id, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&data->folder))) ||
      !data->folder) {
    data->folder = nullptr;
    FreeItemData(data);
    return nullptr;
  }
  SHFILEINFOW info;
  ZeroMemory(&info, sizeof info);
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(data->fullId), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  item.iImage = info.iIcon;
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(data->fullId), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
  item.iSelectedImage = info.iIcon;
  if (attributes & SFGAO_SHARE) {
    item.mask |= TVIF_STATE;
    item.stateMask = TVIS_OVERLAYMASK;
    item.state = INDEXTOOVERLAYMASK(1);
  }
  item.pszText = text;
  item.lParam = reinterpret_cast<LPARAM>(data);
  insert.hParent = parent;
  insert.hInsertAfter = after;
  auto inserted = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!inserted) FreeItemData(data);
  return inserted;
}

bool InsertRootItem(HWND tree) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return false;
  LPITEMIDLIST id = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &id)) || !id) {
    desktop->Release();
    return false;
  }
  IMalloc* allocator = ShellMalloc();
  ShellTreeItemData* data = allocator ? AllocItemData(L"") : nullptr;
  if (!data) {
    if (allocator) allocator->Release();
    FreeShell(id);
    desktop->Release();
    return false;
  }
  data->folder = desktop;  // the reference taken above
  data->attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER | SFGAO_FILESYSTEM;
  data->fullId = id;
  data->relativeId = CopyItemId(allocator, id);
  allocator->Release();
  wchar_t text[260];
  if (!GetShellItemDisplayName(desktop, id, SHGDN_NORMAL, text)) wcscpy(text, L"Desktop");
  SHFILEINFOW info;
  ZeroMemory(&info, sizeof info);
  TVINSERTSTRUCTW insert;
  ZeroMemory(&insert, sizeof insert);
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
  insert.item.cChildren = 1;
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(id), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
  insert.item.iImage = info.iIcon;
  SHGetFileInfoW(reinterpret_cast<LPCWSTR>(id), 0, &info, sizeof info,
                 SHGFI_PIDL | SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_OPENICON);
  insert.item.iSelectedImage = info.iIcon;
  insert.item.pszText = text;
  insert.item.lParam = reinterpret_cast<LPARAM>(data);
  if (!SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))) {
    FreeItemData(data);
    return false;
  }
  return true;
}

HTREEITEM TreeNext(HWND tree, UINT how, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

void SelectItem(HWND tree, HTREEITEM item) { SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }

void EnumerateChildren(HWND tree, HTREEITEM item, ShellTreeItemData* data) {
  HWND top = GetAncestor(tree, GA_ROOT);
  if (!GetCapture()) CaptureMouseWithCursor(top, IDC_WAIT);
  IEnumIDList* list = nullptr;
  int inserted = 0;
  IMalloc* allocator = ShellMalloc();
  // S_FALSE may come with no enumerator at all.
  if (allocator && SUCCEEDED(data->folder->EnumObjects(top, SHCONTF_FOLDERS, &list)) && list) {
    HTREEITEM after = TVI_FIRST;
    LPITEMIDLIST id = nullptr;
    ULONG fetched = 0;
    while (list->Next(1, &id, &fetched) == S_OK && id) {
      if (HTREEITEM added = InsertShellItem(tree, item, after, data->folder, data->fullId, id, allocator)) {
        after = added;
        ++inserted;
      }
      allocator->Free(id);
      id = nullptr;
    }
    list->Release();
  }
  if (allocator) allocator->Release();
  if (!inserted) {
    TVITEMW tv;
    ZeroMemory(&tv, sizeof tv);
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    tv.cChildren = 0;
    SendMessageW(tree, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  }
}

void DeleteChildren(HWND tree, HTREEITEM item) {
  while (HTREEITEM child = TreeNext(tree, TVGN_CHILD, item))
    if (!SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child))) break;
}

void FillChildren(HWND tree, HTREEITEM item, ShellTreeItemData* data) {
  DeleteChildren(tree, item);
  EnumerateChildren(tree, item, data);
  if (!g_treeSelectionFrozen) ReleaseMouseCapture();
  TVSORTCB sort;
  sort.hParent = item;
  sort.lpfnCompare = CompareTreeItems;
  sort.lParam = reinterpret_cast<LPARAM>(data->folder);
  SendMessageW(tree, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

void OnItemExpanding(HWND tree, NMTREEVIEWW* notify) {
  HTREEITEM item = notify->itemNew.hItem;
  auto* data = reinterpret_cast<ShellTreeItemData*>(notify->itemNew.lParam);
  if (!data) data = GetShellTreeItemData(tree, item);
  if (!data || !data->folder) return;
  g_treeExpanding = 1;
  DeleteChildren(tree, item);
  if (!g_treeSelectionFrozen) {
    SelectItem(tree, TreeNext(tree, TVGN_ROOT, nullptr));
    g_treeExpanding = 0;
    SelectItem(tree, item);
  } else {
    g_treeExpanding = 0;
  }
  FillChildren(tree, item, data);
}

void OnSelectionChanged(HWND tree, NMTREEVIEWW* notify) {
  if (g_treeExpanding) return;
  HTREEITEM item = notify->itemNew.hItem;
  if (!item) return;
  wchar_t display[kPathChars];
  if (GetShellTreeDisplayPath(tree, item, display, kPathChars)) wcscpy(g_startFolder, display);
  wchar_t text[260], folder[260];
  GetTreeItemText(tree, item, text);
  bool found = false;
  for (const SpecialFolderName& row : g_specialFolders)
    if (row.displayName[0] && row.path[0] && wcscmp(text, row.displayName) == 0) {
      wcscpy(folder, row.path);
      found = true;
      break;
    }
  if (!found) found = GetShellTreeItemFolder(tree, item, folder);
  // Items outside the file system (Recycle Bin, virtual folders) open nothing.
  if (!found) return;
  wcscpy(g_selectedFolderPath, folder);
  RequestDelayedFolderOpen(0, 0);
}

ShellTreeState* StateOf(HWND tree) { return static_cast<ShellTreeState*>(GetPropW(tree, kStateProperty)); }

void DropState(HWND tree) {
  if (ShellTreeState* state = StateOf(tree)) {
    RemovePropW(tree, kStateProperty);
    FreeShell(state);
  }
}

// The name the tree shows for an absolute id: its parent's in-folder name.
bool InFolderName(LPCITEMIDLIST id, wchar_t* out) {
  IShellFolder* parent = nullptr;
  LPCITEMIDLIST last = nullptr;
  if (FAILED(SHBindToParent(id, IID_IShellFolder, reinterpret_cast<void**>(&parent), &last)) || !parent) return false;
  const bool ok = GetShellItemDisplayName(parent, last, SHGDN_INFOLDER, out) != 0;
  parent->Release();
  return ok;
}

bool SpecialFolderInFolderName(int csidl, wchar_t* out) {
  LPITEMIDLIST id = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &id)) || !id) return false;
  const bool ok = InFolderName(id, out);
  FreeShell(id);
  return ok;
}

bool ParsedInFolderName(IShellFolder* desktop, const wchar_t* text, wchar_t* out) {
  wchar_t parse[260];
  wcsncpy(parse, text, 259);
  parse[259] = 0;
  LPITEMIDLIST id = nullptr;
  ULONG eaten = 0;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, parse, &eaten, &id, nullptr)) || !id) return false;
  const bool ok = InFolderName(id, out);
  FreeShell(id);
  return ok;
}
}  // namespace

ShellTreeItemData* GetShellTreeItemData(HWND tree, HTREEITEM item) {
  TVITEMW tv;
  ZeroMemory(&tv, sizeof tv);
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<ShellTreeItemData*>(tv.lParam);
}

bool GetShellTreeItemFolder(HWND tree, HTREEITEM item, wchar_t* out) {
  out[0] = 0;
  ShellTreeItemData* data = GetShellTreeItemData(tree, item);
  if (!data) return false;
  wchar_t path[MAX_PATH] = {};
  if (data->fullId && SHGetPathFromIDListW(data->fullId, path) && IsAbsoluteFileSystemPath(path)) {
    wcscpy(out, path);
    return true;
  }
  HTREEITEM parent = TreeNext(tree, TVGN_PARENT, item);
  ShellTreeItemData* parentData = parent ? GetShellTreeItemData(tree, parent) : nullptr;
  if (parentData && parentData->folder && data->relativeId &&
      GetShellItemDisplayName(parentData->folder, data->relativeId, SHGDN_FORPARSING, path) &&
      IsAbsoluteFileSystemPath(path)) {
    wcscpy(out, path);
    return true;
  }
  // A drive whose name cannot be parsed opens its root (the text ends in "(X:)").
  if (data->attributes & SFGAO_FILESYSTEM) {
    wchar_t text[260];
    if (GetTreeItemText(tree, item, text) == 0 && DriveRootFromItemText(U(text), U(out), 260)) return true;
  }
  out[0] = 0;
  return false;
}

bool GetShellTreeDisplayPath(HWND tree, HTREEITEM item, wchar_t* out, size_t capacity) {
  wchar_t text[260];
  wchar_t path[kPathChars * 2] = {};
  for (HTREEITEM at = item; at; at = TreeNext(tree, TVGN_PARENT, at)) {
    if (GetTreeItemText(tree, at, text) != 0) return false;
    const size_t have = wcslen(path), add = wcslen(text) + (have ? 1 : 0);
    if (have + add + 1 > sizeof path / sizeof path[0]) return false;
    std::memmove(path + add, path, (have + 1) * sizeof(wchar_t));
    std::memcpy(path, text, wcslen(text) * sizeof(wchar_t));
    if (have) path[add - 1] = L'\\';
  }
  if (wcslen(path) + 1 > capacity) return false;
  wcscpy(out, path);
  return true;
}

bool CreateShellTree(HWND tree) {
  auto* state = static_cast<ShellTreeState*>(ShellAllocZeroed(sizeof(ShellTreeState)));
  if (!state) return false;
  state->tree = tree;
  FillSpecialFolderNames();
  SHFILEINFOW info;
  ZeroMemory(&info, sizeof info);
  auto images = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  if (images) SendMessageW(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
  if (!InsertRootItem(tree)) {
    FreeShell(state);
    return false;
  }
  SetPropW(tree, kStateProperty, state);
  return true;
}

LRESULT HandleShellTreeNotify(HWND tree, NMHDR* header) {
  if (!StateOf(tree) && header->code != TVN_DELETEITEMW && header->code != TVN_DELETEITEMA) return 0;
  auto* notify = reinterpret_cast<NMTREEVIEWW*>(header);
  switch (header->code) {
    case TVN_DELETEITEMW:
    case TVN_DELETEITEMA:
      FreeItemData(reinterpret_cast<ShellTreeItemData*>(notify->itemOld.lParam));
      break;
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDINGA:
      OnItemExpanding(tree, notify);
      break;
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA:
      OnSelectionChanged(tree, notify);
      break;
    default:
      break;
  }
  return 0;
}

void ClearShellTree(HWND tree) {
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  DropState(tree);
}

void DestroyShellTree(HWND tree) {
  if (!tree) return;
  ClearShellTree(tree);
  DestroyWindow(tree);
}

int CALLBACK CompareTreeItems(LPARAM first, LPARAM second, LPARAM folder) {
  auto* a = reinterpret_cast<ShellTreeItemData*>(first);
  auto* b = reinterpret_cast<ShellTreeItemData*>(second);
  auto* shellFolder = reinterpret_cast<IShellFolder*>(folder);
  if (!a || !b || !shellFolder) return 0;
  const HRESULT result = shellFolder->CompareIDs(0, a->relativeId, b->relativeId);
  if (FAILED(result)) return 0;
  return static_cast<short>(HRESULT_CODE(result));
}

bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath) {
  displayPath[0] = 0;
  wchar_t root[260], rest[260];
  const ShellPathKind kind = SplitShellPath(U(fileSystemPath), U(root), 260, U(rest), 260);
  if (kind == ShellPathKind::kNone) return false;
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return true;
  // Names as the tree shows them (in-folder names), so the walk can match them.
  wchar_t text[kPathChars * 2] = {}, name[260];
  LPITEMIDLIST desktopId = nullptr;
  bool ok = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktopId)) && desktopId &&
            GetShellItemDisplayName(desktop, desktopId, SHGDN_NORMAL, name);
  FreeShell(desktopId);
  const size_t cap = sizeof text / sizeof text[0];
  ok = ok && AppendBounded(U(text), cap, U(name));
  ok = ok && SpecialFolderInFolderName(kind == ShellPathKind::kDrive ? CSIDL_DRIVES : CSIDL_NETWORK, name) &&
       AppendBounded(U(text), cap, u"\\") && AppendBounded(U(text), cap, U(name));
  ok = ok && ParsedInFolderName(desktop, root, name) && AppendBounded(U(text), cap, u"\\") &&
       AppendBounded(U(text), cap, U(name));
  desktop->Release();
  if (!ok) return false;
  if (rest[0] && kind == ShellPathKind::kUnc && !AppendBounded(U(text), cap, u"\\")) return false;
  if (rest[0] && !AppendBounded(U(text), cap, U(rest))) return false;
  if (wcslen(text) >= kPathChars) return false;
  wcscpy(displayPath, text);
  return true;
}
