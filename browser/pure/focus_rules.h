// Which built-in commands a hot key may fire while the focus is outside the list and the
// viewer panes, and the pane-index fallback of the focus queries.
#pragma once
#include <cstdint>

constexpr int kCommandFocusRows = 94;
extern const uint8_t kCommandFocusTable[kCommandFocusRows];

// Kind 1 (built-in command): the table byte; any other kind, or an index outside the table: 0.
uint8_t IsCommandAllowedWithoutFocus(int32_t kind, int32_t commandIndex);

// Mode 2 fallback when no pane has the focus: the remembered pane clamped to the panes shown.
int32_t ClampRememberedPane(int32_t remembered, int32_t paneCount);
