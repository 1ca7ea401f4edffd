// Services the start-up sequence calls whose own code is not written yet. Each one moves to
// its own header when it is built, and its temporary definition leaves core/standins.cpp.
#pragma once
#include <windows.h>
#include <cstdint>

uint8_t CheckForNewVersion();
void RebuildActionKeyTable();
void BuildViewFocusPointTables();
void ResetFolderWatchEvent();
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath);
void ResetHistogramCache();
void ResetColorSettings();
void TrackFileDrag(HWND listPane, int screenX, int screenY);
int FinishFileDrag(HWND listPane);
void OpenDragPopups(HWND owner);

// Records and services of the entry list, the panes, the collections and the main window that
// the rebar, menus and focus queries read; their owners replace these.
extern wchar_t g_currentFolder[260];
extern int32_t g_entryCount, g_listCount, g_cursorRow, g_focusedPane;
extern int32_t g_listSource, g_currentCollection;
extern uint8_t g_thumbnailsComplete, g_tempCaption, g_treeHidden, g_gridShown, g_zoomHoldMode;
extern int32_t LoupeEnabled;
// One-shot requests the idle loop carries out.
extern uint8_t g_viewToggleRequest, g_fullScreenToggleRequest, g_treeToggleRequest;
// The display path the navigation pane selects on its next refresh.
extern wchar_t g_treeSelectPath[260];
bool IsRowEntryPresent(int32_t row);
struct ImageLevelInputs;
// Facts of the row's entry for the image-level text; false when the row has no entry.
bool ReadRowLevelFacts(int32_t row, ImageLevelInputs* facts);
int32_t GetCollectionCount();
const wchar_t* GetCollectionName(int32_t index);
void UpdateToolbarButtons(uint32_t flags);
void SetStatusPartText(int part, const wchar_t* text);
// Fills the cache-history rows (newest first) and returns their count.
struct CacheHistoryRow;
int ListCacheFiles(CacheHistoryRow* rows, int capacity);

// ---- Services the entry list and the list helpers call ----
struct ImageEntry;

// The loaded thumbnail cache as the list loader reads it: `count` records of the 32-bit entry
// image at `records`, and per record the block offset of its first undo record (0 none).
struct LoadedCacheView {
  const uint8_t* block;
  uint32_t size;
  int32_t count;
  const uint32_t* undoOffsets;
  const uint8_t* records;
};
extern LoadedCacheView g_loadedCache;
void BuildFolderCache();
bool WriteFolderCache();
bool LoadFolderCache();
void AdoptFolderCache();
void ReleaseFolderCache();

void StartThumbnailListThread();
void StopThumbnailListThread();
bool ListThreadStopRequested();
extern uint8_t g_thumbnailsComplete;

void StopViewerThreads();
void StartViewerThreads();
void ClearHistogramCache();
void ReleaseAllMovieSlots();
void ResetPaneRows();
void RefreshPaneRows();
void SyncListSelectionWithView();
extern volatile int32_t g_shownRowMarker;

void WaitRawDevelopWorker();
void ClearActionHistory();
// Undo arrays are malloc'd blocks of undoCount records.
void ClearEntryUndoList(int entryNumber);

void ReleaseEntryLevel(ImageEntry* entry, int level, int how);
extern uint8_t g_rawFailureArmed;

void OpenWatchedFolder(const wchar_t* folder);
void CloseWatchedFolder();
bool WaitFileStable(const wchar_t* path);

void SetRebarBandText(int bandId, const wchar_t* text);
HWND GetRebarBandControl(int band);  // 3 position slider, 5 progress bar
void UpdateMainCaption(const wchar_t* text);
void FillCacheHistoryCombo();
void UpdateStatusCounters(uint32_t bits);
void ResetStatusCounters();
extern volatile uint8_t g_relayoutFlag;
extern volatile uint8_t g_redrawFlag;
void CopyColorMatchSetupToWorkingCopy();
// Viewer panes: the row each shows and the row asked of it, -1 none; the pane in focus.
extern int32_t g_paneEntry[4];
extern int32_t g_paneRequested[4];
extern int32_t g_focusedPane;
int CurrentPaneCount();
// The two windows of the program held outside the slot table.
extern HWND g_extraOwnWindows[2];
// View switching state of the main window and the list thread.
extern uint8_t g_viewSwitchRequest;
extern uint8_t g_listThreadAskedSwitch;
extern int32_t g_lastViewMode;
extern uint8_t g_listPassComplete;
void SetStatusPartText(int part, const wchar_t* text);
HWND GetRebarWindow();
void RestoreListHeader();
