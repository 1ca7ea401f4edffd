// Temporary definitions: see core/standins.h.
#include "core/standins.h"

#include <cstdlib>
#include <cwchar>

#include "core/image_entry_list.h"
#include "core/settings.h"

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
void ResetHistogramCache() {}
void ResetColorSettings() { ResetColorSlots(g_settings); }
void TrackFileDrag(HWND, int, int) {}
int FinishFileDrag(HWND) { return 0; }
void OpenDragPopups(HWND) {}

int32_t g_focusedPane = -1;
uint8_t g_thumbnailsComplete = 1, g_tempCaption, g_treeHidden, g_gridShown, g_zoomHoldMode;
int32_t LoupeEnabled;
uint8_t g_viewToggleRequest, g_fullScreenToggleRequest, g_treeToggleRequest;
wchar_t g_treeSelectPath[260];
bool IsRowEntryPresent(int32_t) { return false; }
bool ReadRowLevelFacts(int32_t, ImageLevelInputs*) { return false; }
int32_t GetCollectionCount() { return 0; }
const wchar_t* GetCollectionName(int32_t) { return L""; }
void UpdateToolbarButtons(uint32_t) {}
void SetStatusPartText(int, const wchar_t*) {}
int ListCacheFiles(CacheHistoryRow*, int) { return 0; }

LoadedCacheView g_loadedCache = {};
void BuildFolderCache() {}
bool WriteFolderCache() { return false; }
bool LoadFolderCache() { return false; }
void AdoptFolderCache() {}
void ReleaseFolderCache() {}

void StartThumbnailListThread() {}
void StopThumbnailListThread() {}
bool ListThreadStopRequested() { return false; }

void StopViewerThreads() {}
void StartViewerThreads() {}
void ClearHistogramCache() {}
void ReleaseAllMovieSlots() {}
void ResetPaneRows() {}
void RefreshPaneRows() {}
void SyncListSelectionWithView() {}
volatile int32_t g_shownRowMarker = 0;

void WaitRawDevelopWorker() {}
void ClearActionHistory() {}
void ClearEntryUndoList(int entryNumber) {
  ImageEntry* e = EntryAt(entryNumber);
  if (!e) return;
  std::free(e->undoRecords);
  e->undoRecords = nullptr;
  e->undoCount = 0;
  e->currentUndo = -1;
}

void ReleaseEntryLevel(ImageEntry*, int, int) {}
uint8_t g_rawFailureArmed = 0;

void OpenWatchedFolder(const wchar_t*) {}
void CloseWatchedFolder() {}
bool WaitFileStable(const wchar_t*) { return true; }

HWND GetRebarBandControl(int) { return nullptr; }
void UpdateStatusCounters(uint32_t) {}
void ResetStatusCounters() {}
volatile uint8_t g_relayoutFlag = 0;
volatile uint8_t g_redrawFlag = 0;
void CopyColorMatchSetupToWorkingCopy() {}
int32_t g_paneEntry[4] = {-1, -1, -1, -1};
int32_t g_paneRequested[4] = {-1, -1, -1, -1};
int CurrentPaneCount() { return 1; }
HWND g_extraOwnWindows[2] = {};
uint8_t g_viewSwitchRequest = 0;
uint8_t g_listThreadAskedSwitch = 0;
int32_t g_lastViewMode = 1;
uint8_t g_listPassComplete = 0;
HWND GetRebarWindow() { return nullptr; }
void RestoreListHeader() {}
