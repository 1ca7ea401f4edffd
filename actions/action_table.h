// The action table inside the settings block and the per-key confirmation state.
#pragma once
#include <cstdint>

#include "actions/pure/action_table.h"

// 0 nothing to confirm, 1 bound (asked at first use), 2 changed (asked at next use).
extern int32_t g_keyActionState[kActionKeyCount];
// The row of the settings block, nullptr at or beyond the row count.
ActionEntry* ActionRowAt(int32_t row);
int32_t ActionRowCount();
// Disables rows the settings file holds out of range, then marks every bound key to be asked.
void RebuildActionKeyTable();
