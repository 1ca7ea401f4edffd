#include "browser/navigation_pane.h"

#include "core/folder_cache.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cwchar>

#include "browser/browser_hooks.h"
#include "browser/collections.h"
#include "browser/drag_drop.h"
#include "browser/focus_queries.h"
#include "browser/folder_dialogs.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/tree_selection_draw.h"
#include "browser/menus.h"
#include "browser/pure/nav_rules.h"
#include "browser/rebar_bands.h"
#include "browser/caption_favourites.h"
#include "browser/shell_tree.h"
#include "browser/status_bar.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_pipeline.h"
#include "core/thumbnail_list_thread.h"
#include "viewer/viewer_threads.h"
#include "core/data_folders.h"
#include "core/file_system.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/list_hooks.h"
#include "core/key_state.h"
#include "core/message_box.h"
#include "core/path_utils.h"
#include "core/pure/path_text.h"
#include "core/settings.h"
#include "core/window_helpers.h"
#include "resources/resource.h"

HTREEITEM g_targetTreeItem = nullptr;
int32_t g_targetCollection = -1;
uint8_t g_renameByCommand = 0;
uint8_t g_labelEditActive = 0;
uint8_t g_treeDrivenByCode = 0;
uint8_t g_navContextMenuOpen = 0;

extern int32_t g_splitterPositions[3];

namespace {
constexpr int kFolderTreePopup = 11, kCollectionTreePopup = 20;

HFONT g_treeFont = nullptr;
HDC g_treeDc = nullptr;
HBRUSH g_backgroundBrush = nullptr;
WNDPROC g_folderTreeProc = nullptr;
uint8_t g_splitterDragging = 0;
HWND g_splitterCapture = nullptr;
int g_splitterX = 0;
uint8_t g_collectionReselect = 0;

char16_t* U(wchar_t* p) { return reinterpret_cast<char16_t*>(p); }

HWND Pane() { return g_windowSlots[kSlotNavigationPane]; }
HWND FolderTree(HWND pane) { return GetDlgItem(pane, IDC_FOLDER_TREE); }
HWND CollectionTree(HWND pane) { return GetDlgItem(pane, IDC_COLLECTION_TREE); }
int32_t& NavPaneWidth() { return g_splitterPositions[0]; }

HTREEITEM Next(HWND tree, UINT how, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}
void Select(HWND tree, HTREEITEM item) { SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)); }
void Expand(HWND tree, HTREEITEM item) { SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(item)); }

LPARAM ItemData(HWND tree, HTREEITEM item) {
  TVITEMW tv{};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!item || !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
  return tv.lParam;
}

bool ListShown() { return (g_viewMode & 1) != 0; }
HWND FileList() {
  HWND pane = g_windowSlots[kSlotFileListPane];
  return pane ? GetDlgItem(pane, IDC_FILE_LIST) : nullptr;
}

int AskYesNo(const wchar_t* text) {
  return ShowAppMessageBox(Pane(), text, g_productName, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_TOPMOST);
}

// ---- folder tree: rebuild and walk to the saved display path ----

// The deepest item below `root` whose full ID list leads to the file-system path.
HTREEITEM WalkByIdList(HWND tree, HTREEITEM root, const wchar_t* fileSystemPath) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return root;
  wchar_t parse[260];
  wcsncpy(parse, fileSystemPath, 259);
  parse[259] = 0;
  LPITEMIDLIST target = nullptr;
  ULONG eaten = 0;
  HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, parse, &eaten, &target, nullptr);
  desktop->Release();
  if (FAILED(parsed) || !target) return root;
  HTREEITEM current = root;
  for (bool descended = true; descended;) {
    descended = false;
    Expand(tree, current);
    for (HTREEITEM child = Next(tree, TVGN_CHILD, current); child; child = Next(tree, TVGN_NEXT, child)) {
      ShellTreeItemData* data = GetShellTreeItemData(tree, child);
      if (data && data->fullId && ILIsParent(data->fullId, target, FALSE)) {
        current = child;
        descended = !ILIsEqual(data->fullId, target);
        if (!descended) Expand(tree, current);
        break;
      }
    }
  }
  ILFree(target);
  return current;
}

