// The main window's WM_COMMAND handler.
#pragma once
#include <windows.h>
#include <cstdint>

extern uint8_t g_rebarComboActive;  // a rebar combo box is in use: the full-screen rebar stays
extern uint8_t g_toolPopupOpen;
// True when the command was handled; the rest go to DefWindowProcW.
bool RunMainCommand(HWND window, WPARAM wParam, LPARAM lParam);
