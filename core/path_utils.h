// Wide-character faces of the path rules: wchar_t is UTF-16 on Windows, so the text passes as is.
#pragma once
#include <cstddef>

#include "core/pure/path_text.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be UTF-16");

inline char16_t* U16(wchar_t* p) { return reinterpret_cast<char16_t*>(p); }
inline const char16_t* U16(const wchar_t* p) { return reinterpret_cast<const char16_t*>(p); }

inline void GetFileNamePart(const wchar_t* path, wchar_t* out) { GetFileNamePart(U16(path), U16(out)); }
inline void GetFolderPart(const wchar_t* path, wchar_t* out) { GetFolderPart(U16(path), U16(out)); }
inline void GetNameWithoutExtension(const wchar_t* path, wchar_t* out) { GetNameWithoutExtension(U16(path), U16(out)); }
inline void GetExtension(const wchar_t* text, wchar_t* out) { GetExtension(U16(text), U16(out)); }
inline void GetDriveRoot(const wchar_t* path, wchar_t* out) { GetDriveRoot(U16(path), U16(out)); }
inline void ToUpperInPlace(wchar_t* text) { ToUpperInPlace(U16(text)); }
inline bool RemoveBlanks(wchar_t* text) { return RemoveBlanks(U16(text)); }
inline int CompareTextNoCase(const wchar_t* a, const wchar_t* b) { return CompareTextNoCase(U16(a), U16(b)); }
inline int ComparePaths(const wchar_t* a, const wchar_t* b) { return ComparePaths(U16(a), U16(b)); }
inline bool IsValidFolderPath(const wchar_t* path) { return IsValidFolderPath(U16(path)); }
inline bool IsValidFilePath(const wchar_t* path) { return IsValidFilePath(U16(path)); }
inline bool HasNoBlankPathComponent(const wchar_t* path) { return HasNoBlankPathComponent(U16(path)); }
inline bool IsValidItemName(const wchar_t* name) { return IsValidItemName(U16(name)); }
inline bool FoldDotDotSegments(const wchar_t* source, wchar_t* destination, size_t capacity = kPathUnits) {
  return FoldDotDotSegments(U16(source), U16(destination), capacity);
}
inline void StripTrailingBackslash(wchar_t* path) { StripTrailingBackslash(U16(path)); }
inline bool JoinFolderAndName(const wchar_t* folder, const wchar_t* name, wchar_t* out, size_t capacity) {
  return JoinFolderAndName(U16(folder), U16(name), U16(out), capacity);
}
inline bool MakeLongPath(const wchar_t* path, wchar_t* out, size_t capacity) {
  return MakeLongPath(U16(path), U16(out), capacity);
}