void RebuildFolderTree(HWND pane) {
  HWND tree = FolderTree(pane);
  g_listLoadBlocked = 1;
  wchar_t saved[kPathChars];
  wcscpy(saved, g_startFolder);
  CopyText(g_settings.lastFolder, kPathChars, U(saved));
  ClearShellTree(tree);
  CreateShellTree(tree);
  HTREEITEM root = Next(tree, TVGN_ROOT, nullptr);
  Expand(tree, root);
  wchar_t work[kPathChars], component[kPathChars];
  wcscpy(work, saved);
  SplitFirstPathComponent(U(work), U(component), kPathChars);
  HTREEITEM current = root, candidate = Next(tree, TVGN_CHILD, root);
  bool complete = true;
  while (SplitFirstPathComponent(U(work), U(component), kPathChars)) {
    HTREEITEM match = nullptr;
    wchar_t text[260];
    for (HTREEITEM at = candidate; at; at = Next(tree, TVGN_NEXT, at))
      if (GetTreeItemText(tree, at, text) == 0 && wcscmp(text, component) == 0) {
        match = at;
        break;
      }
    if (!match) {
      complete = false;
      break;
    }
    Expand(tree, match);
    current = match;
    candidate = Next(tree, TVGN_CHILD, match);
  }
  // Localised names may differ from the stored ones: find the folder by its ID list instead.
  wchar_t folder[260];
  if (!complete && FileSystemPathFromDisplayPath(U(saved), U(folder), 260)) {
    HTREEITEM byId = WalkByIdList(tree, root, folder);
    if (byId != root) current = byId;
  }
  if (current == root) Select(tree, Next(tree, TVGN_CHILD, root));
  else Select(tree, root);
  g_listLoadBlocked = 0;
  Select(tree, current);
  if (g_viewMode & 2) g_redrawFlag = 1;
  g_browserHooks.applyColorSettings();
}

// ---- hit tests ----
int HitTest(HWND tree, int useSelection, HTREEITEM* out, bool folders) {
  TVHITTESTINFO hit{};
  GetCursorPos(&hit.pt);
  // A tree hidden with its pane still answers for the place its items would have.
  const bool shown = IsPointOnShownPart(tree, hit.pt);
  ScreenToClient(tree, &hit.pt);
  HTREEITEM item =
      shown ? reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))) : nullptr;
  if (out) *out = item;
  if (item && (hit.flags & 0x56)) {
    if (folders) {
      wchar_t path[260];
      if (!GetShellTreeItemFolder(tree, item, path)) return 0;
      g_targetTreeItem = item;
      wcsncpy(g_targetFolder, path, kPathChars);
    } else {
      g_targetTreeItem = item;
      g_targetCollection = static_cast<int32_t>(ItemData(tree, item));
    }
    return (hit.flags & TVHT_ONITEMBUTTON) ? 3 : 1;
  }
  if (!useSelection) return 0;
  g_targetTreeItem = Next(tree, TVGN_CARET, nullptr);
  if (!g_targetTreeItem) return 0;
  if (folders) wcsncpy(g_targetFolder, g_currentFolder, kPathChars);
  else g_targetCollection = g_listSource != 0 ? g_currentCollection : -1;
  return 1;
}

void ShowPopup(HWND pane, int popup) {
  POINT at;
  GetCursorPos(&at);
  g_navContextMenuOpen = 1;
  TrackPopupMenu(g_menus[popup], TPM_LEFTBUTTON, at.x, at.y, 0, pane, nullptr);
  g_navContextMenuOpen = 0;
}

bool ProgressWindowsOpen() { return g_windowSlots[kSlotIndexPrint] || g_windowSlots[kSlotRawProgress]; }

// ---- folder commands ----
bool CacheFileFor(const wchar_t* folder, wchar_t* out) { return BuildCacheFilePath(folder, false, out, kPathChars * 2); }

// A shell operation's source or destination: the path and two terminators.
void DoubleTerminated(const wchar_t* path, wchar_t* out) {
  const size_t n = wcsnlen(path, kPathChars - 1);
  wmemcpy(out, path, n);
  out[n] = out[n + 1] = 0;
}

// Whether `folder` is the shown folder or holds it.
bool HoldsShownFolder(const wchar_t* folder) {
  const size_t n = wcslen(folder);
  if (!n || !g_currentFolder[0]) return false;
  if (ComparePaths(folder, g_currentFolder) == 0) return true;
  return wcslen(g_currentFolder) > n && _wcsnicmp(folder, g_currentFolder, n) == 0 && g_currentFolder[n] == L'\\';
}

void DeleteTargetFolder() {
  if (!IsFolderCommandTarget(U(g_targetFolder))) return;
  wchar_t from[kPathChars + 2];
  DoubleTerminated(g_targetFolder, from);
  SHFILEOPSTRUCTW op{};
  op.hwnd = g_hwndMain;
  op.wFunc = FO_DELETE;
  op.pFrom = from;
  op.fFlags = FOF_ALLOWUNDO;
  RunShellFileOperationDelayed(&op);
  g_treeRebuildRequest = 1;
  if (PathExists(g_targetFolder)) return;
  wchar_t cache[kPathChars * 2];
  if (CacheFileFor(g_targetFolder, cache)) DeleteFileW(cache);
  if (HoldsShownFolder(g_targetFolder)) g_skipFolderCache = 1;
}

