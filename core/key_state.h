#pragma once
void ResetKeyStates();
