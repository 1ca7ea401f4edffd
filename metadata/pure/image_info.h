// What the metadata layer makes of a file for its information record: the record's fields
// and column texts, and the numbers the search compares.
#pragma once
#include <cstdint>

#include "core/pure/image_info.h"

// Local calendar time of the file's last write, made by the caller (the conversion is the
// operating system's).
struct InfoTime {
  int year, month, day, hour, minute, second;
};

// Record fields from the wide metadata text: model row, preview and thumbnail ranges,
// orientation. `text` may be changed (a DCR file's second size pair is renamed away).
void FillImageInfoRecord(ImageInfo& info, char16_t* text, bool mamiyaThumbByDevelopment);

// The column texts. `writeTime` is null when fileTime is zero. A movie's width and height
// must already be in the record.
void FillImageInfoTexts(ImageInfo& info, const char16_t* text, const InfoTime* writeTime);

// Text of column 1..23, null for other numbers. Column 18 with `focal35Display` on is made
// in a buffer of the calling thread, valid until that thread's next call.
const char16_t* GetInfoFieldText(const ImageInfo& info, int column, bool focal35Display);

// Search comparisons of exposure values (texts of at most 127 characters are read).
float ParseNumberText(const char16_t* text);
float ParseFNumberText(const char16_t* text);
float ParseFractionText(const char16_t* text);

