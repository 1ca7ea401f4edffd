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

void TrackFileDrag(HWND, int, int) {}
int FinishFileDrag(HWND) { return 0; }
void OpenDragPopups(HWND) {}

uint8_t g_tempCaption, g_gridShown;



void ReleaseAllMovieSlots() {}
volatile int32_t g_shownRowMarker = 0;

void WaitRawDevelopWorker() {}

HGLOBAL GrabMovieFrame(ImageEntry*, int, int, int) { return nullptr; }
bool ReadMovieSizeAndDuration(ImageEntry*) { return false; }


HWND g_extraOwnWindows[2] = {};
uint8_t g_viewSwitchRequest = 0;
uint8_t g_listThreadAskedSwitch = 0;
int32_t g_lastViewMode = 1;

// ---- entry list and list pane ----
uint8_t g_leftHeldOnViewer = 0;
uint8_t g_fileDragActive = 0;

// ---- menus, slideshow, collections, viewer, actions ----
void UpdateMovieControls() {}
void ReleaseMovieSlot(int32_t) {}
int32_t GetMovieSlotEntry(int32_t) { return -1; }
int32_t GetViewerPictureZoomTarget(int32_t, int32_t, float*, float*) { return 0; }
void SendSelectionByMail(HWND) {}

INT_PTR CALLBACK ActionPathDialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) EndDialog(dialog, 0);
  return FALSE;
}

// ---- services of the navigation pane's commands ----
uint8_t g_thumbnailSplitRequest = 0;
int32_t g_reloadSelectionMode = 0;
uint8_t g_entriesChanged = 0;
wchar_t g_monitorProfilePath[260], g_printerProfilePath[260];
volatile uint8_t g_screenProfileChanged = 0;
// Level 0 of an entry as the image pipeline makes it; until then only a level some other
// code put in counts as built.

