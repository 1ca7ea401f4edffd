// Rules of the settings block that need no window: defaults, the start-up repair and
// migration, validation of a loaded file, version numbers, highlight colours.
#pragma once
#include <cstdint>
#include "core/pure/settings_block.h"

constexpr int32_t kSettingsSentinel = 1234;
constexpr int kActionRows = 39;
constexpr int kToolboxMax = 64;

extern const int32_t kDefaultColumnWidths[24];
extern const int32_t kDefaultToolboxButtons[32];
extern const uint32_t kDefaultColorSlots[20];

// Zeroes the block and writes every default (sentinel words stay 0, so the first start
// also fills the sentinel sections).
void FillDefaultSettings(SettingsBlock& s, const char16_t* programVersion);

// The colour slots and their enable bytes. The stored histogram background is left alone: the
// colour page compares against it when it closes.
void ResetColorSlots(SettingsBlock& s);
// The histogram background as a GDI+ ARGB value: slot 10 with the histogram alpha.
uint32_t HistogramBackgroundArgb(const SettingsBlock& s);

// The start-up repair of a loaded or defaulted block, in order, except loading the
// collections (the caller does that between the steps named below).
void NormaliseThumbnailWidths(SettingsBlock& s);
void NormaliseAfterCollections(SettingsBlock& s);
// Fills each sentinel section whose word is not 1234 (moves the legacy action rows).
void FillMissingSentinelSections(SettingsBlock& s);

// Makes a block read from a file safe to use: counts, indexes and sizes into their ranges,
// every fixed text field terminated. Returns the number of fields it had to change.
int ValidateLoadedSettings(SettingsBlock& s);

// The number in a version text such as "5.71", read in the C locale; 0 when there is none.
double ParseVersionNumber(const char16_t* text, int maxChars);
// A file is accepted when its major version equals the program's or is one less.
bool IsAcceptedSettingsVersion(double fileVersion, double programVersion);

// Darkened (x0.8) and lightened (x1.2) highlight colours, each component truncated and clamped.
void DeriveHighlightColors(uint32_t colorRef, uint32_t* darkened, uint32_t* lightened);

// Bounded copy of a NUL-terminated UTF-16 text into a fixed field (always terminated).
void CopyText16(char16_t* dst, int capacity, const char16_t* src);

// The index print page's defaults.
void FillIndexPrintDefaults(IndexPrintLayout& layout, IndexPrintExtras& extras);
// Start-up repair of settings files written before the later fields were used.
void RepairIndexPrintExtras(IndexPrintExtras& extras);
