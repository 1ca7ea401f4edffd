// The action history drop-down and the entries' undo stacks: every file operation on a listed
// file reports here.
#pragma once
#include <cstdint>

#include "core/pending_undo_path.h"
#include "core/pure/image_entry.h"

// ActionResult of every file operation.
constexpr int32_t kActionFailed = 0, kActionDone = 1, kActionSkipped = 2;

// One history line (and an undo record when it succeeded); returns the history counter. The
// undo text of a rename or a rotation is the one the operation left in g_pendingUndoPath, on
// the interface thread.
int32_t AddActionHistoryEntry(int32_t entry, int32_t kind, int32_t source, int32_t result);
// The same with the operation's own undo text, for a line reported from another thread.
int32_t AddActionHistoryEntryWithUndo(int32_t entry, int32_t kind, int32_t source, int32_t result,
                                      const wchar_t* undoText);
void ClearActionHistory();
// False when the entry's current undo record moved the file away or deleted it.
bool IsEntryFileInPlace(int32_t entry);
void AppendEntryUndoRecord(int32_t entry, int32_t kind, const wchar_t* text);
void ClearEntryUndoList(int32_t entry);
// The entry's current undo record, copied with its index; false when it has none. An undo works on
// the copy: the folder watcher may push or retire records meanwhile.
bool CopyCurrentUndoRecord(int32_t entry, UndoRecord* record, int32_t* index);
// Marks that record undone (kind 0, the index back one) while it is still the current one as it was
// copied; false when it was retired or covered by another record meanwhile.
bool RetireUndoRecord(int32_t entry, int32_t index, const UndoRecord& record);
// Lines added since the last clear.
int32_t GetActionHistoryCount();
