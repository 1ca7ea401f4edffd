// The main window's handles and the display state every subsystem reads: full screen, the hidden
// tree, the redraw and relayout requests, the list style and the client size.
#pragma once
#include <windows.h>
#include <cstdint>

extern HWND g_hwndMain;
extern HWND g_statusBar;
extern uint8_t FullScreenFlag;
extern uint8_t g_treeHidden;
extern volatile uint8_t g_redrawFlag;
extern volatile uint8_t g_relayoutFlag;
extern int32_t g_listStyleValue;

// Private WM_COMMAND ids the windows of the browsing surface send each other.
constexpr int kRefreshCommand = 112;
constexpr int kStyleToggleCommand = 113;
constexpr int kUpdateEntryRowCommand = 116;
constexpr UINT_PTR kIdleTimerId = 0x7fff;
