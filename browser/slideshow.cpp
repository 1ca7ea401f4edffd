#include "browser/slideshow.h"

#include <windows.h>

#include "browser/idle_loop.h"
#include "browser/main_window.h"
#include "core/settings.h"
#include "core/app_globals.h"
#include "browser/toolbar_state.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "core/image_entry_list.h"
#include "core/entry_queries.h"
#include "core/list_helpers.h"
#include "metadata/pure/image_info.h"
#include "viewer/movie_ids.h"
#include "viewer/movie_player.h"

namespace {
int32_t g_savedViewMode;
uint8_t g_savedFullScreen, g_savedTreeHidden;

// The requests are toggles: a stop that comes before the idle loop served the start's
// request cancels it instead of being lost in the same byte.
void Toggle(uint8_t& request) { request ^= 1; }
}  // namespace

void StartSlideshow() {
  if (SlideshowRunning) return;
  g_savedViewMode = g_viewMode;
  g_savedFullScreen = FullScreenFlag;
  g_savedTreeHidden = g_treeHidden;
  if (!(g_viewMode & 2)) Toggle(g_toggleViewRequest);
  if (!FullScreenFlag) Toggle(g_fullScreenRequest);
  if (!g_treeHidden) Toggle(g_navigationToggleRequest);
  SlideshowRunning = 1;
  SlideshowStartTick = GetTickCount();
  UpdateToolbarButtons(1);
}

void StopSlideshow(int, int) {
  if (!SlideshowRunning) return;
  if (!(g_savedViewMode & 2)) Toggle(g_toggleViewRequest);
  if (!g_savedFullScreen) Toggle(g_fullScreenRequest);
  if (!g_savedTreeHidden) Toggle(g_navigationToggleRequest);
  // Movies the slideshow set playing close back to their still pictures; the running flag goes
  // first so that the repaint does not set them playing again.
  SlideshowRunning = 0;
  if (g_viewMode & 2) {
    for (int32_t k = 0; k < CurrentPaneCount(); ++k) {
      const int32_t number = GetRowEntry(GetPaneOrderNumber(k));
      ImageEntry* e = number >= 0 && number < g_entryCount ? EntryAt(number) : nullptr;
      if (!e || e->info.fileTypeFlag != kFileTypeMovie || (e->flags & kEntryMovieNoCodec)) continue;
      g_movieEntry = number;
      if ((e->flags & kEntryMovieUsePosition) && g_windowSlots[kSlotMovieControls])
        SendMessageW(g_windowSlots[kSlotMovieControls], WM_COMMAND, IDC_MOVIE_REWIND, 0);
    }
  }
  UpdateToolbarButtons(1);
}
