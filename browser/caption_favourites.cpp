#include "browser/caption_favourites.h"

#include <windows.h>
#include <cwchar>
#include <string>

#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/pure/favourite_rows.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "browser/shell_tree.h"
#include "core/image_entry_list.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "browser/collections.h"
#include "core/path_utils.h"
#include "core/window_helpers.h"

namespace {
constexpr int kCaptionChars = 1024;
constexpr WPARAM kRefreshCommand = 112;

bool SamePath(const char16_t* a, const char16_t* b) {
  return ComparePaths(reinterpret_cast<const wchar_t*>(a), reinterpret_cast<const wchar_t*>(b)) == 0;
}

// Opens a folder through the navigation pane: it rebuilds the tree and selects the path. The
// folder commands act on g_currentFolder, so it names the new folder only once the tree can be
// led there.
bool OpenFolder(const wchar_t* path) {
  if (!path[0]) return true;
  wchar_t folder[kPathChars] = {}, display[kPathChars] = {};
  wcsncpy(folder, path, kPathChars - 1);
  if (!BuildShellDisplayPath(folder, display) || !display[0]) {
    const std::wstring text = std::wstring(L"次のフォルダを開けませんでした。\n") + folder;
    ShowAppMessageBox(nullptr, text.c_str(), g_productName ? g_productName : L"", MB_ICONERROR);
    return true;
  }
  wmemcpy(g_currentFolder, folder, kPathChars);
  wcscpy(g_startFolder, display);
  if (g_listSource != 0) SelectNavigationTab(0);
  g_tempCaption = 0;
  if (HWND nav = g_windowSlots[kSlotNavigationPane]) SendMessageW(nav, WM_COMMAND, kRefreshCommand, 0);
  return true;
}
}  // namespace

int FormatMainCaption(const CaptionParts& p, wchar_t* out, int capacity) {
  const wchar_t* prefix = p.prefix ? p.prefix : L"";
  int n;
  if (p.listSource == 0 && p.folder && p.folder[0])
    n = swprintf(out, capacity, L"%ls%ls Ver%ls - %ls ", prefix, p.product, p.version, p.folder);
  else if (p.listSource != 0 && p.collection && p.collection[0])
    n = swprintf(out, capacity, L"%ls%ls Ver%ls - コレクション [ %ls ]", prefix, p.product, p.version, p.collection);
  else
    n = swprintf(out, capacity, L"%ls%ls Ver%ls", prefix, p.product, p.version);
  if (n < 0 || n >= capacity) {  // cut rather than fail on an overlong prefix or path
    out[capacity - 1] = 0;
    n = int(wcslen(out));
  }
  return n;
}

void UpdateMainCaption(const wchar_t* prefix) {
  CaptionParts parts{prefix, g_productName ? g_productName : L"", g_programVersion ? g_programVersion : L"",
                     g_listSource, g_currentFolder,
                     g_collections && g_currentCollection >= 0 && g_currentCollection < g_collectionCount
                         ? g_collections[g_currentCollection].name
                         : nullptr};
  wchar_t caption[kCaptionChars];
  FormatMainCaption(parts, caption, kCaptionChars);
  if (g_hwndMain) SetWindowTextW(g_hwndMain, caption);
}

bool AddFavouriteFolder(const wchar_t* path) {
  AddFavouriteRow(g_settings.favouriteFolders, U16(path), SamePath);
  return true;
}

bool SetFavouriteFolder(int row, const wchar_t* path) {
  SetFavouriteRow(g_settings.favouriteFolders, row, U16(path));
  return true;
}

bool RemoveFavouriteFolder(int row) {
  RemoveFavouriteRow(g_settings.favouriteFolders, row);
  return true;
}

bool OpenFavouriteFolder(int row) {
  if (row < 0 || row >= kFavouriteRows) return true;
  return OpenFolder(W(g_settings.favouriteFolders[row].path));
}

bool OpenCachedFolder(int index) {
  // A row outside the history leaves the shown folder as it is: folder commands read it.
  if (!g_cacheHistory || index < 0 || index >= g_cacheHistoryCount) return true;
  return OpenFolder(g_cacheHistory[index].folder);
}
