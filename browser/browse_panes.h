// The child windows of the main window, created from their dialog templates.
#pragma once
#include <windows.h>

extern HWND g_previewPopup, g_histogramPopup;
