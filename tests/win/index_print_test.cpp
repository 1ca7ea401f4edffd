// The index print dialog driven through its controls, and pages composed and saved from real
// camera pictures.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/folder_cache.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/settings.h"
#include "core/thumbnail_list_thread.h"
#include "printing/index_print_dialog.h"
#include "core/safe_file.h"
#include "printing/index_print_preview.h"
#include "resources/resource.h"
#include "support/index_print_frame.h"
#include "support/program_services.h"
#include "support/win_test_support.h"

using testsupport::ScratchDir;

namespace {
const wchar_t kSample[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\sample1.jpg";

std::wstring Text(HWND dialog, int id) {
  wchar_t text[128] = {};
  GetDlgItemTextW(dialog, id, text, 128);
  return text;
}

class IndexPrint : public testsupport::IndexPrintFrame {
 protected:
  HWND Open() {
    HWND d = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_INDEX_PRINT), nullptr, IndexPrintDialogProc, 0);
    testsupport::Pump();
    return d;
  }
};

void Type(HWND dialog, int id, const wchar_t* text, WORD code) {
  SetDlgItemTextW(dialog, id, text);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Keys into an edit given the focus (its text selected first): each goes in at the caret.
void TypeKeys(HWND dialog, int id, const wchar_t* keys, bool selectAll = false) {
  HWND edit = GetDlgItem(dialog, id);
  SetFocus(edit);
  if (selectAll) SendMessageW(edit, EM_SETSEL, 0, -1);
  for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
}

// Whether a static with the text stands on the control's row, just before it (or just after).
bool LabelBeside(HWND dialog, int id, const wchar_t* text, bool before) {
  struct Search {
    RECT at;
    const wchar_t* text;
    bool before, found;
  } search{{}, text, before, false};
  GetWindowRect(GetDlgItem(dialog, id), &search.at);
  EnumChildWindows(dialog, [](HWND child, LPARAM p) -> BOOL {
    auto* s = reinterpret_cast<Search*>(p);
    wchar_t name[16] = {}, shown[32] = {};
    GetClassNameW(child, name, 16);
    GetWindowTextW(child, shown, 32);
    RECT r;
    GetWindowRect(child, &r);
    const LONG gap = s->before ? s->at.left - r.right : r.left - s->at.right;
    if (_wcsicmp(name, L"Static") == 0 && wcscmp(shown, s->text) == 0 && IsWindowVisible(child) && gap >= 0 &&
        gap <= 12 && r.top < s->at.bottom && r.bottom > s->at.top)
      s->found = true;
    return !s->found;
  }, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
}  // namespace

// Each page line's position combo has its label, and each line's offsets their unit.
TEST_F(IndexPrint, EveryPositionAndOffsetIsLabelled) {
  HWND d = Open();
  ASSERT_NE(d, nullptr);
  for (int combo : {IDC_IP_FOLDER_POSITION, IDC_IP_FREE_POSITION, IDC_IP_PAGE_POSITION})
    EXPECT_TRUE(LabelBeside(d, combo, L"基本位置", true)) << combo;
  for (int upDown : {IDC_IP_FOLDER_Y_UD, IDC_IP_FREE_Y_UD, IDC_IP_PAGE_Y_UD, IDC_IP_INFO_Y_UD})
    EXPECT_TRUE(LabelBeside(d, upDown, L"mm", false)) << upDown;
}

TEST_F(IndexPrint, PagesNumbersAndEnabledControlsFollowTheSettings) {
  ScratchDir dir;
  for (int i = 0; i < 36; ++i) {
    wchar_t name[32];
    swprintf(name, 32, L"P%02d.jpg", i);
    ASSERT_TRUE(testsupport::WriteWholeFile(dir.File(name), "x", 1));
  }
  Load(dir.path());
  g_settings.indexPrintExtras.infoSize = 12;
  HWND d = Open();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(g_windowSlots[kSlotIndexPrint], d);
  EXPECT_NE(g_windowSlots[kSlotIndexPrintPreview], nullptr);
  EXPECT_EQ(Text(d, IDC_IP_PAGE_TEXT), L"1/2 Page");
  EXPECT_EQ(Text(d, IDC_IP_COLUMNS), L"5");
  EXPECT_EQ(g_settings.indexPrintExtras.infoSize, 12);  // the up-downs start at their own fields

  Click(d, IDC_IP_PAGE_NEXT);
  EXPECT_EQ(Text(d, IDC_IP_PAGE_TEXT), L"2/2 Page");
  Click(d, IDC_IP_PAGE_NEXT);
  EXPECT_EQ(Text(d, IDC_IP_PAGE_TEXT), L"1/2 Page");
  Click(d, IDC_IP_PAGE_BACK);
  EXPECT_EQ(Text(d, IDC_IP_PAGE_TEXT), L"2/2 Page");

  // Out-of-range numbers are not taken, on a change or on leaving the field.
  Type(d, IDC_IP_COLUMNS, L"150", EN_KILLFOCUS);
  Type(d, IDC_IP_ROWS, L"0", EN_KILLFOCUS);
  EXPECT_EQ(g_settings.indexPrint.columns, 5);
  EXPECT_EQ(g_settings.indexPrint.rows, 7);
  Type(d, IDC_IP_COLUMNS, L"6", EN_KILLFOCUS);
  EXPECT_EQ(g_settings.indexPrint.columns, 6);
  EXPECT_EQ(Text(d, IDC_IP_PAGE_TEXT), L"1/1 Page");
  Type(d, IDC_IP_FOLDER_X, L"-5", EN_CHANGE);
  EXPECT_EQ(g_settings.indexPrintExtras.folderNameOffsetXMm, -5);
  Type(d, IDC_IP_FOLDER_X, L"2000", EN_CHANGE);  // outside the range: the up-down keeps its value
  EXPECT_EQ(g_settings.indexPrintExtras.folderNameOffsetXMm, -5);

  Click(d, IDC_IP_PRINT_NAME);
  EXPECT_EQ(g_settings.indexPrint.printFileName, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_IP_CAPTION)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_IP_NAME_SIZE)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_IP_EXTENSION)));

  g_listSource = 1;
  Click(d, IDC_IP_PRINT_FOLDER);
  EXPECT_EQ(Text(d, IDC_IP_PRINT_FOLDER), L"コレクション名を印刷");
  EXPECT_EQ(Text(d, IDC_IP_FOLDER_GROUP), L"コレクション名印刷");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(d, IDC_IP_FOLDER_SIZE)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d, IDC_IP_FULL_PATH)));
  g_listSource = 0;

  SendDlgItemMessageW(d, IDC_IP_PAPER, CB_SETCURSEL, 0, 0);
  SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_IP_PAPER, CBN_SELCHANGE), 0);
  EXPECT_EQ(g_settings.indexPrint.paperIndex, 0);

  ShowWindow(d, SW_SHOW);
  testsupport::Pump();
  testsupport::SaveScreenshot(testsupport::ExeFolder() + L"\\index_print_dialog.bmp");
  MoveWindow(d, 30, 40, 900, 700, TRUE);
  SendMessageW(d, WM_CLOSE, 0, 0);
  testsupport::Pump();
  EXPECT_EQ(g_windowSlots[kSlotIndexPrint], nullptr);
  EXPECT_EQ(g_windowSlots[kSlotIndexPrintPreview], nullptr);
  EXPECT_EQ(g_settings.indexPrintExtras.dialogX, 30);
  EXPECT_EQ(g_settings.indexPrintExtras.dialogWidth, 900);
}

