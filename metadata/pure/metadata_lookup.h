#pragma once
#include <cstddef>
#include <cstdint>

struct ImageInfo;

// Lookups in the wide copy of the metadata text: "key<TAB>value<LF>" lines after the
// file path on line 1. A key matches only at the start of a line, so neither a longer key
// ("Width2" for "Width") nor text inside a value or the path can be taken for it.

// Value of the first line with `key` (at most 14 characters). False with an empty `out` when
// the key is absent, its value empty or its line not ended. The value is cut to `outCap`.
bool GetDumpValue(const char16_t* text, const char16_t* key, char16_t* out, size_t outCap);

// The same, with trailing blanks removed (still true when nothing is left).
bool GetDumpValueTrimmed(const char16_t* text, const char16_t* key, char16_t* out, size_t outCap);

// For the orientation line "FlipM<offset>" / "FlipI<offset>": 2 when the letter after the key
// is M, 1 for any other letter, 0 when the key, the line feed or the number is missing.
int GetDumpFlagAndNumber(const char16_t* text, const char16_t* key, int32_t* number);

// Photoshop thumbnail ("cg6ofs", "cg6size") into the record's thumbnail range; true only when
// both were found. Without "cg6ofs" the record is not touched.
bool ReadPsdThumbnailLocation(const char16_t* text, ImageInfo& info);

// Lens name for a maker kind (file-type bit number). `out` holds the caller's text on entry;
// some Canon misses keep it. `make` is the Make value.
bool ResolveLensName(int kind, const char16_t* text, char16_t* out, size_t outCap, const char16_t* make);

