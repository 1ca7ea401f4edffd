// Process-wide image lists and button bitmaps of the user interface, and the placeholder
// images of the thumbnail lists.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

namespace Gdiplus { class Bitmap; }

extern HIMAGELIST g_favouriteIcons, g_actionKindIcons, g_toolboxIcons, g_listThreadIcons, g_listThreadMarks,
    g_bandIcons, g_commandIcons;
extern HIMAGELIST g_largeThumbnailList, g_smallThumbnailList;
extern Gdiplus::Bitmap* g_menuIconStrip;
extern HBITMAP g_buttonBitmaps[7];
extern volatile uint8_t g_listThreadStopRequest;

void LoadIconImageLists();
void FreeIconImageLists();
void CreateThumbnailImageLists();
void DrawThumbnailPlaceholders();
void FreeThumbnailImageLists();
uint32_t ColorRefToArgb(COLORREF color);
