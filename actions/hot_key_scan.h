// The idle loop's scan of the action table for pressed hot keys.
#pragma once
#include <cstdint>

extern int32_t g_lastFiredKey;
// currentTarget: the list or a viewer pane has a current entry in focus.
void RunHotKeyScan(bool currentTarget);
