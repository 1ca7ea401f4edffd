// Process-wide image lists and button bitmaps of the user interface, and the placeholder
// images of the thumbnail lists.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstdint>

#include "core/argb_colour.h"
#include "core/image_lists.h"

namespace Gdiplus { class Bitmap; }

extern Gdiplus::Bitmap* g_menuIconStrip;

void LoadIconImageLists();
void FreeIconImageLists();
void CreateThumbnailImageLists();
void DrawThumbnailPlaceholders();
void FreeThumbnailImageLists();
