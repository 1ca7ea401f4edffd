// The program's 20 colour slots, their page, and their push into the open windows.
#pragma once
#include <windows.h>
#include <cstdint>
#include "core/pure/settings_records.h"

// The slots as last pushed into the windows.
extern uint32_t g_appliedColors[20];
// The colour chooser's custom colours (not saved).
extern COLORREF CustomColors[16];

void ApplyColorSettings();
void ResetColorSettings();
// The shared colour chooser: the chosen colour, or the given one when cancelled.
COLORREF PickColor(HWND owner, COLORREF colour);
