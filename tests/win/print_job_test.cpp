// A real print job: the index page of camera pictures printed from the dialog's print button
// through the system print dialog to a CUPS printer that writes each job as a PDF.
// scripts/pdf_printer.sh sets the printer up; without it the test skips. The PDF is read back
// as a picture by print_job_pdf_check.sh, which runs after this test.
#include <gtest/gtest.h>

#include <windows.h>
#include <gdiplus.h>
#include <icm.h>
#include <winspool.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <thread>
#include <vector>

#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/colour_profiles.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "printing/index_print_dialog.h"
#include "printing/index_print_preview.h"
#include "printing/print_job.h"
#include "resources/resource.h"
#include "support/index_print_frame.h"
#include "support/program_services.h"
#include "support/pdf_printer.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
// Written last, when the job's PDF passed the checks here.
const wchar_t kMarker[] = L"print_job.txt";
const wchar_t kSample[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\sample1.jpg";

// The system print dialog of this process, answered from another thread: the test's printer
// chosen in its list, then OK.
class PrintDialogAnswerer {
 public:
  // keep: the window of the test, left open when nothing else turns up.
  PrintDialogAnswerer(std::wstring printer, HWND keep) : printer_(std::move(printer)), keep_(keep) {
    thread_ = std::thread([this] { Run(); });
  }
  ~PrintDialogAnswerer() {
    stop_ = true;
    thread_.join();
  }
  std::wstring chosen;  // the printer shown in the dialog when OK was pressed
  std::atomic<bool> answered{false};

 private:
  void Run() {
    for (int i = 0; i < 600 && !stop_ && !answered; ++i) {
      if (HWND dialog = testsupport::FindPrintDialog(GetCurrentProcessId())) {
        HWND list = GetDlgItem(dialog, cmb4);
        if (SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(printer_.c_str())) !=
            CB_ERR)
          SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb4, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        wchar_t text[256] = {};
        GetWindowTextW(list, text, 256);
        chosen = text;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        answered = true;
        return;
      }
      Sleep(100);
    }
    // No print dialog: whatever came instead (a message box) is cancelled, so the click returns.
    if (!answered) Cancel();
  }
  void Cancel() {
    for (HWND w : testsupport::VisibleTopWindows(GetCurrentProcessId(), L"#32770"))
      if (w != keep_) PostMessageW(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
  std::wstring printer_;
  HWND keep_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

class PrintJob : public IndexPrintFrame {
 protected:
  void Load(const std::wstring& folder) { IndexPrintFrame::Load(folder, true); }
};
}  // namespace

// The set-up saves the chosen profile's name: the job sets it as a path in the colour folder, in
// any run; with none chosen, the printer's own serves this job and the later ones.
TEST_F(PrintJob, PrinterProfileIsTheChosenOneInTheColourFolder) {
  wchar_t folder[MAX_PATH] = {}, own[260] = {}, path[260];
  DWORD size = sizeof folder, chars = 260;
  ASSERT_TRUE(GetColorDirectoryW(nullptr, folder, &size));
  HDC dc = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_TRUE(GetICMProfileW(dc, &chars, own));
  g_printerProfilePath[0] = 0;
  wcscpy(W(g_settings.colorPrinterProfile), L"Printer.icm");
  EXPECT_EQ(std::wstring(ApplyPrinterProfile(dc)), std::wstring(folder) + L"\\Printer.icm");
  g_printerProfilePath[0] = g_settings.colorPrinterProfile[0] = 0;
  EXPECT_STREQ(ApplyPrinterProfile(dc), own);
  EXPECT_STREQ(g_printerProfilePath, own);
  DeleteDC(dc);
  g_printerProfilePath[0] = 0;
  BuildProfilePath(L"", path);  // no name: no path, not the colour folder itself
  EXPECT_EQ(path[0], 0);
}

TEST_F(PrintJob, IndexPagePrintsToAPdfShowingTheSheet) {
  const std::wstring printer = Env(L"BRN_PDF_PRINTER"), unixDir = Env(L"BRN_PDF_DIR");
  const std::wstring dir = DosPath(unixDir);
  if (!unixDir.empty()) {
    DeleteFileW((dir + L"\\" + kMarker).c_str());
    DeletePdfs(dir);
  }
  if (printer.empty() || unixDir.empty()) GTEST_SKIP() << "no CUPS PDF printer was set up (scripts/pdf_printer.sh)";
  if (!PrinterListed(printer)) GTEST_SKIP() << "Wine does not list the CUPS printer";
  ASSERT_TRUE(SetDefaultPrinterW(printer.c_str()));

  ScratchDir pictures;
  for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg"})
    ASSERT_TRUE(CopyFileW(kSample, pictures.File(name).c_str(), FALSE));
  Load(pictures.path());
  ASSERT_EQ(g_listCount, 3);
  g_settings.indexPrint.paperIndex = 1;  // A4
  g_settings.indexPrint.landscape = 0;
  g_settings.indexPrint.printPageNumber = 1;
  // A page file of an earlier job must not be what is printed.
  const std::wstring pageFile = std::wstring(g_programFolder) + L"\\__PRINT__.bmp";
  ASSERT_TRUE(testsupport::WriteWholeFile(pageFile, "stale", 5));

  HWND d = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_INDEX_PRINT), nullptr, IndexPrintDialogProc, 0);
  ASSERT_NE(d, nullptr);
  ShowWindow(d, SW_SHOW);
  testsupport::Pump();
  {
    PrintDialogAnswerer answer(printer, d);
    // Returns when the job has been handed to the spooler.
    SendMessageW(GetDlgItem(d, IDC_IP_PRINT), BM_CLICK, 0, 0);
    ASSERT_TRUE(answer.answered) << "the print dialog did not appear";
    EXPECT_EQ(answer.chosen, printer);
  }
  // The chosen printer's own profile served that job only.
  EXPECT_EQ(g_settings.colorPrinterProfile[0], 0);
  Gdiplus::Bitmap composed(pageFile.c_str());
  ASSERT_EQ(composed.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(composed.GetWidth(), 826u);

  std::wstring pdf;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(WaitForPdf(dir, 120000, &pdf, &bytes)) << "no PDF arrived in " << testing::PrintToString(dir);
  ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 5), "%PDF-");

  const std::string text(bytes.begin(), bytes.end());
  EXPECT_EQ(PdfPageCount(text), 1);
  EXPECT_TRUE(text.find("/Subtype/Image") != std::string::npos || text.find("/Subtype /Image") != std::string::npos);

  // The host's PDF tools read the page back (print_job_pdf_check.sh, run next): copies of the
  // PDF and of the sheet that was sent, under names that other tests' clearing leaves alone,
  // named in the marker file.
  ASSERT_TRUE(CopyFileW(pageFile.c_str(), (dir + L"\\sheet.bmp").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((dir + L"\\" + pdf).c_str(), (dir + L"\\job.pdf.saved").c_str(), FALSE));
  std::string marker;
  for (const std::wstring& path : {unixDir + L"/job.pdf.saved", unixDir + L"/sheet.bmp"}) {
    for (wchar_t c : path) marker += static_cast<char>(c);  // cups-pdf and the scripts name files in ASCII
    marker += "\n";
  }
  EXPECT_TRUE(testsupport::WriteWholeFile(dir + L"\\" + kMarker, marker.data(), marker.size()));
}
