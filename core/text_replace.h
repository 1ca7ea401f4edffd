// Case-insensitive replacing in wide text; the caller's case is kept outside the replaced parts.
#pragma once
#include <cstddef>

// Each answers true when something was replaced; a result that would not fit into the buffer
// (capacity characters, terminator included) leaves the text unchanged and answers false.
bool ReplaceFirstSubstring(wchar_t* text, size_t capacity, const wchar_t* oldText, const wchar_t* newText);
bool ReplaceAllSubstrings(wchar_t* text, size_t capacity, const wchar_t* oldText, const wchar_t* newText);
// path: a 260-character buffer.
bool ReplaceAllInPath(wchar_t* path, const wchar_t* oldText, const wchar_t* newText);
