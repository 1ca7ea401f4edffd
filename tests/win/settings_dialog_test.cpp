// The preferences dialog in a real window: page choice, the bound pages storing what is
// typed and clicked, the close sequence with the data folder check, and the table of bound
// controls against the page templates.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "browser/about_dialogs.h"
#include "browser/icon_lists.h"
#include "core/image_lists.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/settings.h"
#include "printing/index_print_dialog.h"
#include "resources/resource.h"
#include "settings_dialog/pure/page_rules.h"
#include "settings_dialog/settings_dialog.h"
#include "resources/settings_ids.h"
#include "support/program_services.h"
#include "support/settings_page_frame.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
// The largest brightness step between the selected tree row's fill and a pixel of its text.
int SelectedRowContrast() {
  HWND tree = GetDlgItem(SettingsDialog(), IDC_SETTINGS_TREE);
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  RECT row{};
  *reinterpret_cast<HTREEITEM*>(&row) = item;
  if (!item || !SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&row))) return -1;
  RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  auto light = [](COLORREF c) { return (GetRValue(c) * 3 + GetGValue(c) * 6 + GetBValue(c)) / 10; };
  HDC dc = GetDC(tree);
  const int fill = light(GetPixel(dc, row.left + 1, row.top + 1));
  int most = 0;
  for (int y = row.top + 1; y < row.bottom - 1; ++y)
    for (int x = row.left + 1; x < row.right - 1; ++x) most = std::max(most, std::abs(light(GetPixel(dc, x, y)) - fill));
  ReleaseDC(tree, dc);
  return most;
}

class SettingsDialogTest : public SettingsPageFrame {};

