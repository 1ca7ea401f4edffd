// The later preferences pages in a real dialog: fonts, media split, favourites, list items,
// performance, wallpaper, mail, toolbox buttons and GPS store what is set on their controls,
// and what they stored comes back from the settings file.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "browser/main_window.h"
#include "core/window_slots.h"
#include "core/app_globals.h"
#include "core/settings.h"
#include "settings_dialog/settings_dialog.h"
#include "resources/resource.h"
#include "settings_dialog/settings_more_ids.h"
#include "support/program_services.h"
#include "support/settings_page_frame.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {
void Shot(int page) {
  SelectSettingsPage(page);
  UpdateWindow(SettingsDialog());
  SaveScreenshot(ExeFolder() + L"\\settings_page" + std::to_wstring(page) + L".bmp");
}
void PickCombo(HWND page, int id, int item) {
  SendDlgItemMessageW(page, id, CB_SETCURSEL, item, 0);
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
void Slide(HWND page, int id, int pos) {
  SendDlgItemMessageW(page, id, TBM_SETPOS, TRUE, pos);
  SendMessageW(page, WM_HSCROLL, TB_ENDTRACK, reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
std::wstring Text(HWND page, int id) {
  wchar_t t[64] = L"";
  GetDlgItemTextW(page, id, t, 64);
  return t;
}
void SetRowCheck(HWND list, int row, bool on) {
  LVITEMW item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
  SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}
void SelectRows(HWND list, std::initializer_list<int> rows) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  for (int r : rows) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&item));
  }
}
int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
void SetFavourite(int row, const wchar_t* path, uint8_t used) {
  wcscpy(W(g_settings.favouriteFolders[row].path), path);
  g_settings.favouriteFolders[row].used = used;
}

class SettingsLaterPagesTest : public SettingsPageFrame {
 protected:
  void SetUp() override {
    SettingsPageFrame::SetUp();
    NormaliseAfterCollections(g_settings);
    FillMissingSentinelSections(g_settings);
  }
};

