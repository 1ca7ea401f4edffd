// What the catalogue, the folder watcher and the list helpers need of the subsystems above core:
// the viewer threads, the panes, the list rows, the undo records. The program installs them at
// start-up.
#pragma once
#include <windows.h>
#include <cstdint>

struct ListHooks {
  // The whole list load (threads stopped, panes reset, entries read, caption and status shown).
  void (*loadListContents)(uint8_t force, uint8_t reload, int selectionMode);

  // No viewer thread or movie may hold an entry that is about to be freed.
  void (*stopViewerThreads)();
  void (*startViewerThreads)();
  void (*releaseAllMovieSlots)();

  // The entry's undo steps, and the action history's record of a rename made outside the program.
  void (*clearEntryUndoList)(int32_t entry);
  int32_t (*addActionHistoryEntry)(int32_t entry, int32_t kind, int32_t source, int32_t result,
                                   const wchar_t* undoText);
  bool (*renameInProgress)();     // the program's own renames, which the folder watcher drops

  // The collection shown: its path list, and the name its cache file is called by (null when
  // the index names none).
  const wchar_t* (*currentCollectionList)();
  bool (*setCollectionList)(int index, const wchar_t* text);
  const wchar_t* (*collectionName)(int index);

  // The file list's rows and selection, and the viewer panes that follow it.
  void (*clearListSelection)(HWND list);
  bool (*transferListSelection)(bool toEntries);
  int32_t (*getFocusedPaneIndex)(int mode);
  void (*syncListSelectionWithView)();
  int (*insertListRow)(HWND list, int index);
  void (*drawThumbnailPlaceholders)();

  // The band bar: its window, the progress band and the cache-history combo.
  HWND (*rebarWindow)();
  HWND (*progressBar)();
  void (*setRebarBandText)(int32_t bandId, const wchar_t* text);
  void (*fillCacheHistoryCombo)();
};
extern ListHooks g_listHooks;
