// Custom draw of the navigation trees: the selected item of a tree without the keyboard focus
// keeps a text colour that can be read on the inactive selection fill.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Answer to NM_CUSTOMDRAW of a tree view (the dialog's DWLP_MSGRESULT).
LRESULT DrawTreeItemReadable(NMTVCUSTOMDRAW* draw);
