#include "browser/collections.h"

#include <shlwapi.h>
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/viewer_panes.h"
#include "core/data_folders.h"
#include "core/file_types.h"
#include "core/folder_cache.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/list_hooks.h"
#include "core/list_helpers.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pure/catalogue_rules.h"
#include "core/safe_file.h"
#include "core/write_failure.h"
#include "core/settings.h"

CollectionRecord* g_collections = nullptr;
int32_t g_collectionCount = 0;
uint8_t g_collectionReloadPending = 0;
uint8_t g_skipCollectionOrderOnce = 0;
wchar_t g_collectionNameText[128] = {};

namespace {

constexpr int kCollectionNameDialog = 222;
constexpr int kCollectionNameEdit = 502;
constexpr int kCollectionNameSlot = 42;
constexpr int kNavigationTabs = 501;
constexpr int kFileListControl = 313;
constexpr uint32_t kLargestCollectionFile = 64u << 20;

bool ValidIndex(int index) { return g_collections && index >= 0 && index < g_collectionCount; }

// The search thread reads the table while its progress window is open: nothing changes it then.
bool SearchHoldsTable() { return g_windowSlots[kSlotSearchProgress] != nullptr; }

const char16_t* Text(const wchar_t* p) { return reinterpret_cast<const char16_t*>(p); }

// The long form of "<collection folder><name>.co"; false when the folder is unknown or the path
// too long.
bool CollectionFilePath(const wchar_t* name, wchar_t* out, size_t capacity) {
  wchar_t folder[kPathChars], path[kPathChars * 2];
  if (!GetCollectionFolder(folder)) return false;
  return swprintf(path, kPathChars * 2, L"%ls%ls.co", folder, name) > 0 && MakeLongPath(path, out, capacity);
}

bool CollectionCachePath(const wchar_t* name, wchar_t* out, size_t capacity) {
  return BuildCacheFilePath(name, true, out, capacity);
}

// Two names the file system takes for one file (it folds case beyond ASCII, as this does).
bool SameFileName(const wchar_t* a, const wchar_t* b) {
  return CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

// A move to another case of the same name can succeed and leave the old case on disk (Wine does
// so), and the next start would list the old name: such a move goes by a passing name.
bool MoveNamedFile(const wchar_t* from, const wchar_t* to) {
  if (!SameFileName(from, to)) return MoveFileW(from, to) != 0;
  const std::wstring passing = std::wstring(from) + L".renaming";
  if (!MoveFileW(from, passing.c_str())) return false;
  if (MoveFileW(passing.c_str(), to)) return true;
  MoveFileW(passing.c_str(), from);
  return false;
}

// Only the first 256 collection files are loaded: a file of the name that no record holds is
// another collection's, which a record of that name would overwrite at exit.
bool CollectionFileExists(const wchar_t* name) {
  wchar_t path[kPathChars * 2];
  return CollectionFilePath(name, path, kPathChars * 2) && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

void NotifyCollectionsChanged() {
  HWND pane = g_windowSlots[kSlotNavigationPane];
  if (pane) SendMessageW(pane, WM_COMMAND, kCollectionsChangedCommand, 0);
}

const wchar_t kBadNameText[] = L"コレクション名に使用できない名前です。\n次の文字は使えません。\n\\ / : * ? \" < > |";

// Tells the user why a name was refused; true when the name can be a file name.
bool AcceptName(HWND owner, const wchar_t* name) {
  if (IsValidCollectionName(Text(name))) return true;
  ShowAppMessageBox(owner, kBadNameText, g_productName ? g_productName : L"", MB_ICONERROR);
  return false;
}

// Collection files are named after their collections, and Windows takes two names that differ
// only in case for one file: such a name is refused (a collection's own name in another case is
// not a clash).
bool AcceptDistinctName(HWND owner, const wchar_t* name, int self) {
  for (int i = 0; i < g_collectionCount; ++i) {
    if (i == self || !SameFileName(g_collections[i].name, name)) continue;
    ShowAppMessageBox(owner, kBadNameText, g_productName ? g_productName : L"", MB_ICONERROR);
    return false;
  }
  return true;
}

// The rows a selection command acts on: the selected rows of the list when it is shown, else
// the focused pane's row.
std::vector<int> TargetRows() {
  std::vector<int> rows;
  if (g_viewMode & 1) {
    HWND pane = g_windowSlots[kSlotFileListPane];
    HWND list = pane ? GetDlgItem(pane, kFileListControl) : nullptr;
    if (!list) return rows;
    int row = -1;
    while ((row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0) {
      if (row < g_listCount) rows.push_back(row);
    }
  } else {
    int row = GetPaneOrderNumber(g_focusedPane);
    if (row >= 0 && row < g_listCount) rows.push_back(row);
  }
  return rows;
}

}  // namespace

bool SetCollectionList(int index, const wchar_t* text) {
  if (!ValidIndex(index) || SearchHoldsTable()) return false;
  CollectionRecord& r = g_collections[index];
  wchar_t* block = nullptr;
  if (text && text[0]) {
    size_t n = wcslen(text);
    block = static_cast<wchar_t*>(static_cast<void*>(AllocGlobal(GMEM_FIXED, static_cast<uint32_t>((n + 1) * 2))));
    if (!block) return false;
    wmemcpy(block, text, n + 1);
  }
  if (r.list) GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(r.list)));
  r.list = block;
  return true;
}

const wchar_t* CurrentCollectionList() {
  return ValidIndex(g_currentCollection) ? g_collections[g_currentCollection].list : nullptr;
}

int FindCollectionByName(const wchar_t* name) {
  for (int i = 0; i < g_collectionCount && g_collections; ++i) {
    if (wcscmp(g_collections[i].name, name) == 0) return i;
  }
  return -1;
}

void FreeCollections() {
  if (!g_collections) return;
  for (int i = 0; i < g_collectionCount; ++i) SetCollectionList(i, nullptr);
  GlobalFree(static_cast<HGLOBAL>(static_cast<void*>(g_collections)));
  g_collections = nullptr;
  g_collectionCount = 0;
}

void LoadCollections() {
  FreeCollections();
  g_collections = static_cast<CollectionRecord*>(
      static_cast<void*>(AllocGlobal(GPTR, kMaxCollections * sizeof(CollectionRecord))));
  g_collectionCount = 0;
  if (!g_collections) return;
  wchar_t folder[kPathChars];
  if (!GetCollectionFolder(folder)) return;
  wchar_t pattern[kPathChars + 8];
  swprintf(pattern, kPathChars + 8, L"%ls*.co", folder);
  WIN32_FIND_DATAW fd;
  HANDLE find = FindFirstFileW(pattern, &fd);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      size_t len = wcslen(fd.cFileName);
      // The pattern also matches short names; only a real ".co" ending counts.
      if (len < 4 || _wcsicmp(fd.cFileName + len - 3, L".co") != 0) continue;
      if (len - 3 >= static_cast<size_t>(kCollectionNameField)) continue;
      CollectionRecord& r = g_collections[g_collectionCount];
      wmemcpy(r.name, fd.cFileName, len - 3);
      r.name[len - 3] = 0;
      ++g_collectionCount;
    } while (g_collectionCount < kMaxCollections && FindNextFileW(find, &fd));
    FindClose(find);
  }
  for (int i = 0; i < g_collectionCount; ++i) {
    CollectionRecord& r = g_collections[i];
    wchar_t path[kPathChars * 2];
    if (!CollectionFilePath(r.name, path, kPathChars * 2)) continue;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      // Gone since the enumeration: nothing to keep. Held by another program or closed to us:
      // its paths are not known here.
      const DWORD error = GetLastError();
      r.unread = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
      continue;
    }
    LARGE_INTEGER size;
    bool read = GetFileSizeEx(file, &size) && size.QuadPart <= kLargestCollectionFile;
    if (read && size.QuadPart > 0) {
      std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart) + 2, 0);
      DWORD got = 0;
      read = ReadFile(file, bytes.data(), static_cast<DWORD>(size.QuadPart), &got, nullptr) && got == size.QuadPart;
      if (read) {
        std::u16string list = DecodeCollectionFile(bytes.data(), got);
        read = SetCollectionList(i, reinterpret_cast<const wchar_t*>(list.c_str()));
      }
    }
    CloseHandle(file);
    r.unread = !read;
  }
}

