#include "actions/raw_batch.h"

#include <commctrl.h>
#include <process.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <vector>

#include "actions/action_history.h"
#include "actions/action_table.h"
#include "actions/developed_save.h"
#include "actions/entry_actions.h"
#include "browser/caption_favourites.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/list_helpers.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/entry_lock.h"
#include "core/file_system.h"
#include "core/folder_helpers.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "core/thumbnail_list_thread.h"
#include "resources/resource.h"

ImageEntry* g_rawBatchCopies = nullptr;
int32_t* g_rawBatchNumbers = nullptr;
int32_t g_rawBatchSlotCount = 0, g_rawBatchTotal = 0, g_rawBatchDone = 0, g_rawBatchActionRow = -1, g_rawBatchNext = 0;
wchar_t g_rawBatchFolder[260];
uint8_t g_rawBatchAbort = 0;
int32_t g_rawBatchTicks = 0;
ImageEntry g_rawBatchCurrent;
ImageEntry* g_rawBatchEntry = nullptr;
HANDLE g_rawBatchThread = nullptr;
volatile int32_t g_rawBatchState = 3;

namespace {

constexpr UINT_PTR kRawDevelopTimer = 32766;
const wchar_t* const kDots[4] = {L"   ", L".  ", L".. ", L"..."};

// A copy that shares nothing with the listed entry: its pictures and undo records stay there.
void CopyEntryForBatch(const ImageEntry* from, ImageEntry* to) {
  {
    EntryUndoLock lock;  // the folder watcher may be renaming it
    std::memcpy(to, from, sizeof *to);
  }
  to->histogramPicture = nullptr;
  to->undoCount = 0;
  to->currentUndo = 0;
  to->undoRecords = nullptr;
  to->fullLevelSize = 0;
  for (int k = 0; k < kImageLevelCount; ++k) {
    to->levelBlocks[k] = nullptr;
    to->levelImages[k] = nullptr;
    to->levelStreams[k] = nullptr;
  }
  to->path[kEntryPathChars - 1] = 0;
  SetEntryNamePointer(to);
}

void FreeBatch() {
  delete[] g_rawBatchCopies;
  delete[] g_rawBatchNumbers;
  g_rawBatchCopies = nullptr;
  g_rawBatchNumbers = nullptr;
  g_rawBatchSlotCount = 0;
}

unsigned __stdcall RawDevelopWorkerProc(void*) {
  // The state was set to running by the starter: the worker itself writes only the 3 at its end.
  DevelopFullImage(g_rawBatchEntry, static_cast<brn::RawDevelopMode>(g_settings.rawDevelopQualities[2]));
  g_rawBatchState = 3;
  _endthreadex(0);
  return 0;
}

// The entry number of the listed file the slot was copied from, or -1 once the list changed.
int32_t ListedEntryOf(int32_t slot, const ImageEntry* copy) {
  if (slot < 0 || slot >= g_entryCount) return -1;
  ImageEntry* e = EntryAt(slot);
  if (!e || std::memcmp(e->path, copy->path, sizeof e->path) != 0) return -1;
  return slot;
}

void HandleDevelopedEntry() {
  ImageEntry* entry = g_rawBatchEntry;
  if (!entry || !entry->levelImages[kLevelFull]) {
    if (entry) ReleaseEntryLevel(entry, kLevelFull, 0);
    return;
  }
  const ActionEntry* action = ActionRowAt(g_rawBatchActionRow);
  const int32_t kind = action ? action->kind : 0;
  wchar_t folder[260];
  wcsncpy(folder, g_rawBatchFolder, 259);
  folder[259] = 0;
  ResolveAgainstImageFolder(reinterpret_cast<const wchar_t*>(entry->path), folder);
  int32_t outcome = kActionFailed;
  wchar_t path[260];
  if (!g_rawBatchAbort && RawBatchOutputPath(folder, EntryName(entry), kind, path)) {
    // A file of that name (the camera's JPEG of a RAW+JPEG pair, an earlier development) stays.
    if (PathExists(path)) outcome = kActionSkipped;
    else if (SaveDevelopedImage(entry, kind == 7 ? kDevelopedTiff : kDevelopedJpeg, path)) outcome = kActionDone;
    else if (PathExists(path)) outcome = kActionSkipped;
  }
  ReleaseEntryLevel(entry, kLevelFull, 0);
  const int32_t listed = ListedEntryOf(g_rawBatchNumbers[g_rawBatchNext], entry);
  if (listed >= 0) {
    // Undo removes only the very file made here.
    if (outcome == kActionDone) NoteActionProduct(listed, path);
    AddActionHistoryEntry(listed, kind, g_rawBatchActionRow, outcome);
    const int32_t row = FindRowOfEntry(listed);
    HWND pane = g_windowSlots[kSlotFileListPane];
    if (row >= 0 && pane) SendMessageW(pane, WM_COMMAND, kUpdateEntryRowCommand, row);
  }
  HWND dialog = g_windowSlots[kSlotRawProgress];
  if (dialog) SendDlgItemMessageW(dialog, IDC_RAW_BATCH_BAR, PBM_SETPOS, g_rawBatchDone, 0);
}

void ShowProgress(HWND dialog) {
  wchar_t prefix[64], caption[64];
  swprintf(prefix, 64, L"[%d/%d] ", g_rawBatchDone, g_rawBatchTotal);
  swprintf(caption, 64, L"[%d/%d] RAW現像", g_rawBatchDone, g_rawBatchTotal);
  UpdateMainCaption(prefix);
  SetWindowTextW(dialog, caption);
}

void EndBatch(HWND dialog) {
  KillTimer(dialog, kRawDevelopTimer);
  FreeBatch();
  g_rawBatchEntry = nullptr;
  g_windowSlots[kSlotRawProgress] = nullptr;
  if (g_windowSlots[kSlotNavigationPane]) EnableWindow(g_windowSlots[kSlotNavigationPane], TRUE);
  UpdateMainCaption(L"");
  DestroyWindow(dialog);
}

void NextEntry(HWND dialog) {
  ShowProgress(dialog);
  WaitRawDevelopWorker();
  if (!g_rawBatchAbort && g_rawBatchCopies) {
    for (int32_t slot = g_rawBatchNext; slot < g_rawBatchSlotCount; ++slot) {
      if (g_rawBatchCopies[slot].presence == kEntryVanished) continue;
      g_rawBatchNext = slot;
      std::memcpy(&g_rawBatchCurrent, &g_rawBatchCopies[slot], sizeof g_rawBatchCurrent);
      SetEntryNamePointer(&g_rawBatchCurrent);
      g_rawBatchEntry = &g_rawBatchCurrent;
      StartRawDevelopWorker();
      SetTimer(dialog, kRawDevelopTimer, 333, nullptr);
      return;
    }
  }
  EndBatch(dialog);
}

void Tick(HWND dialog) {
  ++g_rawBatchTicks;
  const wchar_t* dots = kDots[g_rawBatchTicks % 4];
  wchar_t text[400];
  if (g_rawBatchAbort) {
    swprintf(text, 400, L" RAW現像 中断処理中%ls", dots);
  } else {
    swprintf(text, 400, L" RAW現像 %ls 処理中%ls", g_rawBatchEntry ? EntryName(g_rawBatchEntry) : L"", dots);
  }
  SetDlgItemTextW(dialog, IDC_RAW_BATCH_TEXT, text);
  if (g_rawBatchState != 3) return;
  KillTimer(dialog, kRawDevelopTimer);
  WaitRawDevelopWorker();
  HandleDevelopedEntry();
  ++g_rawBatchDone;
  ++g_rawBatchNext;
  SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
}

}  // namespace

