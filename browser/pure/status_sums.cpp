#include "browser/pure/status_sums.h"

StatusSums SumStatusRows(const StatusRow* rows, int32_t count, bool listShown, int32_t cursorRow) {
  StatusSums s{0, 0, 0};
  if (!rows || count <= 0) return s;
  for (int32_t r = 0; r < count; ++r) {
    if (listShown && rows[r].selected) {
      ++s.selected;
      s.selectedBytes += rows[r].size;
    }
    if (rows[r].presence & 1) s.totalBytes += rows[r].size;
  }
  if (!listShown && cursorRow >= 0) {
    s.selected = 1;
    if (cursorRow < count) s.selectedBytes = rows[cursorRow].size;
  }
  return s;
}