// A refresh follows each change of the columns and comes from the list thread while a folder
// loads: the edit being typed into keeps its text and caret; the others show the values.
TEST_F(IndexPrint, NumbersAndTextTypedKeyByKeyReadAsTyped) {
  g_settings.indexPrint.printFreeText = 1;
  HWND d = Open();
  ShowWindow(d, SW_SHOW);
  TypeKeys(d, IDC_IP_COLUMNS, L"12", true);
  EXPECT_EQ(g_settings.indexPrint.columns, 12);
  TypeKeys(d, IDC_IP_ROWS, L"\b", true);
  RefreshIndexPrintDialog();
  TypeKeys(d, IDC_IP_ROWS, L"8");
  TypeKeys(d, IDC_IP_FREE_TEXT, L"A", true);
  RefreshIndexPrintDialog();
  TypeKeys(d, IDC_IP_FREE_TEXT, L"B");
  EXPECT_EQ(Text(d, IDC_IP_COLUMNS) + Text(d, IDC_IP_ROWS) + Text(d, IDC_IP_FREE_TEXT), L"128AB");
  EXPECT_EQ(g_settings.indexPrint.rows, 8);
  EXPECT_STREQ(reinterpret_cast<const wchar_t*>(g_settings.indexPrint.freeText), L"AB");
  TypeKeys(d, IDC_IP_ROWS, L"\b", true);
  SetFocus(GetDlgItem(d, IDC_IP_COLUMNS));
  RefreshIndexPrintDialog();
  EXPECT_EQ(Text(d, IDC_IP_ROWS), L"8");
}

