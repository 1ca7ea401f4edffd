// Picks a text colour that stays readable on a given fill.
#pragma once
#include <cstdint>

// Perceived brightness 0..255 of a 0x00BBGGRR colour.
uint32_t ColourBrightness(uint32_t colour);
// The text colour for the fill: `text` when it differs from the fill in brightness by at least
// a third of the scale, else whichever of `dark` and `light` stands further from the fill.
uint32_t ReadableTextColour(uint32_t fill, uint32_t text, uint32_t dark, uint32_t light);
