// The file list's shared state: its style, mouse and menu state, the panes' drawing contexts and
// the sort order.
#pragma once
#include <windows.h>
#include <cstdint>

extern uint32_t g_reportViewFlag;  // 1 detail style, 0 thumbnail style
extern LONG g_listHeaderStyle;
extern uint8_t g_listSplitterDragging, g_leftButtonDown, g_popupMenuOpen, g_internalDropHandled;
extern uint8_t g_deleteConfirmPending;
extern HWND g_mouseCaptureOwner;
extern int32_t g_hoverRow;
extern volatile uint8_t g_paneRepaintRequest;
extern uint8_t g_panState;
extern HDC g_panelDcs[4];
extern int32_t g_lastSortColumn;
extern uint8_t g_sortDescendingNext;
extern uint16_t g_sortColumn;
extern int16_t g_sortDescending;

// Posted by the list thread to the file list: the list's own thread shows the pass's count. The
// worker no longer waits on the rebar's layout (a sent message) while the window paints.
constexpr UINT ShowProgressMessage = WM_APP + 103;