void CreateFolderInTarget(HWND pane) {
  if (!DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(kNewFolderDialog), pane, NewFolderDlgProc, 0)) return;
  wchar_t path[kPathChars];
  if (!BuildChildFolderPath(U(g_targetFolder), U(g_newFolderNameText), U(path), kPathChars)) return;
  if (EnsureFolderExists(path, 1)) g_treeRebuildRequest = 1;
}

void AddTargetToFavourites(HWND pane) {
  wchar_t text[kPathChars + 128];
  swprintf(text, kPathChars + 128, L"お気に入りフォルダに登録します。\n%ls　　\n\n登録してよろしいですか？", g_targetFolder);
  const int answer = ShowConfirmSettingsBox(pane, text, g_productName,
                                            MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3 | MB_TOPMOST);
  if (answer == IDYES) {
    SendMessageW(g_hwndMain, WM_COMMAND, 301, 0);
    PendingCommand = 164;
    PendingCommandWindow = pane;
  } else if (answer == IDNO) {
    AddFavouriteFolder(g_targetFolder);
    FillFavouritesCombo();
  }
  PauseBusy();
}

void CopyOrMoveSelection(HWND pane, bool move) {
  (void)pane;
  if (!ListShown()) {
    const int32_t row = g_cursorRow;
    if (row < 0 || row >= g_entryCount) return;
    const int32_t entry = g_displayOrder[row];
    const int done = move ? MoveEntryToTargetFolder(entry) : CopyEntryToTargetFolder(entry);
    if (!move || done) {
      if (HWND list = g_windowSlots[kSlotFileListPane]) SendMessageW(list, WM_COMMAND, kUpdateEntryRowCommand, row);
      if (move) g_nextImageRequest = 1;
    }
    return;
  }
  HWND list = FileList();
  if (!list) return;
  CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows && row < g_entryCount; ++row) {
    if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) {
      const int answer = AskYesNo(move ? L"移動を中断しますか？" : L"コピーを中断しますか？");
      PauseBusy();
      if (answer == IDYES) break;
    }
    if (!(SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED)) continue;
    const int32_t entry = g_displayOrder[row];
    if (move) MoveEntryToTargetFolder(entry);
    else CopyEntryToTargetFolder(entry);
    if (HWND filePane = g_windowSlots[kSlotFileListPane]) SendMessageW(filePane, WM_COMMAND, kUpdateEntryRowCommand, row);
    PumpMessages(1);
  }
  ReleaseMouseCapture();
}

BOOL BeginFolderRename(HWND pane) {
  g_labelEditActive = 1;
  g_keyHold.pollingSuspended = 1;
  if (!g_renameByCommand) wcsncpy(g_targetFolder, g_currentFolder, kPathChars);
  g_renameByCommand = 0;
  (void)pane;
  // Drive roots, relative paths and virtual items cannot be renamed. A refused edit never sends
  // TVN_ENDLABELEDIT, so the keys are given back here.
  if (IsFolderCommandTarget(U(g_targetFolder))) return FALSE;
  g_labelEditActive = 0;
  g_keyHold.pollingSuspended = 0;
  return TRUE;
}

namespace {
// One shell operation on one path (copy, move or rename); done only when the shell answered 0,
// aborted nothing and, for a move, the source is gone.
bool RunSingleFileOperation(UINT operation, const wchar_t* source, const wchar_t* target, FILEOP_FLAGS flags) {
  wchar_t from[kPathChars + 2], to[kPathChars + 2];
  DoubleTerminated(source, from);
  DoubleTerminated(target, to);
  SHFILEOPSTRUCTW op{};
  op.hwnd = g_hwndMain;
  op.wFunc = operation;
  op.pFrom = from;
  op.pTo = to;
  op.fFlags = flags;
  if (!ShellFileOperationDone(RunShellFileOperationDelayed(&op), op)) return false;
  return operation != FO_MOVE || !PathExists(source);
}
}  // namespace

