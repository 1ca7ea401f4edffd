// Rebar bands, toolbars, menus, tooltips, focus queries, caption, favourites and NumLock against
// real windows.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "browser/caption_favourites.h"
#include "browser/focus_queries.h"
#include "browser/idle_loop.h"
#include "browser/main_commands.h"
#include "browser/main_window.h"
#include "browser/icon_lists.h"
#include "browser/menus.h"
#include "browser/numlock.h"
#include "browser/rebar_bands.h"
#include "browser/slideshow.h"
#include "browser/tooltips.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/image_entry_list.h"
#include "core/settings.h"
#include "support/win_test_support.h"

using testsupport::BoxAnswerer;

namespace {

LRESULT CALLBACK TestWindowProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_MEASUREITEM && MeasureOwnerMenuItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp))) return TRUE;
  if (m == WM_DRAWITEM && DrawOwnerMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp))) return TRUE;
  if (m == WM_NOTIFY && AnswerToolbarTooltip(reinterpret_cast<NMHDR*>(lp))) return TRUE;
  return DefWindowProcW(w, m, wp, lp);
}

class BarsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    g_hInstance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_USEREX_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = g_hInstance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"BarsTestWindow";
    RegisterClassW(&wc);
  }
  void SetUp() override {
    FillDefaultSettings(g_settings, u"5.71");
    NormaliseAfterCollections(g_settings);
    g_osClass = 10;
    g_viewMode = 3;
    window_ = CreateWindowExW(0, L"BarsTestWindow", L"bars", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 200, nullptr, nullptr,
                              g_hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    DestroyWindow(window_);
    g_hwndRebar = nullptr;
    for (HWND& h : g_bandControls) h = nullptr;
    for (HWND& h : g_windowSlots) h = nullptr;
  }
  HWND MakeRebar() {
    HWND rebar = CreateRebarBands(window_);
    EXPECT_NE(rebar, nullptr);
    SetWindowPos(rebar, nullptr, 0, 0, 1280, 60, SWP_NOZORDER);
    return rebar;
  }
  static REBARBANDINFOW Band(HWND rebar, int index) {
    REBARBANDINFOW b{};
    b.cbSize = REBARBANDINFOW_V6_SIZE;
    b.fMask = RBBIM_ID | RBBIM_STYLE | RBBIM_SIZE | RBBIM_CHILD | RBBIM_IMAGE | RBBIM_CHILDSIZE;
    SendMessageW(rebar, RB_GETBANDINFOW, index, reinterpret_cast<LPARAM>(&b));
    return b;
  }
  static std::wstring ComboText(HWND combo, int item) {
    wchar_t text[300] = {};
    COMBOBOXEXITEMW it{};
    it.mask = CBEIF_TEXT;
    it.iItem = item;
    it.pszText = text;
    it.cchTextMax = 300;
    SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
    return text;
  }
  HWND window_ = nullptr;
};

