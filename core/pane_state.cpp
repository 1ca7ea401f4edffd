#include "core/pane_state.h"

#include "core/pure/window_counts.h"
#include "core/settings.h"

int32_t g_paneEntry[4] = {-1, -1, -1, -1};
int32_t g_paneRequested[4] = {-1, -1, -1, -1};
int32_t g_focusedPane = -1;
float g_zoomPointX[4], g_zoomPointY[4];
uint8_t g_zoomMode = 0, g_zoomDoubleSize = 0, g_zoomHoldLatch = 0, g_zoomPointRequest = 0;
int32_t g_cursorMoveCount = 0;
int32_t MagnificationStep = 0;
int32_t g_histogramCacheMode = 0, g_histogramKey = 0;
uint8_t g_panningActive = 0;
int32_t g_viewerRefreshCountdown = 0;
int32_t g_rememberedPane = -1;

int32_t CurrentPaneCount() { return PaneCountOfLayout(g_settings.splitLayout); }
