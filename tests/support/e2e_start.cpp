#include "support/e2e_start.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdint>
#include <vector>

#include "core/pure/scramble.h"

namespace testsupport {

namespace {
bool CopyBeside(const ScratchDir& dir, const wchar_t* name) {
  const bool copied = CopyFileW((ExeFolder() + L"\\" + name).c_str(), dir.File(name).c_str(), FALSE) != 0;
  if (!copied) ADD_FAILURE() << "could not copy " << testing::PrintToString(std::wstring(name)) << " into the scratch folder";
  return copied;
}

bool ListHolds(HWND main, int rows, DWORD timeoutMs, HWND* list) {
  HWND found = nullptr;
  const bool held = WaitFor([&] {
    found = FileListOf(main);
    return found && SendMessageW(found, LVM_GETITEMCOUNT, 0, 0) == rows;
  }, timeoutMs);
  if (list) *list = found;
  if (!held) ADD_FAILURE() << "the file list did not come to " << rows << " rows";
  return held;
}
}  // namespace

std::wstring CopyProgramInto(const ScratchDir& dir, bool withRawModule) {
  if (!CopyBeside(dir, L"Brannomere.exe")) return L"";
  if (withRawModule && !CopyBeside(dir, L"rawdecoder.dll")) return L"";
  return dir.File(L"Brannomere.exe");
}

HWND StartAndAgree(Process& p, const std::wstring& exe, const std::wstring& folder) {
  if (!p.Start(exe, folder.empty() ? L"" : L"\"" + folder + L"\"")) return nullptr;
  return AgreeToTerms(p.id);
}

bool StartPastFirstDialogs(Process& p, const std::wstring& exe, const std::wstring& folder, int rows, HWND* main,
                           HWND* list, DWORD listTimeoutMs) {
  if (!(*main = StartAndAgree(p, exe, folder))) {
    ADD_FAILURE() << "the program did not start past its terms";
    return false;
  }
  if (rows >= 0 && !ListHolds(*main, rows, listTimeoutMs, list)) return false;
  CloseFirstStartSettings(p.id);
  return true;
}

bool StartAgain(Process& p, const std::wstring& exe, const std::wstring& folder, int rows, HWND* main, HWND* list) {
  if (!p.Start(exe, L"\"" + folder + L"\"") ||
      !WaitFor([&] { return (*main = FindTopWindow(p.id, L"BRANNOMERE", L"")) != nullptr; }, 30000)) {
    ADD_FAILURE() << "the program's main window did not open";
    return false;
  }
  return ListHolds(*main, rows, 30000, list);
}

void ExpectCleanExit(Process& p, HWND main, DWORD timeoutMs) {
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(timeoutMs, &code)) << "the program did not end after its window was closed";
  EXPECT_EQ(code, 0u);
}

bool ChangeSettingsFile(const std::wstring& cfg, const std::function<void(SettingsBlock&)>& change) {
  std::vector<uint8_t> block;
  if (!ReadWholeFile(cfg, &block) || block.size() != sizeof(SettingsBlock)) {
    ADD_FAILURE() << "the settings file is missing or not a settings block (" << block.size() << " bytes)";
    return false;
  }
  ScrambleBuffer(block.data(), block.size());
  change(*reinterpret_cast<SettingsBlock*>(block.data()));
  ScrambleBuffer(block.data(), block.size());
  if (!WriteWholeFile(cfg, block.data(), block.size())) {
    ADD_FAILURE() << "the settings file could not be written";
    return false;
  }
  return true;
}

}  // namespace testsupport