TEST_F(BarsTest, DefaultBandsAndToolbox) {
  HWND rebar = MakeRebar();
  ASSERT_EQ(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0), 7);
  const UINT widths[] = {14, 352, 352, 152, 352, 102, 660};
  for (int i = 0; i < 7; ++i) {
    REBARBANDINFOW b = Band(rebar, i);
    EXPECT_EQ(b.wID, UINT(i));
    EXPECT_EQ(b.iImage, i);
    EXPECT_EQ(b.hwndChild, g_bandControls[i]);
    EXPECT_EQ((b.fStyle & RBBS_BREAK) != 0, i == 4 || i == 6) << i;
    EXPECT_EQ(b.fStyle & RBBS_NOGRIPPER, 0u);
    EXPECT_EQ(b.cyMinChild, UINT(BandHeight(i, 1, 10)));
    if (i != 6) EXPECT_EQ(b.cx, widths[i]) << i;  // the last band of a row takes the rest
  }
  EXPECT_EQ(GetDlgCtrlID(g_bandControls[1]), 211);
  EXPECT_EQ(GetDlgCtrlID(g_bandControls[2]), 212);
  EXPECT_EQ(GetDlgCtrlID(g_bandControls[3]), 339);
  EXPECT_EQ(GetDlgCtrlID(g_bandControls[4]), 325);
  EXPECT_EQ(GetDlgCtrlID(g_bandControls[5]), 319);
  EXPECT_EQ(GetDlgCtrlID(g_bandControls[6]), 203);
  // Empty favourites and cache history: disabled combos.
  EXPECT_FALSE(IsWindowEnabled(g_bandControls[1]));
  FillCacheHistoryCombo();
  EXPECT_FALSE(IsWindowEnabled(g_bandControls[2]));

  HWND toolbox = g_bandControls[6];
  ASSERT_EQ(SendMessageW(toolbox, TB_BUTTONCOUNT, 0, 0), 32);
  int separators = 0, checks = 0;
  for (int i = 0; i < 32; ++i) {
    TBBUTTON b{};
    SendMessageW(toolbox, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
    if (b.fsStyle & BTNS_SEP) ++separators;
    if (b.fsStyle & BTNS_CHECK) ++checks;
    if (!(b.fsStyle & BTNS_SEP)) EXPECT_TRUE(SendMessageW(toolbox, TB_ISBUTTONENABLED, b.idCommand, 0)) << b.idCommand;
  }
  EXPECT_EQ(separators, 3);
  EXPECT_EQ(checks, 7);
  TBBUTTON last{};
  SendMessageW(toolbox, TB_GETBUTTON, 31, reinterpret_cast<LPARAM>(&last));
  EXPECT_EQ(last.idCommand, 556);
  EXPECT_EQ(last.iBitmap, 54);
  // The toolbar's own tooltip asks the main window (through the rebar) for the text.
  HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbox, TB_GETTOOLTIPS, 0, 0));
  ASSERT_NE(tips, nullptr);
  wchar_t tip[80] = {};
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = toolbox;
  ti.uId = 332;
  ti.lpszText = tip;
  SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(tip, L"スライドショー(F1)");
  EXPECT_EQ(SendMessageW(g_bandControls[0], TB_BUTTONCOUNT, 0, 0), 1);
  TBBUTTON menuButton{};
  SendMessageW(g_bandControls[0], TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&menuButton));
  EXPECT_EQ(menuButton.idCommand, 205);
}

TEST_F(BarsTest, SavedLayoutLockAndToolboxRebuild) {
  BandLayoutRecord saved[7] = {{6, 0, 400}, {3, 0, 150}, {3, 0, 99}, {0, 1, 14}, {-2, 0, 1}, {8, 0, 1}, {1, 0, 300}};
  memcpy(g_settings.bandLayout, saved, sizeof saved);
  g_settings.lockBands = 1;
  g_settings.toolboxButtonCount = 3;
  g_settings.toolboxButtons[0] = 1;
  g_settings.toolboxButtons[1] = 99;  // out of the table: skipped
  g_settings.toolboxButtons[2] = 12;
  HWND rebar = MakeRebar();
  ASSERT_EQ(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0), 4);
  const UINT ids[] = {6, 3, 0, 1};
  for (int i = 0; i < 4; ++i) {
    REBARBANDINFOW b = Band(rebar, i);
    EXPECT_EQ(b.wID, ids[i]);
    EXPECT_NE(b.fStyle & RBBS_NOGRIPPER, 0u);
    EXPECT_EQ((b.fStyle & RBBS_BREAK) != 0, i == 2);
  }
  EXPECT_EQ(SendMessageW(g_bandControls[6], TB_BUTTONCOUNT, 0, 0), 2);
  EXPECT_EQ(g_bandControls[2], nullptr);
  FillCacheHistoryCombo();  // no band: nothing to fill, no crash

  g_settings.toolboxButtonCount = 5;
  for (int i = 0; i < 5; ++i) g_settings.toolboxButtons[i] = 20 + i;
  RebuildToolboxBand();
  EXPECT_EQ(SendMessageW(rebar, RB_GETBANDCOUNT, 0, 0), 4);
  EXPECT_EQ(SendMessageW(rebar, RB_IDTOINDEX, 6, 0), 0);
  EXPECT_EQ(SendMessageW(g_bandControls[6], TB_BUTTONCOUNT, 0, 0), 5);
  EXPECT_EQ(Band(rebar, 0).hwndChild, g_bandControls[6]);

  SetRebarBandText(3, L"003/120");
  wchar_t text[32] = {};
  REBARBANDINFOW b{};
  b.cbSize = REBARBANDINFOW_V6_SIZE;
  b.fMask = RBBIM_TEXT;
  b.lpText = text;
  b.cch = 32;
  SendMessageW(rebar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&b));
  EXPECT_STREQ(text, L"003/120");
}

