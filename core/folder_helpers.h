// Folder creation, the folder and file choosers and the up-down set-up shared by the dialogs.
#pragma once
#include <windows.h>
#include <cstdint>

// 1 when the folder exists afterwards; 0 when the user declined (ask 1) or it could not be made.
uint8_t EnsureFolderExists(const wchar_t* path, uint8_t ask);
// initialFolder: 260 characters, opens the chooser there and receives the display name.
uint8_t ChooseFolder(HWND owner, wchar_t* initialFolder, wchar_t* out);
int CALLBACK BrowseFolderCallback(HWND window, UINT message, LPARAM param, LPARAM data);
// fileBuffer: 1,024 characters, may hold an initial name; out: 260 characters.
uint8_t ChooseOpenFile(HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* fileBuffer, wchar_t* out);
uint8_t ChooseSaveFile(HWND owner, const wchar_t* filter, const wchar_t* title, wchar_t* fileBuffer, wchar_t* out,
                       const wchar_t* defaultExtension);
void InitUpDownControl(HWND upDown, HWND buddy, int minimum, int maximum, int position);