void EndFolderRename(HWND pane, NMTVDISPINFOW* info) {
  g_labelEditActive = 0;
  CloseIme(pane);
  g_keyHold.pollingSuspended = 0;
  if (!info->item.pszText || !info->item.pszText[0]) return;
  if (!IsFolderCommandTarget(U(g_targetFolder))) return;
  wchar_t newPath[kPathChars];
  if (!BuildRenamedFolderPath(U(g_targetFolder), U(info->item.pszText), U(newPath), kPathChars)) return;
  if (!IsValidFolderPath(newPath) || FileExists(newPath)) return;
  if (!RunSingleFileOperation(FO_RENAME, g_targetFolder, newPath, FOF_NOCONFIRMATION) || PathExists(g_targetFolder) ||
      !PathExists(newPath))
    return;
  wchar_t oldCache[kPathChars * 2], newCache[kPathChars * 2];
  if (CacheFileFor(g_targetFolder, oldCache) && CacheFileFor(newPath, newCache)) MoveFileW(oldCache, newCache);
  if (ComparePaths(g_targetFolder, g_currentFolder) != 0) {
    SendMessageW(pane, WM_COMMAND, kNavRefreshCommand, 0);
    return;
  }
  wchar_t display[kPathChars];
  if (!BuildShellDisplayPath(newPath, display)) return;
  wcscpy(g_currentFolder, newPath);
  g_loadedFolderPath[0] = 0;
  wcscpy(g_startFolder, display);
  g_treeRebuildRequest = 1;
}

LRESULT OnFolderTreeNotify(HWND pane, NMHDR* header) {
  HWND tree = header->hwndFrom;
  if (g_treeHidden && !g_treeDrivenByCode) return 0;
  HandleShellTreeNotify(tree, header);
  switch (header->code) {
    case TVN_SELCHANGEDW:
      if (reinterpret_cast<NMTREEVIEWW*>(header)->action == TVC_BYMOUSE) {
        if (ListShown() && FileList()) FocusRestoreWindow = FileList();
        else {
          const int paneIndex = GetFocusedPaneIndex(2);
          HWND files = g_windowSlots[kSlotFileListPane];
          if (files && paneIndex >= 0) FocusRestoreWindow = GetDlgItem(files, 301 + paneIndex);
        }
      }
      return 0;
    case NM_RCLICK:
      if (ProgressWindowsOpen()) return 0;
      g_targetFolder[0] = 0;
      if (HitTestFolderTree(tree, 1, nullptr)) {
        PrepareFolderTreePopup();
        ShowPopup(pane, kFolderTreePopup);
      }
      return 0;
    case TVN_BEGINLABELEDITW:
      return BeginFolderRename(pane);
    case TVN_ENDLABELEDITW:
      EndFolderRename(pane, reinterpret_cast<NMTVDISPINFOW*>(header));
      return FALSE;  // the tree is rebuilt, never relabelled in place
    default:
      return 0;
  }
}

// ---- collection tree ----
void RebuildCollectionTree(HWND pane) {
  HWND tree = CollectionTree(pane);
  SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  // The sort moves records: the shown and the requested one are found again by name, as the
  // next load (a reload after a drop) takes the requested index.
  wchar_t current[kCollectionNameField] = {}, requested[kCollectionNameField] = {};
  if (g_currentCollection >= 0 && g_currentCollection < g_collectionCount)
    wcscpy(current, g_collections[g_currentCollection].name);
  if (g_requestedCollection >= 0 && g_requestedCollection < g_collectionCount)
    wcscpy(requested, g_collections[g_requestedCollection].name);
  SortCollectionsByName(g_collections, 0, g_collectionCount - 1);
  if (current[0]) {
    const int found = FindCollectionByName(current);
    if (found >= 0) g_currentCollection = found;
  }
  if (requested[0]) {
    const int found = FindCollectionByName(requested);
    if (found >= 0) g_requestedCollection = found;
  }
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(L"コレクション");
  insert.item.lParam = -1;
  HTREEITEM root = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(root));
  insert.hParent = root;
  for (int i = 0; i < g_collectionCount; ++i) {
    insert.item.pszText = g_collections[i].name;
    insert.item.lParam = i;
    g_collections[i].treeItem =
        reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    SendMessageW(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(g_collections[i].treeItem));
  }
  if (g_listSource == 0 && g_collectionCount > 0 && g_currentCollection >= 0 && g_currentCollection < g_collectionCount)
    Select(tree, g_collections[g_currentCollection].treeItem);
}

