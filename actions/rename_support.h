// What the batch rename, the replace-rename and the media split share: the rename settings of
// an action row or of the block, the entries a run covers, and entry path bookkeeping.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

#include "actions/pure/rename_rules.h"
#include "core/pure/image_entry.h"

constexpr size_t kRenameTextChars = 512;

RenamePattern GlobalRenamePattern();
ReplaceTexts GlobalReplaceTexts();
// True (fields filled) when the row is an action row with its own rename settings.
bool ActionRowRename(int32_t row, RenamePattern* pattern, ReplaceTexts* texts);

// The entries of a run: every row in display order (entry -1), or the one entry with the row
// showing it (-1 when no row does). Entries that do not exist are left out.
struct RangeItem {
  int32_t entry, row;
};
std::vector<RangeItem> RenameRange(int32_t entry);

// The folder of a path, without its final '\'; false when the path has none.
bool FolderOfPath(const wchar_t* path, wchar_t* out);
// The entry's path and its name part.
void SetEntryPath(ImageEntry* e, const wchar_t* path);
// UpdateEntryRowCommand to the file-list pane; nothing for a row of -1.
void SendEntryRowUpdate(int32_t row);
// A file at a temporary name goes back to its old path, or, when another file holds that now,
// to the first free "name_N.ext" beside it. False when it could not move at all.
bool ReturnFromTemporaryName(ImageEntry* e, const wchar_t* oldPath);

// Called with the temporary path once a file of a rename run has moved there; null in the
// program. Tests hold the file open there to make the moves that follow fail for real.
extern void (*g_renameTemporaryReached)(const wchar_t* path);
// A file left under its temporary name (its new name and its old one both refused): the entry
// and a collection follow it there, the row shows it and, for a run over all rows, a history line
// of the kind reports it under that name. A one-file run reports it through its result instead.
void ReportLeftAtTemporaryName(ImageEntry* e, int32_t entry, int32_t row, int32_t kind, const wchar_t* oldPath,
                               const wchar_t* temporary, bool allRows);
