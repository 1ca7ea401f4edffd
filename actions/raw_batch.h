// The RAW development batch of actions of kind 7 (to TIFF) and 8 (to JPEG): the chosen RAW
// entries are copied, developed one at a time on a worker thread at full size, saved into the
// action's folder with their Exif items, and recorded in the action history.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/pure/image_entry.h"

// 1 when the progress dialog was opened.
int32_t StartRawDevelopBatch(int32_t row);
INT_PTR CALLBACK RawDevelopProgressDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void StartRawDevelopWorker();
// Returns once no worker runs, pumping messages meanwhile.
void WaitRawDevelopWorker();
bool RawDevelopBatchRunning();

// The batch state (one batch at a time). A slot holds its own copy of a chosen entry (path,
// information, flags; no picture, stream or undo pointer); the slots are in entry-number order
// and g_rawBatchNumbers holds each one's entry number.
extern ImageEntry* g_rawBatchCopies;
extern int32_t* g_rawBatchNumbers;
extern int32_t g_rawBatchSlotCount, g_rawBatchTotal, g_rawBatchDone, g_rawBatchActionRow, g_rawBatchNext;
extern wchar_t g_rawBatchFolder[260];
extern uint8_t g_rawBatchAbort;
extern int32_t g_rawBatchTicks;
extern ImageEntry g_rawBatchCurrent;
extern ImageEntry* g_rawBatchEntry;
extern HANDLE g_rawBatchThread;
extern volatile int32_t g_rawBatchState;

// Output path of the entry's development: folder and file name, the extension in the name
// (not in a folder) replaced by ".tiff" (kind 7) or ".jpg" (kind 8). False for another kind,
// a name without '.', or a path too long.
bool RawBatchOutputPath(const wchar_t* folder, const wchar_t* name, int32_t kind, wchar_t* out);