TEST_F(SettingsDialogTest, OpensAtTheLastPageAndStoresWhatIsEdited) {
  g_settings.lastSettingsPage = 3;
  g_settings.listThumbSharpness = 7;
  int shownTab = -1;
  bool page3Visible = false, page0Visible = true;
  std::set<int> missing, unbound;
  int contrast[2] = {};
  RunSettingsSteps(-1, {
      [&] {
        shownTab = static_cast<int>(SendDlgItemMessageW(SettingsDialog(), IDC_SETTINGS_TAB, TCM_GETCURSEL, 0, 0));
        page3Visible = (GetWindowLongW(SettingsPage(17), GWL_STYLE) & WS_VISIBLE) != 0;
        page0Visible = (GetWindowLongW(SettingsPage(14), GWL_STYLE) & WS_VISIBLE) != 0;
        // Every bound id is on its page, and every control of a bound page is bound or has
        // behaviour of its own.
        const int slots[5] = {14, 15, 16, 17, 18};
        for (int i = 0; i < kPageBindingCount; ++i)
          if (!GetDlgItem(SettingsPage(slots[kPageBindings[i].page]), kPageBindings[i].id))
            missing.insert(kPageBindings[i].page * 1000 + kPageBindings[i].id);
        for (int p = 0; p < 5; ++p)
          for (HWND c = GetWindow(SettingsPage(slots[p]), GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(c);
            if (id == IDC_STATIC || id == 0xFFFF) continue;
            bool known = false;
            for (int i = 0; i < kPageBindingCount; ++i)
              known |= kPageBindings[i].page == p && kPageBindings[i].id == id;
            for (int i = 0; i < kOwnPageControlCount; ++i)
              known |= kOwnPageControls[i].page == p && kOwnPageControls[i].id == id;
            if (!known) unbound.insert(p * 1000 + id);
          }
      },
      [&] { SaveScreenshot(ExeFolder() + L"\\settings_page3.bmp"); },
      [&] {
        HWND p3 = SettingsPage(17);
        SetDlgItemTextW(p3, IDC_VIEW_THUMB_WIDTH, L"90");
        SetDlgItemTextW(p3, IDC_LIST_THUMB_HEIGHT, L"0");  // refused: the height stays
        ClickButton(p3, IDC_LIST_THUMB_DEFAULTS);
        SetDlgItemTextW(p3, IDC_LIST_THUMB_WIDTH, L"2");  // below the range: the minimum
        ClickButton(SettingsPage(14), IDC_FMT_BMP);
        ClickButton(SettingsPage(16), IDC_DISP_ZOOM_HOLD);
        SetDlgItemTextW(SettingsPage(18), IDC_DATA_FOLDER, L"\\x\\");
      },
      [&] {
        // The selected page's row stays readable with the focus on the tree and away from it.
        SetFocus(GetDlgItem(SettingsDialog(), IDC_SETTINGS_TREE));
        contrast[0] = SelectedRowContrast();
        SetFocus(GetDlgItem(SettingsDialog(), IDC_SETTINGS_TAB));
        for (int p : {0, 1, 2, 4, 5, 6}) {
          SelectSettingsPage(p);
          UpdateWindow(SettingsDialog());
          SaveScreenshot(ExeFolder() + L"\\settings_page" + std::to_wstring(p) + L".bmp");
        }
        contrast[1] = SelectedRowContrast();
        CloseSettingsDialog();
      },
  });
  EXPECT_EQ(shownTab, 3);
  EXPECT_GT(contrast[0], 100);
  EXPECT_GT(contrast[1], 100);
  EXPECT_TRUE(page3Visible);
  EXPECT_FALSE(page0Visible);
  EXPECT_TRUE(missing.empty()) << *missing.begin();
  EXPECT_TRUE(unbound.empty()) << *unbound.begin();
  EXPECT_EQ(g_settings.thumbWidth, 88);
  EXPECT_EQ(g_settings.listThumbHeight, 20);
  EXPECT_EQ(g_settings.listThumbWidth, 4);
  EXPECT_EQ(g_settings.listThumbSharpness, 2);
  EXPECT_EQ(g_settings.enabledImageTypes & 1u, 0u);
  EXPECT_EQ(g_settings.keepZoomWhilePaging, 1);
  EXPECT_STREQ(W(g_settings.dataFolder), L"x");
  EXPECT_EQ(g_settings.lastSettingsPage, 6);
  EXPECT_EQ(ThumbnailRebuildFlag, 1);
  EXPECT_TRUE(FileExists(settingsPath_));
  EXPECT_EQ(SettingsDialog(), nullptr);
  for (HWND h : SettingsPageHandles) EXPECT_EQ(h, nullptr);
}

TEST_F(SettingsDialogTest, BadCacheFolderKeepsTheDialogOnTheCachePage) {
  // The answerer presses OK on every dialog it sees activated, the settings dialog included:
  // it is there only while the one box is expected.
  std::optional<BoxAnswerer> boxes;
  std::vector<std::wstring> texts;
  bool stillOpen = false, folderBitmap = false;
  int pageAfter = -1;
  if (!g_buttonBitmaps[0]) LoadIconImageLists();
  RunSettingsSteps(0, {
      [&] {
        // The folder chooser is the folder button picture, as on the other pages.
        HWND browse = GetDlgItem(SettingsPage(18), IDC_DATA_FOLDER_BROWSE);
        folderBitmap = (GetWindowLongW(browse, GWL_STYLE) & BS_BITMAP) && g_buttonBitmaps[0] &&
                       SendMessageW(browse, BM_GETIMAGE, IMAGE_BITMAP, 0) == reinterpret_cast<LRESULT>(g_buttonBitmaps[0]);
        SetDlgItemTextW(SettingsPage(18), IDC_DATA_FOLDER, L"C:\\bad|name");
      },
      [&] {
        boxes.emplace(IDOK);
        CloseSettingsDialog();
        for (const auto& s : boxes->seen)
          if (!s.text.empty()) texts.push_back(s.text);
        boxes.reset();
      },
      [&] {
        stillOpen = SettingsDialog() != nullptr;
        pageAfter = g_settings.lastSettingsPage;
        // Refreshing from another page must not undo a stored check of a close-time page.
        ClickButton(SettingsPage(16), IDC_DISP_WATCH_FOLDER);
        RefreshSettingsPages();
        SetDlgItemTextW(SettingsPage(18), IDC_DATA_FOLDER, L"");
      },
      [&] { CloseSettingsDialog(); },
  });
  EXPECT_TRUE(folderBitmap);
  ASSERT_EQ(texts.size(), 1u) << ::testing::PrintToString(texts);
  EXPECT_EQ(texts[0], L"キャッシュ保存先フォルダが不正です。");
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(pageAfter, 4);
  EXPECT_EQ(g_settings.watchFolder, 0);
  EXPECT_STREQ(W(g_settings.dataFolder), L".\\user");
  EXPECT_TRUE(FileExists(settingsPath_));
}
TEST_F(SettingsDialogTest, ColourPageEnablesResetsAndMarksTheHistogramBackground) {
  // The reset alone brings back the default histogram background: the thumbnails follow.
  g_settings.colorSlots[10] = 0x336699;
  g_settings.histogramBackgroundArgb = HistogramBackgroundArgb(g_settings);
  ThumbnailRebuildFlag = 0;
  RunSettingsSteps(6, {[&] { SendDlgItemMessageW(SettingsPage(21), IDC_COLOR_RESET, BM_CLICK, 0, 0); }, [&] { CloseSettingsDialog(); }});
  EXPECT_EQ(g_settings.histogramBackgroundArgb, 0x80202020u);
  EXPECT_EQ(ThumbnailRebuildFlag, 1);
  ThumbnailRebuildFlag = 0;

  g_settings.colorSlots[3] = 0x123456;
  int32_t enabledAfterUncheck = -1;
  uint32_t slotAfterReset = 0;
  RunSettingsSteps(6, {
      [&] {
        HWND page = SettingsPage(21);
        ClickButton(page, IDC_COLOR_ENABLE_COPY);
        enabledAfterUncheck = g_settings.colorSlotEnabled[11];
        SendDlgItemMessageW(page, IDC_COLOR_RESET, BM_CLICK, 0, 0);
        slotAfterReset = g_settings.colorSlots[3];
        // Only the alpha moves: the histogram background still changes at close.
        SendDlgItemMessageW(page, IDC_HISTOGRAM_ALPHA, TBM_SETPOS, TRUE, 200);
        SendMessageW(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_HISTOGRAM_ALPHA)));
      },
      [&] { CloseSettingsDialog(); },
  });
  EXPECT_EQ(enabledAfterUncheck, 0);
  EXPECT_EQ(slotAfterReset, 0x202020u);
  EXPECT_EQ(g_settings.colorSlotEnabled[11], 1);  // the reset enables every slot again
  EXPECT_EQ(g_settings.histogramBackgroundAlpha, 200);
  EXPECT_EQ(g_settings.histogramBackgroundArgb, 0xC8202020u);
  EXPECT_EQ(ThumbnailRebuildFlag, 1);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void AddFaults(std::vector<std::wstring>* all, HWND window, const RECT& shown) {
  for (std::wstring& f : LayoutFaults(window, shown)) all->push_back(std::move(f));
}
void AddFaults(std::vector<std::wstring>* all, HWND window) {
  RECT client;
  GetClientRect(window, &client);
  AddFaults(all, window, client);
}

