#pragma once
#include <windows.h>
#include <cstdint>

#include "metadata/pure/image_info.h"

// Fills `info` from the wide metadata text of its file, which may be shared: it is copied while
// "sema_interp" is held, so another thread's refill cannot change it under the fill; the caller
// must not hold it. The column texts are made only withTexts; a movie's width and height must
// already be in the record. The caller marks its entry's information as read.
void FillImageInfoFromText(ImageInfo& info, const wchar_t* sharedText, bool withTexts);


// After the program rewrote the entry's file (a segment grew or shrank before the Exif block):
// the record's positions, size and time read from the file as it is now, so that a later write
// at a kept position (the lossless rotation) meets the value and not what came before it. An
// entry whose information the list thread has not read yet is left to it.
void RereadEntryRecord(int32_t entry);

// Column text 1..23 (null for other numbers). Column 18 follows the 35 mm display setting; a
// made text lives in a buffer of the calling thread until that thread's next call.
const wchar_t* GetInfoField(const ImageInfo& info, int column);

// Creation, last-write and last-access time of the file as local time,
// "YYYY/MM/DD hh:mm:ss"; false with an empty text when the file cannot be opened.
bool FormatFileCreationTime(const wchar_t* path, wchar_t* out, size_t outCap);
bool FormatFileWriteTime(const wchar_t* path, wchar_t* out, size_t outCap);
bool FormatFileAccessTime(const wchar_t* path, wchar_t* out, size_t outCap);