TEST_F(IndexPrint, PagesOfCameraPicturesAreSavedByTheirExtension) {
  ScratchDir dir;
  // The third a JPEG libjpeg-turbo cannot give in 24-bit colour (CMYK): the system's decoder draws it.
  for (const wchar_t* name : {L"a.jpg", L"b.jpg"}) ASSERT_TRUE(CopyFileW(kSample, dir.File(name).c_str(), FALSE));
  const std::vector<uint8_t> cmyk = testsupport::MakeCmykJpeg(500, 375);
  ASSERT_TRUE(testsupport::WriteWholeFile(dir.File(L"c.jpg"), cmyk.data(), cmyk.size()));
  Load(dir.path(), true);
  g_settings.indexPrint.printPageNumber = 1;
  g_settings.indexPrint.lastPage = 0;

  const std::wstring png = dir.File(L"page.png"), jpg = dir.File(L"page.JPG"), odd = dir.File(L"page.xyz");
  EXPECT_EQ(ComposeIndexPage(nullptr, nullptr, png.c_str()), 1);
  EXPECT_EQ(ComposeIndexPage(nullptr, nullptr, jpg.c_str()), 1);
  EXPECT_EQ(ComposeIndexPage(nullptr, nullptr, odd.c_str()), 0);
  EXPECT_FALSE(testsupport::FileExists(odd));

  Gdiplus::Bitmap page(png.c_str());
  ASSERT_EQ(page.GetLastStatus(), Gdiplus::Ok);
  EXPECT_EQ(page.GetWidth(), 826u);
  EXPECT_EQ(page.GetHeight(), 1169u);
  // The first three cells hold pictures; the fourth stays the white background.
  auto inked = [&](int column) {
    int count = 0;
    const int x0 = 15 + 160 * column;
    for (int y = 20; y < 150; y += 4)
      for (int x = x0 + 4; x < x0 + 150; x += 4) {
        Gdiplus::Color c;
        page.GetPixel(x, y, &c);
        if (c.GetR() < 240 || c.GetG() < 240 || c.GetB() < 240) ++count;
      }
    return count;
  };
  for (int column = 0; column < 3; ++column) EXPECT_GT(inked(column), 100) << column;
  EXPECT_EQ(inked(3), 0);
  // The page-number line at the bottom centre.
  int lineInk = 0;
  for (int y = 1169 - 60; y < 1169; ++y)
    for (int x = 380; x < 446; ++x) {
      Gdiplus::Color c;
      page.GetPixel(x, y, &c);
      lineInk += c.GetR() < 128 ? 1 : 0;
    }
  EXPECT_GT(lineInk, 10);

  // At twice the resolution the page number is twice as tall: text keeps its size on paper.
  auto numberHeight = [](const std::wstring& path) {
    Gdiplus::Bitmap sheet(path.c_str());
    const int w = static_cast<int>(sheet.GetWidth()), h = static_cast<int>(sheet.GetHeight());
    int top = h, bottom = -1;
    for (int y = h - h / 10; y < h; ++y)
      for (int x = w * 2 / 5; x < w * 3 / 5; ++x) {
        Gdiplus::Color c;
        sheet.GetPixel(x, y, &c);
        if (c.GetR() < 128) {
          top = y < top ? y : top;
          bottom = y;
        }
      }
    return bottom - top + 1;
  };
  const int atHundred = numberHeight(png);
  g_settings.indexPrint.printDpi = 200;
  const std::wstring fine = dir.File(L"fine.bmp");
  EXPECT_EQ(ComposeIndexPage(nullptr, nullptr, fine.c_str()), 1);
  const int atTwoHundred = numberHeight(fine);
  EXPECT_GT(atHundred, 4);
  EXPECT_NEAR(atTwoHundred, 2 * atHundred, 3 + atHundred / 5) << atHundred;

  // A save that fails half-way leaves the sheet saved there before byte for byte.
  g_settings.indexPrint.printDpi = 100;
  std::vector<uint8_t> before, after;
  ASSERT_TRUE(testsupport::ReadWholeFile(fine, &before));
  g_safeFileFaultStep = 2;
  EXPECT_EQ(ComposeIndexPage(nullptr, nullptr, fine.c_str()), 0);
  g_safeFileFaultStep = 0;
  ASSERT_TRUE(testsupport::ReadWholeFile(fine, &after));
  EXPECT_TRUE(before == after);
}