// Every template as the dialog manager builds it, the settings pages inside the part of the
// tab the user sees, and the dialogs whose procedures place or fill controls as the program
// opens them.
TEST_F(SettingsDialogTest, EveryDialogShowsItsControlsAndCaptionsWhole) {
  std::vector<std::wstring> faults;
  std::vector<int> templates;
  EnumResourceNamesW(g_hInstance, RT_DIALOG, [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) -> BOOL {
    if (IS_INTRESOURCE(name)) reinterpret_cast<std::vector<int>*>(out)->push_back(static_cast<int>(reinterpret_cast<UINT_PTR>(name)));
    return TRUE;
  }, reinterpret_cast<LONG_PTR>(&templates));
  EXPECT_GE(templates.size(), 50u);
  HWND host = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1200, 900, nullptr, nullptr, g_hInstance, nullptr);
  for (int id : templates) {
    HWND d = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(id), host, PlainDialogProc, 0);
    if (!d) {
      faults.push_back(L"template " + std::to_wstring(id) + L" not created");
      continue;
    }
    SetWindowTextW(d, (L"template " + std::to_wstring(id) + L" " + WindowText(d)).c_str());
    AddFaults(&faults, d);
    DestroyWindow(d);
  }
  DestroyWindow(host);

  bool pagesPlaced = true;
  RunSettingsSteps(0, {[&] {
    AddFaults(&faults, SettingsDialog());
    HWND tab = GetDlgItem(SettingsDialog(), IDC_SETTINGS_TAB);
    RECT display;
    GetClientRect(tab, &display);
    SendMessageW(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (HWND page : SettingsPageHandles) {
      RECT at;
      GetWindowRect(page, &at);
      MapWindowPoints(nullptr, tab, reinterpret_cast<POINT*>(&at), 2);
      pagesPlaced &= at.left == 0 && at.top == display.top && at.bottom == display.bottom && at.right >= display.right;
      RECT shown = display;
      OffsetRect(&shown, -at.left, -at.top);
      AddFaults(&faults, page, shown);
    }
    CloseSettingsDialog();
  }});
  EXPECT_TRUE(pagesPlaced);

  // Index print: the controls stay above the preview pane at the size the dialog opens with.
  HWND print = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(IDD_INDEX_PRINT), nullptr, IndexPrintDialogProc, 0);
  ASSERT_NE(print, nullptr);
  Pump();
  RECT client;
  GetClientRect(print, &client);
  client.bottom = 244;
  AddFaults(&faults, print, client);
  SendMessageW(print, WM_CLOSE, 0, 0);
  Pump();
  for (int id : {IDD_ABOUT, IDD_TERMS_OF_USE}) {
    HWND d = CreateDialogParamW(g_hInstance, MAKEINTRESOURCEW(id), nullptr,
                                id == IDD_ABOUT ? AboutDlgProc : TermsOfUseDlgProc, 0);
    AddFaults(&faults, d);
    DestroyWindow(d);
  }
  std::wstring list;
  for (const std::wstring& f : faults) list += f + L"\n";
  std::string utf8(list.size() * 3 + 1, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, list.c_str(), -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
  EXPECT_TRUE(faults.empty()) << faults.size() << " faults:\n" << utf8;
}
}  // namespace
