// The process-wide table of window handles by slot: each dialog stores itself when it opens
// and clears its slot when it closes.
#pragma once
#include <windows.h>

constexpr int kWindowSlotCount = 45;
enum WindowSlot {
  kSlotFileListPane = 0,
  kSlotNavigationPane = 1,
  kSlotKeyGuide = 2,
  kSlotIndexPrint = 3,
  kSlotFileInfo = 4,
  kSlotInfoTabFile = 5,
  kSlotInfoTabExif = 6,
  kSlotInfoTabIptc = 7,
  kSlotInfoTabComment = 8,
  kSlotInfoTabGps = 9,
  kSlotInfoTabPreview = 10,
  kSlotIndexPrintPreview = 11,
  kSlotMovieControls = 12,
  kSlotSettingsDialog = 13,
  kSlotFirstSettingsPage = 14,  // 14-31: the 18 pages
  kSlotActionRegister = 32,
  kSlotRawProgress = 34,
  kSlotSubfolderMerge = 35,
  kSlotNewFolder = 36,
  kSlotAbout = 37,
  kSlotTermsOfUse = 38,
  kSlotDraggedItems = 39,
  kSlotDragMarker = 40,
  kSlotActionPath = 41,
  kSlotCollectionName = 42,
  kSlotSearch = 43,
  kSlotSearchProgress = 44,
};
extern HWND g_windowSlots[kWindowSlotCount];

// The control with that id in the window of a slot; null while that window is closed.
HWND ChildOfSlot(int slot, int id);
// The controls of the two panes: the file list, viewer pane 0..3 (null outside), the tree the
// navigation pane shows. Null while their pane is closed.
HWND GetListControl();
HWND GetPaneControl(int pane);
HWND GetActiveTree();
