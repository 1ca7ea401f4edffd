// Services the start-up sequence calls whose own code is not written yet. Each one moves to
// its own header when it is built, and its temporary definition leaves core/standins.cpp.
#pragma once
#include <windows.h>
#include <cstdint>

#include "browser/collections.h"
#include "browser/focus_queries.h"
#include "browser/list_order.h"
#include "browser/list_rows.h"
#include "browser/menus.h"
#include "browser/numlock.h"
#include "browser/rebar_bands.h"
#include "browser/slideshow.h"
#include "browser/tooltips.h"
#include "browser/viewer_panes.h"
#include "browser/status_bar.h"
#include "browser/caption_favourites.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/window_helpers.h"
#include "browser/navigation_pane.h"
#include "browser/shell_tree.h"
#include "core/thumbnail_list_thread.h"
#include "actions/action_history.h"
#include "actions/batch_rename.h"
#include "viewer/histogram.h"
#include "viewer/viewer_paint.h"
#include "viewer/viewer_threads.h"

uint8_t CheckForNewVersion();
void RebuildActionKeyTable();
void BuildViewFocusPointTables();
void ResetFolderWatchEvent();
void ResetColorSettings();
void TrackFileDrag(HWND listPane, int screenX, int screenY);
int FinishFileDrag(HWND listPane);
void OpenDragPopups(HWND owner);

// Records and services of the entry list, the panes, the collections and the main window that
// the rebar, menus and focus queries read; their owners replace these.
extern uint8_t g_thumbnailsComplete, g_tempCaption, g_gridShown, g_zoomHoldMode;
extern int32_t LoupeEnabled;
// One-shot requests the idle loop carries out.
extern uint8_t g_viewToggleRequest, g_fullScreenToggleRequest, g_treeToggleRequest;
bool IsRowEntryPresent(int32_t row);
int32_t GetCollectionCount();
const wchar_t* GetCollectionName(int32_t index);

// ---- Services the entry list and the list helpers call ----
struct ImageEntry;


extern uint8_t g_thumbnailsComplete;

void ReleaseAllMovieSlots();
extern volatile int32_t g_shownRowMarker;

void WaitRawDevelopWorker();
// Undo arrays are malloc'd blocks of undoCount records.

// Viewer and movie services the image levels call.
HGLOBAL GrabMovieFrame(ImageEntry* entry, int second, int width, int height);
// The row the list thread's next pass starts at, -1 none.
extern volatile int32_t g_listThreadNextRow;

void OpenWatchedFolder(const wchar_t* folder);
void CloseWatchedFolder();
bool WaitFileStable(const wchar_t* path);

HWND GetRebarBandControl(int band);  // 3 position slider, 5 progress bar
void ResetStatusCounters();
void CopyColorMatchSetupToWorkingCopy();
// Viewer panes: the row each shows and the row asked of it, -1 none; the pane in focus.
// The two windows of the program held outside the slot table.
extern HWND g_extraOwnWindows[2];
// View switching state of the main window and the list thread.
extern uint8_t g_viewSwitchRequest;
extern uint8_t g_listThreadAskedSwitch;
extern int32_t g_lastViewMode;
HWND GetRebarWindow();

// Key poller and window helpers (same declarations as their own headers).
int32_t GetInjectedKey();

// Entry list, list navigation and list pane services.
extern int32_t g_listSource;  // 0 folders, 1 a collection
extern uint8_t g_leftHeldOnViewer;
extern uint8_t g_fileDragActive;
extern uint8_t g_slideshowRunning;
int32_t GetFocusedPaneEntry();
int32_t GetRowEntry(int32_t row);
bool IsEntryPresent(int32_t entry);

