#include "core/pure/level_rotation.h"

#include <gtest/gtest.h>

TEST(LevelRotation, ExifOrientationAndTotals) {
  struct Case {
    int orientation, autoRotate, user, exifTurns, total, inverse;
  } cases[] = {
      {6, 1, 0, 1, 1, 3}, {3, 1, 0, 2, 2, 2}, {8, 1, 0, 3, 3, 1}, {1, 1, 0, -1, 0, 0},
      {6, 0, 0, -1, 0, 0},  // auto-rotation off: orientation 6 gives no turn
      {3, 1, 3, 2, 1, 3},   // user 3 + Exif 2 is a single quarter turn
      {2, 1, -1, -1, 3, 1}, // a mirror orientation adds nothing; a negative user turn wraps
  };
  for (const Case& c : cases) {
    int exif = ExifQuarterTurns(EffectiveOrientation(c.orientation, c.autoRotate != 0));
    EXPECT_EQ(exif, c.exifTurns) << c.orientation;
    int total = TotalQuarterTurns(c.user, exif < 0 ? 0 : exif);
    EXPECT_EQ(total, c.total) << c.orientation << " " << c.user;
    EXPECT_EQ(InverseQuarterTurns(total), c.inverse);
    EXPECT_EQ(TotalQuarterTurns(total, InverseQuarterTurns(total)), 0);
  }
}
