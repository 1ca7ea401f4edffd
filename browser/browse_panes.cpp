// Dialog procedures of the child windows the main window creates. Their own behaviour
// (list view, trees, popups, movie strip) belongs to the panes' modules; here each one only
// keeps its window slot.
#include "browser/browse_panes.h"

#include <commctrl.h>

#include "browser/main_window.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "resources/resource.h"

HWND g_previewPopup = nullptr, g_histogramPopup = nullptr;
