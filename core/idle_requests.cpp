#include "core/idle_requests.h"

uint8_t IdleReentryFlag = 0;
int32_t PendingSettingsPage = -2;
int32_t PendingCommand = 0;
HWND PendingCommandWindow = nullptr;
uint8_t g_treeRebuildRequest = 0;
uint8_t g_nextImageRequest = 0, g_previousImageRequest = 0;
uint8_t g_fullScreenRequest = 0, g_navigationToggleRequest = 0;
uint8_t g_styleToggleRequest = 0, g_toggleViewRequest = 0, g_rightWithLeftRequest = 0, g_mailRequest = 0;
int32_t g_mouseActionKey = 0;
int32_t g_collectionAddRequest = -1, g_favouritePick = -1, g_cacheHistoryPick = -1;
uint8_t g_focusRestoreRequest = 0;
HWND g_startupCompletionWindow = nullptr;
int32_t ShownEntry = -1;
volatile int32_t g_infoLineEntry = -2;
uint8_t g_viewFocusEasing = 0;
int32_t g_viewFocusIndex = 0;
float ScrollVelocityX = 0, ScrollVelocityY = 0;
int32_t ExposureShift = 0;
uint8_t g_oneToOneByte = 0, g_doubleSizeByte = 0;
int32_t g_displayType = 1;  // the overlay: 0 none, 1 information line, 2 date
uint8_t FileInfoRefreshFlag = 0;
uint8_t g_postedRelayoutRequest = 0;
int32_t g_listPaneHoldOff = 0;
int32_t g_lastHistogramRow = -1;
int32_t g_histogramTicks = 0;
