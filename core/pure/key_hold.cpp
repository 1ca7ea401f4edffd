#include "core/pure/key_hold.h"

namespace {

int32_t CounterOf(const KeyHoldState& state, int32_t key) {
  if (state.pollingSuspended || key < 1 || key >= kKeyCount) return 0;
  return state.counters[key];
}

}  // namespace

void ResetKeyHoldCounters(KeyHoldState& state) {
  for (auto& c : state.counters) c = 0;
}

void PollKeyHoldCounters(KeyHoldState& state, KeyDownQuery isDown, void* context) {
  for (int32_t k = 0; k < kKeyCount - 1; ++k) {
    bool down;
    if (k == state.injectedKey) {
      state.injectedKey = -1;
      down = true;
    } else {
      down = isDown(k, context);
    }
    int32_t& c = state.counters[k];
    c = down ? (c < 0 ? 0 : c >= kKeyHoldLimit ? kKeyHoldLimit : c + 1) : 0;
  }
}

bool KeyJustPressed(const KeyHoldState& state, int32_t key) { return CounterOf(state, key) == 1; }

bool KeyHeld(const KeyHoldState& state, int32_t key) { return CounterOf(state, key) != 0; }

bool KeyPressedOrRepeating(const KeyHoldState& state, int32_t key) {
  const int32_t c = CounterOf(state, key);
  return c == 1 || c == kKeyHoldLimit;
}
