// The worker that fills the file list with metadata and thumbnails, and the start and stop
// protocol that every worker thread follows.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

struct ImageEntry;

extern uint8_t g_listPassComplete;  // 0 while a pass runs
extern uint8_t g_listBuilt;         // the rows are in the list
extern uint8_t g_listRowsShown;     // every row of the pass shows its pictures (its entries may still be finishing)
extern uint8_t g_listReadyFlag;     // the current list is finished: sorting and the header wait for it
// A display row the next pass starts from (-1 none); a new request restarts a running pass.
extern volatile int32_t g_listNextRowRequest;
// Set when rows were added or must be rendered again: the idle worker starts a new pass.
extern volatile uint8_t g_listChanged;
extern DWORD g_threadIdSink;
extern const int kThreadPriorityTable[4];

void StartThumbnailListThread();
// Asks the worker to stop and pumps messages until it has.
void StopThumbnailListThread();
bool ListThreadStopRequested();
// Renders one entry into the large list at n and the small list at 2n (thumbnail) and 2n + 1
// (histogram); false when level 0 could not be made. With high-resolution thumbnails on, the
// entry's preview is the source, and without one nothing is rendered (still true).
bool RenderEntryThumbnail(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n);
// A row from the loaded cache file drawn from the file's stored pixels alone, as the pass draws
// it: its boxes and its histogram box into the lists, without level 0 or the histogram picture,
// which FinishCachedRow makes. False, with nothing drawn, for a row that must take
// RenderEntryThumbnail's road. Under the image lock.
bool DrawCachedRow(HIMAGELIST smallList, HIMAGELIST largeList, ImageEntry* entry, int n);
// Under the image lock: level 0 and the histogram picture of a row DrawCachedRow drew.
void FinishCachedRow(ImageEntry* entry);
// The boxes a thread draws rows into are kept from row to row; a thread that drew rows lets go of
// them before it ends (the list thread and its workers do), and before GDI+ is shut down.
void ReleaseRowCanvases();
void RefreshIndexPrintDialog();
void RestoreListHeader();
