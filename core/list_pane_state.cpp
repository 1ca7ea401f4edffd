#include "core/list_pane_state.h"

uint16_t g_sortColumn = 0;
int16_t g_sortDescending = 0;
uint32_t g_reportViewFlag = 1;
LONG g_listHeaderStyle = 0;
uint8_t g_listSplitterDragging = 0;
HWND g_mouseCaptureOwner = nullptr;
uint8_t g_leftButtonDown = 0;
int32_t g_hoverRow = -1;
uint8_t g_deleteConfirmPending = 1;
uint8_t g_popupMenuOpen = 0;
uint8_t g_internalDropHandled = 0;
volatile uint8_t g_paneRepaintRequest = 0;
uint8_t g_panState = 0;
HDC g_panelDcs[4] = {};
int32_t g_lastSortColumn = -1;
uint8_t g_sortDescendingNext = 0;
