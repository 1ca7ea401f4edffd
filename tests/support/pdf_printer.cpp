#include "support/pdf_printer.h"

#include <winspool.h>

#include <cctype>

#include "support/win_test_support.h"

namespace testsupport {
namespace {
std::wstring NewestPdf(const std::wstring& dir, ULONGLONG* size) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"\\*.pdf").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return L"";
  std::wstring name;
  FILETIME newest{};
  do {
    if (name.empty() || CompareFileTime(&found.ftLastWriteTime, &newest) > 0) {
      name = found.cFileName;
      newest = found.ftLastWriteTime;
      *size = (static_cast<ULONGLONG>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    }
  } while (FindNextFileW(find, &found));
  FindClose(find);
  return name;
}

}  // namespace

std::wstring Env(const wchar_t* name) {
  wchar_t value[1024];
  const DWORD n = GetEnvironmentVariableW(name, value, 1024);
  return n > 0 && n < 1024 ? std::wstring(value, n) : std::wstring();
}

std::wstring DosPath(std::wstring unixPath) {
  for (wchar_t& c : unixPath)
    if (c == L'/') c = L'\\';
  return L"Z:" + unixPath;
}

bool PrinterListed(const std::wstring& name) {
  DWORD need = 0, count = 0;
  EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &need, &count);
  if (need == 0) return false;
  std::vector<BYTE> buffer(need);
  if (!EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), need, &need, &count)) return false;
  const auto* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (printers[i].pPrinterName && name == printers[i].pPrinterName) return true;
  return false;
}

void DeletePdfs(const std::wstring& dir) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((dir + L"\\*.pdf").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do DeleteFileW((dir + L"\\" + found.cFileName).c_str());
  while (FindNextFileW(find, &found));
  FindClose(find);
}

int PdfPageCount(const std::string& pdf) {
  int count = 0;
  for (size_t at = pdf.find("/Type"); at != std::string::npos; at = pdf.find("/Type", at + 5)) {
    size_t p = at + 5;
    while (p < pdf.size() && (pdf[p] == ' ' || pdf[p] == '\r' || pdf[p] == '\n')) ++p;
    const bool more = p + 5 < pdf.size() && std::isalnum(static_cast<unsigned char>(pdf[p + 5]));
    if (pdf.compare(p, 5, "/Page") == 0 && !more) ++count;
  }
  return count;
}

bool WaitForPdf(const std::wstring& dir, DWORD timeoutMs, std::wstring* name, std::vector<uint8_t>* bytes) {
  // CUPS hands the job to Ghostscript, which writes the file in place.
  return WaitFor([&] {
    ULONGLONG size = 0;
    const std::wstring newest = NewestPdf(dir, &size);
    if (newest.empty() || size < 64) return false;
    bytes->clear();
    if (!ReadWholeFile(dir + L"\\" + newest, bytes) || bytes->size() < 64) return false;
    if (std::string(bytes->begin(), bytes->begin() + 5) != "%PDF-") return false;
    if (std::string(bytes->end() - 32, bytes->end()).find("%%EOF") == std::string::npos) return false;
    *name = newest;
    return true;
  }, timeoutMs);
}

HWND FindPrintDialog(DWORD processId) {
  return FindTopWindowWhere(processId, [](HWND w) {
    return IsWindowVisible(w) && ClassNameOf(w) == L"#32770" && GetDlgItem(w, cmb4);
  });
}

}  // namespace testsupport
