#include "core/viewer_thread_state.h"

HANDLE g_renderThread = nullptr, g_prefetchThread = nullptr, g_rawViewerThread = nullptr;
volatile LONG g_renderState = 3, g_prefetchState = 3, g_rawViewerState = 3;
volatile int32_t PaneLastResult[4];
volatile int32_t RenderedRow = 0;
volatile uint8_t RenderPassDone = 0;
ImageEntry* volatile ViewerDevelopEntry = nullptr;
volatile int32_t DiscardDevelopmentEntry = -1;
