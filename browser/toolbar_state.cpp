#include "browser/toolbar_state.h"

#include <windows.h>
#include <commctrl.h>

#include "browser/main_window.h"
#include "browser/pure/command_states.h"
#include "browser/rebar_bands.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/settings.h"
#include "browser/focus_queries.h"
#include "browser/slideshow.h"
#include "browser/tooltips.h"
#include "core/entry_queries.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/thumbnail_list_thread.h"

uint8_t g_splitInformation = 0;
uint8_t g_rawToggleRunning = 0;

namespace {
int32_t g_wanted[kToolbarCommandCount];
int32_t g_applied[kToolbarCommandCount];
bool g_statesInitialised = false;

void EnsureInitialised() {
  if (g_statesInitialised) return;
  for (int i = 0; i < kToolbarCommandCount; ++i) {
    g_wanted[i] = 0;
    g_applied[i] = -1;
  }
  g_statesInitialised = true;
}

void Check(int32_t id, bool pressed) {
  if (HWND tb = CommandToolbar()) SendMessageW(tb, TB_CHECKBUTTON, id, MAKELPARAM(pressed ? 1 : 0, 0));
}
void Enable(int32_t id, bool enabled) {
  if (HWND tb = CommandToolbar()) SendMessageW(tb, TB_ENABLEBUTTON, id, MAKELPARAM(enabled ? 1 : 0, 0));
}
bool HasCursorRow() { return g_listCount > 0 && g_cursorRow >= 0; }
}  // namespace

int32_t AppliedCommandState(int32_t commandId) {
  int32_t i = ToolbarCommandIndex(commandId);
  return (i < 0 || !g_statesInitialised) ? -1 : g_applied[i];
}

void ApplyCommandStates() {
  EnsureInitialised();
  HWND toolbar = CommandToolbar();
  for (int i = 0; i < kToolbarCommandCount; ++i) {
    if (g_wanted[i] == g_applied[i]) continue;
    g_applied[i] = g_wanted[i];
    HWND focus = GetFocus();
    // A button that loses its enabled state while focused would strand the keyboard focus.
    if (toolbar && focus && GetParent(focus) == toolbar && GetDlgCtrlID(focus) == kToolbarCommandIds[i] && g_hwndRebar)
      SetFocus(g_hwndRebar);
    Enable(kToolbarCommandIds[i], g_wanted[i] != 0);
  }
}

void ComputeCommandStates() {
  EnsureInitialised();
  CommandStateInput in{};
  in.indexPrintOpen = g_windowSlots[kSlotIndexPrint] != nullptr;
  in.rawProgressOpen = g_windowSlots[kSlotRawProgress] != nullptr;
  in.listHasRows = g_listCount > 0;
  in.searchOpen = g_windowSlots[kSlotSearch] || g_windowSlots[kSlotSearchProgress];
  in.splitInformation = g_splitInformation != 0;
  in.hasCursorRow = HasCursorRow();
  in.listFullyLoaded = g_listReadyFlag != 0;
  in.viewerShown = (g_viewMode & 2) != 0;
  in.rawToggleRunning = g_rawToggleRunning != 0;
  in.pictureIsRaw = in.hasCursorRow && IsRawEntry(GetRowEntry(GetCurrentPictureRow()));
  in.fileActionTarget = FirstFileActionRow() >= 0;
  in.pictureTarget = FirstPictureCommandRow() >= 0;
  if (in.hasCursorRow) {
    if (IsListFocused()) {
      HWND list = GetListControl();
      for (int row = -1; list && !(in.canCheck && in.canUncheck) &&
                         (row = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
        const int32_t entry = GetRowEntry(row);
        if (entry < 0) continue;
        (IsEntryChecked(entry) ? in.canUncheck : in.canCheck) = true;
      }
    } else {
      const int32_t entry = GetRowEntry(GetCurrentPaneRow());
      in.canCheck = entry >= 0 && !IsEntryChecked(entry);
      in.canUncheck = entry >= 0 && IsEntryChecked(entry);
    }
  }
  for (int32_t e = 0; e < g_entryCount && !in.anyEntryChecked; ++e) in.anyEntryChecked = IsEntryChecked(e);
  ComputeWantedCommandStates(in, g_wanted);
  ApplyCommandStates();
}

void UpdateToolbarButtons(uint32_t flags) {
  EnsureInitialised();
  if (flags & 1) {
    Check(332, SlideshowRunning != 0);
    Check(328, FullScreenFlag != 0);
    Check(302, g_treeHidden == 0);
    const int i240 = ToolbarCommandIndex(240);
    g_wanted[i240] = HasCursorRow() && FirstFileActionRow() >= 0 ? 1 : 0;
    g_applied[i240] = -1;
    ApplyCommandStates();
  }
  if (flags & 2) {
    Check(304, g_gridShown != 0);
    if (g_viewMode & 2) {
      Check(225, g_settings.keepZoomWhilePaging != 0);
      Check(226, g_settings.loupeEnabled != 0);
    } else {
      Check(225, false);
      Check(226, false);
      Enable(225, false);
      Enable(226, false);
    }
  }
  if (flags & 4) {
    bool pressed = g_viewMode == 3 ? GetFocusedPaneIndex(1) >= 0 : (g_viewMode & 2) != 0;
    Check(334, pressed);
    Check(340, g_viewMode == 3);
  }
  if (flags & 8) {
    const int32_t entry = GetRowEntry(GetCurrentPictureRow());
    const int i337 = ToolbarCommandIndex(337), i556 = ToolbarCommandIndex(556);
    g_wanted[i337] = entry >= 0 && IsRawEntry(entry) ? 1 : 0;
    g_applied[i337] = -1;
    ApplyCommandStates();
    Check(337, g_wanted[i337] != 0 && IsCommandToggledOn(337));
    g_wanted[i556] = HasCursorRow() && FirstPictureCommandRow() >= 0 ? 1 : 0;
  }
  if (flags & 0x10) {
    g_wanted[ToolbarCommandIndex(276)] = (g_windowSlots[kSlotSearch] || g_windowSlots[kSlotSearchProgress]) ? 0 : 1;
  }
}
