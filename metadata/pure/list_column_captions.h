// The captions of the information columns, shared by the file list and the File Information
// window: four built-in sets and the user's own.
#pragma once
#include <cstdint>

constexpr int kListColumnCount = 24;
constexpr int kCaptionSetCount = 4;

// Caption of column k in caption set s (0..3); null outside the table.
const char16_t* ListColumnCaption(int column, int set);
// The caption style of the user's own captions.
constexpr int kCustomCaptionStyle = 4;
constexpr int kCustomCaptionChars = 32;
// Caption of column k under a caption style: 0..3 the built-in sets, 4 the user's own captions
// (custom: 24 texts of 32 units, may be null). A style out of range reads as 0; an own caption
// that is empty or not terminated in its field gives the set-0 caption.
const char16_t* ListColumnCaptionForStyle(int column, int32_t style,
                                          const char16_t (*custom)[kCustomCaptionChars]);
