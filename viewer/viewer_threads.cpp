#include "viewer/viewer_threads.h"

#include <objbase.h>
#include <gdiplus.h>
#include <process.h>

#include "core/list_pane_state.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/list_helpers.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/semaphore_lock.h"
#include "core/settings.h"
#include "core/shut_down.h"
#include "core/spare_memory.h"
#include "core/thumbnail_list_thread.h"
#include "core/main_window_state.h"
#include "core/pane_state.h"
#include "core/window_slots.h"
#include "viewer/fitted_pictures.h"
#include "viewer/pure/viewer_geometry.h"
#include "viewer/viewer_paint.h"


namespace {

constexpr int32_t kRingMax = 29;

int Priority() {
  const int level = g_settings.performance;
  return kThreadPriorityTable[(level >= 0 && level < 4) ? level : 3];
}

// The starter sets the state before the thread exists, so a stop asked at once is never lost;
// the thread itself never writes 0.
bool StartWorker(HANDLE* handle, volatile LONG* state, unsigned(__stdcall* proc)(void*)) {
  if (*handle) return false;
  *state = 0;
  unsigned id = 0;
  *handle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, proc, nullptr, 0, &id));
  if (!*handle) {
    *state = 3;
    return false;
  }
  g_threadIdSink = id;
  return true;
}

// At shut-down a worker that does not stop in time is left running with its handle.
void StopWorker(HANDLE* handle, volatile LONG* state) {
  if (!*handle) return;
  if (*state != 3) {
    RequestWorkerStop(state);
    if (!WaitWorkerStopped(state)) {
      *handle = nullptr;
      return;
    }
  }
  Sleep(1);
  CloseHandle(*handle);
  *handle = nullptr;
}

// The entry of a list row, or null when the row or its entry number is outside the list.
ImageEntry* RowEntry(int32_t row) {
  if (row < 0 || row >= g_listCount || !g_entryPointers || !g_displayOrder) return nullptr;
  const int32_t number = g_displayOrder[row];
  return number < g_entryCount ? EntryAt(number) : nullptr;
}

bool RenderStopAsked() { return g_renderState == 1; }
bool PrefetchStopAsked() { return g_prefetchState == 1; }
bool RedrawAskedAgain() { return g_paneRepaintRequest == 1 && !g_zoomMode; }

// One cycle: every pane of the layout painted, repeated while some pane is not final yet.
void RunRedrawCycle() {
  g_paneRepaintRequest = 0;
  for (volatile int32_t& r : PaneLastResult) r = 0;
  for (;;) {
    if (RenderStopAsked()) return;
    bool again = false;
    int32_t painted = 0;
    const int32_t panes = CurrentPaneCount();
    for (int pass = 0; pass < 2; ++pass) {
      // Fixed panes wait while the user pages quickly.
      if (pass == 1 && g_cursorMoveCount >= 2) break;
      for (int32_t k = 0; k < panes; ++k) {
        if (RedrawAskedAgain()) break;
        if (PaneLastResult[k] == kPaneFinal) continue;
        if ((g_paneEntry[k] != -1) != (pass == 1)) continue;
        int32_t result;
        // A zoomed pane shows the whole picture: one decoded reduced for the fitted view is
        // decoded whole here first, outside "sema".
        if (g_zoomMode && g_cursorMoveCount < 2) {
          ImageEntry* shown = RowEntry(GetPaneOrderNumber(k));
          if (shown && shown->viewReduction > 1 && !shown->levelImages[kLevelFull]) DecodeWholeViewImage(shown);
        }
        {
          SemaphoreLock sema(kSemaImage);
          const int32_t row = GetPaneOrderNumber(k);
          result = PaintViewerPane(g_panelDcs[k], GetPaneControl(k), row, k, painted);
          ++painted;
        }
        PaneLastResult[k] = result;
        if (result == kPaneNotReady || result == kPanePreliminary) {
          if (result == kPanePreliminary) Sleep(1);
          RenderedRow = g_cursorRow;
          again = true;
        } else if (result == kPaneFinal) {
          RenderedRow = g_cursorRow;
          Sleep(1);
        }
      }
    }
    if (!again) {
      g_listBuilt = 1;
      Sleep(1);
      return;
    }
    while (g_rawViewerState != 3 && !RedrawAskedAgain() && !RenderStopAsked()) Sleep(1);
    RenderPassDone = 1;
    Sleep(1);
  }
}

// True when the prefetch cycle must start again (the shown row moved or a pass finished).
bool PrefetchRestart(int32_t cur) {
  if (RenderedRow != cur || RenderPassDone == 1) {
    RenderPassDone = 0;
    Sleep(1);
    return true;
  }
  return false;
}

