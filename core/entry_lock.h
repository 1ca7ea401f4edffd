// The lock of the entries' undo lists and paths, which the folder watcher on the list thread and
// the interface thread both change, and the list of everything the other threads write.
//
// Written off the interface thread (list thread and its row workers, the folder watcher on the
// list thread, prefetch, pane render, viewer RAW development, RAW batch worker, search, the
// bounded helper calls), and what keeps two writers apart:
// - entry undo records, count and current index, path and name pointer; the action history's
//   line count: EntryUndoLock (watcher's rename and revive; the interface thread's actions, undo
//   and renames).
// - entry flags, presence byte, development mode: one atomic step each (SetEntryFlags and the
//   others in core/pure/image_entry.h).
// - entry levels (images, blocks, streams), view reduction, full-level size, Exif turns, histogram
//   picture, movie thumbnail second: "sema" (level 2 made under "sema_raw" and freed under both,
//   as the panes draw it under "sema"); the interface thread's orientation change takes "sema" too.
// - entry information: filled by a row worker before the read flag is set (nobody else writes an
//   unread record); afterwards the picture sizes and histogram counts by the list thread and its
//   workers, and the interface thread's refill of the whole record, only under "sema". Its other
//   fields, the check mark, the user turns, the media number and the movie position and slot:
//   the interface thread alone (movie slots under "sema_mov").
// - g_entryCount, g_entryPointers: appended by the watcher (the entry stored before the count);
//   otherwise changed only while the list thread is stopped.
// - g_cacheDirty: atomic. g_listProcessedRows, g_resourceShortageCount: interlocked.
// - g_listNextRowRequest: set only when none is pending (compare-exchange), taken by exchange.
// - worker state words: 0 by the starter before the thread exists, 1 only from 0
//   (RequestWorkerStop), 3 by the worker.
// - MemoryPressureLimit, g_histogramBudget, g_rawFailureArmed: compare-exchange or exchange.
// - request bytes (g_listChanged, g_redrawFlag, g_relayoutFlag, g_paneRepaintRequest,
//   g_folderReloadRequest, g_treeRebuildRequest, g_screenProfileChanged): set by anyone, cleared by
//   their one consumer before it acts, so a set that meets the clear is served by the act.
// - list-pass bytes (g_listPassComplete, g_listBuilt, g_listRowsShown, g_listReadyFlag) and the
//   markers g_infoLineEntry and ShownEntry: whole stores; the interface thread stores them only
//   while the list thread is stopped or as a marker the thread is meant to overwrite.
// - viewer reports (RenderedRow, RenderPassDone, PaneLastResult, g_prefetchRadius,
//   MemoryCheckedRow, ViewerDevelopEntry, DiscardDevelopmentEntry): whole stores; the discard is a
//   hand-over the interface thread waits out.
// - pane drawing state, back buffer, pane device contexts, histogram cache: "sema".
// - the metadata reader's shared buffers and GPS position: "sema_interp"; the decoder: "sema_dec".
// - the watcher's own-rename list, the redraw range, the histogram background, the stage clocks,
//   the fitted-picture table, the row workers' queue: their own locks beside them.
// - search counters and results, the RAW batch's entry copy: their worker alone while it runs.
#pragma once
#include <windows.h>

// Guards every entry's undo list (records, count, current index), its path and name pointer, and
// the action history's line count. Held only for copies and stores: never across a sent message,
// a file operation, a wait or a message box.
class EntryUndoLock {
 public:
  EntryUndoLock();
  ~EntryUndoLock();
  EntryUndoLock(const EntryUndoLock&) = delete;
  EntryUndoLock& operator=(const EntryUndoLock&) = delete;
};
