// Temporary definitions: see core/standins.h.
#include "core/standins.h"

#include <cwchar>

#include "core/settings.h"

void LoadCollections() {}
void SaveCollections() {}
uint8_t CheckForNewVersion() { return 0; }
void RebuildActionKeyTable() {}
void BuildViewFocusPointTables() {}
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
void TrackFileDrag(HWND, int, int) {}
int FinishFileDrag(HWND) { return 0; }
void OpenDragPopups(HWND) {}

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
