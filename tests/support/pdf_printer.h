// The CUPS printer that writes each job as a PDF (scripts/pdf_printer.sh), as tests under Wine
// see it: its queue and folder from the environment, the system print dialog, the PDFs.
#pragma once
#include <windows.h>
#include <dlgs.h>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// An environment variable; empty when unset.
std::wstring Env(const wchar_t* name);
// The host's "/a/b" as Wine's "Z:\a\b".
std::wstring DosPath(std::wstring unixPath);
// Whether the printer is among those the system lists.
bool PrinterListed(const std::wstring& name);
void DeletePdfs(const std::wstring& dir);
// Waits for a complete PDF (from its header to its trailer) in the folder: its name and bytes.
bool WaitForPdf(const std::wstring& dir, DWORD timeoutMs, std::wstring* name, std::vector<uint8_t>* bytes);
// Page objects of a PDF ("/Type /Page", not "/Pages"): Ghostscript writes its dictionaries
// uncompressed.
int PdfPageCount(const std::string& pdf);
// A visible system print dialog of the process (the one with the printer list cmb4), or null.
HWND FindPrintDialog(DWORD processId);

}  // namespace testsupport
