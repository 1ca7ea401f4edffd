// The real program's index print, on a folder of camera pictures: the dialog opened by its
// command and its page counter read from outside, and, where the CUPS PDF printer is set up
// (scripts/pdf_printer.sh), the page printed through the program's system print dialog into a
// PDF.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/e2e_start.h"
#include "support/pdf_printer.h"
#include "support/remote_controls.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
const wchar_t kSample[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\sample1.jpg";
constexpr int kIndexPrintCommand = 32781;

HWND FindStatusBar(HWND main) {
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (ClassNameOf(c) == STATUSCLASSNAMEW) return c;
  return FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
}

// The index print dialog of the process: the top-level dialog with the page counter.
HWND FindIndexPrintDialog(DWORD processId) {
  return FindTopWindowWhere(processId, [](HWND w) { return IsWindowVisible(w) && GetDlgItem(w, IDC_IP_PAGE_TEXT); });
}
}  // namespace

TEST(IndexPrintE2E, OpenedFromTheProgramAndPrintedToAPdf) {
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), photos = dir.File(L"photos");
  ASSERT_TRUE(CreateDirectoryW(photos.c_str(), nullptr));
  for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
    ASSERT_TRUE(CopyFileW(kSample, (photos + L"\\" + name).c_str(), FALSE));

  const std::wstring printer = Env(L"BRN_PDF_PRINTER"), unixDir = Env(L"BRN_PDF_DIR");
  const std::wstring pdfDir = unixDir.empty() ? L"" : DosPath(unixDir);
  const bool printing = !printer.empty() && !pdfDir.empty() && PrinterListed(printer);
  if (printing) {
    DeletePdfs(pdfDir);
    ASSERT_TRUE(SetDefaultPrinterW(printer.c_str()));  // what the program's print dialog offers
  } else {
    std::fprintf(stderr, "note: no CUPS PDF printer visible; the print job is not checked\n");
  }

  Process p;
  HWND main = StartAndAgree(p, exe, photos);
  ASSERT_NE(main, nullptr);
  HWND status = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (status = FindStatusBar(main)) != nullptr; }, 10000));
  ASSERT_TRUE(WaitFor([&] { return StatusPartText(status, 8) == L"\tFILE:1/3"; }, 60000))
      << testing::PrintToString(StatusPartText(status, 8));
  CloseFirstStartSettings(p.id);

  PostMessageW(main, WM_COMMAND, kIndexPrintCommand, 0);
  HWND index = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (index = FindIndexPrintDialog(p.id)) != nullptr; }, 20000));
  std::wstring page;
  EXPECT_TRUE(WaitFor([&] { return (page = WindowText(GetDlgItem(index, IDC_IP_PAGE_TEXT))) == L"1/1 Page"; }, 10000))
      << testing::PrintToString(page);
  // Its controls and the page preview are painted on the screen, not an empty frame.
  EXPECT_TRUE(WaitFor([&] { return ColoursOnScreen(ScreenRectOf(index)) >= 12; }, 20000));
  SaveScreenshot(ExeFolder() + L"\\index_print_e2e.bmp");

  if (printing) {
    PostMessageW(index, WM_COMMAND, MAKEWPARAM(IDC_IP_PRINT, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(index, IDC_IP_PRINT)));
    HWND printDialog = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (printDialog = FindPrintDialog(p.id)) != nullptr; }, 60000))
        << "the program showed no print dialog";
    std::wstring chosen;
    EXPECT_TRUE(WaitFor([&] { return (chosen = WindowText(GetDlgItem(printDialog, cmb4))) == printer; }, 10000))
        << testing::PrintToString(chosen);
    PostMessageW(printDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    std::wstring pdf;
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(WaitForPdf(pdfDir, 120000, &pdf, &bytes)) << "no PDF arrived in " << testing::PrintToString(pdfDir);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(PdfPageCount(text), 1);
    EXPECT_TRUE(text.find("/Subtype/Image") != std::string::npos || text.find("/Subtype /Image") != std::string::npos);
    // The page was composed beside the program before it was printed.
    EXPECT_TRUE(FileExists(dir.File(L"__PRINT__.bmp")));
    DeletePdfs(pdfDir);
  }

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
}
