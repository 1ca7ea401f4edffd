#include "core/main_window_state.h"

HWND g_hwndMain = nullptr;
HWND g_statusBar = nullptr;
uint8_t FullScreenFlag = 0;
uint8_t g_treeHidden = 0;
volatile uint8_t g_redrawFlag = 0;
volatile uint8_t g_relayoutFlag = 0;
int32_t g_listStyleValue = 1;