bool RawBatchOutputPath(const wchar_t* folder, const wchar_t* name, int32_t kind, wchar_t* out) {
  out[0] = 0;
  if ((kind != 7 && kind != 8) || !folder || !name) return false;
  const wchar_t* dot = wcsrchr(name, L'.');
  if (!dot) return false;
  const size_t stem = static_cast<size_t>(dot - name);
  const wchar_t* extension = kind == 7 ? L".tiff" : L".jpg";
  if (wcslen(folder) + stem + wcslen(extension) + 1 > 260) return false;
  swprintf(out, 260, L"%ls%.*ls%ls", folder, static_cast<int>(stem), name, extension);
  return true;
}

bool RawDevelopBatchRunning() { return g_rawBatchCopies != nullptr; }

void StartRawDevelopWorker() {
  if (g_rawBatchThread) return;
  // Set before the thread exists, so a look at the state never sees the last run's 3.
  g_rawBatchState = 0;
  g_rawBatchThread =
      reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RawDevelopWorkerProc, nullptr, 0, reinterpret_cast<unsigned*>(&g_threadIdSink)));
  if (!g_rawBatchThread) {
    g_rawBatchState = 3;
    return;
  }
  const int level = g_settings.performance >= 0 && g_settings.performance < 4 ? g_settings.performance : 0;
  SetThreadPriority(g_rawBatchThread, kThreadPriorityTable[level]);
  PumpMessages(10);
}

void WaitRawDevelopWorker() {
  if (!g_rawBatchThread) return;
  // At shut-down a worker that does not stop in time is left running with its handle.
  if (!WaitWorkerStopped(&g_rawBatchState)) {
    g_rawBatchThread = nullptr;
    return;
  }
  Sleep(1);
  WaitForSingleObject(g_rawBatchThread, ShutDownWaitLeft(GetTickCount()));
  CloseHandle(g_rawBatchThread);
  g_rawBatchThread = nullptr;
}

