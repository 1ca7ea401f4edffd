#include "core/pure/scramble.h"

bool ScrambleBuffer(uint8_t* buffer, size_t length) {
  // Built on the stack at run time so the key never sits in the image as one string.
  uint8_t key[16];
  uint32_t seed = 0x6B8E31A5u;
  for (int i = 0; i < 16; ++i) {
    seed = seed * 1103515245u + 12345u;
    key[i] = static_cast<uint8_t>(seed >> 16);
  }
  for (size_t i = 0; i < length; ++i) buffer[i] ^= key[i & 15];
  return true;
}
