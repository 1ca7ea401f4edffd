// Batch rename and replace-rename of one entry (entry number) or of every row (-1).
#pragma once
#include <cstdint>

// Action row or -1 for the global rename settings; results are ActionResult values.
int32_t BatchRenameFiles(int32_t entry, int32_t row, int32_t jpgFlag);
int32_t ReplaceRenameFiles(int32_t entry, int32_t row);
// The running sequence number, and 1 while a rename runs (the folder watcher ignores it).
extern int32_t RenameCounter;
extern uint8_t RenameInProgress;
// Rename settings in words, of the row's own settings or the global ones (row -1); out holds
// at least 512 characters.
void FormatRenameSettingsText(wchar_t* out, int32_t row);
void FormatReplaceRenameText(wchar_t* out, int32_t row);
// True when the replace-rename of the row (or the global one, row -1) has no old text.
bool ReplaceTextIsEmpty(int32_t row);
// Names of a prefix type (2..5) and of a name type in the words of a date joiner.
const wchar_t* RenamePrefixTypeName(int32_t prefixType);
const wchar_t* RenameNameTypeText(int32_t nameType, int32_t dateJoiner);
// The batch rename of the whole folder: the counter starts at the global sequence start.
void SelectGlobalRenameSettings();
