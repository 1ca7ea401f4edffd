// A settings colour (COLORREF) as the opaque ARGB value GDI+ draws with.
#pragma once
#include <windows.h>
#include <cstdint>

uint32_t ColorRefToArgb(COLORREF color);
