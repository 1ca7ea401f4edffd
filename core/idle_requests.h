// Requests any code raises and the idle loop serves on its next tick, and the display state it
// keeps between ticks.
#pragma once
#include <windows.h>
#include <cstdint>

extern uint8_t IdleReentryFlag;
extern int32_t PendingSettingsPage;
extern int32_t PendingCommand;
extern HWND PendingCommandWindow;
extern uint8_t g_treeRebuildRequest;
extern uint8_t g_nextImageRequest, g_previousImageRequest;
extern uint8_t g_fullScreenRequest, g_navigationToggleRequest;
extern uint8_t g_styleToggleRequest, g_toggleViewRequest, g_rightWithLeftRequest, g_mailRequest;
extern int32_t g_mouseActionKey;
extern int32_t g_collectionAddRequest, g_favouritePick, g_cacheHistoryPick;
extern uint8_t g_focusRestoreRequest;
extern HWND g_startupCompletionWindow;
extern int32_t ShownEntry;
// The entry the information line was last built for; -2 makes the next tick build it again.
extern volatile int32_t g_infoLineEntry;
extern uint8_t g_viewFocusEasing;
extern int32_t g_viewFocusIndex;
extern float ScrollVelocityX, ScrollVelocityY;
extern int32_t ExposureShift;
extern uint8_t g_oneToOneByte, g_doubleSizeByte;
extern int32_t g_displayType;
extern uint8_t FileInfoRefreshFlag;
extern uint8_t g_postedRelayoutRequest;
extern int32_t g_listPaneHoldOff;
// The row the histogram settle count belongs to (-1 after a reset) and the ticks it stayed.
extern int32_t g_lastHistogramRow, g_histogramTicks;
