// The action history drop-down and the entries' undo stacks: every file operation on a listed
// file reports here.
#pragma once
#include <cstdint>

// ActionResult of every file operation.
constexpr int32_t kActionFailed = 0, kActionDone = 1, kActionSkipped = 2;

// One history line (and an undo record when it succeeded); returns the history counter.
int32_t AddActionHistoryEntry(int32_t entry, int32_t kind, int32_t source, int32_t result);
void ClearActionHistory();
// False when the entry's current undo record moved the file away or deleted it.
bool IsEntryFileInPlace(int32_t entry);
void AppendEntryUndoRecord(int32_t entry, int32_t kind, const wchar_t* text);
void ClearEntryUndoList(int32_t entry);
// The text the next undo record receives (renames and rotations fill it first).
extern wchar_t g_pendingUndoPath[260];
// Lines added since the last clear.
int32_t GetActionHistoryCount();
