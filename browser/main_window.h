// The main frame window: the one registered window class of the program.
#pragma once
#include <windows.h>
#include <cstdint>

extern HWND g_mainWindow;
extern uint8_t g_fullScreen;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
ATOM RegisterMainWindowClass(HINSTANCE instance);
uint8_t CreateMainWindow(HINSTANCE instance, int showCommand);
// Copies the window placement, the rebar bands and the list columns into the settings block.
void CollectWindowSettings();
