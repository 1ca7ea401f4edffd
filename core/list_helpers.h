// Small operations on the entry list and its list control shared by the panes, the viewer,
// the actions and the list thread: paging over selected entries, pane rows, the action column,
// the list/viewer switch, progress indicators and foreground tests.
#pragma once
#include <windows.h>
#include <cstdint>

struct ImageEntry;

extern volatile int32_t g_listProcessedRows;  // the list thread's count, reset per load
extern uint32_t g_progressSteps;

HWND GetFileListControl();
// The row that shows the entry; -1 when none does.
int32_t FindRowOfEntry(int32_t entry);
// The entry's row drawn again from its record (its file or record changed).
void RedrawEntryRow(int32_t entry);

int FindNextMatchingEntry(int* position, int direction, int n);
int FindNextFlaggedEntry(int* position, int direction, int n);
void MarkFlaggedEntries();
int FindListPositionByName(const wchar_t* name);
int GetPaneOrderNumber(int pane);
int FindPaneByOrderNumber(int row);
void SetEntryActionText(int entryNumber);
int GetEntryActionStateIndex(const ImageEntry* entry);
void ToggleListViewerMode(uint8_t focusFlag);
void SelectCurrentEntryRow();
void ShowProgressCount();
void StepProgressBar();
// The progress bar at the last step's position (the steps move it a few times a second).
void ShowProgressStep();
void RestoreSavedFocus();
bool IsMainWindowAloneInFront();
bool IsOwnWindowInFront();
