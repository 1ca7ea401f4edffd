// Ordering of the file list: typed sort keys of the detail columns, the logical order of file
// names, and the move of dragged rows. Works on the 16-bit display order only.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

constexpr size_t kSortKeyUnits = 261;

// Digit runs by value, other characters case-folded: IMG_9 before IMG_10.
int CompareLogical(const char16_t* a, const char16_t* b);
using NameCompare = int (*)(const char16_t* a, const char16_t* b);

// The key text of a column's text ("%010d" for numeric columns; empty when unreadable).
// out holds kSortKeyUnits units. Column 0 has no key.
void MakeSortKey(int column, const char16_t* text, char16_t* out);

// Sorts order[0..n) by the column's keys, file names breaking ties; descending inverts both.
// textOf gives the column text of an entry number, nameOf its file name.
void SortDisplayOrder(uint16_t* order, size_t n, int column, bool descending,
                      const std::function<const char16_t*(uint16_t entry)>& textOf,
                      const std::function<const char16_t*(uint16_t entry)>& nameOf, NameCompare compareNames);

// Moves the entries of the dragged rows (in the given order) to stand at dropRow. Returns the
// row where the moved block starts; the block is the number of distinct valid dragged rows.
size_t MoveDraggedRows(uint16_t* order, size_t count, const int* draggedRows, size_t draggedCount, size_t dropRow,
                       size_t* movedCount);
