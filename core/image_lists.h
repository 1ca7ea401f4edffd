// The process-wide image lists and button bitmaps, the thumbnail lists the list thread fills and
// its stop request.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

extern HIMAGELIST g_favouriteIcons, g_actionKindIcons, g_toolboxIcons, g_listThreadIcons, g_listThreadMarks, g_bandIcons, g_commandIcons;
extern HIMAGELIST g_largeThumbnailList, g_smallThumbnailList;
extern HBITMAP g_buttonBitmaps[7];
extern volatile uint8_t g_listThreadStopRequest;