void OnCollectionSelected(HWND tree, NMTREEVIEWW* notify) {
  const auto data = static_cast<int32_t>(notify->itemNew.lParam);
  if (data >= 0) {
    if (g_listSource == 0) return;
    StoreCollectionOrder();
    g_requestedListSource = 1;
    g_requestedCollection = data;
    g_listHooks.loadListContents(1, g_collectionReselect, 2);
    g_collectionReselect = 0;
    return;
  }
  if (g_collectionCount > 0) {
    g_collectionReselect = 1;
    const int index = (g_currentCollection >= 0 && g_currentCollection < g_collectionCount) ? g_currentCollection : 0;
    Select(tree, g_collections[index].treeItem);
  } else {
    g_skipFolderCache = 1;
    g_listHooks.loadListContents(1, 0, 0);
  }
}

void DeleteCollectionAsked(int index) {
  StoreCollectionOrder();
  g_skipCollectionOrderOnce = 1;
  if (g_listSource != 0 && index == g_currentCollection) g_skipFolderCache = 1;
  DeleteCollection(index);
}

void DeleteTargetCollection() {
  if (g_collectionCount <= 0 || g_targetCollection < 0 || g_targetCollection >= g_collectionCount) return;
  wchar_t name[kCollectionNameField];
  wcscpy(name, g_collections[g_targetCollection].name);
  wchar_t text[256];
  const wchar_t* list = g_collections[g_targetCollection].list;
  int paths = 0;
  for (const wchar_t* p = list; p && *p; ++p) paths += *p == L'\n';
  wchar_t detail[64];
  swprintf(detail, 64, L"（%d ファイル）", paths);
  swprintf(text, 256, L"コレクション[ %ls ]を削除します。\n%ls\n\n削除してよろしいですか？", name, detail);
  if (AskYesNo(text) != IDYES) return;
  // The table may have changed while the question was open.
  const int index = FindCollectionByName(name);
  if (index >= 0) DeleteCollectionAsked(index);
}

void DeleteSearchResults() {
  if (g_collectionCount <= 0) return;
  int count = 0;
  for (int i = 0; i < g_collectionCount; ++i) count += IsSearchResultName(U(g_collections[i].name));
  if (!count) {
    ShowAppMessageBox(Pane(), L"削除該当の項目はありません。", g_productName, MB_OK);
    return;
  }
  wchar_t text[128];
  swprintf(text, 128, L"検索結果 %d項目を一括削除します。\n\n削除してよろしいですか？", count);
  if (AskYesNo(text) != IDYES) return;
  for (int deleted = 0; deleted < count; ++deleted) {
    int index = -1;
    for (int i = 0; i < g_collectionCount && index < 0; ++i)
      if (IsSearchResultName(U(g_collections[i].name))) index = i;
    if (index < 0) break;
    DeleteCollectionAsked(index);
  }
}

void AskCollectionName(int parameter) {
  g_keyHold.pollingSuspended = 1;
  const INT_PTR done = DialogBoxParamW(g_hInstance, MAKEINTRESOURCEW(222), g_hwndMain, CollectionNameDlgProc, parameter);
  if (done) {
    if (parameter < 0) CreateCollection(g_collectionNameText);
    else RenameCollection(parameter, g_collectionNameText);
  }
  g_keyHold.pollingSuspended = 0;
  PauseBusy();
}

LRESULT OnCollectionTreeNotify(HWND pane, NMHDR* header) {
  HWND tree = header->hwndFrom;
  switch (header->code) {
    case TVN_SELCHANGEDW:
      OnCollectionSelected(tree, reinterpret_cast<NMTREEVIEWW*>(header));
      return 0;
    case NM_RCLICK:
      if (ProgressWindowsOpen()) return 0;
      if (HitTestCollectionTree(tree, 1, nullptr)) {
        PrepareCollectionTreePopup();
        ShowPopup(pane, kCollectionTreePopup);
      }
      return 0;
    case TVN_BEGINLABELEDITW:
      g_labelEditActive = 1;
      g_keyHold.pollingSuspended = 1;
      if (HWND edit = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0)))
        SendMessageW(edit, EM_LIMITTEXT, 64, 0);
      return FALSE;
    case TVN_ENDLABELEDITW: {
      auto* info = reinterpret_cast<NMTVDISPINFOW*>(header);
      g_labelEditActive = 0;
      g_keyHold.pollingSuspended = 0;
      CloseIme(pane);
      if (info->item.pszText && info->item.pszText[0] && info->item.lParam >= 0) {
        wchar_t name[kCollectionNameField];
        wcsncpy(name, info->item.pszText, kCollectionNameField - 2);
        name[kCollectionNameField - 2] = 0;
        RenameCollection(static_cast<int>(info->item.lParam), name);
      }
      return FALSE;
    }
    default:
      return 0;
  }
}