TEST_F(BarsTest, FavouritesAddMoveDropAndCombo) {
  for (const wchar_t* p : {L"C:\\写真\\2020", L"C:\\写真\\2021", L"C:\\写真\\2022"}) AddFavouriteFolder(p);
  AddFavouriteFolder(L"c:\\写真\\2020");  // again, other case: moves to the top
  EXPECT_STREQ(W(g_settings.favouriteFolders[0].path), L"c:\\写真\\2020");
  EXPECT_STREQ(W(g_settings.favouriteFolders[1].path), L"C:\\写真\\2022");
  EXPECT_EQ(g_settings.favouriteFolders[3].path[0], 0);
  for (int i = 0; i < 125; ++i) AddFavouriteFolder((L"D:\\f" + std::to_wstring(i)).c_str());
  EXPECT_STREQ(W(g_settings.favouriteFolders[127].path), L"C:\\写真\\2021");
  AddFavouriteFolder(L"D:\\last");  // the 129th drops the last row
  EXPECT_STREQ(W(g_settings.favouriteFolders[0].path), L"D:\\last");
  EXPECT_STREQ(W(g_settings.favouriteFolders[127].path), L"C:\\写真\\2022");

  // A row with an empty path is skipped in the combo; items keep their row numbers.
  RemoveFavouriteFolder(1);
  SetFavouriteFolder(2, L"");
  HWND rebar = CreateRebarWindow(window_);  // a rebar made by the caller is filled as it is
  EXPECT_EQ(CreateRebarBands(rebar), rebar);
  HWND combo = g_bandControls[1];
  EXPECT_TRUE(IsWindowEnabled(combo));
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 126);
  EXPECT_EQ(ComboText(combo, 0), L"D:\\last");
  EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 2, 0), 3);
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  SendMessageW(combo, CB_SETCURSEL, 2, 0);
  EXPECT_EQ(GetSelectedFavouriteRow(), 3);
  // Picking that item in the band opens row 3, past the gap.
  g_favouritePick = -1;
  RunMainCommand(window_, MAKEWPARAM(211, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(g_favouritePick, 3);
  g_favouritePick = -1;

  // Opening a row: the folder becomes current and the navigation pane is told to refresh.
  static int refreshes;
  refreshes = 0;
  struct Nav {
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
      if (m == WM_COMMAND && wp == 112) ++refreshes;
      return DefWindowProcW(w, m, wp, lp);
    }
  };
  HWND nav = CreateWindowW(L"STATIC", L"", WS_CHILD, 0, 0, 1, 1, window_, nullptr, g_hInstance, nullptr);
  SetWindowLongPtrW(nav, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Nav::Proc));
  g_windowSlots[kSlotNavigationPane] = nav;
  g_tempCaption = 1;
  EXPECT_TRUE(OpenFavouriteFolder(3));
  EXPECT_STREQ(g_currentFolder, W(g_settings.favouriteFolders[3].path));
  // The tree is told the folder's display path, which ends with the path below the drive.
  const wchar_t* belowDrive = g_currentFolder + 2;
  const size_t shown = wcslen(g_startFolder), tail = wcslen(belowDrive);
  ASSERT_GT(shown, tail);
  EXPECT_STREQ(g_startFolder + shown - tail, belowDrive);
  EXPECT_EQ(g_tempCaption, 0);
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(OpenFavouriteFolder(2));  // empty path: nothing opens
  EXPECT_EQ(refreshes, 1);
  EXPECT_TRUE(OpenFavouriteFolder(500));
  // A row outside the cache history keeps the folder shown.
  wcscpy(g_currentFolder, L"C:\\shown");
  const int32_t rows = g_cacheHistoryCount;
  for (int32_t count : {0, 1}) {
    g_cacheHistoryCount = count;
    EXPECT_TRUE(OpenCachedFolder(count));
    EXPECT_TRUE(OpenCachedFolder(-1));
    EXPECT_STREQ(g_currentFolder, L"C:\\shown") << count;
  }
  g_cacheHistoryCount = rows;
  EXPECT_EQ(refreshes, 1);

  // A folder the tree cannot be led to (its display path too long) opens nothing and says so;
  // the folder commands still act on the folder shown.
  const std::wstring deep = L"C:\\" + std::wstring(240, L'a');
  SetFavouriteFolder(4, deep.c_str());
  BoxAnswerer answer(IDOK);
  EXPECT_TRUE(OpenFavouriteFolder(4));
  ASSERT_EQ(answer.seen.size(), 1u);
  EXPECT_EQ(answer.seen[0].text, L"次のフォルダを開けませんでした。\n" + deep);
  EXPECT_STREQ(g_currentFolder, L"C:\\shown");
  EXPECT_EQ(refreshes, 1);
}

