// Enabled and pressed states of the toolbar buttons.
#pragma once
#include <cstdint>

extern uint8_t g_splitInformation;
extern uint8_t g_rawToggleRunning;
void ComputeCommandStates();
void ApplyCommandStates();
void UpdateToolbarButtons(uint32_t flags);
// For tests: the state last sent for a command id (-1 never sent or not a toolbar command).
int32_t AppliedCommandState(int32_t commandId);
