#include "browser/window_slots.h"

HWND g_windowSlots[kWindowSlotCount];
