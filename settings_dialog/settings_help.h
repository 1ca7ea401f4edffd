// Tooltip texts of the settings pages by page; pages 8 and 9 hold their own.
#pragma once

struct SettingsHelpTable {
  const int* ids;
  const wchar_t* const* texts;
  int count;
};
constexpr int kSettingsHelpPages = 18;
extern const SettingsHelpTable kSettingsHelp[kSettingsHelpPages];