TEST_F(BarsTest, MenusBuildShareAndDestroy) {
  BuildMenuBar(g_hInstance);
  for (int i = 0; i < kMenuCount; ++i) EXPECT_TRUE(IsMenu(g_menus[i])) << i;
  EXPECT_EQ(GetMenuItemCount(g_menus[0]), 0);
  struct Count {
    int index, items;
  } counts[] = {{1, 10}, {2, 43}, {3, 5}, {4, 26}, {10, 18}, {11, 23}, {12, 1}, {13, 1}, {19, 1}, {20, 4}};
  for (const Count& c : counts) EXPECT_EQ(GetMenuItemCount(g_menus[c.index]), c.items) << c.index;
  for (int n = 0; n < 18; ++n) EXPECT_EQ(GetMenuItemID(g_menus[10], n), UINT(2000 + n));
  wchar_t text[64];
  GetMenuStringW(g_menus[10], 17, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"GPS撮影位置推測設定");
  // Shared submenus: the same handle in every parent.
  EXPECT_EQ(GetSubMenu(g_menus[1], 2), g_menus[10]);
  EXPECT_EQ(GetSubMenu(g_menus[2], 22), g_menus[10]);
  EXPECT_EQ(GetSubMenu(g_menus[11], 2), g_menus[10]);
  EXPECT_EQ(GetSubMenu(g_menus[2], 42), g_menus[9]);
  // Owner-drawn items carry popup and position.
  MENUITEMINFOW mi{};
  mi.cbSize = sizeof mi;
  mi.fMask = MIIM_FTYPE | MIIM_DATA;
  GetMenuItemInfoW(g_menus[1], 9, TRUE, &mi);
  EXPECT_NE(mi.fType & MFT_OWNERDRAW, 0u);
  EXPECT_EQ(mi.dwItemData, OwnerItemData(1, 9));
  GetMenuItemInfoW(g_menus[3], 0, TRUE, &mi);
  EXPECT_EQ(mi.fType & MFT_OWNERDRAW, 0u);
  GetMenuStringW(g_menus[12], 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"なし");
  EXPECT_EQ(GetMenuState(g_menus[12], 3000, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED | MF_CHECKED));

  // The list popup: rebuilt submenus in both parents, check marks and greying.
  g_settings.favouriteFolders[0] = {1, 0, {}};
  CopyText16(g_settings.favouriteFolders[0].path, 260, u"C:\\a");
  g_settings.favouriteFolders[5] = {1, 0, {}};
  CopyText16(g_settings.favouriteFolders[5].path, 260, u"C:\\写真");
  g_settings.enabledImageTypes = 0x80000002u;
  g_settings.splitLayout = 2;
  g_listSource = 1;
  g_entryCount = 0;
  HMENU oldFavourites = g_menus[12];
  PrepareListPopup();
  EXPECT_FALSE(IsMenu(oldFavourites));
  EXPECT_EQ(GetSubMenu(g_menus[2], 17), g_menus[12]);
  EXPECT_EQ(GetSubMenu(g_menus[11], 17), g_menus[12]);
  EXPECT_EQ(GetSubMenu(g_menus[2], 13), g_menus[19]);
  EXPECT_EQ(GetMenuItemCount(g_menus[2]), 43);
  ASSERT_EQ(GetMenuItemCount(g_menus[12]), 2);
  EXPECT_EQ(GetMenuItemID(g_menus[12], 1), 3005u);
  GetMenuStringW(g_menus[12], 1, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"C:\\写真");
  for (int pos = 0; pos < 26; ++pos) {
    UINT id = GetMenuItemID(g_menus[4], pos);
    bool checked = GetMenuState(g_menus[4], pos, MF_BYPOSITION) & MF_CHECKED;
    EXPECT_EQ(checked, id == 141 || id == 278) << id;
  }
  for (int n = 0; n < 5; ++n)
    EXPECT_EQ((GetMenuState(g_menus[3], n, MF_BYPOSITION) & MF_CHECKED) != 0, n == 2);
  auto grayed = [](HMENU m, UINT id) { return (GetMenuState(m, id, MF_BYCOMMAND) & MF_GRAYED) != 0; };
  EXPECT_TRUE(grayed(g_menus[2], 164));   // collection shown
  EXPECT_FALSE(grayed(g_menus[2], 273));
  EXPECT_TRUE(grayed(g_menus[2], 130));   // nothing loaded
  EXPECT_TRUE(grayed(g_menus[2], 127));   // inside submenu 6
  g_listSource = 0;
  g_windowSlots[43] = window_;
  PrepareListPopup();
  EXPECT_FALSE(grayed(g_menus[2], 164));
  EXPECT_TRUE(grayed(g_menus[2], 273));
  EXPECT_TRUE(grayed(g_menus[2], 275));   // search dialog open

  // Folder tree: copying onto the folder shown is greyed.
  static wchar_t target[260];
  g_targetFolder = target;
  g_viewMode = 2;
  g_entryCount = 4;
  wcscpy(g_currentFolder, L"C:\\Photos");
  wcscpy(g_targetFolder, L"c:\\photos");
  PrepareFolderTreePopup();
  EXPECT_TRUE(grayed(g_menus[11], 162));
  wcscpy(g_targetFolder, L"C:\\Other");
  PrepareFolderTreePopup();
  EXPECT_FALSE(grayed(g_menus[11], 163));
  EXPECT_EQ(GetSubMenu(g_menus[2], 17), g_menus[12]);
  g_entryCount = 0;
  UpdateColumnItemPopup(4);
  EXPECT_TRUE(grayed(g_menus[14], 207));

  std::vector<HMENU> handles(g_menus, g_menus + kMenuCount);
  DestroyMenus();
  for (HMENU h : handles) EXPECT_FALSE(IsMenu(h));
  for (HMENU h : g_menus) EXPECT_EQ(h, nullptr);
  EXPECT_EQ(g_cacheHistory, nullptr);
  DestroyMenus();  // twice is harmless
  g_targetFolder = nullptr;
}

