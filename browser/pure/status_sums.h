// The selection and list totals that the SEL, SIZE and TOTAL parts of the status bar show.
#pragma once
#include <cstdint>

struct StatusRow {
  bool selected;     // the list control's selection state of the row
  uint8_t presence;  // the entry's presence byte; 0 also for a row without an entry
  uint32_t size;     // the entry's file size (low 32 bits), 0 without an entry
};

struct StatusSums {
  int32_t selected;
  int64_t selectedBytes;
  int64_t totalBytes;
};

// With the list shown the selected rows count; otherwise the cursor row alone, when there is
// one. Every row whose entry is present adds to the total.
StatusSums SumStatusRows(const StatusRow* rows, int32_t count, bool listShown, int32_t cursorRow);