void CheckMemory(int32_t* n) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!g_memoryStatusFn(&status)) return;
  // Memory kept for the next picture goes before any picture of the window does.
  if (status.ullAvailPhys < MemoryPressureLimit) ReleaseSpareMemory();
  *n = NextPrefetchRadius(*n, status.ullAvailPhys, MemoryPressureLimit, CurrentPaneCount(), g_settings.prefetchLevel);
}

// The shrunk copy of a prepared row's picture at the size its pane (or the first pane) fits it
// in, so that stepping to it paints by a copy of pixels.
void PrepareFittedCopy(int32_t row) {
  int32_t k = FindPaneByOrderNumber(row);
  if (k < 0 || k > 3) k = 0;
  RECT client{};
  HWND pane = GetPaneControl(k);
  if (!pane || !GetClientRect(pane, &client) || client.right <= 0 || client.bottom <= 0) return;
  // The shrink runs outside "sema", from a copy of the pixels: held through it, a step to a
  // prepared row waited for the shrink of another.
  FittingSource source;
  PaneRect fit{};
  {
    SemaphoreLock sema(kSemaImage);
    ImageEntry* e = RowEntry(row);
    if (!e || e->presence == kEntryVanished) return;
    Gdiplus::Image* picture = e->levelImages[kLevelFull] ? e->levelImages[kLevelFull] : e->levelImages[kLevelView];
    if (!picture) return;
    fit = FitPictureRect(static_cast<float>(picture->GetWidth()), static_cast<float>(picture->GetHeight()),
                         client.right, client.bottom);
    if (fit.w >= static_cast<int32_t>(picture->GetWidth()) && fit.h >= static_cast<int32_t>(picture->GetHeight())) return;
    if (!CopyOutForFitting(picture, fit.w, fit.h, &source)) {
      MakeFittedPicture(picture, fit.w, fit.h);  // there already, or made the one way it can be
      return;
    }
  }
  MakeFittedPictureFromCopy(&source, fit.w, fit.h);
}

bool PrepareForView(int32_t row, int fullFlag) {
  const bool ok = PrepareEntryForView(row, fullFlag);
  if (ok) PrepareFittedCopy(row);
  return ok;
}

// One prefetch cycle; returns when a new one should begin.
void RunPrefetchCycle(int32_t* n) {
  // Nothing listed: nothing to check or prepare (the memory query is not free under load).
  if (g_listCount == 0 || g_entryCount <= 0) {
    Sleep(10);
    return;
  }
  if (RenderedRow != MemoryCheckedRow) CheckMemory(n);
  if (g_cursorMoveCount >= 2) {
    Sleep(1);
    return;
  }
  const int32_t cur = RenderedRow;
  if (cur < 0 || cur >= g_listCount) {
    Sleep(1);
    return;
  }
  const int32_t panes = CurrentPaneCount();
  int32_t shown[4];
  for (int32_t i = 0; i < panes; ++i) {
    int position = cur;
    if (i > 0) FindNextFlaggedEntry(&position, 1, i);
    shown[i] = position;
    ImageEntry* e = RowEntry(position);
    if (e && (e->flags & kEntryRotated)) {
      ReleaseEntryLevel(e, kLevelView, 1);
      ReleaseEntryLevel(e, kLevelFull, 1);
      ClearEntryFlags(e, kEntryRotated);
    }
  }
  for (int32_t i = 0; i < panes; ++i) {
    if (PrefetchStopAsked()) return;
    if (!PrepareForView(shown[i], 1)) {
      Sleep(1);
      return;
    }
    if (PrefetchRestart(cur)) return;
  }
  if (g_rawViewerState == 3) {
    const int32_t discard = DiscardDevelopmentEntry;
    if (discard != -1) {
      if (discard >= 0 && discard < g_entryCount) ReleaseEntryLevel(EntryAt(discard), kLevelFull, 0);
      DiscardDevelopmentEntry = -1;
    }
    if (RenderedRow != MemoryCheckedRow) {
      MemoryCheckedRow = RenderedRow;
      ReleaseCachedImages(RenderedRow, *n);
    }
  }
  // The ring: n positions back, then up to 2n + 1 going forward.
  const int32_t radius = *n < 1 ? 1 : (*n > 14 ? 14 : *n);
  int32_t ring[kRingMax];
  int32_t count = 0, curIndex = 0;
  int position = cur;
  FindNextFlaggedEntry(&position, 0, radius);
  while (position >= 0 && count < 2 * radius + 1 && count < kRingMax) {
    if (position == cur && curIndex == 0) curIndex = count;
    ring[count++] = position;
    FindNextFlaggedEntry(&position, 1, 1);
  }
  if (count == 0) {
    Sleep(1);
    return;
  }
  int32_t fwd = curIndex, back = curIndex;
  for (int32_t l = 1; l < count / 2 + 1; ++l) {
    Sleep(1);
    if (PrefetchStopAsked() || PrefetchRestart(cur)) return;
    fwd = fwd + 1 >= count ? 0 : fwd + 1;
    PrepareForView(ring[fwd], l == 1 ? 1 : 0);
    Sleep(1);
    if (PrefetchStopAsked() || PrefetchRestart(cur)) return;
    back = back - 1 < 0 ? count - 1 : back - 1;
    PrepareForView(ring[back], l == 1 ? 1 : 0);
    Sleep(1);
  }
  Sleep(1);
}

}  // namespace