void SaveCollections() {
  if (!g_collections) return;
  wchar_t folder[kPathChars];
  if (!GetCollectionFolder(folder)) return;
  EnsureFolderExists(folder, 0);
  std::wstring failed;
  DWORD error = 0;  // why the first file could not be written
  for (int i = 0; i < g_collectionCount; ++i) {
    // A file that could not be read stays as it is; what this session added to its collection
    // cannot be joined to paths never seen, and is reported.
    if (g_collections[i].unread) {
      if (g_collections[i].list) {
        failed += L"\n";
        failed += g_collections[i].name;
      }
      continue;
    }
    wchar_t path[kPathChars * 2];
    std::vector<uint8_t> bytes = EncodeCollectionFile(Text(g_collections[i].list));
    uint8_t none = 0;
    // Names that differ only in case share one file here: the first keeps it.
    bool sharesFile = false;
    for (int j = 0; j < i && !sharesFile; ++j) sharesFile = SameFileName(g_collections[j].name, g_collections[i].name);
    if (sharesFile || !CollectionFilePath(g_collections[i].name, path, kPathChars * 2)) {
      failed += L"\n";
      failed += g_collections[i].name;
    } else if (!WriteFileReplacing(path, bytes.empty() ? &none : bytes.data(), static_cast<uint32_t>(bytes.size()))) {
      if (!error) error = LastWriteError();
      failed += L"\n";
      failed += g_collections[i].name;
    }
  }
  if (!failed.empty()) {
    std::wstring text = L"次のコレクションを保存できませんでした。" + failed;
    if (error) text += L"\n\n" + WriteFailureReason(error);
    ShowAppMessageBox(nullptr, text.c_str(), g_productName ? g_productName : L"", MB_ICONERROR);
  }
}

