#include "core/image_lists.h"

HIMAGELIST g_favouriteIcons, g_actionKindIcons, g_toolboxIcons, g_listThreadIcons, g_listThreadMarks, g_bandIcons, g_commandIcons;
HIMAGELIST g_largeThumbnailList, g_smallThumbnailList;
HBITMAP g_buttonBitmaps[7];
volatile uint8_t g_listThreadStopRequest = 0;
