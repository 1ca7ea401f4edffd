// Dialog procedures of the child windows the main window creates. Their own behaviour
// (list view, trees, popups, movie strip) belongs to the panes' modules; here each one only
// keeps its window slot.
#include "browser/browse_panes.h"

#include <commctrl.h>

#include "browser/main_window.h"
#include "browser/viewer_panes.h"
#include "browser/window_slots.h"
#include "resources/resource.h"

namespace {
INT_PTR SlotDialog(HWND dialog, UINT message, int slot) {
  if (message == WM_INITDIALOG) {
    g_windowSlots[slot] = dialog;
    return TRUE;
  }
  if (message == WM_DESTROY && g_windowSlots[slot] == dialog) g_windowSlots[slot] = nullptr;
  return FALSE;
}
}  // namespace

INT_PTR CALLBACK MovieControlsProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  return SlotDialog(dialog, message, kSlotMovieControls);
}

HWND g_previewPopup = nullptr, g_histogramPopup = nullptr;
