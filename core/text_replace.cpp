#include "core/text_replace.h"

#include "core/path_utils.h"

bool ReplaceFirstSubstring(wchar_t* text, size_t capacity, const wchar_t* oldText, const wchar_t* newText) {
  return ReplaceFirstSubstring(U16(text), capacity, U16(oldText), U16(newText));
}

bool ReplaceAllSubstrings(wchar_t* text, size_t capacity, const wchar_t* oldText, const wchar_t* newText) {
  return ReplaceAllSubstrings(U16(text), capacity, U16(oldText), U16(newText));
}

bool ReplaceAllInPath(wchar_t* path, const wchar_t* oldText, const wchar_t* newText) {
  return ReplaceAllSubstrings(U16(path), kPathUnits, U16(oldText), U16(newText));
}
