// Services the start-up sequence calls whose own code is not written yet. Each one moves to
// its own header when it is built, and its temporary definition leaves core/standins.cpp.
#pragma once
#include <windows.h>
#include <cstdint>

void BuildMenuBar(HINSTANCE instance);
void DestroyMenus();
void CreateTooltipWindow(HINSTANCE instance);
void DestroyTooltipWindow();
void LoadCollections();
void SaveCollections();
uint8_t CheckForNewVersion();
void RebuildActionKeyTable();
void BuildViewFocusPointTables();
void BuildCameraModelIndex();
void ResetFolderWatchEvent();
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath);
void ResetImageEntryArrays();
void ResetHistogramCache();
void ResetColorSettings();

// Key poller and window helpers (same declarations as their own headers).
void PollKeyStates();
bool IsKeyJustPressed(int32_t key);
bool IsKeyHeld(int32_t key);
bool IsKeyPressedOrRepeating(int32_t key);
int32_t GetInjectedKey();
extern uint8_t g_mouseCaptured;
bool IsCursorOverWindow(HWND window);
void SetFocusTo(HWND window);

// Entry list, list navigation and list pane services.
extern int32_t g_entryCount;
extern int32_t g_listCount;
extern int32_t g_cursorRow;
extern uint8_t g_listBuilt;
extern uint8_t g_listReadyFlag;
extern volatile uint8_t g_listLoading;
extern int32_t g_listSource;  // 0 folders, 1 a collection
extern wchar_t g_currentFolder[260];
extern wchar_t g_selectedFolderPath[260];
extern wchar_t g_tempCaption[260];
extern uint8_t g_labelEditActive;
extern uint8_t g_leftHeldOnViewer;
extern uint8_t g_fileDragActive;
extern uint8_t g_treeDrivenByCode;
extern uint8_t g_slideshowRunning;
bool IsOwnWindowInFront();
bool IsListFocused();
int32_t GetFocusedPaneIndex(int32_t mode);
int32_t GetFocusedPaneEntry();
int32_t GetPaneOrderNumber(int32_t pane);
int32_t GetRowEntry(int32_t row);
bool IsEntryPresent(int32_t entry);
void ToggleListViewerMode(int32_t mode);
void MarkFlaggedEntries();
void RestoreSavedFocus();
void SelectCurrentEntryRow();
void ClearListSelection();
int32_t FindNextMatchingEntry(int32_t fromRow, int32_t count, int32_t direction);
int32_t FindNextFlaggedEntry(int32_t fromRow, int32_t count);
void LoadListContents(int32_t mode, int32_t arg1, int32_t arg2);
void ShowImageLevelStatus(int32_t row);
void SetRebarBandText(int32_t bandId, const wchar_t* text);

// Neighbour services of menus, slideshow, collections, viewer and actions.
void SwitchNumLockOn();
void RestoreNumLock();
void StopSlideshow(int32_t ignored, int32_t reason);
void AddSelectionToCollection(int32_t collection);
bool OpenFavouriteFolder(int32_t slot);
bool OpenCacheHistoryFolder(int32_t row);
void PrepareToolPopup();
HMENU GetToolPopupMenu();
void DrawOwnerMenuItem(DRAWITEMSTRUCT* item);
void MeasureOwnerMenuItem(MEASUREITEMSTRUCT* item);
void GetCommandTooltipText(int32_t commandId, wchar_t** text);
void UpdateMovieControls();
void ReleaseMovieSlot(int32_t entry);
int32_t GetMovieSlotEntry(int32_t slot);
void ClearHistogramCache();
extern volatile int32_t g_histogramBudget;
extern volatile uint8_t g_pendingRender;
bool IsPaneRenderThreadRunning();
int32_t GetViewerPictureZoomTarget(int32_t pane, int32_t point, float* x, float* y);
void SendSelectionByMail(HWND owner);
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
bool IsRawEntry(int32_t entry);
bool IsEntryChecked(int32_t entry);
// Information column text of an entry (empty when unknown) and its file name or full path.
void GetInfoField(int32_t entry, int32_t column, wchar_t* out, int32_t capacity);
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
void FormatRenameSettingsText(wchar_t* out, int32_t row);
void FormatReplaceRenameText(wchar_t* out, int32_t row);
bool ReplaceTextIsEmpty(int32_t row);
INT_PTR CALLBACK ActionPathDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
int32_t RunAction(int32_t row);