// ---- drops from other programs ----
void OnFilesDropped(HWND pane, WPARAM phase, DropNotifyBlock* block) {
  (void)pane;
  if (phase != 3 || !block || block->format != CF_HDROP || !block->data) return;
  auto drop = static_cast<HDROP>(block->data);
  wchar_t path[kPathChars], display[kPathChars];
  if (g_listSource == 0) {
    if (!DragQueryFileW(drop, 0, path, 256)) return;
    if (BuildShellDisplayPath(path, display) && display[0]) {
      wcscpy(g_startFolder, display);
      g_treeRebuildRequest = 1;
    }
    return;
  }
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  bool any = false;
  for (UINT i = 0; i < count; ++i) {
    if (!DragQueryFileW(drop, i, path, kPathChars)) continue;
    if (!BuildShellDisplayPath(path, display) || !display[0]) continue;
    any = true;
    AddFileToCollection(g_currentCollection, path);
  }
  if (any) ReloadCurrentList(0);
}

// ---- splitter ----
bool InSplitter(HWND pane, int x, int y) {
  RECT window;
  GetWindowRect(pane, &window);
  return y < window.bottom - window.top && x > NavPaneWidth() - 4 && x < NavPaneWidth();
}

void OnSplitterMouse(HWND pane, UINT message, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  if (message == WM_LBUTTONUP) {
    g_splitterDragging = 0;
    if (g_splitterCapture) {
      g_splitterCapture = nullptr;
      SetCursor(LoadCursorW(nullptr, IDC_ARROW));
      ReleaseMouseCapture();
    }
    return;
  }
  if (g_treeHidden) return;
  if (message == WM_LBUTTONDOWN) {
    if (!InSplitter(pane, x, y)) return;
    g_splitterDragging = 1;
    g_splitterCapture = pane;
    CaptureMouseWithCursor(pane, IDC_SIZEWE);
    g_splitterX = x;
    return;
  }
  if (!g_splitterDragging) {
    SetCursor(LoadCursorW(nullptr, InSplitter(pane, x, y) ? IDC_SIZEWE : IDC_ARROW));
    return;
  }
  SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
  if (x == g_splitterX) return;
  RECT main{};
  GetClientRect(g_hwndMain, &main);
  int width = NavPaneWidth() + (x - g_splitterX);
  const int limit = static_cast<int>(main.right - main.left) - 64;
  if (width < 64) width = 64;
  else if (width > limit) width = limit;
  else {
    g_splitterX = x;
    g_relayoutFlag = 1;
  }
  NavPaneWidth() = width;
}

LRESULT CALLBACK FolderTreeSubclassProc(HWND tree, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) return 0;
  if (message == WM_MOUSEWHEEL) {
    if (HWND files = g_windowSlots[kSlotFileListPane]) {
      const int panes = CurrentPaneCount();
      for (int i = 0; i < panes; ++i) {
        HWND viewer = GetDlgItem(files, 301 + i);
        if (viewer && IsCursorOverWindow(viewer)) {
          SetFocusTo(viewer);
          return 0;
        }
      }
      HWND list = GetDlgItem(files, IDC_FILE_LIST);
      if (list && IsCursorOverWindow(list)) {
        SetFocusTo(list);
        return 0;
      }
    }
  }
  return CallWindowProcW(g_folderTreeProc, tree, message, wParam, lParam);
}

