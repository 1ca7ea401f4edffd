// The program's life from start-up to shut-down.
#pragma once
#include <windows.h>
#include <cstdint>

int RunApplication(HINSTANCE instance, const wchar_t* commandLine, int showCommand);

uint8_t AcquireSingleInstanceMutex();
void ReleaseSingleInstanceMutex();
uint8_t LocateProgramFolder();
void NormaliseAndMigrateSettings();
void DeriveHighlightColorsFromSystem();
void OpenCommandLineFolder(const wchar_t* commandLine);
int RunMessageLoop(HACCEL accelerators);
