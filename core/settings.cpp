#include "core/settings.h"

#include <cwchar>
#include <cstring>
#include <memory>

#include "core/app_globals.h"
#include "core/message_box.h"
#include "core/pipeline_hooks.h"
#include "core/safe_file.h"
#include "core/write_failure.h"
#include "core/pure/scramble.h"

SettingsBlock g_settings;
int32_t g_viewMode = 3;
int32_t g_splitterPositions[3] = {200, 200, 200};

static const wchar_t kUncleanExitQuestion[] =
    L"前回正常に終了しなかった可能性があります。　以前開いたフォルダに復帰しますか?\n\n"
    L"※何度も繰り返しこの表示が出る場合は設定ファイルが破損している可能性があります。\n"
    L"　実行ファイルと同じフォルダ内にある設定ファイル[Brannomere.cfg]を一度削除した後、起動することで改善する可能性があります。";

bool BuildSettingsFilePath(wchar_t* out, int capacity) {
  int n = swprintf(out, capacity, L"%ls\\%ls%ls", g_programFolder, g_productName ? g_productName : L"Brannomere", L".cfg");
  return n > 0 && n < capacity;
}

static void UnpackWorkingCopies() {
  g_viewMode = g_settings.viewMode;
  g_splitterPositions[0] = g_settings.splitterPos1;
  g_splitterPositions[1] = g_settings.splitterPos2;
  g_splitterPositions[2] = g_settings.splitterPos3;
}

// The settings file is there but could not be read (held by another program, closed to us): the
// defaults this session runs with are never saved over it.
static bool s_fileUnread = false;

uint8_t LoadSettingsFile() {
  s_fileUnread = false;
  wchar_t path[MAX_PATH + 32];
  if (!BuildSettingsFilePath(path, MAX_PATH + 32)) return 0;
  HANDLE h = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    s_fileUnread = error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND;
    return 0;
  }
  std::memset(&g_settings, 0, sizeof g_settings);
  DWORD read = 0;
  BOOL ok = ReadFile(h, &g_settings, sizeof g_settings, &read, nullptr);
  CloseHandle(h);
  if (!ok) {
    s_fileUnread = true;
    return 0;
  }
  // Only the bytes the file held are unscrambled: the rest stays zero, so the sections a
  // short file does not reach fail their sentinel test and get their defaults.
  ScrambleBuffer(reinterpret_cast<uint8_t*>(&g_settings), read);
  double fileVersion = ParseVersionNumber(g_settings.versionText, 360);
  double programVersion = ParseVersionNumber(reinterpret_cast<const char16_t*>(g_programVersion), 100);
  if (read < 2 || !IsAcceptedSettingsVersion(fileVersion, programVersion)) return 0;
  ValidateLoadedSettings(g_settings);

  if (g_settings.cleanExit == 1) {
    g_settings.cleanExit = 0;
    CopyText16(reinterpret_cast<char16_t*>(g_startFolder), kPathChars, g_settings.lastFolder);
  } else if (ShowAppMessageBox(nullptr, kUncleanExitQuestion, g_productName, 0x40124) == IDYES) {
    CopyText16(reinterpret_cast<char16_t*>(g_startFolder), kPathChars, g_settings.lastFolder);
  }
  CopyText16(g_settings.versionText, 360, reinterpret_cast<const char16_t*>(g_programVersion));
  UnpackWorkingCopies();
  return 1;
}

uint8_t SaveSettingsFile() {
  if (s_fileUnread) return 0;
  CopyText16(g_settings.versionText, 360, reinterpret_cast<const char16_t*>(g_programVersion));
  g_settings.versionNumber = static_cast<float>(ParseVersionNumber(g_settings.versionText, 360));
  g_settings.viewMode = g_viewMode;
  g_settings.splitterPos1 = g_splitterPositions[0];
  g_settings.splitterPos2 = g_splitterPositions[1];
  g_settings.splitterPos3 = g_splitterPositions[2];
  g_pipelineHooks.collectWindowSettings();
  CopyText16(g_settings.lastFolder, kPathChars, reinterpret_cast<const char16_t*>(g_startFolder));

  wchar_t path[MAX_PATH + 32];
  if (!BuildSettingsFilePath(path, MAX_PATH + 32)) return 0;
  // The block in memory stays plain; only the copy on its way to disk is scrambled.
  std::unique_ptr<uint8_t[]> copy(new (std::nothrow) uint8_t[sizeof g_settings]);
  if (!copy) return 0;
  std::memcpy(copy.get(), &g_settings, sizeof g_settings);
  ScrambleBuffer(copy.get(), sizeof g_settings);
  if (WriteFileReplacing(path, copy.get(), sizeof g_settings)) return 1;
  // The file keeps its old bytes: what changed since is lost unless the user hears of it now.
  ReportWriteFailure(L"次の設定ファイルを保存できませんでした。", path, LastWriteError());
  return 0;
}

void SetDefaultSettings() {
  FillDefaultSettings(g_settings, reinterpret_cast<const char16_t*>(g_programVersion ? g_programVersion : L"5.71"));
  UnpackWorkingCopies();
}

void BuildColorMatchSetup(COLORMATCHSETUPW* out) {
  const ColorMatchSetup32& s = g_settings.colorMatchSetup;
  std::memset(out, 0, sizeof *out);
  out->dwSize = sizeof *out;
  out->dwVersion = s.version ? s.version : 0x200;
  out->dwFlags = s.flags;
  out->pSourceName = W(g_settings.colorSourceName);
  out->pDisplayName = W(g_settings.colorDisplayName);
  out->pPrinterName = W(g_settings.colorPrinterName);
  out->dwRenderIntent = s.renderIntent;
  out->dwProofingIntent = s.proofingIntent;
  out->pMonitorProfile = W(g_settings.colorMonitorProfile);
  out->ccMonitorProfile = 260;
  out->pPrinterProfile = W(g_settings.colorPrinterProfile);
  out->ccPrinterProfile = 260;
  out->pTargetProfile = W(g_settings.colorTargetProfile);
  out->ccTargetProfile = 260;
}

void StoreColorMatchSetup(const COLORMATCHSETUPW& record) {
  // The names were edited in place in the block's own fields; the numbers come back here.
  ColorMatchSetup32& s = g_settings.colorMatchSetup;
  s.size = sizeof(ColorMatchSetup32);
  s.version = record.dwVersion;
  s.flags = record.dwFlags;
  s.renderIntent = record.dwRenderIntent;
  s.proofingIntent = record.dwProofingIntent;
}
