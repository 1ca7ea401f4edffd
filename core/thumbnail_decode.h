// The embedded JPEG of a thumbnail, decoded by the imaging components' JPEG decoder made from a
// class factory the thread keeps.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

// The picture of a baseline colour JPEG as a 24-bit bitmap; null (stream rewound) for anything
// else or on any failure, and the caller decodes through GDI+ instead.
Gdiplus::Bitmap* DecodeJpegThumbnail(IStream* stream);

// Lets go of the calling thread's decoder factory; due before a thread that ends before the
// program leaves COM.
void ReleaseThumbnailDecoder();
