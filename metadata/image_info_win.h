#pragma once
#include <windows.h>

#include "metadata/pure/image_info.h"

namespace brn {

// Fills `info` from the process-wide wide metadata text `sharedText`, which the list thread
// has just filled for this file. The text is copied while "sema_interp" is held, so another
// thread's refill cannot change it under the fill. The column texts are made only when
// `withTexts` (the file list exists); a movie's width and height must already be set.
// `mamiyaThumbByDevelopment` and the texts follow the settings the caller passes.
void FillImageInfoFromMetadata(ImageInfo& info, const WCHAR* sharedText, bool withTexts,
                               bool mamiyaThumbByDevelopment);

// Column text 1..23 (null for other numbers); column 18 per `focal35Display`, made in a
// buffer of the calling thread.
const WCHAR* GetInfoField(const ImageInfo& info, int column, bool focal35Display);

// Creation, last-write and last-access time of the file as local time,
// "YYYY/MM/DD hh:mm:ss"; false with an empty text when the file cannot be opened.
bool FormatFileCreationTime(const WCHAR* path, WCHAR* out, size_t outCap);
bool FormatFileWriteTime(const WCHAR* path, WCHAR* out, size_t outCap);
bool FormatFileAccessTime(const WCHAR* path, WCHAR* out, size_t outCap);

}  // namespace brn
