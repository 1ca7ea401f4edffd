// The text the next undo record receives: renames and rotations fill it before they report
// their history line, wherever in the program the file was renamed.
#pragma once

extern wchar_t g_pendingUndoPath[260];
