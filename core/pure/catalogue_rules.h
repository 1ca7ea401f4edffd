// Rules of the entry list that need no window: path lists of collections and their files,
// paging over the selected rows, the pane table, progress texts and the action column.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- Path lists: every path followed by U+000A ----

// Whole-line presence: "C:\p\a.jpg" is not found inside "C:\p\a.jpg.jpg\n".
bool ContainsLine(const char16_t* list, const char16_t* line, bool ignoreCase);
// Removes every whole line equal to `line` (case ignored) in place; the number removed.
size_t RemoveLine(char16_t* list, const char16_t* line);
// The list with every whole line equal to oldLine (case ignored) replaced; false when none is.
bool ReplaceLine(const char16_t* list, const char16_t* oldLine, const char16_t* newLine, std::u16string* out);
// The same lines, each as often, in any order.
bool SameLineSet(const char16_t* a, const char16_t* b);

// ---- Collection files: the list text as UTF-16LE with one U+0000 at the end ----

// An empty or absent list is a file of 0 bytes.
std::vector<uint8_t> EncodeCollectionFile(const char16_t* list);
// The list held by a file, in a form the program can use: the text ends at the first U+0000
// (or the last whole unit), empty lines and paths of 260 units or more are dropped, and the last
// line gets its U+000A. An empty result means no list.
std::u16string DecodeCollectionFile(const uint8_t* data, size_t size);

constexpr size_t kCollectionNameChars = 64;
// A name that can be a file name: 1..64 units, no control characters, none of \ / : * ? " < > |,
// not "." or "..", and not ending in a blank or a dot.
bool IsValidCollectionName(const char16_t* name);

// ---- Paging over the selected rows ----

using RowTest = std::function<bool(int row)>;

// The n-th selected row from `*position` (exclusive) forward (direction 1) or backward (0),
// wrapping. Position: that row, else the last selected row met, else -1. Result: steps taken
// less one when found, else `count`.
int FindNextFlaggedRow(int* position, int direction, int n, int count, const RowTest& selected);
// The same with the list ends as walls when stopAtEnds is set: the search turns round once.
int FindNextMatchingRow(int* position, int direction, int n, int count, const RowTest& selected, bool stopAtEnds);
// Where one page step from `row` goes, given the answer of FindNextMatchingRow for one row in the
// direction (found row and result): that row, or `row` itself when there is none. With the ends
// as walls the search turns round at an end, but a row behind is no step: Next on the last
// selected row and Previous on the first stay.
int PagingTarget(int row, int direction, int found, int searchResult, int count, bool stopAtEnds);
// Near the end of the list, the first pane's row moves back so that every pane shows a selected row.
int AdjustRowForPanes(int row, bool stopAtEnds, int paneCount, int count, const RowTest& selected);
// Row shown by pane k: its own row, or for an empty pane the next requested row not shown yet.
int PaneOrderNumber(const int* shownRows, const int* requestedRows, int paneCount, int k);

// ---- Texts ----

// Cuts text at "\t\n\n" (index 0) or "\t\n" (index 1): head = the start, text moves past it.
bool SplitAtSeparator(char16_t** text, char16_t** head, int index);
// "%03d/%03d", or "***/***" with no entries. out: at least 32 units.
void FormatProgressText(int processed, int count, char16_t* out);
int ProgressPercent(int processed, int count);
int StepPercent(uint32_t steps);

constexpr int kActionKindCount = 15;
extern const char16_t* const kActionKindNames[kActionKindCount];
// Whether the kind's text stays on a vanished entry: the moves, deletions and merges.
bool ActionTextStaysOnVanished(int kind);
int ActionKindIcon(int kind);
// Text of the action column: null for none. currentKind < 0: no current record.
const char16_t* EntryActionText(int undoCount, int currentKind, bool vanished);
// The state icon of a row: 9 vanished, -1 none, else the kind's icon when enabled (iconEnabled:
// the 20 colour slots' switches, or null for all on).
int EntryActionStateIcon(int undoCount, int currentKind, bool vanished, const uint8_t* iconEnabled);
