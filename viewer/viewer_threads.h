// The viewer's worker threads: the pane render thread, the prefetch thread that prepares the
// shown pictures and a memory-adaptive window around them, and the RAW development thread.
#pragma once
#include <windows.h>
#include <cstdint>

#include "core/viewer_thread_state.h"

struct ImageEntry;



void StartViewerThreads();
// Stops the prefetch and render threads and waits for a running RAW development, pumping
// messages meanwhile, so that entries can be freed afterwards.
void StopViewerThreads();
bool IsPaneRenderThreadRunning();

bool NeedsFullDevelopment(ImageEntry* entry, int32_t row);
// Pumps until the development thread finished and closes its handle; false when there was none.
bool WaitViewerDevelopThread();
void StartViewerDevelopThread();


unsigned __stdcall PaneRenderThreadProc(void*);
unsigned __stdcall PrefetchThreadProc(void*);
unsigned __stdcall ViewerDevelopThreadProc(void*);
