// Where the keyboard focus is among the browsing controls (list 313, viewer panes 301..304).
#pragma once
#include <cstdint>

#include "browser/pure/focus_rules.h"
#include "core/pane_state.h"
#include "core/pure/window_counts.h"

int32_t GetFocusedPaneRow();
bool IsListFocused();
bool HasBrowsingFocus();
// Mode 0: 0 when no pane has the focus; 1: -1; 2: the remembered pane, clamped and kept.
int32_t GetFocusedPaneIndex(int mode);
int32_t FindRowOfEntry(int32_t entry);
