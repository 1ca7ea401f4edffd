#include "viewer/pure/view_focus_points.h"

#include <cmath>

FocusPoint ViewFocusPointTable[kViewFocusTypes][kViewFocusMaxPoints] = {
    {{0.5f, 0.5f}, {1, 0}, {1, 1}, {0, 1}, {0, 0}},
    {{0.5f, 0.5f}, {0.5f, 0}, {1, 0}, {1, 0.5f}, {1, 1}, {0.5f, 1}, {0, 1}, {0, 0.5f}, {0, 0}, {0.5f, 0}},
    {{0.5f, 0.5f}, {0.5f, 0}, {1, 0.5f}, {0.5f, 1}, {0, 0.5f}, {0.5f, 0}},
    {{0.5f, 0.5f}, {0.5f, 0}, {0.75f, 0.25f}, {1, 0.5f}, {0.75f, 0.75f}, {0.5f, 1}, {0.25f, 0.75f}, {0, 0.5f},
     {0.25f, 0.25f}, {0.5f, 0}},
    {{0.5f, 0.5f}},
    {{0.5f, 0.5f}},
};
const int32_t ViewFocusPointCounts[kViewFocusTypes] = {5, 10, 6, 10, 10, 18};

void BuildViewFocusPointTables() {
  for (int k = 0; k <= 8; ++k) {
    const double a = k * 0.78539816325;
    ViewFocusPointTable[4][k + 1] = {static_cast<float>(0.5 + std::sin(a) / 2), static_cast<float>(0.5 - std::cos(a) / 2)};
  }
  for (int k = 0; k <= 16; ++k) {
    const double a = k * 0.392699081625;
    ViewFocusPointTable[5][k + 1] = {static_cast<float>(0.5 + std::sin(a) / 2), static_cast<float>(0.5 - std::cos(a) / 2)};
  }
}

void PlaceFocusPoint(const FocusPoint& p, int32_t w, int32_t h, int32_t* x, int32_t* y) {
  *x = static_cast<int32_t>((w - 64) * p.x) + 32;
  *y = static_cast<int32_t>((h - 64) * p.y) + 32;
}
