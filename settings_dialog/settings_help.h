// Tooltip texts of the settings pages built on the frame so far (pages 0 to 6).
#pragma once

struct SettingsHelpTable {
  const int* ids;
  const wchar_t* const* texts;
  int count;
};
constexpr int kSettingsHelpPages = 7;
extern const SettingsHelpTable kSettingsHelp[kSettingsHelpPages];
