// Batch rename and replace-rename of one entry (entry number) or of every row (-1).
#pragma once
#include <cstdint>

// Action row or -1 for the global rename settings; results are ActionResult values.
int32_t BatchRenameFiles(int32_t entry, int32_t row, int32_t jpgFlag);
int32_t ReplaceRenameFiles(int32_t entry, int32_t row);
// The running sequence number, and 1 while a rename runs (the folder watcher ignores it).
extern int32_t RenameCounter;
extern uint8_t RenameInProgress;
// Rename settings in words, of the row's own settings or the global ones (row -1).
void FormatRenameSettingsText(wchar_t* out, int32_t row);
void FormatReplaceRenameText(wchar_t* out, int32_t row);
