// The real program as a user starts it: a copy of it in a scratch folder of its own (so each case
// owns its settings file and single-instance lock), started on a folder of pictures and taken
// past the dialogs of a first start.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "core/pure/settings_block.h"
#include "support/win_test_support.h"

namespace testsupport {

// Brannomere.exe copied into the folder, the RAW module beside it when asked (as in an installed
// copy): the copy's path, or empty with the failure reported.
std::wstring CopyProgramInto(const ScratchDir& dir, bool withRawModule = false);

// Starts the copy on a folder (none when empty) and agrees to the terms: the main window, or null.
HWND StartAndAgree(Process& p, const std::wstring& exe, const std::wstring& folder);

// A first start as far as a user gets before working: the terms agreed to, the file list holding
// `rows` rows (not waited for when negative) and the first start's settings dialog closed. False,
// with the step reported, when the program did not get there.
bool StartPastFirstDialogs(Process& p, const std::wstring& exe, const std::wstring& folder, int rows, HWND* main,
                           HWND* list = nullptr, DWORD listTimeoutMs = 30000);

// A start after the first (no dialogs): the main window and its list once it holds `rows` rows.
// False, reported, when either is missing.
bool StartAgain(Process& p, const std::wstring& exe, const std::wstring& folder, int rows, HWND* main, HWND* list);

// The main window closed as its close box does: the program is expected to end within the time
// and with exit code 0.
void ExpectCleanExit(Process& p, HWND main, DWORD timeoutMs = 30000);

// The settings file as an earlier session left it, changed: read, unscrambled, handed to `change`
// and written back scrambled. False, reported, when it could not be read or written or is not a
// settings block.
bool ChangeSettingsFile(const std::wstring& cfg, const std::function<void(SettingsBlock&)>& change);

}  // namespace testsupport