INT_PTR CALLBACK RawDevelopProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      g_windowSlots[kSlotRawProgress] = dialog;
      g_rawBatchAbort = 0;
      if (g_windowSlots[kSlotNavigationPane]) EnableWindow(g_windowSlots[kSlotNavigationPane], FALSE);
      SendDlgItemMessageW(dialog, IDC_RAW_BATCH_BAR, PBM_SETRANGE, 0, static_cast<LPARAM>(g_rawBatchTotal) << 16);
      SendDlgItemMessageW(dialog, IDC_RAW_BATCH_BAR, PBM_SETSTEP, 1, 0);
      SendDlgItemMessageW(dialog, IDC_RAW_BATCH_BAR, PBM_SETPOS, 0, 0);
      g_rawBatchNext = 0;
      SendMessageW(dialog, WM_COMMAND, kRefreshCommand, 0);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == kRefreshCommand) {
        NextEntry(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      g_rawBatchAbort = 1;
      return TRUE;
    case WM_TIMER:
      if (wParam == kRawDevelopTimer) Tick(dialog);
      return TRUE;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        if (g_hwndMain) SendMessageW(g_hwndMain, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

int32_t StartRawDevelopBatch(int32_t row) {
  if (g_rawBatchCopies) return 0;
  const ActionEntry* action = ActionRowAt(row);
  if (!action || (action->kind != 7 && action->kind != 8) || g_entryCount <= 0 || g_listCount <= 0) return 0;
  g_rawBatchTotal = 0;
  g_rawBatchDone = 0;
  // Taken before the folder question, which moves the focus to its box.
  const bool listFocused = IsListFocused();
  wchar_t folder[260] = {};
  std::memcpy(folder, action->path, sizeof folder);
  folder[259] = 0;
  ResolveAgainstImageFolder(EntryPath(EntryAtRow(0)), folder);
  const DWORD before = GetFileAttributesW(folder);
  const bool existed = before != INVALID_FILE_ATTRIBUTES && (before & FILE_ATTRIBUTE_DIRECTORY);
  if (!EnsureFolderExists(folder, 1)) {
    FreeBatch();
    return 0;
  }
  PauseBusy();
  std::memcpy(g_rawBatchFolder, action->path, sizeof g_rawBatchFolder);
  g_rawBatchFolder[259] = 0;
  g_rawBatchActionRow = row;
  // The chosen entry numbers, then one copy each in entry-number order (the load order).
  std::vector<int32_t> chosen;
  auto choose = [&chosen](int32_t listRow) {
    if (listRow < 0 || listRow >= g_listCount) return;
    const int32_t entry = g_displayOrder[listRow];
    ImageEntry* e = entry >= 0 && entry < g_entryCount ? EntryAt(entry) : nullptr;
    if (!e || !IsRawModelEntry(e) || !IsEntryFileInPlace(entry)) return;
    chosen.push_back(entry);
  };
  if (listFocused) {
    HWND list = GetListControl();
    for (int32_t r = 0; list && r < g_listCount; ++r)
      if (SendMessageW(list, LVM_GETITEMSTATE, r, LVIS_SELECTED) & LVIS_SELECTED) choose(r);
  } else {
    const int32_t paneRow = GetFocusedPaneRow();
    if (paneRow < 0 || paneRow >= g_listCount) {
      ShowAppMessageBox(nullptr, L"画像が選択されていません。", g_productName, MB_ICONINFORMATION);
    } else {
      choose(paneRow);
    }
  }
  std::sort(chosen.begin(), chosen.end());
  chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
  if (chosen.empty()) return 0;
  g_rawBatchCopies = new (std::nothrow) ImageEntry[chosen.size()];
  g_rawBatchNumbers = new (std::nothrow) int32_t[chosen.size()];
  if (!g_rawBatchCopies || !g_rawBatchNumbers) {
    FreeBatch();
    return 0;
  }
  for (size_t i = 0; i < chosen.size(); ++i) {
    // A copy keeps the vanished mark of its entry, so its slot is passed over, not developed.
    CopyEntryForBatch(EntryAt(chosen[i]), &g_rawBatchCopies[i]);
    g_rawBatchNumbers[i] = chosen[i];
  }
  g_rawBatchSlotCount = static_cast<int32_t>(chosen.size());
  g_rawBatchTotal = g_rawBatchSlotCount;
  g_rawBatchTicks = 0;
  HWND dialog = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_RAW_DEVELOP_PROGRESS), g_hwndMain,
                                   RawDevelopProgressDlgProc, 0);
  if (!dialog) {
    FreeBatch();
    return 0;
  }
  ShowWindow(dialog, SW_SHOW);
  if (!existed) g_treeRebuildRequest = 1;
  return 1;
}
