// Temporary definitions: see core/standins.h.
#include "core/standins.h"

#include <cwchar>

#include "core/file_system.h"
#include "core/file_types.h"
#include "core/key_state.h"
#include "core/os_class.h"
#include "core/settings.h"
#include "core/text_replace.h"

int GetOsClass() { return 10; }

uint64_t GetFreeDiskSpace(const wchar_t* path) {
  wchar_t root[4] = {};
  wcsncpy(root, path, 3);
  ULARGE_INTEGER avail;
  return GetDiskFreeSpaceExW(root, &avail, nullptr, nullptr) ? avail.QuadPart : 0;
}

bool ReplaceAllInPath(wchar_t* path, const wchar_t* oldText, const wchar_t* newText) {
  size_t oldLen = wcslen(oldText), newLen = wcslen(newText);
  if (oldLen == 0) return false;
  wchar_t out[260];
  size_t o = 0;
  bool any = false;
  for (const wchar_t* p = path; *p;) {
    if (wcsncmp(p, oldText, oldLen) == 0) {
      if (o + newLen >= 260) return false;
      wmemcpy(out + o, newText, newLen);
      o += newLen;
      p += oldLen;
      any = true;
    } else {
      if (o + 1 >= 260) return false;
      out[o++] = *p++;
    }
  }
  out[o] = 0;
  wcscpy(path, out);
  return any;
}

void ParseUserExtensions() {}
uint32_t GetFileTypeFlag(const wchar_t*) { return 0; }
void ResetKeyStates() {}

void LoadCollections() {}
void SaveCollections() {}
uint8_t CheckForNewVersion() { return 0; }
void RebuildActionKeyTable() {}
void BuildViewFocusPointTables() {}
void BuildCameraModelIndex() {}
void ResetFolderWatchEvent() {}
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath) {
  if (!fileSystemPath[0]) return false;
  wcsncpy(displayPath, fileSystemPath, 259);
  displayPath[259] = 0;
  return true;
}
void ResetImageEntryArrays() {}
void ResetHistogramCache() {}
void ResetColorSettings() { ResetColorSlots(g_settings); }

wchar_t g_currentFolder[260];
int32_t g_entryCount, g_listCount, g_cursorRow = -1, g_focusedPane = -1;
int32_t g_listSource, g_currentCollection = -1;
uint8_t g_thumbnailsComplete, g_tempCaption, g_treeHidden, g_gridShown, g_zoomHoldMode;
int32_t LoupeEnabled;
uint8_t g_viewToggleRequest, g_fullScreenToggleRequest, g_treeToggleRequest;
wchar_t g_treeSelectPath[260];
int32_t GetPaneOrderNumber(int32_t) { return -1; }
bool IsRowEntryPresent(int32_t) { return false; }
bool ReadRowLevelFacts(int32_t, ImageLevelInputs*) { return false; }
int32_t GetCollectionCount() { return 0; }
const wchar_t* GetCollectionName(int32_t) { return L""; }
void SelectNavigationTab(int32_t) {}
void UpdateToolbarButtons(uint32_t) {}
void SetStatusPartText(int, const wchar_t*) {}
int ListCacheFiles(CacheHistoryRow*, int) { return 0; }
int ComparePaths(const wchar_t* a, const wchar_t* b) { return lstrcmpiW(a, b); }
HFONT CreateUiFont(HDC, const wchar_t* face, int height, uint8_t bold) {
  return CreateFontW(height, 0, 0, 0, bold ? 700 : 400, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, face);
}
