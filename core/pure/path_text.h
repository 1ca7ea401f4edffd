#pragma once
// Path and text rules over UTF-16 text (char16_t: wchar_t is 32-bit off Windows).
// Paths live in zeroed buffers of kPathUnits units, terminator included.
#include <cstddef>
#include <cstdint>

constexpr size_t kPathUnits = 260;

size_t TextLength(const char16_t* text);
// Copies src with its terminator; false (out left empty) when it does not fit into capacity units.
bool CopyText(char16_t* out, size_t capacity, const char16_t* src);
// One UTF-16 unit to one unit, so positions found in a folded copy hold in the original.
char16_t FoldLower(char16_t c);
char16_t FoldUpper(char16_t c);
void ToLowerInPlace(char16_t* text);
void ToUpperInPlace(char16_t* text);

// Splitting accepts '\' and '/'. Every out buffer holds kPathUnits units; input beyond 259 units is cut.
void GetFileNamePart(const char16_t* path, char16_t* out);
void GetFolderPart(const char16_t* path, char16_t* out);
void GetNameWithoutExtension(const char16_t* path, char16_t* out);
void GetExtension(const char16_t* text, char16_t* out);
void GetDriveRoot(const char16_t* path, char16_t* out);

bool RemoveBlanks(char16_t* text);
int CompareTextNoCase(const char16_t* a, const char16_t* b);
int ComparePaths(const char16_t* a, const char16_t* b);

bool IsValidFolderPath(const char16_t* path);
bool IsValidFilePath(const char16_t* path);
bool HasNoBlankPathComponent(const char16_t* path);
// A name typed for a rename or a new folder: one plain component, never "." or "..".
bool IsValidItemName(const char16_t* name);

// Folds "..\" and ".\" segments; never climbs above the start of a relative path or out of a root.
bool FoldDotDotSegments(const char16_t* source, char16_t* destination, size_t capacity);
void StripTrailingBackslash(char16_t* path);

// "<folder>\<name>" with one separator, whether or not the folder ends with one (a drive's root
// does: "C:\"); an empty folder gives the name. False (out empty) when it does not fit.
bool JoinFolderAndName(const char16_t* folder, const char16_t* name, char16_t* out, size_t capacity);

// The long form that the file functions take without folding or a 260-unit limit: "\\?\C:\x" for a
// drive path and "\\?\UNC\server\share\x" for a share, with '/' made '\'. A path of another form
// (relative, rooted without a drive, a device or already long) is copied as it is. The system
// folds no "." or ".." segment of a long path: they are the caller's to fold. False (out empty)
// when the result does not fit into capacity units.
bool MakeLongPath(const char16_t* path, char16_t* out, size_t capacity);

// Case-insensitive replace in place. False, text untouched, when nothing matched or the result
// (with its terminator) would not fit into capacity units.
bool ReplaceFirstSubstring(char16_t* text, size_t capacity, const char16_t* oldText, const char16_t* newText);
bool ReplaceAllSubstrings(char16_t* text, size_t capacity, const char16_t* oldText, const char16_t* newText);