void OnInitDialog(HWND pane) {
  g_windowSlots[kSlotNavigationPane] = pane;
  HWND tree = FolderTree(pane), collections = CollectionTree(pane);
  g_folderTreeProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FolderTreeSubclassProc)));
  const UINT formats[1] = {CF_HDROP};
  if (!RegisterFileDropTarget(pane, DropNotifyMessage, formats, 1)) {
    EndDialog(pane, 0);
    return;
  }
  g_treeDc = GetDC(tree);
  // The list's font setting, at the list's size: the large interface scales icons, not this text.
  g_treeFont = CreateUiFont(nullptr, reinterpret_cast<const wchar_t*>(g_settings.listFontFace), g_settings.listFontSize,
                            g_settings.listFontBold);
  SendMessageW(tree, WM_SETFONT, reinterpret_cast<WPARAM>(g_treeFont), TRUE);
  SendMessageW(collections, WM_SETFONT, reinterpret_cast<WPARAM>(g_treeFont), TRUE);
  HWND tab = GetDlgItem(pane, IDC_NAVIGATION_TAB);
  HWND rebar = g_hwndRebar;
  if (rebar)
    if (WPARAM bandFont = static_cast<WPARAM>(SendMessageW(rebar, WM_GETFONT, 0, 0))) SendMessageW(tab, WM_SETFONT, bandFont, TRUE);
  const LONG_PTR lines = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT;
  SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) & ~lines);
  SetWindowLongPtrW(tree, GWL_STYLE, GetWindowLongPtrW(tree, GWL_STYLE) | lines);
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(L"フォルダ");
  SendMessageW(tab, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  item.pszText = const_cast<wchar_t*>(L"コレクション");
  SendMessageW(tab, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
  SendMessageW(pane, WM_COMMAND, kCollectionsChangedCommand, 0);
}

void OnDestroy(HWND pane) {
  if (g_listSource != 0) StoreCollectionOrder();
  const int32_t row = (g_entryCount > 0 && g_cursorRow >= 0) ? g_cursorRow : 0;
  if (row != g_savedRow) g_cacheDirty |= 1;
  g_savedRow = row;
  StopThumbnailListThread();
  StopViewerThreads();
  g_browserHooks.waitRawDevelopWorker();
  BuildFolderCache();
  WriteFolderCache();  // it clears a pending skip request instead of writing
  FreeImageEntries();
  ReleaseFolderCache();
  HWND tree = FolderTree(pane);
  if (g_folderTreeProc) SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_folderTreeProc));
  ClearShellTree(tree);
  if (g_treeFont) DeleteObject(g_treeFont);
  g_treeFont = nullptr;
  if (g_treeDc) ReleaseDC(tree, g_treeDc);
  g_treeDc = nullptr;
  if (g_backgroundBrush) DeleteObject(g_backgroundBrush);
  g_backgroundBrush = nullptr;
  RevokeFileDropTarget(pane);
  if (g_windowSlots[kSlotNavigationPane] == pane) g_windowSlots[kSlotNavigationPane] = nullptr;
}

bool OnCommand(HWND pane, int id) {
  switch (id) {
    case kNavRefreshCommand:
    case 155:
      RebuildFolderTree(pane);
      return true;
    case 129: SendMessageW(g_hwndMain, WM_COMMAND, 32779, 0); return true;
    case 132: SendMessageW(g_hwndMain, WM_COMMAND, 104, 0); return true;
    case 133: SendMessageW(g_hwndMain, WM_COMMAND, 32792, 0); return true;
    case 139: SendCommandThroughRebar(309); return true;
    case 156:
      ShellExecuteW(GetShellWindow(), L"explore", g_targetFolder, nullptr, nullptr, SW_SHOWNORMAL);
      return true;
    case 157: {
      SHELLEXECUTEINFOW info{};
      info.cbSize = sizeof info;
      info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS;
      info.hwnd = GetShellWindow();
      info.lpVerb = L"properties";
      info.lpFile = g_targetFolder;
      info.nShow = SW_SHOWNORMAL;
      if (ShellExecuteExW(&info) && info.hProcess) CloseHandle(info.hProcess);
      PauseBusy();
      return true;
    }
    case 159: DeleteTargetFolder(); return true;
    case 160: CreateFolderInTarget(pane); return true;
    case 161:
      g_renameByCommand = 1;
      SendMessageW(FolderTree(pane), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(g_targetTreeItem));
      return true;
    case 162: CopyOrMoveSelection(pane, false); return true;
    case 163: CopyOrMoveSelection(pane, true); return true;
    case 164: AddTargetToFavourites(pane); return true;
    case 185:
      ConfirmAndClearDiskCache(g_hwndMain);
      PauseBusy();
      return true;
    case 267: AskCollectionName(-1); return true;
    case kCollectionsChangedCommand: RebuildCollectionTree(pane); return true;
    case 269:
    case 270: {
      if (g_targetCollection < 0 || g_targetCollection >= g_collectionCount) return true;
      AddSelectionToCollection(g_targetCollection);
      if (id == 269) {
        RemoveSelectionFromCollection(g_currentCollection);
        ReloadCurrentList(0);
      }
      return true;
    }
    case 271: DeleteTargetCollection(); return true;
    case 272:
      if (g_targetCollection >= 0 && g_targetCollection < g_collectionCount) AskCollectionName(g_targetCollection);
      return true;
    case 299: DeleteSearchResults(); return true;
    default: break;
  }
  if (id >= 3000 && id <= 3127) g_favouritePick = id - 3000;
  else if (id >= 1000 && id <= 1127) g_cacheHistoryPick = id - 1000;
  else if (id >= 2000 && id <= 2017) PendingSettingsPage = id - 2000;
  return false;
}
}  // namespace

int HitTestFolderTree(HWND tree, int useSelection, HTREEITEM* out) { return HitTest(tree, useSelection, out, true); }
int HitTestCollectionTree(HWND tree, int useSelection, HTREEITEM* out) { return HitTest(tree, useSelection, out, false); }

