// Services the start-up sequence calls whose own code is not written yet. Each one moves to
// its own header when it is built, and its temporary definition leaves core/standins.cpp.
#pragma once
#include <windows.h>
#include <cstdint>

void BuildMenuBar(HINSTANCE instance);
void DestroyMenus();
void CreateTooltipWindow(HINSTANCE instance);
void DestroyTooltipWindow();
void LoadCollections();
void SaveCollections();
uint8_t CheckForNewVersion();
void RebuildActionKeyTable();
void BuildViewFocusPointTables();
void ResetFolderWatchEvent();
bool BuildShellDisplayPath(const wchar_t* fileSystemPath, wchar_t* displayPath);
void ResetImageEntryArrays();
void ResetHistogramCache();
void ResetColorSettings();
