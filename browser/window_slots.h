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
  kSlotAbout = 37,
  kSlotTermsOfUse = 38,
};
extern HWND g_windowSlots[kWindowSlotCount];
