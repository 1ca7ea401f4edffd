// The six point patterns of the view-focus tour over an enlarged picture: fractions of the
// picture's width and height from its top-left corner; point 0 is the centre.
#pragma once
#include <cstdint>

struct FocusPoint {
  float x, y;
};
constexpr int kViewFocusTypes = 6;
constexpr int kViewFocusMaxPoints = 18;
extern FocusPoint ViewFocusPointTable[kViewFocusTypes][kViewFocusMaxPoints];
extern const int32_t ViewFocusPointCounts[kViewFocusTypes];

// Computes the two circles (types 4 and 5); once, at start-up.
void BuildViewFocusPointTables();

// Where a point lands in a preview of w x h: a 32-unit margin on every side.
void PlaceFocusPoint(const FocusPoint& p, int32_t w, int32_t h, int32_t* x, int32_t* y);