int CreateCollection(const wchar_t* name) {
  if (!g_collections || g_collectionCount >= kMaxCollections || !name || !name[0] || SearchHoldsTable()) return -2;
  if (FindCollectionByName(name) >= 0) return -1;
  HWND owner = g_windowSlots[kSlotNavigationPane];
  if (!AcceptName(owner, name) || !AcceptDistinctName(owner, name, -1)) return -2;
  if (CollectionFileExists(name)) return -1;
  CollectionRecord& r = g_collections[g_collectionCount];
  std::memset(&r, 0, sizeof r);
  wcsncpy(r.name, name, kCollectionNameField - 1);
  ++g_collectionCount;
  if (g_listSource != 0) g_collectionReloadPending = 1;
  NotifyCollectionsChanged();
  return FindCollectionByName(name);
}

void RenameCollection(int index, const wchar_t* newName) {
  if (!ValidIndex(index) || !newName || !newName[0] || FindCollectionByName(newName) >= 0 || SearchHoldsTable()) return;
  HWND owner = g_windowSlots[kSlotNavigationPane];
  if (!AcceptName(owner, newName) || !AcceptDistinctName(owner, newName, index)) return;
  CollectionRecord& r = g_collections[index];
  wchar_t from[kPathChars * 2], to[kPathChars * 2];
  // A collection made in this session has no file yet; one that has keeps the old name when it
  // cannot be moved, or the old file would come back as its own collection at the next start.
  // Neither takes the name of a file it does not own.
  if ((!SameFileName(r.name, newName) && CollectionFileExists(newName)) ||
      (CollectionFilePath(r.name, from, kPathChars * 2) && GetFileAttributesW(from) != INVALID_FILE_ATTRIBUTES &&
       (!CollectionFilePath(newName, to, kPathChars * 2) || !MoveNamedFile(from, to)))) {
    std::wstring text = std::wstring(L"次のコレクションの名前を変更できませんでした。\n") + r.name;
    ShowAppMessageBox(owner, text.c_str(), g_productName ? g_productName : L"", MB_ICONERROR);
    return;
  }
  if (CollectionCachePath(r.name, from, kPathChars * 2) && CollectionCachePath(newName, to, kPathChars * 2)) {
    MoveNamedFile(from, to);
  }
  wcsncpy(r.name, newName, kCollectionNameField - 1);
  r.name[kCollectionNameField - 1] = 0;
  g_collectionReloadPending = 1;
  NotifyCollectionsChanged();
}

void DeleteCollection(int index) {
  if (!ValidIndex(index) || SearchHoldsTable()) return;
  const bool shown = g_listSource != 0 && index == g_currentCollection;
  g_collectionReloadPending = 1;
  SetCollectionList(index, nullptr);
  wchar_t path[kPathChars * 2];
  if (CollectionFilePath(g_collections[index].name, path, kPathChars * 2)) DeleteFileW(path);
  if (CollectionCachePath(g_collections[index].name, path, kPathChars * 2)) DeleteFileW(path);
  std::memmove(&g_collections[index], &g_collections[index + 1],
               (g_collectionCount - index - 1) * sizeof(CollectionRecord));
  --g_collectionCount;
  std::memset(&g_collections[g_collectionCount], 0, sizeof(CollectionRecord));
  if (index < g_currentCollection) --g_currentCollection;
  if (g_collectionCount == 0) {
    g_currentCollection = -1;
  } else {
    g_currentCollection = std::max(0, std::min(g_currentCollection, g_collectionCount - 1));
  }
  // The next load takes the requested record: it must still be the one it named.
  if (index < g_requestedCollection) --g_requestedCollection;
  if (g_requestedCollection >= g_collectionCount) g_requestedCollection = g_collectionCount - 1;
  NotifyCollectionsChanged();
  if (shown) {
    // The rows listed are the deleted collection's: the list shows the collection now current
    // (none when it was the last), and the rows left are cached under no name.
    g_skipFolderCache = 1;
    g_requestedListSource = 1;
    g_requestedCollection = g_currentCollection;
    g_listHooks.loadListContents(1, 0, 0);
  }
}