TEST_F(BarsTest, OwnerDrawnItemMeasureAndDraw) {
  BuildMenuBar(g_hInstance);
  MEASUREITEMSTRUCT m{};
  m.CtlType = ODT_MENU;
  m.itemData = OwnerItemData(1, 9);
  ASSERT_TRUE(MeasureOwnerMenuItem(&m));
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  const wchar_t* text = L"アプリケーションの終了";
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(int(m.itemWidth), size.cx + 16 + 10);
  EXPECT_EQ(int(m.itemHeight), size.cy + 16 - 8);
  m.itemData = OwnerItemData(1, 1);  // a separator: not ours
  EXPECT_FALSE(MeasureOwnerMenuItem(&m));
  m.itemData = 0xFFFFFFFF;
  EXPECT_FALSE(MeasureOwnerMenuItem(&m));

  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 24);
  HGDIOBJ oldBmp = SelectObject(mem, bmp);
  DRAWITEMSTRUCT d{};
  d.CtlType = ODT_MENU;
  d.hDC = mem;
  d.rcItem = {0, 0, 200, 24};
  d.itemData = OwnerItemData(2, 0);
  d.itemState = ODS_SELECTED;
  EXPECT_TRUE(DrawOwnerMenuItem(&d));
  EXPECT_EQ(GetPixel(mem, 0, 0), RGB(255, 255, 255));     // raised frame over the icon column
  EXPECT_EQ(GetPixel(mem, 100, 20), GetSysColor(COLOR_HIGHLIGHT));
  d.itemData = OwnerItemData(2, 50);
  EXPECT_FALSE(DrawOwnerMenuItem(&d));
  d.CtlType = ODT_BUTTON;
  EXPECT_FALSE(DrawOwnerMenuItem(&d));
  SelectObject(mem, oldBmp);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  DestroyMenus();
}

