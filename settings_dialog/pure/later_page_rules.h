// Window-free rules of the font, media-split, list-item, toolbox and GPS pages.
#pragma once
#include <cstdint>

// Media presets of the split page: item 0 is free entry (size 0).
constexpr int kMediaPresetCount = 5;
extern const char16_t* const kMediaPresetTexts[kMediaPresetCount];
extern const int64_t kMediaPresetSizes[kMediaPresetCount];
// The first preset (1..4) whose size equals size; 0 when none does.
int MediaPresetForSize(int64_t size);
// Leading decimal digits of text as a 64-bit number; 0 without digits. Digits that would
// overflow stop the conversion, so the result is never negative.
int64_t LeadingDigits64(const char16_t* text);
// A decimal number with an optional sign and nothing else after it; false for an empty text
// or one that is not a number within 32 bits.
bool ParseSignedDecimal(const char16_t* text, int32_t* out);

// A caption typed on the list-items page is kept when it has 1..31 units (the field holds 32
// with its terminator) and differs from the one it replaces other than by letter case.
bool AcceptColumnCaption(const char16_t* typed, const char16_t* previous);

// The toolbox list being edited: 64 slots, at most 63 used.
constexpr int kToolboxKinds = 45;
constexpr int kToolboxSlotCount = 64;
constexpr int kToolboxMaxUsed = 63;
struct ToolboxKind {
  int32_t image;
  const char16_t* caption;
};
extern const ToolboxKind kToolboxKindTable[kToolboxKinds];
// marks: 1 selects the row after the next refresh, -1 not.
void ResetToolboxMarks(int32_t marks[kToolboxSlotCount]);
// Appends the kinds in order while fewer than 63 are used; returns how many were added.
int AddToolboxKinds(int32_t buttons[kToolboxSlotCount], int32_t* count, const int32_t* kinds, int kindCount);
// Removes the selected positions (ascending), keeping the order of the rest.
void RemoveToolboxPositions(int32_t buttons[kToolboxSlotCount], int32_t* count, const int* positions, int n);
// Move the selected positions (ascending) one up or down; an edge block stays in order and
// every moved or kept row is marked.
void MoveToolboxUp(int32_t buttons[kToolboxSlotCount], int32_t count, const int* positions, int n,
                   int32_t marks[kToolboxSlotCount]);
void MoveToolboxDown(int32_t buttons[kToolboxSlotCount], int32_t count, const int* positions, int n,
                     int32_t marks[kToolboxSlotCount]);
// The kinds offered for adding: the separator and every kind not in use, ascending.
int AvailableToolboxKinds(const int32_t* buttons, int32_t count, int32_t out[kToolboxKinds]);
