#pragma once
#include <cstddef>
#include <cstdint>

// Wide text of the metadata layer. UTF-16 code units; on Windows the same bytes as WCHAR.
size_t WideLength(const char16_t* text);

// Copies at most `count` units of `source` into `out` (capacity `outCap` units, terminator
// included), cutting what does not fit. An `outCap` of 0 writes nothing.
void CopyWideBounded(char16_t* out, size_t outCap, const char16_t* source, size_t count);

// Appends `source` behind the text already in `out`, cut to the capacity.
void AppendWideBounded(char16_t* out, size_t outCap, const char16_t* source);

// ASCII text (numbers, fixed names) into wide text, cut to the capacity.
void WidenAscii(char16_t* out, size_t outCap, const char* source);

// Decimal text to integer as the C runtime's wide-text-to-long does it: leading white space,
// a sign, then digits; no digits gives 0. Saturates at the 32-bit range.
int32_t WideToInt(const char16_t* text);

// Lower-cases ASCII letters and drops every U+0020, in place.
void LowerAndRemoveBlanks(char16_t* text);

bool WideEqual(const char16_t* a, const char16_t* b);

