// How many viewer panes each split layout shows, and how many parts the status bar has.
#pragma once
#include <cstdint>

constexpr int32_t kMaxPanes = 4;
constexpr int32_t kStatusPartCount = 11;
extern const int32_t g_paneCountByLayout[5];
// Pane count of a split layout; out-of-range layouts count as layout 0.
int32_t PaneCountOfLayout(int32_t layout);
