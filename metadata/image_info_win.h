#pragma once
#include <windows.h>

#include "metadata/pure/image_info.h"

// Fills `info` from the wide metadata text (g_metadataWideBuffer), which the list thread has
// just filled for this file. The column texts are made only while the file list's list
// control exists; a movie's width and height must already be in the record. The caller marks
// its entry's information as read.
void FillImageInfoFromMetadata(ImageInfo& info);

// The same from a given shared wide text. The text is copied while "sema_interp" is held, so
// another thread's refill cannot change it under the fill; the caller must not hold it.
void FillImageInfoFromText(ImageInfo& info, const wchar_t* sharedText, bool withTexts);


// Column text 1..23 (null for other numbers). Column 18 follows the 35 mm display setting; a
// made text lives in a buffer of the calling thread until that thread's next call.
const wchar_t* GetInfoField(const ImageInfo& info, int column);

// Creation, last-write and last-access time of the file as local time,
// "YYYY/MM/DD hh:mm:ss"; false with an empty text when the file cannot be opened.
bool FormatFileCreationTime(const wchar_t* path, wchar_t* out, size_t outCap);
bool FormatFileWriteTime(const wchar_t* path, wchar_t* out, size_t outCap);
bool FormatFileAccessTime(const wchar_t* path, wchar_t* out, size_t outCap);
