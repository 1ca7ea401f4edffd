#pragma once
#include <cstddef>
#include <cstdint>

// In-place cyclic XOR with the program's 16-byte key; the same call scrambles and unscrambles.
bool ScrambleBuffer(uint8_t* buffer, size_t length);

