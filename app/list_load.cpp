#include "app/list_load.h"

#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include <cwchar>
#include <string>

#include "actions/action_history.h"
#include "actions/raw_batch.h"
#include "browser/caption_favourites.h"
#include "browser/rebar_bands.h"
#include "browser/status_bar.h"
#include "browser/viewer_panes.h"
#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/idle_requests.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/list_helpers.h"
#include "core/main_window_state.h"
#include "core/memory.h"
#include "core/message_box.h"
#include "core/pure/catalogue_rules.h"
#include "core/stage_clock.h"
#include "core/thumbnail_list_thread.h"
#include "core/window_helpers.h"
#include "settings_dialog/color_settings.h"
#include "viewer/histogram.h"
#include "viewer/viewer_threads.h"

namespace {
bool s_loadedOnce = false;
}  // namespace

void LoadListContents(uint8_t force, uint8_t reload, int selectionMode) {
  if (g_listLoadBlocked == 1) return;
  if (!force && wcscmp(g_currentFolder, g_loadedFolderPath) == 0) return;
  if (g_listLoading) {
    if (!reload) {
      g_deferredLoadPending = 1;
      g_deferredLoadForce = force;
      g_deferredLoadDelay = kDeferredLoadTicks;
    }
    return;
  }
  g_listLoading = 1;
  EnterBusy();
  g_rawFailureArmed = 1;
  if (g_hwndMain) CaptureMouseWithCursor(g_hwndMain, IDC_WAIT);

  std::u16string checked;
  if (g_keepCheckMarks == 1) {
    for (int i = 0; i < g_entryCount; ++i) {
      ImageEntry* e = EntryAt(i);
      if (e && e->checked) {
        checked += e->path;
        checked += u'\n';
      }
    }
  }

  ClearActionHistory();
  ResetPaneRows();
  HWND list = GetFileListControl();
  if (list) ShowWindow(list, SW_HIDE);

  WaitRawDevelopWorker();
  StopThumbnailListThread();
  StopViewerThreads();
  SetRebarBandText(5, L"Loading");
  ClearHistogramCache();
  ResetMemoryPressure();

  if (reload) g_cacheDirty |= 2;
  if (g_savedRow != g_cursorRow && s_loadedOnce) g_cacheDirty |= 1;
  if (reload) {
    if (selectionMode == 1) {
      g_restoreRow = g_cursorRow >= 0 && g_cursorRow < g_entryCount ? g_displayOrder[g_cursorRow] : 0;
    } else {
      g_restoreRow = selectionMode == 2 ? g_cursorRow : 0;
    }
    g_savedRow = 0;
  } else {
    g_savedRow = (g_entryCount > 0 && g_cursorRow >= 0) ? g_cursorRow : 0;
    g_restoreRow = 0;
  }

  if (list) SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  {
    StageClock build(kClockCacheBuild);
    BuildFolderCache();
  }
  g_currentCollection = g_requestedCollection;
  g_listSource = g_requestedListSource;
  ReleaseFolderCache();
  FreeImageEntries();

  if (g_currentFolder[0]) {
    if (g_keepCheckMarks == 1) {
      g_keepCheckMarks = 0;
    } else if (reload) {
      AdoptFolderCache();
    } else {
      {
        StageClock write(kClockCacheWrite);
        WriteFolderCache();
      }
      StageClock read(kClockCacheRead);
      if (LoadFolderCache()) g_restoreRow = g_savedRow;
    }
    if (g_listSource == 0) {
      LoadFolderEntries(g_currentFolder);
    } else {
      LoadCollectionEntries();
    }
    if (!checked.empty()) {
      for (int i = 0; i < g_entryCount; ++i) {
        ImageEntry* e = EntryAt(i);
        if (ContainsLine(checked.c_str(), e->path, true)) e->checked = 1;
      }
    }
    g_regenerateAll = 0;
    wcsncpy(g_loadedFolderPath, g_currentFolder, kPathChars - 1);
    g_loadedFolderPath[kPathChars - 1] = 0;
  }

  StartThumbnailListThread();
  g_copyCount = g_moveCount = g_deleteCount = 0;
  UpdateMainCaption(L"");
  FillCacheHistoryCombo();
  g_relayoutFlag = 1;
  ReleaseMouseCapture();
  UpdateStatusCounters(14);
  HWND slider = g_bandControls[kBandSlider];
  if (slider) SendMessageW(slider, TBM_SETRANGE, TRUE, MAKELPARAM(1, g_entryCount));

  // The first load arms the idle loop's once-only start-up completion.
  if (!s_loadedOnce) g_startupCompletionWindow = g_hwndMain;
  s_loadedOnce = true;
  g_listLoading = 0;
  LeaveBusy();
}
