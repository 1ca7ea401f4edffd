// The viewer threads' handles and state words (0 running, 1 stop requested, 3 finished) and what
// they report.
#pragma once
#include <windows.h>
#include <cstdint>

struct ImageEntry;

extern HANDLE g_renderThread, g_prefetchThread, g_rawViewerThread;
extern volatile LONG g_renderState, g_prefetchState, g_rawViewerState;
extern volatile int32_t PaneLastResult[4];
// The cursor row when the render thread last painted a picture; the prefetch window's centre.
extern volatile int32_t RenderedRow;
extern volatile uint8_t RenderPassDone;
extern ImageEntry* volatile ViewerDevelopEntry;
// Entry number whose full development the user switched off (-1 none).
extern volatile int32_t DiscardDevelopmentEntry;
