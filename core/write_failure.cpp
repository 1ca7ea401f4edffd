#include "core/write_failure.h"

#include <cwchar>

#include "core/app_globals.h"
#include "core/message_box.h"

std::wstring WriteFailureReason(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return L"ディスクの空き容量が足りません。";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return L"他のプロセスがファイルを使用しています。";
    // Replacing a file that another program holds open is refused this way too.
    case ERROR_ACCESS_DENIED:
      return L"他のプロセスがファイルを使用しているか、書き込みが許可されていません。";
    case ERROR_WRITE_PROTECT:
      return L"ディスクが書き込み禁止になっています。";
    case ERROR_PATH_NOT_FOUND:
      return L"保存先のフォルダが見つかりません。";
    case ERROR_FILE_NOT_FOUND:
      return L"ファイルが見つかりません。";
    default:
      break;
  }
  wchar_t* system = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&system), 0, nullptr);
  std::wstring text = n && system ? std::wstring(system, n) : L"";
  if (system) LocalFree(system);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) text.pop_back();
  wchar_t code[32];
  swprintf(code, 32, L"(エラー %lu)", static_cast<unsigned long>(error));
  return text + code;
}

std::wstring WriteFailureText(const wchar_t* lead, const wchar_t* path, DWORD error) {
  std::wstring text = lead;
  if (path && path[0]) {
    // The long-path prefix of the writer means nothing to the user.
    text += L"\n";
    text += wcsncmp(path, L"\\\\?\\", 4) == 0 ? path + 4 : path;
  }
  if (error) text += L"\n\n" + WriteFailureReason(error);
  return text;
}

void ReportWriteFailure(const wchar_t* lead, const wchar_t* path, DWORD error) {
  const std::wstring text = WriteFailureText(lead, path, error);
  ShowAppMessageBox(nullptr, text.c_str(), g_productName ? g_productName : L"", MB_ICONERROR);
}