unsigned __stdcall PaneRenderThreadProc(void*) {
  RenderPassDone = 0;
  CoInitialize(nullptr);
  while (!RenderStopAsked()) {
    if (g_listCount != 0 && g_entryCount > 0 && g_paneRepaintRequest == 1) {
      RunRedrawCycle();
    } else {
      // An empty list has nothing to paint here (the panes are blanked on the user-interface
      // thread); a request left standing would hold back the idle tick's key handling.
      if (g_listCount == 0 || g_entryCount <= 0) g_paneRepaintRequest = 0;
      Sleep(1);
    }
  }
  CoUninitialize();
  g_renderState = 3;
  return 0;
}

unsigned __stdcall PrefetchThreadProc(void*) {
  CoInitialize(nullptr);
  int32_t n = 1;
  while (!PrefetchStopAsked()) RunPrefetchCycle(&n);
  CoUninitialize();
  g_prefetchState = 3;
  return 0;
}

unsigned __stdcall ViewerDevelopThreadProc(void*) {
  ImageEntry* e = ViewerDevelopEntry;
  if (e) {
    RawFailureBoxHold hold;
    DevelopFullImage(e, e->developMode == 2 ? g_settings.rawDevelopQualities[1] : g_settings.rawDevelopQualities[0]);
    // A development that failed is not tried again for this entry: the view image stays final.
    if (!e->levelImages[kLevelFull]) {
      SetEntryDevelopMode(e, 0);
      ClearEntryFlags(e, kEntryWantFullDevelopment | kEntryDevelopmentCleared);
    }
  }
  g_rawViewerState = 3;
  return 0;
}

void StartViewerThreads() {
  if (StartWorker(&g_renderThread, &g_renderState, PaneRenderThreadProc)) {
    PumpMessages(10);
    SetThreadPriority(g_renderThread, Priority());
  }
  if (StartWorker(&g_prefetchThread, &g_prefetchState, PrefetchThreadProc)) {
    PumpMessages(10);
    SetThreadPriority(g_prefetchThread, Priority());
  }
}

void StopViewerThreads() {
  StopWorker(&g_prefetchThread, &g_prefetchState);
  StopWorker(&g_renderThread, &g_renderState);
  // Entries are freed after this: a development still writing into one must end first.
  WaitViewerDevelopThread();
}

bool IsPaneRenderThreadRunning() { return g_renderThread != nullptr && g_renderState != 3; }

bool WaitViewerDevelopThread() {
  if (!g_rawViewerThread) return false;
  if (!WaitWorkerStopped(&g_rawViewerState)) {
    g_rawViewerThread = nullptr;
    return true;
  }
  Sleep(1);
  CloseHandle(g_rawViewerThread);
  g_rawViewerThread = nullptr;
  return true;
}

void StartViewerDevelopThread() {
  if (!StartWorker(&g_rawViewerThread, &g_rawViewerState, ViewerDevelopThreadProc)) return;
  SetThreadPriority(g_rawViewerThread, Priority());
  PumpMessages(10);
}

bool NeedsFullDevelopment(ImageEntry* e, int32_t row) {
  const uint16_t both = kEntryWantFullDevelopment | kEntryDevelopmentCleared;
  if (!e) return false;
  if (!IsRawModelEntry(e) || EntryCameraModel(e).code == kUnknownModelCode) {
    ClearEntryFlags(e, both);
    return false;
  }
  int32_t d = 0;
  switch (e->developMode) {
    case 1:
      d = g_settings.rawViewingMode;
      break;
    case 2:
      if (row != GetPaneOrderNumber(g_focusedPane)) return false;
      d = 2;
      break;
    case 3:
      d = 2;
      break;
    default:
      d = 0;
  }
  if (d == 1) {
    RECT pane{};
    GetClientRect(GetPaneControl(0), &pane);
    UINT w = 0, h = 0;
    {
      SemaphoreLock sema(kSemaImage);
      if (e->levelImages[kLevelView]) {
        w = e->levelImages[kLevelView]->GetWidth();
        h = e->levelImages[kLevelView]->GetHeight();
      }
    }
    if (w != 0 && h != 0 && (static_cast<LONG>(w) < pane.right || static_cast<LONG>(h) < pane.bottom)) d = 2;
  }
  if (d == 2) {
    ChangeEntryFlags(e, kEntryWantFullDevelopment, kEntryDevelopmentCleared);
    return true;
  }
  ClearEntryFlags(e, both);
  return false;
}

