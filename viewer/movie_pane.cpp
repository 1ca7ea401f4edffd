#include "viewer/movie_pane.h"

#include "core/app_globals.h"
#include "core/entry_queries.h"
#include "core/image_entry_list.h"
#include "core/list_helpers.h"
#include "core/settings.h"
#include "core/slideshow_state.h"
#include "core/pane_state.h"
#include "viewer/movie_player.h"

bool MovieWantsPane(ImageEntry* e) {
  if (!e || e->info.fileTypeFlag != kFileTypeMovie) return false;
  if (g_settings.movieAutoPlay || SlideshowRunning) SetEntryFlags(e, kEntryMovieUsePosition);
  return (e->flags & kEntryMovieUsePosition) != 0;
}

bool IsEntryShownInPane(int32_t entry) {
  if (entry < 0) return false;
  const int32_t panes = CurrentPaneCount();
  for (int32_t k = 0; k < panes; ++k)
    if (GetRowEntry(GetPaneOrderNumber(k)) == entry) return true;
  return false;
}

int32_t PaintMoviePane(HDC, HWND paneWindow, int32_t row, int32_t, int32_t, bool* opened) {
  *opened = false;
  const int32_t number = GetRowEntry(row);
  ImageEntry* e = number >= 0 ? EntryAt(number) : nullptr;
  if (e) {
    OpenMovieInPane(paneWindow, number);
    // The user may have paged on, or stopped the movie, while this paint was opening it: the
    // user-interface thread then found no movie to close, so it is closed here instead.
    if ((e->flags & kEntryMovieOpen) && (!IsEntryShownInPane(number) || !(e->flags & kEntryMovieUsePosition)))
      ReleaseMovieSlot(number);
    *opened = (e->flags & kEntryMovieOpen) != 0;
  }
  if (e && e->presence != kEntryVanished && (e->flags & kEntryRotated)) return 0;
  if (!(g_viewMode & 2) || !e || e->presence == kEntryVanished) return -2;
  return 1;
}