bool AddFileToCollection(int index, const wchar_t* path) {
  if (!path || GetFileTypeFlag(path) == 0 || !ValidIndex(index)) return false;
  if (wcslen(path) >= static_cast<size_t>(kPathChars)) return false;
  const wchar_t* list = g_collections[index].list;
  if (ContainsLine(Text(list), Text(path), false)) return false;
  std::wstring text = list ? list : L"";
  text += path;
  text += L'\n';
  return SetCollectionList(index, text.c_str());
}

void AddSelectionToCollection(int index) {
  if (!ValidIndex(index) || g_listCount == 0 || SearchHoldsTable()) return;
  const wchar_t* list = g_collections[index].list;
  std::wstring work;
  for (int row : TargetRows()) {
    const wchar_t* path = EntryPath(EntryAtRow(row));
    if (ContainsLine(Text(list), Text(path), false) || ContainsLine(Text(work.c_str()), Text(path), false)) continue;
    work += path;
    work += L'\n';
  }
  if (work.empty()) return;
  std::wstring text = list ? list : L"";
  SetCollectionList(index, (text + work).c_str());
}

void RemoveSelectionFromCollection(int index) {
  if (!ValidIndex(index) || !g_collections[index].list || SearchHoldsTable()) return;
  wchar_t* list = g_collections[index].list;
  for (int row : TargetRows()) RemoveLine(reinterpret_cast<char16_t*>(list), Text(EntryPath(EntryAtRow(row))));
  if (!list[0]) SetCollectionList(index, nullptr);
}

void KeepCollectionOrder() {
  if (g_skipCollectionOrderOnce) {
    g_skipCollectionOrderOnce = 0;
    return;
  }
  // Only the rows of the collection shown may become its order, and only when none were
  // added or lost on the way.
  if (g_listCount == 0 || g_listSource == 0 || !ValidIndex(g_currentCollection)) return;
  std::wstring text;
  for (int row = 0; row < g_listCount; ++row) {
    text += EntryPath(EntryAtRow(row));
    text += L'\n';
  }
  const wchar_t* list = g_collections[g_currentCollection].list;
  if (list && SameLineSet(Text(list), Text(text.c_str()))) SetCollectionList(g_currentCollection, text.c_str());
}

void SelectNavigationTab(int tab) {
  g_requestedListSource = tab;
  if (tab == 0) KeepCollectionOrder();
  HWND pane = g_windowSlots[kSlotNavigationPane];
  HWND tabs = pane ? GetDlgItem(pane, kNavigationTabs) : nullptr;
  if (tabs) SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
  g_listHooks.loadListContents(1, 0, 0);
}

void SortCollectionsByName(CollectionRecord* records, int first, int last) {
  if (!records || first >= last) return;
  std::sort(records + first, records + last + 1, [](const CollectionRecord& a, const CollectionRecord& b) {
    return StrCmpLogicalW(a.name, b.name) < 0;
  });
}

INT_PTR CALLBACK CollectionNameDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  static INT_PTR result = 0;
  switch (message) {
    case WM_INITDIALOG: {
      int index = static_cast<int>(lParam);
      g_windowSlots[kCollectionNameSlot] = dialog;
      result = 0;
      SendDlgItemMessageW(dialog, kCollectionNameEdit, EM_LIMITTEXT, kCollectionNameChars, 0);
      if (index == -1 || !ValidIndex(index)) {
        SetWindowTextW(dialog, L"新規コレクション作成");
        SetDlgItemTextW(dialog, kCollectionNameEdit, L"コレクション");
      } else {
        SetWindowTextW(dialog, L"コレクション名変更");
        SetDlgItemTextW(dialog, kCollectionNameEdit, g_collections[index].name);
      }
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        wchar_t text[128] = {};
        GetDlgItemTextW(dialog, kCollectionNameEdit, text, 128);
        if (!text[0] || !AcceptName(dialog, text)) return TRUE;
        wcscpy(g_collectionNameText, text);
        result = 1;
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      g_windowSlots[kCollectionNameSlot] = nullptr;
      EndDialog(dialog, result);
      return TRUE;
  }
  return FALSE;
}