TEST_F(BarsTest, TooltipsRegisterOnceAndToggleTexts) {
  CreateTooltipWindow(g_hInstance);
  ASSERT_NE(TooltipWindow, nullptr);
  HWND first = TooltipWindow;
  HWND a = CreateWindowW(L"BUTTON", L"a", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, window_, HMENU(501), g_hInstance, nullptr);
  HWND b = CreateWindowW(L"BUTTON", L"b", WS_CHILD | WS_VISIBLE, 60, 0, 50, 20, window_, HMENU(502), g_hInstance, nullptr);
  const int ids[] = {500, 501};
  const wchar_t* const texts[] = {L"ゼロ", L"一番目のボタン"};
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(AddControlTooltip(window_, a, ids, texts, 2));
  EXPECT_FALSE(AddControlTooltip(window_, b, ids, texts, 2));  // not in the table
  EXPECT_EQ(SendMessageW(TooltipWindow, TTM_GETTOOLCOUNT, 0, 0), 1);
  wchar_t got[80] = {};
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = window_;
  ti.uId = reinterpret_cast<UINT_PTR>(a);
  ti.lpszText = got;
  SendMessageW(TooltipWindow, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&ti));
  EXPECT_STREQ(got, L"一番目のボタン");

  struct Case {
    int id;
    uint8_t* flag;
    const wchar_t* off;
    const wchar_t* on;
  } cases[] = {
      {328, &FullScreenFlag, L"フルスクリーン表示(ESC)", L"ウインドウ表示(ESC)"},
      {302, &g_treeHidden, L"フォルダツリー消去(TAB)", L"フォルダツリー表示(TAB)"},
      {304, &g_gridShown, L"グリッド表示('無変換'ｷｰ)", L"グリッド消去('無変換'ｷｰ)"},
      {332, &SlideshowRunning, L"スライドショー(F1)", L"スライドショー停止(F1)"},
      {326, &FullScreenFlag, L"画像右に９０度回転('>'ｷｰ)", L"画像右に９０度回転('>'ｷｰ)"},
  };
  for (const Case& c : cases) {
    wchar_t out[80];
    *c.flag = 0;
    ASSERT_TRUE(GetCommandTooltipText(c.id, kToolbarCommandIds, kCommandTooltipTexts, kToolbarCommands, out));
    EXPECT_STREQ(out, c.off);
    *c.flag = 1;
    GetCommandTooltipText(c.id, kToolbarCommandIds, kCommandTooltipTexts, kToolbarCommands, out);
    EXPECT_STREQ(out, c.on);
    *c.flag = 0;
  }
  wchar_t untouched[80] = L"keep";
  EXPECT_FALSE(GetCommandTooltipText(999, kToolbarCommandIds, kCommandTooltipTexts, kToolbarCommands, untouched));
  EXPECT_STREQ(untouched, L"keep");
  wchar_t raw[80];
  GetCommandTooltipText(337, kToolbarCommandIds, kCommandTooltipTexts, kToolbarCommands, raw);
  EXPECT_STREQ(raw, L"RAW現像('変換'ｷｰ)");  // no list: never the release text

  CreateTooltipWindow(g_hInstance);  // re-created: the old window goes
  testsupport::WaitFor([&] { return !IsWindow(first); }, 2000);
  EXPECT_FALSE(IsWindow(first));
  DestroyTooltipWindow();
  EXPECT_EQ(TooltipWindow, nullptr);
}

