// Where the keyboard focus is among the browsing controls (list 313, viewer panes 301..304).
#pragma once
#include <cstdint>
#include <vector>

#include "browser/pure/focus_rules.h"
#include "core/pane_state.h"
#include "core/pure/window_counts.h"

// The row of the pane that holds the keyboard focus (-1 while the focus is elsewhere): the
// file actions' target.
int32_t GetFocusedPaneRow();
// The row of the current pane, g_focusedPane: the one the viewer frames and the list marks,
// which holds the focus or last held it; -1 when there is none. The other commands on one
// picture act on it, and their buttons and the status bar follow it.
int32_t GetCurrentPaneRow();
// The picture such a command takes: the cursor row while the list has the focus, else the
// current pane's row.
int32_t GetCurrentPictureRow();
// The rows a command acts on, by its kind: the list's selection while the list has the focus,
// else for a file action (recycle, undo, lossless rotation, wallpaper, mail) the row of the pane
// with the keys, and for the other commands on pictures (turns, properties, clipboard, GPS) the
// current pane's row. Their buttons and menu items ask the First... form (-1: no target), so
// nothing is enabled that its command would not act on.
std::vector<int> GetFileActionRows();
int32_t FirstFileActionRow();
std::vector<int> GetPictureCommandRows();
int32_t FirstPictureCommandRow();
bool IsListFocused();
bool HasBrowsingFocus();
// Mode 0: 0 when no pane has the focus; 1: -1; 2: the remembered pane, clamped and kept.
int32_t GetFocusedPaneIndex(int mode);
