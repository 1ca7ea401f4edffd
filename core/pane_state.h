// The viewer panes' shared state: the rows they show, the focused pane, zoom and pan.
#pragma once
#include <windows.h>
#include <cstdint>

// Per pane: the row locked to it, and the row the cursor asks of it (-1 none).
extern int32_t g_paneEntry[4];
extern int32_t g_paneRequested[4];
extern int32_t g_focusedPane;
extern int32_t g_rememberedPane;
extern float g_zoomPointX[4], g_zoomPointY[4];
extern uint8_t g_zoomMode, g_zoomDoubleSize, g_zoomHoldLatch, g_zoomPointRequest;
extern int32_t g_cursorMoveCount;
extern int32_t MagnificationStep;
extern int32_t g_histogramCacheMode, g_histogramKey;
extern uint8_t g_panningActive;
extern int32_t g_viewerRefreshCountdown;

// The pane count of the split layout in the settings.
int32_t CurrentPaneCount();
