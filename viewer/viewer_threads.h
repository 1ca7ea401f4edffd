// The viewer's worker threads: the pane render thread, the prefetch thread that prepares the
// shown pictures and a memory-adaptive window around them, and the RAW development thread.
#pragma once
#include <windows.h>
#include <cstdint>

struct ImageEntry;

// Handles and state words (0 running, 1 stop requested, 3 finished).
extern HANDLE g_renderThread, g_prefetchThread, g_rawViewerThread;
extern volatile LONG g_renderState, g_prefetchState, g_rawViewerState;

extern volatile int32_t PaneLastResult[4];
// The cursor row when the render thread last painted a picture; the prefetch window's centre.
extern volatile int32_t RenderedRow;
extern volatile uint8_t RenderPassDone;
extern ImageEntry* volatile ViewerDevelopEntry;
// Entry number whose full development the user switched off (-1 none).
extern volatile int32_t DiscardDevelopmentEntry;
// The prefetch window radius.
extern volatile int32_t g_prefetchRadius;

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