// Neighbour services of menus, slideshow, collections, viewer and actions.
void SwitchNumLockOn();
bool OpenCacheHistoryFolder(int32_t row);
HMENU GetToolPopupMenu();
void UpdateMovieControls();
void ReleaseMovieSlot(int32_t entry);
int32_t GetMovieSlotEntry(int32_t slot);
int32_t GetViewerPictureZoomTarget(int32_t pane, int32_t point, float* x, float* y);
void SendSelectionByMail(HWND owner);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
bool IsRawEntry(int32_t entry);
bool IsEntryChecked(int32_t entry);
// Information column text of an entry (empty when unknown) and its file name or full path.
void GetEntryPathText(int32_t entry, bool fullPath, wchar_t* out, int32_t capacity);

// The action table and command table as the hot-key scan reads them.
struct HotKeyActionRow {
  uint8_t enabled, sameNamedJpg, askAtRunTime, ownRename;
  int32_t targetKey, kind, commandIndex;
  const wchar_t* path;
  const wchar_t* comment;
};
constexpr int kActionRowCount = 39;
bool ReadActionRow(int32_t row, HotKeyActionRow* out);
// Command name and repeat kind (0 while held, 1 just pressed, 2 pressed or repeating).
const wchar_t* GetCommandName(int32_t commandIndex);
int32_t GetCommandRepeatKind(int32_t commandIndex);
bool CommandRunsWithoutTarget(int32_t kind, int32_t commandIndex);
int32_t ActionPathKind(int32_t kind);
extern int32_t g_keyActionState[40];
bool ReplaceTextIsEmpty(int32_t row);
INT_PTR CALLBACK ActionPathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int32_t RunAction(int32_t row);

// Action engine, thumbnail cache and colour settings services of the navigation pane.
// Kind 3 copy, 4 move; result 0 failed, 1 done, 2 skipped.
// The action history: the source path of the action being recorded, and the record itself.
extern wchar_t g_actionSourcePath[260];

// The viewer's side of the main-window commands: the RAW development worker's state (3 idle),
// the release hand-over and its done signal (-1), the thumbnail-split request, the reload
// selection mode of the next refresh, the entries-changed byte and the colour profiles.
extern uint8_t g_thumbnailSplitRequest;
extern int32_t g_reloadSelectionMode;
extern uint8_t g_entriesChanged;
extern wchar_t g_monitorProfilePath[260], g_printerProfilePath[260];
extern volatile uint8_t g_screenProfileChanged;

// ---- services of the main window's batch commands ----
// Media split: the number of media of the last split computed; the split itself (out media
// count and the last medium's bytes, result the files in the last medium); the move into the
// numbered folders. The three settings fields have no place in the block yet.
extern int32_t MediaCount;
extern uint8_t MediaSplitEven, MediaFolderParentPrefix;
extern int32_t MediaFolderDigits;  // 0..3: digits of the folder number - 1
int32_t ComputeMediaSplit(int32_t* mediaCount, int64_t* lastMediumBytes);
void MoveEntriesToMediaFolders();
// Sub-folder merge: appends the sub-folder paths to the text (capacity in characters, the
// text already holds its heading); true when the top level has sub-folders. The merge moves
// the image files below the folder into the target; false when a move failed.
bool WalkSubfolders(const wchar_t* folder, int32_t topLevel, wchar_t* text, size_t capacity);
bool MergeSubfolderImages(const wchar_t* target, const wchar_t* folder, int32_t topLevel);
// Rename settings fields not yet placed in the block, and the texts that describe them.
extern int32_t RenamePrefixType, RenameNameType, RenameDateJoiner;
const wchar_t* RenamePrefixTypeName(int32_t prefixType);
const wchar_t* RenameNameTypeText(int32_t nameType, int32_t dateJoiner);
// The batch rename of the whole folder runs with the global rename settings.
void SelectGlobalRenameSettings();
// One action on one entry; 0 failed, 1 done, 2 skipped.
int32_t ExecuteEntryAction(int32_t entry, int32_t kind, const wchar_t* path, int32_t row, int32_t jpgFlag);
// The index print dialog (template 160, modeless).
INT_PTR CALLBACK IndexPrintDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