TEST_F(BarsTest, FocusQueries) {
  HWND pane = CreateWindowW(L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 600, 150, window_, nullptr, g_hInstance, nullptr);
  HWND list = CreateWindowW(WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, pane, HMENU(313), g_hInstance, nullptr);
  HWND p1 = CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE, 110, 0, 50, 20, pane, HMENU(301), g_hInstance, nullptr);
  HWND p2 = CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE, 170, 0, 50, 20, pane, HMENU(302), g_hInstance, nullptr);
  HWND other = CreateWindowW(L"EDIT", L"", WS_CHILD | WS_VISIBLE, 300, 0, 50, 20, window_, nullptr, g_hInstance, nullptr);
  g_windowSlots[kSlotFileListPane] = pane;
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
  g_listCount = 5;
  g_cursorRow = 0;
  g_settings.splitLayout = 1;

  SetFocus(list);
  ASSERT_EQ(GetFocus(), list);
  g_viewMode = 1;
  EXPECT_TRUE(IsListFocused());
  EXPECT_TRUE(HasBrowsingFocus());
  EXPECT_EQ(GetFocusedPaneRow(), -1);
  g_viewMode = 2;
  EXPECT_FALSE(IsListFocused());

  SetFocus(p2);
  EXPECT_EQ(GetFocusedPaneIndex(1), 1);
  EXPECT_TRUE(HasBrowsingFocus());
  g_viewMode = 1;
  EXPECT_FALSE(HasBrowsingFocus());  // panes not shown

  SetFocus(other);
  g_focusedPane = 0;  // remembered, while the focus is elsewhere
  g_paneEntry[0] = 2;
  for (int32_t view : {2, 3}) {
    g_viewMode = view;
    EXPECT_EQ(GetFocusedPaneRow(), -1) << view;
  }
  SetFocus(p1);
  EXPECT_EQ(GetFocusedPaneRow(), 2);
  SetFocus(other);
  g_paneEntry[0] = -1;
  g_focusedPane = -1;
  g_viewMode = 3;
  EXPECT_FALSE(HasBrowsingFocus());
  EXPECT_EQ(GetFocusedPaneIndex(0), 0);
  EXPECT_EQ(GetFocusedPaneIndex(1), -1);
  g_rememberedPane = 3;
  EXPECT_EQ(GetFocusedPaneIndex(2), 1);  // two panes in this layout
  EXPECT_EQ(g_rememberedPane, 1);
  g_cursorRow = -1;
  SetFocus(list);
  EXPECT_FALSE(HasBrowsingFocus());
  g_listCount = 0;
  g_cursorRow = -1;
}

TEST_F(BarsTest, CaptionForFolderAndCollection) {
  wchar_t out[512];
  CaptionParts folder{L"", L"Brannomere", L"5.71", 0, L"C:\\写真", nullptr};
  FormatMainCaption(folder, out, 512);
  EXPECT_STREQ(out, L"Brannomere Ver5.71 - C:\\写真 ");
  CaptionParts collection{L"", L"Brannomere", L"5.71", 1, L"C:\\写真", L"旅行"};
  FormatMainCaption(collection, out, 512);
  EXPECT_STREQ(out, L"Brannomere Ver5.71 - コレクション [ 旅行 ]");
  CaptionParts search{L"[ 3/10 ] 検索中 -", L"Brannomere", L"5.71", 1, L"", L""};
  FormatMainCaption(search, out, 512);
  EXPECT_STREQ(out, L"[ 3/10 ] 検索中 -Brannomere Ver5.71");
  CaptionParts empty{nullptr, L"Brannomere", L"5.71", 0, L"", nullptr};
  FormatMainCaption(empty, out, 512);
  EXPECT_STREQ(out, L"Brannomere Ver5.71");
  std::wstring longPrefix(600, L'x');
  CaptionParts cut{longPrefix.c_str(), L"Brannomere", L"5.71", 0, L"C:\\a", nullptr};
  EXPECT_LT(FormatMainCaption(cut, out, 512), 512);

  static wchar_t product[] = L"Brannomere", version[] = L"5.71";
  g_productName = product;
  g_programVersion = version;
  g_hwndMain = window_;
  g_listSource = 0;
  wcscpy(g_currentFolder, L"D:\\撮影");
  UpdateMainCaption(L"");
  EXPECT_EQ(testsupport::WindowText(window_), L"Brannomere Ver5.71 - D:\\撮影 ");
  g_hwndMain = nullptr;
  g_productName = g_programVersion = nullptr;
}

