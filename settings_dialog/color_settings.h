// The program's 20 colour slots pushed into the open windows.
#pragma once
#include <cstdint>

// The slots as last pushed into the windows.
extern uint32_t g_appliedColors[20];

void ApplyColorSettings();