namespace {

// The entry's presence byte is cleared while its file is handled; false when it is not in place.
ImageEntry* TakeEntryForTransfer(int32_t entry, uint8_t* presence) {
  if (entry < 0 || entry >= g_entryCount) return nullptr;
  ImageEntry* e = EntryAt(entry);
  *presence = e->presence;
  SetEntryPresence(e, 0);
  // The view levels hold the file open through their streams; the thumbnail (and with it the
  // row of the folder's cache file) stays.
  ReleaseCachedImages(entry, 0);
  return e;
}
}  // namespace

int CopyEntryToTargetFolder(int32_t entry) {
  uint8_t presence = 0;
  ImageEntry* e = TakeEntryForTransfer(entry, &presence);
  if (!e) return 0;
  bool done = false;
  if (g_browserHooks.isEntryFileInPlace(entry)) {
    wchar_t target[kPathChars];
    done = BuildChildFolderPath(U(g_targetFolder), U(EntryName(e)), U(target), kPathChars) &&
           RunSingleFileOperation(FO_COPY, EntryPath(e), target, FOF_SILENT);
    if (done) {
      ++g_copyCount;
      UpdateStatusCounters(2);
    }
    g_browserHooks.addActionHistoryEntry(entry, 3, -4, done ? 1 : 0);
  }
  SetEntryPresence(e, presence);
  return done ? 1 : 0;
}

int MoveEntryToTargetFolder(int32_t entry) {
  uint8_t presence = 0;
  ImageEntry* e = TakeEntryForTransfer(entry, &presence);
  if (!e || !g_browserHooks.isEntryFileInPlace(entry)) return 0;
  wchar_t target[kPathChars];
  const bool done = BuildChildFolderPath(U(g_targetFolder), U(EntryName(e)), U(target), kPathChars) &&
                    RunSingleFileOperation(FO_MOVE, EntryPath(e), g_targetFolder, FOF_SILENT);
  if (done) {
    ++g_moveCount;
    UpdateStatusCounters(4);
  } else {
    SetEntryPresence(e, presence);
  }
  g_browserHooks.addActionHistoryEntry(entry, 4, -5, done ? 1 : 0);
  return done ? 1 : 0;
}

INT_PTR CALLBACK NavigationPaneDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(dialog);
      return FALSE;
    case WM_COMMAND:
      OnCommand(dialog, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      LRESULT result = 0;
      if (header->code == NM_CUSTOMDRAW && (header->idFrom == IDC_FOLDER_TREE || header->idFrom == IDC_COLLECTION_TREE))
        result = DrawTreeItemReadable(reinterpret_cast<NMTVCUSTOMDRAW*>(lParam));
      else if (header->idFrom == IDC_NAVIGATION_TAB && header->code == TCN_SELCHANGE)
        SelectNavigationTab(static_cast<int>(SendMessageW(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
      else if (header->idFrom == IDC_FOLDER_TREE)
        result = OnFolderTreeNotify(dialog, header);
      else if (header->idFrom == IDC_COLLECTION_TREE)
        result = OnCollectionTreeNotify(dialog, header);
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_MEASUREITEM:
      return MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    case WM_DRAWITEM:
      return DrawOwnerMenuItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_ERASEBKGND: {
      if (g_treeHidden) return FALSE;
      HDC dc = reinterpret_cast<HDC>(wParam);
      RECT client;
      GetClientRect(dialog, &client);
      if (g_backgroundBrush) FillRect(dc, &client, g_backgroundBrush);
      else FillRect(dc, &client, GetSysColorBrush(COLOR_3DFACE));
      HGDIOBJ old = SelectObject(dc, GetSysColorBrush(COLOR_3DLIGHT));
      PatBlt(dc, NavPaneWidth() - 4, 0, 4, client.bottom, PATCOPY);
      SelectObject(dc, old);
      SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 1);
      return TRUE;
    }
    case WM_CTLCOLORDLG:
      if (g_backgroundBrush) DeleteObject(g_backgroundBrush);
      g_backgroundBrush = CreateSolidBrush(g_settings.colorSlots[1]);
      return reinterpret_cast<INT_PTR>(g_backgroundBrush);
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      OnSplitterMouse(dialog, message, lParam);
      return TRUE;
    default:
      break;
  }
  if (message == DropNotifyMessage) {
    OnFilesDropped(dialog, wParam, reinterpret_cast<DropNotifyBlock*>(lParam));
    return TRUE;
  }
  return FALSE;
}
