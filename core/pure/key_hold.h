#pragma once
#include <cstdint>

constexpr int32_t kKeyCount = 256;
constexpr int32_t kKeyHoldLimit = 20;

// Per virtual key: polls in a row at which the key was down, clamped to kKeyHoldLimit.
struct KeyHoldState {
  int32_t counters[kKeyCount];
  int32_t injectedKey;        // seen as down once by the next poll that reaches it; -1 none
  uint8_t pollingSuspended;   // queries answer false while set
};

using KeyDownQuery = bool (*)(int32_t key, void* context);

void ResetKeyHoldCounters(KeyHoldState& state);
// Codes 0..254; the keyboard is not asked for the injected key.
void PollKeyHoldCounters(KeyHoldState& state, KeyDownQuery isDown, void* context);
bool KeyJustPressed(const KeyHoldState& state, int32_t key);
bool KeyHeld(const KeyHoldState& state, int32_t key);
bool KeyPressedOrRepeating(const KeyHoldState& state, int32_t key);
