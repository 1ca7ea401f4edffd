// Services the start-up sequence calls whose own code is not written yet. Each one moves to
// its own header when it is built, and its temporary definition leaves core/standins.cpp.
#pragma once
#include <windows.h>
#include <cstdint>

#include "browser/collections.h"
#include "browser/focus_queries.h"
#include "browser/list_order.h"
#include "browser/list_rows.h"
#include "browser/menus.h"
#include "browser/numlock.h"
#include "browser/rebar_bands.h"
#include "browser/slideshow.h"
#include "browser/tooltips.h"
#include "browser/viewer_panes.h"
#include "browser/status_bar.h"
#include "browser/caption_favourites.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "core/image_pipeline.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "core/window_helpers.h"
#include "browser/navigation_pane.h"
#include "browser/shell_tree.h"
#include "core/thumbnail_list_thread.h"
#include "actions/action_history.h"
#include "viewer/histogram.h"
#include "viewer/viewer_paint.h"
#include "viewer/viewer_threads.h"
#include "actions/batch_rename.h"
#include "actions/media_split.h"


// Records and services of the entry list, the panes, the collections and the main window that
// the rebar, menus and focus queries read; their owners replace these.
extern uint8_t g_tempCaption, g_gridShown;

// ---- Services the entry list and the list helpers call ----
struct ImageEntry;


extern volatile int32_t g_shownRowMarker;

// Undo arrays are malloc'd blocks of undoCount records.



// The two windows of the program held outside the slot table.
extern HWND g_extraOwnWindows[2];
// View switching state of the main window and the list thread.
extern uint8_t g_viewSwitchRequest;
extern uint8_t g_listThreadAskedSwitch;
extern int32_t g_lastViewMode;

// Entry list, list navigation and list pane services.
extern uint8_t g_leftHeldOnViewer;



// Action engine, thumbnail cache and colour settings services of the navigation pane.
// Kind 3 copy, 4 move; result 0 failed, 1 done, 2 skipped.

// The viewer's side of the main-window commands: the RAW development worker's state (3 idle),
// the release hand-over and its done signal (-1), the thumbnail-split request, the reload
// selection mode of the next refresh, the entries-changed byte and the colour profiles.
extern uint8_t g_thumbnailSplitRequest;
extern int32_t g_reloadSelectionMode;
extern uint8_t g_entriesChanged;
extern wchar_t g_monitorProfilePath[260], g_printerProfilePath[260];
extern volatile uint8_t g_screenProfileChanged;

