#include "browser/viewer_panes.h"

#include <commctrl.h>
#include <initializer_list>

#include "browser/file_list_pane.h"
#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "browser/pure/main_layout.h"
#include "viewer/pure/pane_rules.h"
#include "core/window_slots.h"
#include "core/settings.h"
#include "core/entry_queries.h"
#include "core/app_globals.h"
#include "browser/focus_queries.h"
#include "browser/list_rows.h"
#include "core/image_entry_list.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/pure/catalogue_rules.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "viewer/histogram.h"
#include "viewer/movie_pane.h"
#include "viewer/movie_player.h"
#include "viewer/viewer_paint.h"


namespace {
WNDPROC g_previousPaneProc = nullptr;
WNDPROC g_previousHeaderProc = nullptr;
}  // namespace

void LayoutViewerPanes(int x, int y, int width, int height) {
  LayoutRect rects[kMaxPanes];
  const int32_t n = ComputeViewerPaneRects(g_settings.splitLayout, x, y, width, height, rects);
  for (int32_t i = 0; i < n; ++i) {
    // Moves and resizes alike: a split change that only shifts a pane must still move it.
    MoveWindowIfChanged(GetPaneControl(i), rects[i].x, rects[i].y, rects[i].w, rects[i].h, FALSE);
  }
  RefreshPaneDcs();
  // A new layout may have more panes: each is given its row before it is painted.
  AssignPaneEntries();
  // Panes moved without a repaint of their own: the render thread paints them where they are now;
  // with no rows (a load that found none) their own paint blanks them.
  if ((g_viewMode & 2) && g_listCount > 0) {
    g_paneRepaintRequest = 1;
  } else if ((g_viewMode & 2) && g_listCount == 0) {
    for (int32_t i = 0; i < n; ++i) InvalidateRect(GetPaneControl(i), nullptr, FALSE);
  }
}

void AssignPaneEntries() {
  const int32_t n = CurrentPaneCount();
  int32_t before[4] = {-1, -1, -1, -1};
  for (int32_t k = 0; k < n; ++k) before[k] = GetRowEntry(GetPaneOrderNumber(k));
  g_paneRequested[0] = g_cursorRow;
  for (int32_t k = 1; k < n; ++k) {
    int position = g_cursorRow;
    FindNextFlaggedEntry(&position, 1, k);
    g_paneRequested[k] = position;
  }
  for (int32_t slot = 0; slot < 8; ++slot) {
    const int32_t entry = GetMovieSlotEntry(slot);
    if (entry < 0) continue;
    bool shown = false;
    // A fixed pane keeps its own row: its movie plays on while the others page.
    for (int32_t k = 0; k < n; ++k) shown |= GetRowEntry(GetPaneOrderNumber(k)) == entry;
    if (!shown) ReleaseMovieSlot(entry);
  }
  // A movie left before it opened forgets its play request too: it does not start by itself
  // when its row comes back.
  for (int32_t k = 0; k < n; ++k) {
    ImageEntry* e = before[k] >= 0 && !IsEntryShownInPane(before[k]) ? EntryAt(before[k]) : nullptr;
    if (e && !(e->flags & kEntryMovieOpen)) e->flags &= static_cast<uint16_t>(~kEntryMovieUsePosition);
  }
  for (int32_t k = 0; k < 4; ++k)
    if (g_paneEntry[k] >= 0 && !IsEntryPresent(GetRowEntry(g_paneEntry[k]))) g_paneEntry[k] = -1;
}

void ResetPaneRows() {
  for (int32_t k = 0; k < 4; ++k) g_paneEntry[k] = g_paneRequested[k] = -1;
}

void SyncListSelectionWithView() {
  AssignPaneEntries();
  const int32_t focused = GetFocusedPaneIndex(1);
  if (g_viewMode == 2) {
    if (focused >= 0) g_rememberedPane = focused;
    g_focusedPane = focused >= 0 ? focused : 0;
  } else if (g_viewMode == 3 && focused >= 0) {
    ClearListSelection(GetListControl());
    g_rememberedPane = focused;
    g_focusedPane = focused;
    HWND list = GetListControl();
    if (!list) return;
    int32_t lo = g_cursorRow, hi = g_cursorRow;
    for (int32_t k = CurrentPaneCount() - 1; k >= 0; --k) {
      const int32_t row = GetPaneOrderNumber(k);  // a locked pane's own row
      if (row < 0) continue;
      LVITEMW item{};
      item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      item.state = row == g_cursorRow ? (LVIS_SELECTED | LVIS_FOCUSED) : LVIS_SELECTED;
      SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
      lo = lo < 0 || row < lo ? row : lo;
      hi = row > hi ? row : hi;
    }
    for (int32_t row : {lo, hi, g_cursorRow})
      if (row >= 0) SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
  }
}

static void StepImage(int32_t direction) {
  g_viewFocusEasing = 0;
  const int32_t n = CurrentPaneCount();
  for (int32_t attempt = 0; attempt < n + 2; ++attempt) {
    const int forward = direction > 0 ? 1 : 0;
    int found = g_cursorRow;
    const int result = FindNextMatchingEntry(&found, forward, 1);
    found = PagingTarget(g_cursorRow, forward, found, result, g_listCount, g_settings.stopPagingAtEnds != 0);
    if (found == g_cursorRow) break;
    g_cursorRow = found;
    ++g_cursorMoveCount;
    g_redrawFlag = 1;
    bool locked = false;
    for (int32_t k = 0; k < n; ++k) locked |= g_paneEntry[k] == g_cursorRow;
    if (!locked) break;
  }
  SyncListSelectionWithView();
}

