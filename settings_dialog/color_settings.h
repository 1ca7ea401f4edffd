// The program's 20 colour slots pushed into the open windows.
#pragma once
#include <windows.h>
#include <cstdint>

// The slots as last pushed into the windows.
extern uint32_t g_appliedColors[20];

void ApplyColorSettings();
// The colour chooser (full, with the process-wide custom colours): the chosen colour, or the
// given one when the user cancels. Colours are COLORREF.
uint32_t PickColor(HWND owner, uint32_t color);
