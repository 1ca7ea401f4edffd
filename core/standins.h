// Services the start-up sequence calls whose own code is not written yet. Each one moves to
// its own header when it is built, and its temporary definition leaves core/standins.cpp.
#pragma once
#include <windows.h>
#include <cstdint>

void LoadCollections();
void SaveCollections();
uint8_t CheckForNewVersion();
void RebuildActionKeyTable();
void BuildViewFocusPointTables();
void ResetFolderWatchEvent();
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath);
void ResetImageEntryArrays();
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
int32_t GetPaneOrderNumber(int32_t pane);
bool IsRowEntryPresent(int32_t row);
struct ImageLevelInputs;
// Facts of the row's entry for the image-level text; false when the row has no entry.
bool ReadRowLevelFacts(int32_t row, ImageLevelInputs* facts);
int32_t GetCollectionCount();
const wchar_t* GetCollectionName(int32_t index);
void SelectNavigationTab(int32_t tab);
void UpdateToolbarButtons(uint32_t flags);
void SetStatusPartText(int part, const wchar_t* text);
// Fills the cache-history rows (newest first) and returns their count.
struct CacheHistoryRow;
int ListCacheFiles(CacheHistoryRow* rows, int capacity);
