// Facts of list rows and their entries that the panes, menus, toolbar and idle loop ask for.
// Rows and entry numbers outside the current list answer "none" rather than reading past it.
#pragma once
#include <cstdint>

struct ImageLevelInputs;

// The entry number a list row shows, -1 for a row outside the list.
int32_t GetRowEntry(int32_t row);
// Presence bit 0 of the entry; false for an entry number outside the entries.
bool IsEntryPresent(int32_t entry);
bool IsRowEntryPresent(int32_t row);
bool IsRawEntry(int32_t entry);
bool IsEntryChecked(int32_t entry);
// Facts of the row's entry for the image-level text; false when the row has no entry.
bool ReadRowLevelFacts(int32_t row, ImageLevelInputs* facts);
// The entry's full path or its file-name part; empty for an entry number outside the entries.
void GetEntryPathText(int32_t entry, bool fullPath, wchar_t* out, int32_t capacity);
