#include <gtest/gtest.h>

#include "browser/pure/status_sums.h"

TEST(StatusSums, SelectionAndTotalsFollowTheViewAndThePresence) {
  // Sizes near the 32-bit limit: the totals must not wrap.
  const StatusRow rows[4] = {{true, 1, 4000000000u}, {false, 1, 3000000000u}, {true, 0, 100}, {false, 3, 7}};
  StatusSums s = SumStatusRows(rows, 4, true, 1);
  EXPECT_EQ(s.selected, 2);
  EXPECT_EQ(s.selectedBytes, 4000000100LL);
  // A vanished file is not in the total; a selected entry (value-2 bit) still is.
  EXPECT_EQ(s.totalBytes, 7000000007LL);

  // Pictures only: the cursor row is the selection, whatever the list's selection says.
  s = SumStatusRows(rows, 4, false, 1);
  EXPECT_EQ(s.selected, 1);
  EXPECT_EQ(s.selectedBytes, 3000000000LL);
  EXPECT_EQ(s.totalBytes, 7000000007LL);

  // No cursor row: nothing selected, the total stands.
  s = SumStatusRows(rows, 4, false, -1);
  EXPECT_EQ(s.selected, 0);
  EXPECT_EQ(s.selectedBytes, 0);
  EXPECT_EQ(s.totalBytes, 7000000007LL);

  // A cursor beyond the rows counts one item of unknown size rather than reading past them.
  s = SumStatusRows(rows, 4, false, 9);
  EXPECT_EQ(s.selected, 1);
  EXPECT_EQ(s.selectedBytes, 0);

  s = SumStatusRows(nullptr, 0, true, 0);
  EXPECT_EQ(s.selected, 0);
  EXPECT_EQ(s.totalBytes, 0);
}
