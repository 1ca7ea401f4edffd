// The settings block and its file beside the executable.
#pragma once
#include <windows.h>
#include <icm.h>
#include <cstdint>
#include "core/pure/settings_block.h"
#include "core/pure/settings_rules.h"

extern SettingsBlock g_settings;

// Working copies of fields that live in other variables while the program runs.
extern int32_t g_viewMode;
extern int32_t g_splitterPositions[3];

// Wide view of a text field of the block (UTF-16 on both sides).
inline wchar_t* W(char16_t* p) { return reinterpret_cast<wchar_t*>(p); }
inline const wchar_t* W(const char16_t* p) { return reinterpret_cast<const wchar_t*>(p); }

bool BuildSettingsFilePath(wchar_t* out, int capacity);
uint8_t LoadSettingsFile();
uint8_t SaveSettingsFile();
void SetDefaultSettings();
// Points the colour-matching record's names at the block's own fields (never at file data).
void BuildColorMatchSetup(COLORMATCHSETUPW* out);
// Writes the user's choices of a confirmed colour-matching dialog back into the block.
void StoreColorMatchSetup(const COLORMATCHSETUPW& record);
