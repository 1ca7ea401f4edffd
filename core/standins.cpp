// Temporary definitions: see core/standins.h.
#include "core/standins.h"
#include "browser/rebar_bands.h"

#include <cstdlib>
#include <cwchar>

#include "core/image_entry_list.h"
#include "core/file_system.h"
#include "core/file_types.h"
#include "core/key_state.h"
#include "core/message_box.h"
#include "core/os_class.h"
#include "core/settings.h"


uint8_t g_tempCaption, g_gridShown;



volatile int32_t g_shownRowMarker = 0;




HWND g_extraOwnWindows[2] = {};
uint8_t g_viewSwitchRequest = 0;
uint8_t g_listThreadAskedSwitch = 0;
int32_t g_lastViewMode = 1;

// ---- entry list and list pane ----
uint8_t g_leftHeldOnViewer = 0;



// ---- services of the navigation pane's commands ----
uint8_t g_thumbnailSplitRequest = 0;
int32_t g_reloadSelectionMode = 0;
uint8_t g_entriesChanged = 0;
wchar_t g_monitorProfilePath[260], g_printerProfilePath[260];
volatile uint8_t g_screenProfileChanged = 0;
// Level 0 of an entry as the image pipeline makes it; until then only a level some other
// code put in counts as built.

