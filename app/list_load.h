// Loading the list of the folder or collection asked for: the viewer and list threads stop, the
// panes and the action history are reset, the thumbnail cache of the list being left is written,
// the entries are read, and the caption, combos and status show the new list.
#pragma once
#include <cstdint>

// force 0 skips a folder that is loaded already; reload 1 keeps the list's state in memory and
// selects by selectionMode: 0 the first row, 1 the same entry's row, 2 the same row number.
void LoadListContents(uint8_t force, uint8_t reload, int selectionMode);
