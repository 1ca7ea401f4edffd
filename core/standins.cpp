// Temporary definitions: see core/standins.h.
#include "core/standins.h"
#include "browser/rebar_bands.h"

#include <cstdlib>
#include <cwchar>

#include "core/image_entry_list.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/key_state.h"
#include "core/message_box.h"
#include "core/os_class.h"
#include "core/settings.h"

uint8_t CheckForNewVersion() { return 0; }
void RebuildActionKeyTable() {}
void BuildViewFocusPointTables() {}
void ResetFolderWatchEvent() {}
void ResetColorSettings() { ResetColorSlots(g_settings); }
void TrackFileDrag(HWND, int, int) {}
int FinishFileDrag(HWND) { return 0; }
void OpenDragPopups(HWND) {}

uint8_t g_thumbnailsComplete = 1, g_tempCaption, g_gridShown, g_zoomHoldMode;
int32_t LoupeEnabled;
uint8_t g_viewToggleRequest, g_fullScreenToggleRequest, g_treeToggleRequest;
bool IsRowEntryPresent(int32_t) { return false; }
int32_t GetCollectionCount() { return 0; }
const wchar_t* GetCollectionName(int32_t) { return L""; }



void ReleaseAllMovieSlots() {}
volatile int32_t g_shownRowMarker = 0;

void WaitRawDevelopWorker() {}
void ClearActionHistory() {}
void ClearEntryUndoList(int32_t entryNumber) {
  ImageEntry* e = EntryAt(entryNumber);
  if (!e) return;
  std::free(e->undoRecords);
  e->undoRecords = nullptr;
  e->undoCount = 0;
  e->currentUndo = -1;
}

HGLOBAL GrabMovieFrame(ImageEntry*, int, int, int) { return nullptr; }
volatile int32_t g_listThreadNextRow = -1;

void OpenWatchedFolder(const wchar_t*) {}
void CloseWatchedFolder() {}
bool WaitFileStable(const wchar_t*) { return true; }

HWND GetRebarBandControl(int) { return nullptr; }
void ResetStatusCounters() {}
void CopyColorMatchSetupToWorkingCopy() {}
HWND g_extraOwnWindows[2] = {};
uint8_t g_viewSwitchRequest = 0;
uint8_t g_listThreadAskedSwitch = 0;
int32_t g_lastViewMode = 1;
HWND GetRebarWindow() { return nullptr; }

// ---- keys injected by the action dispatcher ----
int32_t GetInjectedKey() { return 0; }

// ---- entry list and list pane ----
uint8_t g_leftHeldOnViewer = 0;
uint8_t g_fileDragActive = 0;
uint8_t g_slideshowRunning = 0;
int32_t GetFocusedPaneEntry() { return -1; }
int32_t GetRowEntry(int32_t) { return -1; }
bool IsEntryPresent(int32_t) { return false; }

// ---- menus, slideshow, collections, viewer, actions ----
void SwitchNumLockOn() {}
bool OpenCacheHistoryFolder(int32_t) { return true; }
HMENU GetToolPopupMenu() { return nullptr; }
void UpdateMovieControls() {}
void ReleaseMovieSlot(int32_t) {}
int32_t GetMovieSlotEntry(int32_t) { return -1; }
int32_t GetViewerPictureZoomTarget(int32_t, int32_t, float*, float*) { return 0; }
void SendSelectionByMail(HWND) {}
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}
bool IsRawEntry(int32_t) { return false; }
bool IsEntryChecked(int32_t) { return false; }
void GetEntryPathText(int32_t, bool, wchar_t* out, int32_t capacity) {
  if (capacity > 0) out[0] = 0;
}

bool ReadActionRow(int32_t, HotKeyActionRow*) { return false; }
const wchar_t* GetCommandName(int32_t) { return L""; }
int32_t GetCommandRepeatKind(int32_t) { return 1; }
bool CommandRunsWithoutTarget(int32_t, int32_t) { return false; }
int32_t ActionPathKind(int32_t kind) { return (kind == 3 || kind == 4 || (kind >= 7 && kind <= 9)) ? 1 : 0; }
int32_t g_keyActionState[40];
void FormatRenameSettingsText(wchar_t* out, int32_t) { out[0] = 0; }
void FormatReplaceRenameText(wchar_t* out, int32_t) { out[0] = 0; }
int32_t BatchRenameFiles(int32_t, int32_t, int32_t) { return 0; }
int32_t ReplaceRenameFiles(int32_t, int32_t) { return 0; }
int32_t RenameCounter = 1;
uint8_t RenameInProgress = 0;
bool ReplaceTextIsEmpty(int32_t) { return false; }
INT_PTR CALLBACK ActionPathDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}
int32_t RunAction(int32_t) { return 0; }

// ---- services of the navigation pane's commands ----
bool IsEntryFileInPlace(int32_t) { return true; }
int32_t AddActionHistoryEntry(int32_t entry, int32_t kind, int32_t, int32_t result) {
  HWND combo = g_bandControls[kBandActionHistory];
  if (!combo || entry < 0 || entry >= g_entryCount) return 0;
  const wchar_t* name = kind == 3 ? L"コピー" : kind == 4 ? L"移動" : L"操作";
  const wchar_t* results[3] = {L"NG!", L"OK!", L"Skip!"};
  wchar_t text[600];
  swprintf(text, 600, L"%ls:%ls->%ls", name, EntryName(EntryAt(entry)), results[result >= 0 && result <= 2 ? result : 0]);
  COMBOBOXEXITEMW item{};
  item.mask = CBEIF_TEXT;
  item.iItem = 0;
  item.pszText = text;
  SendMessageW(combo, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EnableWindow(combo, TRUE);
  return 0;
}
void AppendEntryUndoRecord(int32_t, int32_t, const wchar_t*) {}
wchar_t g_pendingUndoPath[260];
wchar_t g_actionSourcePath[260];
uint8_t g_thumbnailSplitRequest = 0;
int32_t g_reloadSelectionMode = 0;
uint8_t g_entriesChanged = 0;
wchar_t g_monitorProfilePath[260], g_printerProfilePath[260];
volatile uint8_t g_screenProfileChanged = 0;
// Level 0 of an entry as the image pipeline makes it; until then only a level some other
// code put in counts as built.

// ---- services of the main window's batch commands: nothing is split, moved or renamed ----
int32_t MediaCount = 1;
uint8_t MediaSplitEven = 0, MediaFolderParentPrefix = 0;
int32_t MediaFolderDigits = 1;
int32_t ComputeMediaSplit(int32_t* mediaCount, int64_t* lastMediumBytes) {
  *mediaCount = 1;
  *lastMediumBytes = 0;
  return 0;
}
void MoveEntriesToMediaFolders() {}
bool WalkSubfolders(const wchar_t*, int32_t, wchar_t*, size_t) { return false; }
bool MergeSubfolderImages(const wchar_t*, const wchar_t*, int32_t) { return false; }
int32_t RenamePrefixType = 0, RenameNameType = 0, RenameDateJoiner = 0;
const wchar_t* RenamePrefixTypeName(int32_t) { return L""; }
const wchar_t* RenameNameTypeText(int32_t, int32_t) { return L""; }
void SelectGlobalRenameSettings() {}
int32_t ExecuteEntryAction(int32_t, int32_t, const wchar_t*, int32_t, int32_t) { return 0; }
INT_PTR CALLBACK IndexPrintDlgProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) DestroyWindow(dialog);
  return FALSE;
}
