// The text the next undo record receives: renames and rotations of the interface thread fill it
// before they report their history line. Other threads pass their own text with the line.
#pragma once

extern wchar_t g_pendingUndoPath[260];