void ShowNextImage() { StepImage(1); }
void ShowPreviousImage() { StepImage(-1); }

void HandleMouseWheel(WPARAM wParam) {
  const int32_t delta = static_cast<int16_t>(HIWORD(wParam));
  switch (DecideWheelAction(delta, g_zoomMode != 0, g_settings.wheelPagingWhenZoomed != 0,
                            g_settings.reverseWheelZoom != 0, g_settings.reverseWheelPaging != 0)) {
    case WheelAction::kMagnifyLess:
      --MagnificationStep;
      g_redrawFlag = 1;
      break;
    case WheelAction::kMagnifyMore:
      ++MagnificationStep;
      g_redrawFlag = 1;
      break;
    case WheelAction::kNextImage:
      g_nextImageRequest = 1;
      break;
    case WheelAction::kPreviousImage:
      g_previousImageRequest = 1;
      break;
    case WheelAction::kNone:
      break;
  }
}

static void StartZoom(bool fromLeftOnly) {
  g_zoomMode = 1;
  ZoomBaseStep = 10;
  g_zoomPointRequest = 1;
  g_redrawFlag = 1;
  FindPaneUnderCursor();
  if (fromLeftOnly && g_windowSlots[kSlotFileListPane])
    SendMessageW(g_windowSlots[kSlotFileListPane], WM_LBUTTONDOWN, 0, 0);
}

static void EndZoom() {
  g_viewerRefreshCountdown = 10;
  if (g_zoomMode) {
    g_zoomMode = 0;
    g_redrawFlag = 1;
  }
}

void UpdateZoomModeFromKeys() {
  const bool one = g_oneToOneByte != 0, dbl = g_doubleSizeByte != 0, left = g_leftHeldOnViewer != 0;
  if (!g_settings.keepZoomWhilePaging) {
    if (!one && !dbl && !left) {
      g_viewerRefreshCountdown = 10;
      EndZoom();
      return;
    }
    g_zoomDoubleSize = dbl ? 1 : 0;
    if (!g_zoomMode) StartZoom(left && !one && !dbl);
    return;
  }
  if (!one && !dbl && !left) g_zoomHoldLatch = 0;
  if (g_zoomHoldLatch || IsKeyHeld(VK_MENU) || (!one && !dbl && !left)) return;
  if (g_zoomMode) {
    if (left) return;
    if (one && g_zoomDoubleSize) {
      g_zoomDoubleSize = 0;
    } else if (dbl && !g_zoomDoubleSize) {
      g_zoomDoubleSize = 1;
    } else {
      EndZoom();
    }
    g_zoomHoldLatch = 1;
    g_redrawFlag = 1;
    return;
  }
  g_zoomDoubleSize = dbl ? 1 : 0;
  StartZoom(left && !one && !dbl);
  g_zoomHoldLatch = 1;
}

void UpdateMainMenuState() {
  HMENU menu = g_hwndMain ? GetMenu(g_hwndMain) : nullptr;
  if (!menu) return;
  const UINT ready = (g_listReadyFlag && g_entryCount > 0) ? MF_ENABLED : MF_GRAYED;
  for (UINT id : {32781u, 32783u, 32797u}) EnableMenuItem(menu, id, MF_BYCOMMAND | ready);
  EnableMenuItem(menu, 32777, MF_BYCOMMAND | (g_entryCount > 0 ? MF_ENABLED : MF_GRAYED));
}

// However a pane gets the keyboard focus (the wheel, a pan, Tab, the focus coming back), it is
// the current pane: the file actions, which take the pane with the keys, and the other commands
// on one picture never act on two different pictures.
static void NotePaneFocus(HWND pane) {
  for (int32_t k = 0; k < CurrentPaneCount(); ++k) {
    if (GetPaneControl(k) != pane) continue;
    g_rememberedPane = k;
    if (g_focusedPane == k) return;
    g_focusedPane = k;
    g_redrawFlag = 1;
    if (HWND list = GetListControl()) InvalidateRect(list, nullptr, FALSE);
    return;
  }
}

LRESULT CALLBACK ViewerPaneSubclassProc(HWND pane, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ERASEBKGND) return 0;
  if (message == WM_SETFOCUS) NotePaneFocus(pane);
  if (message == WM_PAINT) {
    // Only the viewer paints the panes: the static's own paint would lay grey over a picture.
    PAINTSTRUCT ps;
    BeginPaint(pane, &ps);
    EndPaint(pane, &ps);
    if ((g_viewMode & 2) && g_listCount > 0) g_paneRepaintRequest = 1;
    // The render thread leaves the panes of an empty list alone: they are blanked here.
    if (g_listCount == 0) PaintAllPanesBlank();
    return 0;
  }
  if (message == WM_MOUSEWHEEL) {
    HWND list = GetListControl();
    if (list && IsCursorOverWindow(list)) {
      SetFocusTo(list);
      return 1;
    }
  }
  return CallWindowProcW(g_previousPaneProc, pane, message, wParam, lParam);
}

LRESULT CALLBACK ListHeaderSubclassProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcW(g_previousHeaderProc, header, message, wParam, lParam);
}

void InstallPaneSubclasses(HWND fileListPane) {
  for (int id = 301; id <= 304; ++id) {
    HWND pane = GetDlgItem(fileListPane, id);
    if (!pane) continue;
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewerPaneSubclassProc)));
    if (!g_previousPaneProc) g_previousPaneProc = previous;
  }
  HWND list = GetDlgItem(fileListPane, 313);
  HWND header = list ? reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)) : nullptr;
  if (header && !g_previousHeaderProc)
    g_previousHeaderProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListHeaderSubclassProc)));
}
