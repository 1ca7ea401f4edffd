// Quarter turns of the pictures an entry holds: the Exif orientation's share, the total with
// the user's turns, and the turn that undoes it.
#pragma once
#include <cstdint>

// Quarter turns clockwise for an Exif orientation that is a pure rotation (3, 6, 8); -1 for
// every other value (no turn, or a mirror the viewer does not apply).
inline int ExifQuarterTurns(int orientation) {
  switch (orientation) {
    case 3: return 2;
    case 6: return 1;
    case 8: return 3;
    default: return -1;
  }
}

// The orientation that counts: the recorded one with auto-rotation on, else none.
inline int EffectiveOrientation(int orientation, bool autoRotate) { return autoRotate ? orientation : 1; }

// (user + Exif) turns, modulo 4 and never negative.
inline int TotalQuarterTurns(int userTurns, int exifTurns) { return (((userTurns + exifTurns) % 4) + 4) % 4; }

// The turn that brings a picture turned by `turns` back upright.
inline int InverseQuarterTurns(int turns) { return (4 - TotalQuarterTurns(turns, 0)) % 4; }
