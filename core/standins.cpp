// Temporary definitions: see core/standins.h.
#include "core/standins.h"

#include <cwchar>

#include "core/file_system.h"
#include "core/file_types.h"
#include "core/key_state.h"
#include "core/message_box.h"
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

void BuildMenuBar(HINSTANCE) {}
void DestroyMenus() {}
void CreateTooltipWindow(HINSTANCE) {}
void DestroyTooltipWindow() {}
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

// ---- key poller and window helpers: plain GetAsyncKeyState until the poller lands ----
static uint8_t g_holdTicks[256];
void PollKeyStates() {
  for (int k = 1; k < 256; ++k) {
    if (GetAsyncKeyState(k) & 0x8000) {
      if (g_holdTicks[k] < 20) ++g_holdTicks[k];
    } else {
      g_holdTicks[k] = 0;
    }
  }
}
bool IsKeyJustPressed(int32_t key) { return key > 0 && key < 256 && g_holdTicks[key] == 1; }
bool IsKeyHeld(int32_t key) { return key > 0 && key < 256 && g_holdTicks[key] > 0; }
bool IsKeyPressedOrRepeating(int32_t key) {
  return key > 0 && key < 256 && (g_holdTicks[key] == 1 || g_holdTicks[key] == 20);
}
int32_t GetInjectedKey() { return 0; }
uint8_t g_mouseCaptured = 0;
bool IsCursorOverWindow(HWND window) {
  POINT p;
  RECT r;
  return GetCursorPos(&p) && GetWindowRect(window, &r) && p.x > r.left && p.x < r.right && p.y > r.top &&
         p.y < r.bottom;
}
void SetFocusTo(HWND window) {
  if (window) SetFocus(window);
}

// ---- entry list and list pane ----
int32_t g_entryCount = 0;
int32_t g_listCount = 0;
int32_t g_cursorRow = -1;
uint8_t g_listBuilt = 0;
uint8_t g_listReadyFlag = 0;
volatile uint8_t g_listLoading = 0;
int32_t g_listSource = 0;
wchar_t g_currentFolder[260];
wchar_t g_selectedFolderPath[260];
wchar_t g_tempCaption[260];
uint8_t g_labelEditActive = 0;
uint8_t g_leftHeldOnViewer = 0;
uint8_t g_fileDragActive = 0;
uint8_t g_treeDrivenByCode = 0;
uint8_t g_slideshowRunning = 0;
bool IsOwnWindowInFront() {
  DWORD pid = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &pid);
  return pid == GetCurrentProcessId();
}
bool IsListFocused() { return false; }
int32_t GetFocusedPaneIndex(int32_t mode) { return mode == 1 ? -1 : 0; }
int32_t GetFocusedPaneEntry() { return -1; }
int32_t GetPaneOrderNumber(int32_t) { return -1; }
int32_t GetRowEntry(int32_t) { return -1; }
bool IsEntryPresent(int32_t) { return false; }
void ToggleListViewerMode(int32_t) {}
void MarkFlaggedEntries() {}
void RestoreSavedFocus() {
  if (!FocusRestoreWindow) return;
  SetFocusTo(FocusRestoreWindow);
  FocusRestoreWindow = nullptr;
}
void SelectCurrentEntryRow() {}
void ClearListSelection() {}
int32_t FindNextMatchingEntry(int32_t fromRow, int32_t, int32_t) { return fromRow; }
int32_t FindNextFlaggedEntry(int32_t fromRow, int32_t) { return fromRow; }
int32_t g_loadRequests = 0;
void LoadListContents(int32_t, int32_t, int32_t) { ++g_loadRequests; }
void ShowImageLevelStatus(int32_t) {}
void SetRebarBandText(int32_t, const wchar_t*) {}

// ---- menus, slideshow, collections, viewer, actions ----
void SwitchNumLockOn() {}
void RestoreNumLock() {}
void StopSlideshow(int32_t, int32_t) { g_slideshowRunning = 0; }
void AddSelectionToCollection(int32_t) {}
bool OpenFavouriteFolder(int32_t) { return true; }
bool OpenCacheHistoryFolder(int32_t) { return true; }
void PrepareToolPopup() {}
HMENU GetToolPopupMenu() { return nullptr; }
void DrawOwnerMenuItem(DRAWITEMSTRUCT*) {}
void MeasureOwnerMenuItem(MEASUREITEMSTRUCT*) {}
void GetCommandTooltipText(int32_t, wchar_t**) {}
void UpdateMovieControls() {}
void ReleaseMovieSlot(int32_t) {}
int32_t GetMovieSlotEntry(int32_t) { return -1; }
void ClearHistogramCache() {}
volatile int32_t g_histogramBudget = 0;
volatile uint8_t g_pendingRender = 0;
bool IsPaneRenderThreadRunning() { return false; }
int32_t GetViewerPictureZoomTarget(int32_t, int32_t, float*, float*) { return 0; }
void SendSelectionByMail(HWND) {}
INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}
bool IsRawEntry(int32_t) { return false; }
bool IsEntryChecked(int32_t) { return false; }
void GetInfoField(int32_t, int32_t, wchar_t* out, int32_t capacity) {
  if (capacity > 0) out[0] = 0;
}
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
bool ReplaceTextIsEmpty(int32_t) { return false; }
INT_PTR CALLBACK ActionPathDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}
int32_t RunAction(int32_t) { return 0; }