TEST_F(BarsTest, NumLockTurnedOnAndRestored) {
  auto numLock = [] {
    testsupport::WaitFor([] { return false; }, 100);
    return (GetKeyState(VK_NUMLOCK) & 1) != 0;
  };
  auto press = [] {
    keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(VK_NUMLOCK, 0x45, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
  };
  SetForegroundWindow(window_);
  bool initial = numLock();
  press();
  if (numLock() == initial) GTEST_SKIP() << "this display does not toggle NumLock";
  if (!numLock()) press();
  ASSERT_TRUE(numLock());
  press();  // off
  ASSERT_FALSE(numLock());

  g_settings.numLockOnAtStart = 1;
  TurnNumLockOn();
  EXPECT_TRUE(numLock());
  RestoreNumLock();
  EXPECT_FALSE(numLock());

  press();  // already on at start: left on
  ASSERT_TRUE(numLock());
  TurnNumLockOn();
  RestoreNumLock();
  EXPECT_TRUE(numLock());
  press();

  g_settings.numLockOnAtStart = 0;
  TurnNumLockOn();
  EXPECT_FALSE(numLock());
  if (numLock() != initial) press();
}

// The bands, toolbars and the owner-drawn tool popup at both icon scales, for the eye.
TEST_F(BarsTest, Screenshot) {
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR gdiplus = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr), Gdiplus::Ok);
  AddFavouriteFolder(L"C:\\写真\\旅行");
  AddFavouriteFolder(L"C:\\写真\\家族");
  for (int scale : {1, 2}) {
    g_uiScale = scale;
    LoadIconImageLists();
    BuildMenuBar(g_hInstance);
    HWND rebar = MakeRebar();
    SendMessageW(g_bandControls[5], PBM_SETPOS, 40, 0);
    SetRebarBandText(3, L"003/120");
    SetRebarBandText(5, L"045/120");
    // Wine moves a band's child aside for a new text only on the next layout.
    SetWindowPos(rebar, nullptr, 0, 0, 1279, 60, SWP_NOZORDER);
    SetWindowPos(rebar, nullptr, 0, 0, 1280, 60, SWP_NOZORDER);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    testsupport::WaitFor([] { return false; }, 300);
    RECT r;
    GetWindowRect(rebar, &r);
    EXPECT_GT(r.bottom - r.top, 40);  // three rows of bands
    // The tool popup, owner-drawn, shown below the bands while the picture is taken.
    static std::wstring shot;
    shot = testsupport::ExeFolder() + L"\\bars_rebar_scale" + std::to_wstring(scale) + L".bmp";
    SetTimer(window_, 1, 400, [](HWND w, UINT, UINT_PTR id, DWORD) {
      KillTimer(w, id);
      testsupport::SaveScreenshot(shot);
      EndMenu();
    });
    SetForegroundWindow(window_);
    TrackPopupMenu(g_menus[1], TPM_LEFTALIGN | TPM_RETURNCMD, 20, r.bottom + 5, 0, window_, nullptr);
    EXPECT_TRUE(testsupport::FileExists(shot));
    DestroyMenus();
    DestroyWindow(rebar);
    g_hwndRebar = nullptr;
    for (HWND& h : g_bandControls) h = nullptr;
    FreeIconImageLists();
  }
  g_uiScale = 1;
  Gdiplus::GdiplusShutdown(gdiplus);
}

}  // namespace