TEST_F(SettingsLaterPagesTest, FontPageStoresEveryChangeAtOnce) {
  int32_t afterNine = 0, afterNinety = 0, afterReset = 0;
  uint8_t boldOn = 0;
  int atFaces = -1, faces = 0;
  std::wstring listFace;
  RunSettingsSteps(7, {
      [&] {
        HWND p = SettingsPage(25);
        SetDlgItemTextW(p, IDC_FONT_LIST_SIZE, L"9");
        afterNine = g_settings.listFontSize;
        SetDlgItemTextW(p, IDC_FONT_LIST_SIZE, L"90");
        afterNinety = g_settings.listFontSize;
        ClickButton(p, IDC_FONT_LIST_BOLD);
        boldOn = g_settings.listFontBold;
        HWND faceList = GetDlgItem(p, IDC_FONT_LIST_FACE);
        faces = static_cast<int>(SendMessageW(faceList, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < faces; ++i) {
          wchar_t face[LF_FACESIZE + 1] = L"";
          if (SendMessageW(faceList, CB_GETLBTEXTLEN, i, 0) <= LF_FACESIZE)
            SendMessageW(faceList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(face));
          if (face[0] == L'@') atFaces = i;
        }
        // Choosing the first face copies it into the setting.
        PickCombo(p, IDC_FONT_LIST_FACE, 0);
        wchar_t first[LF_FACESIZE + 1] = L"";
        SendMessageW(faceList, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        listFace = first;
        SetDlgItemTextW(p, IDC_FONT_DATE_SIZE, L"24");
        ClickButton(p, IDC_FONT_INFO_BOLD);
      },
      [&] { Shot(7); },
      [&] {
        HWND p = SettingsPage(25);
        EXPECT_EQ(std::wstring(W(g_settings.listFontFace)), listFace);
        ClickButton(p, IDC_FONT_LIST_RESET);
        afterReset = g_settings.listFontSize;
        CloseSettingsDialog();
      },
  });
  EXPECT_EQ(afterNine, 9);
  EXPECT_EQ(afterNinety, 90);
  EXPECT_EQ(boldOn, 1);
  EXPECT_GT(faces, 0);
  EXPECT_EQ(atFaces, -1);
  EXPECT_EQ(afterReset, 12);
  EXPECT_EQ(g_settings.listFontBold, 0);
  EXPECT_STREQ(W(g_settings.listFontFace), L"ＭＳ Ｐゴシック");
  Reload();
  EXPECT_EQ(g_settings.shootingDateFontSize, 24);
  EXPECT_EQ(g_settings.infoFontBold, 1);
}

// Keys typed into a size edit: each stores at once, and the edit keeps what was typed.
TEST_F(SettingsLaterPagesTest, FontSizeTypedKeyByKeyReadsAsTyped) {
  std::vector<int32_t> stored;
  std::wstring shown;
  RunSettingsSteps(7, {[&] {
    HWND edit = GetDlgItem(SettingsPage(25), IDC_FONT_LIST_SIZE);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t key : {L'9', L'\b', L'1', L'2'}) {
      SendMessageW(edit, WM_CHAR, key, 1);
      stored.push_back(g_settings.listFontSize);
    }
    shown = Text(SettingsPage(25), IDC_FONT_LIST_SIZE);
    CloseSettingsDialog();
  }});
  EXPECT_EQ(stored, (std::vector<int32_t>{9, 9, 1, 12}));
  EXPECT_EQ(shown, L"12");
}

// With large icons the trees keep the lists' font size: opening the dialog leaves the fonts of
// the main window alone, and a change on the font page makes both at the one size.
TEST_F(SettingsLaterPagesTest, TreeFontKeepsTheListSizeWithLargeIcons) {
  g_uiScale = 2;
  g_settings.largeIcons = 1;
  ASSERT_TRUE(OpenTestMainWindow());
  auto height = [](HWND window) {
    LOGFONTW f{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    return font && GetObjectW(font, sizeof f, &f) ? f.lfHeight : 0;
  };
  HWND nav = g_windowSlots[kSlotNavigationPane], pane = g_windowSlots[kSlotFileListPane];
  ASSERT_TRUE(nav && pane);
  HWND tree = GetDlgItem(nav, IDC_FOLDER_TREE), collections = GetDlgItem(nav, IDC_COLLECTION_TREE);
  HWND list = GetDlgItem(pane, IDC_FILE_LIST);
  const LONG atStart = height(tree);
  LONG onOpen = 0, afterBold = 0, listAfterBold = 0, collectionsAfterBold = 0;
  RunSettingsSteps(0, {
      [&] { onOpen = height(tree); },
      [&] {
        ClickButton(SettingsPage(25), IDC_FONT_LIST_BOLD);
        afterBold = height(tree);
        collectionsAfterBold = height(collections);
        listAfterBold = height(list);
        CloseSettingsDialog();
      },
  });
  CloseTestMainWindow();
  g_uiScale = 1;
  EXPECT_EQ(atStart, 12);
  EXPECT_EQ(onOpen, 12);
  EXPECT_EQ(afterBold, 12);
  EXPECT_EQ(collectionsAfterBold, 12);
  EXPECT_EQ(listAfterBold, 12);
  EXPECT_EQ(g_settings.listFontBold, 1);
}

TEST_F(SettingsLaterPagesTest, SmallPagesStoreTheirFields) {
  g_settings.mediaSplitSize = 737280000;
  int presetShown = -1;
  std::wstring sizeAfterFree, sizeAfterDvd;
  bool mailEditsOffWhenNoResize = false;
  RunSettingsSteps(10, {
      [&] {
        HWND split = SettingsPage(20);
        presetShown = static_cast<int>(SendDlgItemMessageW(split, IDC_SPLIT_PRESET, CB_GETCURSEL, 0, 0));
        PickCombo(split, IDC_SPLIT_PRESET, 4);
        sizeAfterDvd = Text(split, IDC_SPLIT_SIZE);
        SetDlgItemTextW(split, IDC_SPLIT_SIZE, L"4.7G");
        PickCombo(split, IDC_SPLIT_PRESET, 0);
        sizeAfterFree = Text(split, IDC_SPLIT_SIZE);
        SetDlgItemTextW(split, IDC_SPLIT_FOLDER_NAME, L"disc");
        PickCombo(split, IDC_SPLIT_DIGITS, 2);
        ClickButton(split, IDC_SPLIT_EVEN);

        HWND perf = SettingsPage(22);
        Slide(perf, IDC_PERF_PRIORITY, 1);
        Slide(perf, IDC_PERF_PREFETCH, 7);

        HWND wall = SettingsPage(23);
        ClickButton(wall, IDC_WALLPAPER_FIT_STRETCH);
        ClickButton(wall, IDC_WALLPAPER_IN_PROGRAM);
        Slide(wall, IDC_WALLPAPER_SHARPNESS, 15);

        HWND mail = SettingsPage(29);
        ClickButton(mail, IDC_MAIL_RESIZE);
        mailEditsOffWhenNoResize = !IsWindowEnabled(GetDlgItem(mail, IDC_MAIL_LONG_SIDE)) &&
                                   !IsWindowEnabled(GetDlgItem(mail, IDC_MAIL_SHARPNESS));
        SetDlgItemTextW(mail, IDC_MAIL_LONG_SIDE, L"0");
        SetDlgItemTextW(mail, IDC_MAIL_QUALITY, L"250");
        Slide(mail, IDC_MAIL_SHARPNESS, 3);

        HWND gps = SettingsPage(31);
        ClickButton(gps, IDC_GPS_DOCOMO);
        SetDlgItemTextW(gps, IDC_GPS_UTC_OFFSET, L"-5");
        SetDlgItemTextW(gps, IDC_GPS_WINDOW, L"");
        PickCombo(gps, IDC_GPS_MAP_SITE, 2);
      },
      [&] {
        for (int p : {10, 13, 14, 15, 17}) Shot(p);
        CloseSettingsDialog();
      },
  });
  EXPECT_EQ(presetShown, 3);
  EXPECT_EQ(sizeAfterDvd, L"4700000000");
  EXPECT_EQ(sizeAfterFree, L"4.7G");
  EXPECT_TRUE(mailEditsOffWhenNoResize);
  Reload();
  EXPECT_EQ(g_settings.mediaSplitSize, 4u);
  EXPECT_STREQ(W(g_settings.mediaFolderName), L"disc");
  EXPECT_EQ(g_settings.mediaFolderDigits, 2);
  EXPECT_EQ(g_settings.mediaSplitEven, 1);
  EXPECT_EQ(g_settings.performance, 1);
  EXPECT_EQ(g_settings.prefetchLevel, 7);
  EXPECT_EQ(g_settings.wallpaperFitMode, 2);
  EXPECT_EQ(g_settings.wallpaperFolder, 0);
  EXPECT_EQ(g_settings.wallpaperSharpness, 15);
  EXPECT_EQ(g_settings.mailResizeAttachments, 0);
  EXPECT_EQ(g_settings.mailLongSide, 1);
  EXPECT_EQ(g_settings.mailJpegQuality, 250);
  EXPECT_EQ(g_settings.mailSharpness, 3);
  EXPECT_EQ(g_settings.gpsLogDocomoCsv, 0);
  EXPECT_EQ(g_settings.gpsLogAuText, 1);
  EXPECT_EQ(g_settings.gpsUtcOffsetHours, -5);
  EXPECT_EQ(g_settings.gpsTimeWindowSeconds, 180);
  EXPECT_EQ(g_settings.gpsMapSite, 2);
}

TEST_F(SettingsLaterPagesTest, FavouritesAndListItemsEditTheirRows) {
  SetFavourite(0, L"C:\\a", 1);
  SetFavourite(1, L"C:\\b", 0);
  SetFavourite(2, L"C:\\c", 1);
  g_settings.listCaptionStyle = 1;
  int favouriteRows = 0, rowsAfterDelete = 0;
  uint8_t usedAfterUncheck = 1, shownAfterUncheck = 1;
  std::wstring secondCell, customBefore;
  RunSettingsSteps(11, {
      [&] {
        HWND fav = GetDlgItem(SettingsPage(26), IDC_FAVOURITES_LIST);
        favouriteRows = Rows(fav);
        SetRowCheck(fav, 0, false);
        usedAfterUncheck = g_settings.favouriteFolders[0].used;
        SelectRows(fav, {1});
        ClickButton(SettingsPage(26), IDC_FAVOURITES_DELETE);
        rowsAfterDelete = Rows(fav);
        SetRowCheck(fav, 1, false);  // C:\c, after the delete

        HWND items = GetDlgItem(SettingsPage(27), IDC_LIST_ITEMS_LIST);
        SetRowCheck(items, 5, false);
        shownAfterUncheck = g_settings.columnShown[5];
        // Editing one caption while style 1 shows turns every caption into an own caption.
        SetFocus(items);
        HWND edit = reinterpret_cast<HWND>(SendMessageW(items, LVM_EDITLABELW, 0, 0));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, L"名前");
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      },
      [&] {
        HWND items = GetDlgItem(SettingsPage(27), IDC_LIST_ITEMS_LIST);
        secondCell = ListText(items, 1, 0);
        SelectRows(items, {0});
        SendMessageW(SettingsPage(27), WM_COMMAND, IDM_LIST_ITEMS_RESTORE, 0);
        customBefore = W(g_settings.customColumnCaptions[0]);
        // A caption of 32 characters does not fit the field and is refused.
        SetFocus(items);
        HWND edit = reinterpret_cast<HWND>(SendMessageW(items, LVM_EDITLABELW, 2, 0));
        ASSERT_NE(edit, nullptr);
        SetWindowTextW(edit, L"12345678901234567890123456789012");
        SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
      },
      [&] {
        for (int p : {11, 12}) Shot(p);
        CloseSettingsDialog();
      },
  });
  EXPECT_EQ(favouriteRows, 3);
  EXPECT_EQ(usedAfterUncheck, 0);
  EXPECT_EQ(rowsAfterDelete, 2);
  EXPECT_EQ(shownAfterUncheck, 0);
  EXPECT_EQ(secondCell, L"histogram");  // copied from style 1
  EXPECT_EQ(customBefore, L"filename");  // restored from the base style
  Reload();
  EXPECT_STREQ(W(g_settings.favouriteFolders[0].path), L"C:\\a");
  EXPECT_EQ(g_settings.favouriteFolders[0].used, 0);
  EXPECT_STREQ(W(g_settings.favouriteFolders[1].path), L"C:\\c");
  EXPECT_EQ(g_settings.favouriteFolders[1].used, 0);
  EXPECT_EQ(g_settings.favouriteFolders[2].path[0], 0);
  EXPECT_EQ(g_settings.listCaptionStyle, 4);
  EXPECT_EQ(g_settings.columnCaptionBaseStyle, 1);
  EXPECT_STREQ(W(g_settings.customColumnCaptions[1]), L"histogram");
  EXPECT_STREQ(W(g_settings.customColumnCaptions[2]), L"Status");
  EXPECT_EQ(g_settings.columnShown[5], 0);
  EXPECT_EQ(g_settings.columnShown[4], 1);
}

TEST_F(SettingsLaterPagesTest, ToolboxPageAddsRemovesAndMoves) {
  int rowsAtStart = 0, availableAtStart = 0;
  int32_t countAfterAdd = 0, firstAfterUp = 0, countAfterRemove = 0;
  RunSettingsSteps(16, {
      [&] {
        HWND p = SettingsPage(30);
        HWND used = GetDlgItem(p, IDC_TOOLBOX_USED), available = GetDlgItem(p, IDC_TOOLBOX_AVAILABLE);
        rowsAtStart = Rows(used);
        availableAtStart = Rows(available);
        // Fill to 62 with separators, then offer three kinds: one fits.
        for (int i = 32; i < 62; ++i) g_settings.toolboxButtons[i] = 0;
        g_settings.toolboxButtonCount = 62;
        SendMessageW(p, WM_COMMAND, 112, 0);
        SelectRows(available, {1, 2, 3});
        ClickButton(p, IDC_TOOLBOX_ADD);
        countAfterAdd = g_settings.toolboxButtonCount;
        ClickButton(p, IDC_TOOLBOX_RESET);
        SelectRows(used, {0, 1, 5});
        ClickButton(p, IDC_TOOLBOX_UP);
        firstAfterUp = g_settings.toolboxButtons[0];
        SelectRows(used, {0});
        ClickButton(p, IDC_TOOLBOX_REMOVE);
        countAfterRemove = g_settings.toolboxButtonCount;
      },
      [&] {
        Shot(16);
        CloseSettingsDialog();
      },
  });
  EXPECT_EQ(rowsAtStart, 32);
  EXPECT_EQ(availableAtStart, 45 - 29);  // 29 distinct kinds in use, the separator stays offered
  EXPECT_EQ(countAfterAdd, 63);
  EXPECT_EQ(firstAfterUp, 1);
  EXPECT_EQ(countAfterRemove, 31);
  Reload();
  EXPECT_EQ(g_settings.toolboxButtonCount, 31);
  EXPECT_EQ(g_settings.toolboxButtons[0], 2);
  EXPECT_EQ(g_settings.toolboxButtons[3], 6);  // kind 6 moved above 5
}
}  // namespace
