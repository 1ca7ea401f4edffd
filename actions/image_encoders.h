// The GDI+ encoder of a picture format, by its MIME type.
#pragma once
#include <windows.h>

// Index of the encoder whose MIME type equals mime exactly, with its CLSID; -1 when none.
int GetEncoderClsid(const wchar_t* mime, CLSID* clsid);
