#include "app/program_hooks.h"

#include "actions/action_history.h"
#include "actions/batch_rename.h"
#include "app/list_load.h"
#include "browser/collections.h"
#include "browser/focus_queries.h"
#include "browser/icon_lists.h"
#include "browser/list_order.h"
#include "browser/list_rows.h"
#include "browser/rebar_bands.h"
#include "browser/viewer_panes.h"
#include "core/list_hooks.h"
#include "viewer/movie_player.h"
#include "viewer/viewer_threads.h"

void InstallListHooks() {
  g_listHooks.loadListContents = &LoadListContents;

  g_listHooks.stopViewerThreads = &StopViewerThreads;
  g_listHooks.startViewerThreads = &StartViewerThreads;
  g_listHooks.releaseAllMovieSlots = &ReleaseAllMovieSlots;

  g_listHooks.clearEntryUndoList = &ClearEntryUndoList;
  g_listHooks.addActionHistoryEntry = &AddActionHistoryEntryWithUndo;
  g_listHooks.renameInProgress = [] { return RenameInProgress != 0; };

  g_listHooks.currentCollectionList = &CurrentCollectionList;
  g_listHooks.setCollectionList = &SetCollectionList;
  g_listHooks.collectionName = [](int index) -> const wchar_t* {
    if (!g_collections || index < 0 || index >= g_collectionCount) return nullptr;
    return g_collections[index].name;
  };

  g_listHooks.clearListSelection = &ClearListSelection;
  g_listHooks.transferListSelection = &TransferListSelection;
  g_listHooks.getFocusedPaneIndex = &GetFocusedPaneIndex;
  g_listHooks.syncListSelectionWithView = &SyncListSelectionWithView;
  g_listHooks.insertListRow = &InsertListRow;
  g_listHooks.drawThumbnailPlaceholders = &DrawThumbnailPlaceholders;

  g_listHooks.rebarWindow = [] { return g_hwndRebar; };
  g_listHooks.progressBar = [] { return g_bandControls[kBandProgress]; };
  g_listHooks.setRebarBandText = &SetRebarBandText;
  g_listHooks.fillCacheHistoryCombo = &FillCacheHistoryCombo;
}
