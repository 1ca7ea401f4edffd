// The file-list pane inside a real main window over a folder of camera JPEGs: columns, owner
// data, sorting by header clicks, check marks, the clipboard rows, renames and file-type toggles.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "actions/action_history.h"
#include "actions/mail_send.h"
#include "actions/picture_export.h"
#include "browser/focus_queries.h"
#include "browser/collections.h"
#include "browser/drag_drop.h"
#include "browser/file_list_pane.h"
#include "browser/icon_lists.h"
#include "browser/idle_loop.h"
#include "browser/list_order.h"
#include "browser/main_window.h"
#include "browser/menus.h"
#include "browser/rebar_bands.h"
#include "browser/viewer_panes.h"
#include "core/window_slots.h"
#include "viewer/movie_player.h"
#include "viewer/viewer_threads.h"
#include "browser/toolbar_state.h"
#include "browser/slideshow.h"
#include "browser/status_bar.h"
#include "core/app_globals.h"
#include "core/image_pipeline.h"
#include "core/key_state.h"
#include "core/list_helpers.h"
#include "viewer/histogram.h"
#include "core/file_types.h"
#include "core/image_entry_list.h"
#include "app/list_load.h"
#include "core/message_box.h"
#include "core/settings.h"
#include "app/startup.h"
#include "core/thumbnail_list_thread.h"
#include "resources/resource.h"
#include "metadata/image_info_win.h"
#include "metadata/metadata_reader.h"
#include "metadata/pure/camera_models.h"
#include "support/program_services.h"
#include "support/program_window_suite.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

const wchar_t kSamples[] = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\samples\\";
const wchar_t* const kPictures[] = {
    L"2004-01-11-22-45-15-sep-2004-01-11-22-45-15a.jpg",
    L"2006-08-03-16-29-38-sep-2006-08-03-16-29-38a.jpg",
    L"2006-11-11-19-17-56-sep-2006-11-11-19-17-56a.jpg",
    L"2007-01-01-12-00-00-sep-2007-01-01-12-00-00a.jpg",
};
// Short names so that the sort order is known: c, a, d, b.
const wchar_t* const kNames[] = {L"c.jpg", L"a.jpg", L"d.jpg", L"b.jpg"};

HWND Pane() { return g_windowSlots[kSlotFileListPane]; }
HWND List() { return GetListControl(); }

std::wstring RowText(int row, int column) {
  wchar_t text[260] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 260;
  SendMessageW(List(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text;
}

void ClickHeader(int column) {
  NMLISTVIEW click{};
  click.hdr.hwndFrom = List();
  click.hdr.idFrom = 313;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = column;
  SendMessageW(Pane(), WM_NOTIFY, 313, reinterpret_cast<LPARAM>(&click));
}

void Select(std::initializer_list<int> rows) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(List(), LVM_SETITEMSTATE, -1, reinterpret_cast<LPARAM>(&none));
  for (int r : rows) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED;
    SendMessageW(List(), LVM_SETITEMSTATE, r, reinterpret_cast<LPARAM>(&item));
  }
}

class FileListPaneTest : public ProgramWindowSuite {
 protected:
  static void SetUpTestSuite() {
    ASSERT_NO_FATAL_FAILURE(OpenProgram([] {
      g_settings.enabledImageTypes |= 0x2;
      g_listStyleValue = 1;  // stay in the detail style
    }));
    for (int k = 0; k < 4; ++k)
      ASSERT_TRUE(CopyFileW((std::wstring(kSamples) + kPictures[k]).c_str(), photos_->File(kNames[k]).c_str(), FALSE));
  }
  static void TearDownTestSuite() { CloseProgram(); }
  void SetUp() override { Load(); }

  static void Load() { LoadFolder(photos_->path()); }
};

// A movie the program cannot render is listed with the no-codec flag and stays present. First:
// later cases leave list state behind that keeps a folder of one movie from listing.
TEST_F(FileListPaneTest, MovieWithoutCodecIsFlaggedNotVanished) {
  ScratchDir movies;
  const std::vector<uint8_t> junk(4096, 0x5A);
  ASSERT_TRUE(WriteWholeFile(movies.File(L"clip.avi"), junk.data(), junk.size()));
  ParseUserExtensions();
  wcscpy(g_currentFolder, movies.path().c_str());
  g_listReadyFlag = 0;
  LoadListContents(1, 0, 0);
  ASSERT_TRUE(WaitFor([] { return g_listReadyFlag == 1 && g_listLoading == 0 && g_entryCount == 1; }, 20000))
      << g_entryCount;
  ImageEntry* movie = EntryAt(0);
  EXPECT_EQ(movie->info.fileTypeFlag, kFileTypeMovie);
  EXPECT_NE(movie->flags & kEntryInfoRead, 0);
  EXPECT_NE(movie->flags & kEntryMovieNoCodec, 0);
  EXPECT_NE(movie->presence & kEntryPresent, 0);
  Load();
}

// Renames through the real label edit: the edit gets the base name only, Enter ends it.
TEST_F(FileListPaneTest, DetailViewHasTheTwentyFourColumnsWithCaptionsAndRows) {
  ASSERT_EQ(g_reportViewFlag, 1u);
  HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
  ASSERT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 24);
  struct Column {
    int index;
    const wchar_t* caption;
    int format;
  } columns[] = {{0, L"ﾌｧｲﾙ名", LVCFMT_LEFT},  {4, L"ﾌｧｲﾙｻｲｽﾞ", LVCFMT_RIGHT}, {10, L"撮影日時", LVCFMT_LEFT},
                 {17, L"レンズ", LVCFMT_LEFT}, {23, L"ﾒﾃﾞｨｱ分割#", LVCFMT_RIGHT}};
  for (const Column& c : columns) {
    wchar_t text[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
    column.pszText = text;
    column.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(List(), LVM_GETCOLUMNW, c.index, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(text, c.caption);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, c.format) << c.index;
    EXPECT_EQ(column.cx, g_settings.columnShown[c.index] == 1 ? g_settings.columnWidths[c.index] : 0) << c.index;
  }
  ASSERT_EQ(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0), 4);
  for (int row = 0; row < 4; ++row) {
    EXPECT_STREQ(RowText(row, 0).c_str(), EntryName(EntryAtRow(row)));
    EXPECT_STREQ(RowText(row, 8).c_str(), GetInfoField(EntryAtRow(row)->info, 8));
    EXPECT_TRUE(RowText(row, 1).empty());
  }
  EXPECT_FALSE(RowText(0, 4).empty());  // the file size
}

TEST_F(FileListPaneTest, HeaderClicksSortAscendingThenDescendingAndWaitForTheList) {
  auto names = [] {
    std::wstring all;
    for (int r = 0; r < 4; ++r) all += RowText(r, 0) + L" ";
    return all;
  };
  ClickHeader(0);
  EXPECT_EQ(names(), L"a.jpg b.jpg c.jpg d.jpg ");
  ClickHeader(0);
  EXPECT_EQ(names(), L"d.jpg c.jpg b.jpg a.jpg ");
  ClickHeader(8);
  ClickHeader(0);  // another column in between: ascending again
  EXPECT_EQ(names(), L"a.jpg b.jpg c.jpg d.jpg ");
  g_listReadyFlag = 0;
  ClickHeader(0);
  EXPECT_EQ(names(), L"a.jpg b.jpg c.jpg d.jpg ");
  g_listReadyFlag = 1;
}

TEST_F(FileListPaneTest, ClipboardRowsAndCheckMarksOfTheSelection) {
  ClickHeader(0);  // a, b, c, d
  for (int k = 0; k < 24; ++k) g_settings.columnShown[k] = (k == 0 || k == 4) ? 1 : 0;
  SetFocus(List());
  Select({0, 1});
  SendMessageW(g_hwndMain, WM_COMMAND, 290, 0);
  std::wstring want;
  for (int r = 0; r < 2; ++r) want += L"\t" + RowText(r, 0) + L"\t" + RowText(r, 4) + L"\n";
  EXPECT_EQ(ClipboardText(), want);
  EXPECT_FALSE(RowText(0, 4).empty());

  SendMessageW(g_hwndMain, WM_COMMAND, 305, 0);
  EXPECT_EQ(EntryAtRow(0)->checked, 1);
  EXPECT_EQ(EntryAtRow(1)->checked, 1);
  EXPECT_EQ(EntryAtRow(2)->checked, 0);
  UINT state = static_cast<UINT>(SendMessageW(List(), LVM_GETITEMSTATE, 0, LVIS_STATEIMAGEMASK));
  EXPECT_EQ(state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2));
  Select({1});
  SendMessageW(g_hwndMain, WM_COMMAND, 308, 0);
  EXPECT_EQ(EntryAtRow(0)->checked, 1);
  EXPECT_EQ(EntryAtRow(1)->checked, 0);
  SetDefaultSettings();
  g_settings.enabledImageTypes |= 0x2;
}

// A click toggles the row's mark only on its check box: the state icon or the icon. Wine answers a
// click on another column of a full-row selection with every on-item bit set at once.
TEST_F(FileListPaneTest, ClicksMarkARowOnlyOnItsCheckBox) {
  auto click = [](POINT at) {
    ClientToScreen(List(), &at);
    SetCursorPos(at.x, at.y);
    NMITEMACTIVATE note{};
    note.hdr.hwndFrom = List();
    note.hdr.idFrom = IDC_FILE_LIST;
    note.hdr.code = NM_CLICK;
    SendMessageW(Pane(), WM_NOTIFY, IDC_FILE_LIST, reinterpret_cast<LPARAM>(&note));
    return EntryAtRow(1)->checked;
  };
  ASSERT_EQ(g_reportViewFlag, 1u);
  RECT icon{LVIR_ICON}, label{LVIR_LABEL}, cell{LVIR_BOUNDS};
  SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&icon));
  SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
  cell.top = 4;
  SendMessageW(List(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell));
  const int y = (icon.top + icon.bottom) / 2;
  EntryAtRow(1)->checked = 0;
  EXPECT_EQ(click({icon.left / 2, y}), 1);  // the state icon
  EXPECT_EQ(click({(icon.left + icon.right) / 2, y}), 0);
  EXPECT_EQ(click({label.left + 3, y}), 0);
  EXPECT_EQ(click({cell.left + 2, y}), 0);
  EXPECT_EQ(click({(cell.left + cell.right) / 2, y}), 0);

  // The thumbnail style: the icon's pixels less than 7 right of the item's position only.
  SendMessageW(Pane(), WM_COMMAND, kStyleToggleCommand, 0);
  ASSERT_EQ(g_reportViewFlag, 0u);
  POINT corner{};
  SendMessageW(List(), LVM_GETITEMPOSITION, 1, reinterpret_cast<LPARAM>(&corner));
  RECT big{LVIR_ICON};
  SendMessageW(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&big));
  const int middle = (big.top + big.bottom) / 2;
  ASSERT_LT(corner.x, big.left);
  EXPECT_EQ(click({corner.x + 5, middle}), 1);
  EXPECT_EQ(click({corner.x + 20, middle}), 1);
  EXPECT_EQ(click({corner.x + 5, middle}), 0);
  SendMessageW(Pane(), WM_COMMAND, kStyleToggleCommand, 0);
  EXPECT_EQ(g_reportViewFlag, 1u);
  EntryAtRow(1)->checked = 0;
}

TEST_F(FileListPaneTest, RotationsWrapAroundOnTheSelection) {
  SetFocus(List());
  Select({2});
  EntryAtRow(2)->userRotation = 0;
  SendMessageW(g_hwndMain, WM_COMMAND, 327, 0);
  EXPECT_EQ(EntryAtRow(2)->userRotation, 3);
  EXPECT_EQ(EntryAtRow(2)->flags & 0x18, 0x18);
  SendMessageW(g_hwndMain, WM_COMMAND, 326, 0);
  EXPECT_EQ(EntryAtRow(2)->userRotation, 0);
}

TEST_F(FileListPaneTest, MainCommandsOnLayoutsRawToggleCheckedJumpAndColourSetup) {
  const int32_t layout = g_settings.splitLayout;
  g_settings.splitLayout = 0;
  const int want[] = {1, 2, 3, 4, 0};
  for (int k : want) {
    SendMessageW(g_hwndMain, WM_COMMAND, 338, 0);
    EXPECT_EQ(g_settings.splitLayout, k);
  }
  g_settings.splitLayout = layout;

  for (int k = 0; k < g_entryCount; ++k) EntryAt(k)->checked = 0;
  SetFocus(List());
  g_cursorRow = 1;
  SendMessageW(g_hwndMain, WM_COMMAND, 306, 0);  // nothing checked: the row stays
  EXPECT_EQ(g_cursorRow, 1);
  EntryAtRow(3)->checked = 1;
  SendMessageW(g_hwndMain, WM_COMMAND, 306, 0);
  EXPECT_EQ(g_cursorRow, 3);
  EntryAtRow(3)->checked = 0;

  // A JPEG has no development to toggle. The viewer's threads stop first: their decode of the
  // view picture marks its development byte too.
  StopViewerThreads();
  const uint8_t develop = EntryAtRow(3)->developMode;
  SendMessageW(g_hwndMain, WM_COMMAND, 337, 0);
  EXPECT_EQ(EntryAtRow(3)->developMode, develop);

  // Without the colour-matching dialog's library the command returns at once.
  if (!GetModuleHandleW(L"icmui.dll") && !LoadLibraryW(L"icmui.dll")) {
    SendMessageW(g_hwndMain, WM_COMMAND, 32790, 0);
    SUCCEED();
  }
  PendingSettingsPage = 0;
  SendMessageW(g_hwndMain, WM_COMMAND, 2005, 0);
  EXPECT_EQ(PendingSettingsPage, 5);
  SendMessageW(g_hwndMain, WM_COMMAND, 32787, 0);
  EXPECT_EQ(PendingSettingsPage, 9);
  PendingSettingsPage = 0;
}

// The zoom-hold, loupe and band-lock switches are the settings the zoom logic, the viewer and
// the rebar read, so they are kept with the settings file.
TEST_F(FileListPaneTest, ModeSwitchesChangeTheirSettings) {
  const int32_t viewMode = g_viewMode;
  g_viewMode = 3;
  const uint8_t hold = g_settings.keepZoomWhilePaging, lock = g_settings.lockBands;
  const int32_t loupe = g_settings.loupeEnabled;
  SendMessageW(g_hwndMain, WM_COMMAND, 225, 0);
  EXPECT_EQ(g_settings.keepZoomWhilePaging, hold ^ 1);
  SendMessageW(g_hwndMain, WM_COMMAND, 226, 0);
  EXPECT_EQ(g_settings.loupeEnabled, loupe ^ 1);
  HWND toolbar = CommandToolbar();
  ASSERT_NE(toolbar, nullptr);
  ASSERT_GE(SendMessageW(toolbar, TB_COMMANDTOINDEX, 226, 0), 0);  // a default button
  EXPECT_EQ(SendMessageW(toolbar, TB_ISBUTTONCHECKED, 226, 0) != 0, g_settings.loupeEnabled != 0);
  SendMessageW(g_hwndMain, WM_COMMAND, 224, 0);
  EXPECT_EQ(g_settings.lockBands, lock ^ 1);
  REBARBANDINFOW band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_STYLE;
  ASSERT_TRUE(SendMessageW(g_hwndRebar, RB_GETBANDINFOW, 1, reinterpret_cast<LPARAM>(&band)));
  EXPECT_EQ((band.fStyle & RBBS_NOGRIPPER) != 0, g_settings.lockBands != 0);
  for (int id : {224, 225, 226}) SendMessageW(g_hwndMain, WM_COMMAND, id, 0);
  EXPECT_EQ(g_settings.keepZoomWhilePaging, hold);
  EXPECT_EQ(g_settings.loupeEnabled, loupe);
  EXPECT_EQ(g_settings.lockBands, lock);
  g_keyHold.injectedKey = 0;
  g_viewMode = viewMode;
}

// Moving the focused row in the focused list holds the idle loop's repaint back.
TEST_F(FileListPaneTest, FocusedRowChangeSetsTheRepaintHoldOff) {
  SetFocus(List());
  Pump();
  ASSERT_EQ(GetFocus(), List());
  g_listPaneHoldOff = 0;
  LVITEMW item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(List(), LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(g_cursorRow, 2);
  EXPECT_EQ(g_listPaneHoldOff, 83);
}

// The viewer panels let the mouse through to the pane, whose procedure handles presses, drags
// and the wheel over the pictures.
TEST_F(FileListPaneTest, MouseOverAPanelReachesThePane) {
  const int32_t viewMode = g_viewMode;
  g_viewMode = 3;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
  HWND panel = GetDlgItem(Pane(), IDC_VIEWER_PANE1);
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(GetWindowLongW(panel, GWL_STYLE) & SS_NOTIFY, 0);
  RECT r;
  GetWindowRect(panel, &r);
  if (IsWindowVisible(panel) && r.right - r.left > 8 && r.bottom - r.top > 8) {
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    EXPECT_EQ(WindowFromPoint(centre), Pane());
  } else {
    ADD_FAILURE() << "panel not shown";
  }
  g_viewMode = viewMode;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
}

// A file dropped on the list while a collection is shown joins it by its file path.
TEST_F(FileListPaneTest, DropOnACollectionStoresTheFilePath) {
  const int index = CreateCollection(L"dropped");
  ASSERT_GE(index, 0);
  g_listSource = 1;
  g_currentCollection = index;
  const std::wstring path = photos_->File(kNames[1]);
  const wchar_t* paths[] = {path.c_str()};
  HGLOBAL drop = BuildFileDropBlock(paths, 1);
  ASSERT_NE(drop, nullptr);
  POINTL at{0, 0};
  DropNotifyBlock block{&at, DROPEFFECT_COPY, 0, CF_HDROP, drop, nullptr};
  SendMessageW(Pane(), DropNotifyMessage, 3, reinterpret_cast<LPARAM>(&block));
  GlobalFree(drop);
  ASSERT_NE(g_collections[index].list, nullptr);
  EXPECT_EQ(std::wstring(g_collections[index].list), path + L"\n");
  // The collection lists the file from what it stored (a load shows the requested source).
  g_requestedListSource = 1;
  g_requestedCollection = index;
  g_listReadyFlag = 0;
  LoadListContents(1, 0, 0);
  // The drop's own reload may still be under way: the explicit load is then deferred.
  EXPECT_TRUE(WaitFor([] {
    return g_listReadyFlag == 1 && g_listLoading == 0 && g_entryCount == 1 && (EntryAt(0)->presence & kEntryPresent);
  }, 20000)) << g_entryCount;
  g_listSource = g_requestedListSource = 0;
  DeleteCollection(index);
  Load();
}

TEST_F(FileListPaneTest, LabelEditRenamesKeepingTheExtensionAndRefusesPaths) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* wantName;  // the entry's name afterwards
    int boxes;
  } cases[] = {
      {L"renamed", L"renamed.jpg", 0},
      {L"RENAMED", L"renamed.jpg", 0},  // the same name without case: nothing happens
      {L"..\\up", L"renamed.jpg", 1},
      {L"sub/x", L"renamed.jpg", 1},
      {L"b", L"renamed.jpg", 1},  // b.jpg exists
      {L"a", L"a.jpg", 0},
  };
  ClickHeader(0);
  ClickHeader(0);
  ClickHeader(0);  // a, b, c, d after the clicks of earlier tests reset the direction
  int row = -1;
  for (int r = 0; r < 4; ++r)
    if (RowText(r, 0) == L"a.jpg") row = r;
  ASSERT_GE(row, 0);
  for (const Case& c : cases) {
    BoxAnswerer answer(IDOK);
    SetFocus(List());
    HWND edit = reinterpret_cast<HWND>(SendMessageW(List(), LVM_EDITLABELW, row, 0));
    ASSERT_NE(edit, nullptr) << c.typed;
    wchar_t shown[64] = {};
    GetWindowTextW(edit, shown, 64);
    EXPECT_STREQ(shown, std::wstring(EntryName(EntryAtRow(row))).substr(0, wcslen(EntryName(EntryAtRow(row))) - 4).c_str());
    SetWindowTextW(edit, c.typed);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_STREQ(EntryName(EntryAtRow(row)), c.wantName) << c.typed;
    EXPECT_TRUE(FileExists(photos_->File(c.wantName))) << c.typed;
    EXPECT_EQ(static_cast<int>(answer.seen.size()), c.boxes) << c.typed;
    EXPECT_STREQ(RowText(row, 0).c_str(), c.wantName);
  }
  EXPECT_FALSE(FileExists(photos_->path() + L"\\..\\up.jpg"));
  EXPECT_EQ(BusyFlag, 0);
}

TEST_F(FileListPaneTest, FileTypeToggleReloadsTheList) {
  uint32_t before = g_settings.enabledImageTypes;
  SendMessageW(Pane(), WM_COMMAND, 278, 0);  // Kodak DCR
  EXPECT_EQ(g_settings.enabledImageTypes, before ^ 0x80000000u);
  EXPECT_EQ(g_entryCount, 4);
  SendMessageW(Pane(), WM_COMMAND, 141, 0);  // JPG off: the folder shows nothing
  EXPECT_EQ(g_settings.enabledImageTypes & 0x2, 0u);
  EXPECT_EQ(g_entryCount, 0);
  SendMessageW(Pane(), WM_COMMAND, 141, 0);
  SendMessageW(Pane(), WM_COMMAND, 278, 0);
  EXPECT_EQ(g_settings.enabledImageTypes, before);
  EXPECT_EQ(g_entryCount, 4);
}

TEST_F(FileListPaneTest, ListThreadReadsEveryRowAndStopsAtOnce) {
  for (int k = 0; k < g_entryCount; ++k) {
    EXPECT_TRUE(EntryAt(k)->flags & 0x2) << k;
    EXPECT_STRNE(GetInfoField(EntryAt(k)->info, 7), L"") << k;
  }
  EXPECT_EQ(g_listPassComplete, 1);
  HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
  EXPECT_TRUE(IsWindowEnabled(header));
  DWORD start = GetTickCount();
  StopThumbnailListThread();
  EXPECT_LT(GetTickCount() - start, 1000u);
  EXPECT_FALSE(ListThreadStopRequested());
  StopThumbnailListThread();  // a stopped worker: nothing to wait for
  StartThumbnailListThread();
}

// Pixel of an image-list image, as 0xRRGGBB.
uint32_t ImagePixel(HIMAGELIST list, int index, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP canvas = CreateCompatibleBitmap(screen, 128, 128);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, canvas);
  ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL);
  COLORREF c = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(canvas);
  DeleteDC(dc);
  return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// The renderer tests work on the first entry with the thread stopped and fresh image lists.
ImageEntry* PrepareRendering() {
  StopThumbnailListThread();
  CreateThumbnailImageLists();
  return EntryAt(0);
}

void FillRed(Gdiplus::Bitmap* bitmap) {
  Gdiplus::Graphics g(bitmap);
  g.Clear(Gdiplus::Color(255, 255, 0, 0));
}

TEST_F(FileListPaneTest, ThumbnailsKeepTheProportionsAndCarryTheHistogram) {
  ImageEntry* e = PrepareRendering();
  Gdiplus::Bitmap red(300, 400, PixelFormat24bppRGB);
  FillRed(&red);
  e->levelImages[0] = &red;
  e->info.width = 300;
  e->info.height = 400;
  e->userRotation = e->exifRotation = 0;
  e->flags &= ~0x8;
  ASSERT_TRUE(RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, e, 0));
  e->levelImages[0] = nullptr;
  // 88 x 60, proportioned: 45 pixels wide from x = 21.
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 20, 30), 0x000000u);
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 21, 30), 0xFF0000u);
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 65, 30), 0xFF0000u);
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 66, 30), 0x000000u);
  // The small box is filled (fit) by default.
  EXPECT_EQ(ImagePixel(g_smallThumbnailList, 0, 0, 0), 0xFF0000u);
  EXPECT_EQ(ImagePixel(g_smallThumbnailList, 0, 27, 19), 0xFF0000u);
  // Red bins: 192 pixels of 255 in bin 31, halved: a full column at the right edge.
  ASSERT_NE(e->histogramPicture, nullptr);
  Gdiplus::Color top;
  e->histogramPicture->GetPixel(31, 0, &top);
  EXPECT_EQ(top.GetValue(), 0xFFFF0000u);
  e->histogramPicture->GetPixel(30, 0, &top);  // the empty bins next to it stay background
  EXPECT_EQ(top.GetValue(), g_settings.histogramBackgroundArgb);
  ASSERT_FALSE(RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, e, 0));  // no level 0
  Load();
}

// A 24-bit BMP file of one colour (0xRRGGBB).
std::vector<uint8_t> PlainBmp(int width, int height, uint32_t rgb) {
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + stride * height;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::vector<uint8_t> bytes(file.bfSize, 0);
  std::memcpy(bytes.data(), &file, sizeof file);
  std::memcpy(bytes.data() + sizeof file, &info, sizeof info);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t* p = bytes.data() + file.bfOffBits + y * stride + x * 3;
      p[0] = rgb & 0xFF, p[1] = (rgb >> 8) & 0xFF, p[2] = (rgb >> 16) & 0xFF;
    }
  return bytes;
}

// The high-resolution option draws the embedded preview instead of level 0, and without a
// readable preview leaves the row as it was.
TEST_F(FileListPaneTest, HighResolutionThumbnailsComeFromThePreview) {
  ImageEntry* e = PrepareRendering();
  Gdiplus::Bitmap red(300, 400, PixelFormat24bppRGB);
  FillRed(&red);
  // Whatever fails, the entry and the setting go back for the next tests.
  struct Restore {
    ImageEntry* e;
    ImageEntry saved;
    ~Restore() {
      g_settings.highResolutionThumbs = 0;
      std::memcpy(e->path, saved.path, sizeof e->path);
      e->info = saved.info;
      e->levelImages[0] = nullptr;
      Load();
    }
  } restore{e, *e};
  e->levelImages[0] = &red;
  e->info.width = 300;
  e->info.height = 400;
  e->userRotation = e->exifRotation = 0;

  std::vector<uint8_t> file(100, 0x11);
  const std::vector<uint8_t> blue = PlainBmp(30, 40, 0x0000FF);
  file.insert(file.end(), blue.begin(), blue.end());
  const std::wstring path = dir_->File(L"preview.bin");
  ASSERT_TRUE(WriteWholeFile(path, file.data(), file.size()));
  wcsncpy(reinterpret_cast<wchar_t*>(e->path), path.c_str(), 259);
  e->info.modelRow = static_cast<int16_t>(g_cameraModelIndex[kUnknownModelCode]);
  e->info.previewOffset = 100;
  e->info.previewSize = static_cast<int32_t>(blue.size());
  ASSERT_TRUE(RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, e, 0));
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 40, 30), 0xFF0000u);
  g_settings.highResolutionThumbs = 1;
  ASSERT_TRUE(RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, e, 0));
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 40, 30), 0x0000FFu);
  EXPECT_EQ(ImagePixel(g_smallThumbnailList, 0, 10, 10), 0x0000FFu);
  EXPECT_EQ(e->levelImages[0], &red);
  g_settings.highResolutionThumbs = 0;
  ASSERT_TRUE(RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, e, 0));
  g_settings.highResolutionThumbs = 1;
  e->info.previewSize += 1;  // runs past the end of the file
  ASSERT_TRUE(RenderEntryThumbnail(g_smallThumbnailList, g_largeThumbnailList, e, 0));
  EXPECT_EQ(ImagePixel(g_largeThumbnailList, 0, 40, 30), 0xFF0000u);  // untouched
}

// The pictures' level 0 is given here as the image pipeline would make it; the list thread
// renders them on its next pass. Both styles are saved when BRN_SCREENSHOT names a folder.
TEST_F(FileListPaneTest, ScreenshotsOfTheThumbnailAndDetailViews) {
  // The sample folder's files carry Exif data without picture data; one whole camera JPEG joins them.
  ASSERT_TRUE(CopyFileW(L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\sample1.jpg",
                        photos_->File(L"e.jpg").c_str(), FALSE));
  Load();
  std::vector<Gdiplus::Bitmap*> pictures;
  std::vector<bool> handed;
  int whole = -1;
  for (int k = 0; k < g_entryCount; ++k) {
    auto* picture = new Gdiplus::Bitmap(EntryPath(EntryAt(k)));
    pictures.push_back(picture);
    handed.push_back(picture->GetLastStatus() == Gdiplus::Ok);
    if (!handed.back()) continue;
    whole = k;
    EntryAt(k)->levelImages[0] = picture;
    EntryAt(k)->info.width = static_cast<int16_t>(picture->GetWidth());
    EntryAt(k)->info.height = static_cast<int16_t>(picture->GetHeight());
    EntryAt(k)->flags |= 0x8;
  }
  g_listPassComplete = 0;
  g_listChanged = 1;
  ASSERT_TRUE(WaitFor([] { return g_listPassComplete == 1; }, 20000));
  for (int k = 0; k < g_entryCount; ++k)
    if (EntryAt(k)->levelImages[0]) EXPECT_EQ(EntryAt(k)->flags & 0x8, 0) << k;
  // The rendered thumbnail is no longer the flat placeholder.
  ASSERT_GE(whole, 0);
  EXPECT_NE(ImagePixel(g_largeThumbnailList, whole, 44, 30), ImagePixel(g_largeThumbnailList, whole, 44, 10));

  ShowWindow(g_hwndMain, SW_SHOWMAXIMIZED);
  g_viewMode = 1;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  wchar_t folder[MAX_PATH] = {};
  bool save = GetEnvironmentVariableW(L"BRN_SCREENSHOT", folder, MAX_PATH) != 0;
  for (const wchar_t* name : {L"detail.bmp", L"thumbnails.bmp"}) {
    if (name[0] == L't') SendMessageW(Pane(), WM_COMMAND, kStyleToggleCommand, 0);
    RedrawWindow(g_hwndMain, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    Sleep(300);
    Pump();
    if (save) EXPECT_TRUE(SaveScreenshot(std::wstring(folder) + L"\\" + name));
    if (name[0] == L'd') {
      // A cell without an image is filled with its row colour from its left edge: no empty
      // image slot in the list's background colour before the text.
      RECT cell{};
      cell.top = 3;  // column
      cell.left = LVIR_BOUNDS;
      ASSERT_TRUE(SendMessageW(List(), LVM_GETSUBITEMRECT, 1, reinterpret_cast<LPARAM>(&cell)));
      HDC dc = GetDC(List());
      const COLORREF slot = GetPixel(dc, cell.left + 4, cell.top + 3);
      const COLORREF fill = GetPixel(dc, cell.right - 3, cell.top + 3);  // past the short text
      ReleaseDC(List(), dc);
      EXPECT_NE(slot, static_cast<COLORREF>(g_settings.colorSlots[3]));
      EXPECT_EQ(slot, fill);
    }
  }
  EXPECT_EQ(g_reportViewFlag, 0u);
  SendMessageW(Pane(), WM_COMMAND, kStyleToggleCommand, 0);
  EXPECT_EQ(g_reportViewFlag, 1u);
  StopThumbnailListThread();
  // A picture handed to an entry belongs to it now: the list thread deletes it when it renders
  // the thumbnail again, so it is released through the entry, never deleted here a second time.
  for (int k = 0; k < g_entryCount; ++k) {
    if (EntryAt(k)->levelImages[0]) ReleaseEntryLevel(EntryAt(k), 0, 0);
    if (handed[k]) pictures[k] = nullptr;
  }
  for (Gdiplus::Bitmap* p : pictures) delete p;
  StartThumbnailListThread();
}


int RowOfName(const wchar_t* name) {
  for (int r = 0; r < g_listCount; ++r)
    if (RowText(r, 0) == name) return r;
  return -1;
}

// Marks and quarter turns given with the focus on a viewer pane, in both view modes that show
// one, reach the folder's cache file: leaving the folder and coming back keeps them. A turned
// row's thumbnail is drawn again by the list thread.
TEST_F(FileListPaneTest, MarksAndTurnsFromAPaneSurviveLeavingTheFolder) {
  ScratchDir elsewhere;
  const int32_t mode = g_viewMode;
  struct Case {
    int32_t view;
    const wchar_t* name;
  };
  const Case cases[] = {{3, L"a.jpg"}, {2, L"d.jpg"}};
  for (const Case& c : cases) {
    const int row = RowOfName(c.name);
    ASSERT_GE(row, 0) << c.view;
    EntryAtRow(row)->checked = 0;
    EntryAtRow(row)->userRotation = 0;
    g_viewMode = c.view;
    g_focusedPane = 0;
    g_paneEntry[0] = row;
    g_cursorRow = row;
    SetFocus(g_hwndMain);
    SetFocus(GetPaneControl(0));
    ASSERT_NE(GetFocus(), List()) << c.view;
    g_cacheDirty = 0;
    SendMessageW(g_hwndMain, WM_COMMAND, 305, 0);
    EXPECT_EQ(EntryAtRow(row)->checked, 1) << c.view;
    EXPECT_EQ(g_cacheDirty & 2, 2u) << c.view;
    g_cacheDirty = 0;
    SendMessageW(g_hwndMain, WM_COMMAND, 326, 0);
    EXPECT_EQ(EntryAtRow(row)->userRotation, 1) << c.view;
    EXPECT_EQ(g_cacheDirty & 2, 2u) << c.view;
    ImageEntry* turned = EntryAtRow(row);
    EXPECT_TRUE(WaitFor([&] { return (turned->flags & kEntryRenderAgain) == 0; }, 10000)) << c.view;
  }
  g_paneEntry[0] = -1;
  g_viewMode = mode;

  wcscpy(g_currentFolder, elsewhere.path().c_str());
  LoadListContents(1, 0, 0);
  ASSERT_TRUE(WaitFor([] { return g_listReadyFlag == 1; }, 20000));
  ASSERT_EQ(g_entryCount, 0);
  Load();
  for (const Case& c : cases) {
    const int row = RowOfName(c.name);
    ASSERT_GE(row, 0) << c.view;
    EXPECT_EQ(EntryAtRow(row)->checked, 1) << c.view;
    EXPECT_EQ(EntryAtRow(row)->userRotation, 1) << c.view;
    UINT state = static_cast<UINT>(SendMessageW(List(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    EXPECT_EQ(state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(2)) << c.view;
    EntryAtRow(row)->checked = 0;
    EntryAtRow(row)->userRotation = 0;
  }
  g_cacheDirty |= 2;  // the next test's load starts without them
}

std::vector<int> SelectedListRows() {
  std::vector<int> rows;
  for (int r = -1; (r = static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, r, LVNI_SELECTED))) >= 0;) rows.push_back(r);
  return rows;
}

DWORD WINAPI ClearHistogramsThread(LPVOID) {
  ClearHistogramCache();
  return 0;
}

// The hover clears the histogram cache on the interface thread: a picture the render thread may
// be drawing under "sema" stays until it lets go.
TEST_F(FileListPaneTest, HistogramCacheIsClearedUnderTheImageLock) {
  HANDLE sema = g_semaphores[kSemaImage];
  ASSERT_NE(sema, nullptr);
  ASSERT_EQ(WaitForSingleObject(sema, 10000), WAIT_OBJECT_0);
  g_histogramCache[0].picture = new Gdiplus::Bitmap(4, 4, PixelFormat32bppARGB);
  HANDLE clearer = CreateThread(nullptr, 0, ClearHistogramsThread, nullptr, 0, nullptr);
  ASSERT_NE(clearer, nullptr);
  EXPECT_EQ(WaitForSingleObject(clearer, 300), static_cast<DWORD>(WAIT_TIMEOUT));
  EXPECT_NE(g_histogramCache[0].picture, nullptr);
  ReleaseSemaphore(sema, 1, nullptr);
  EXPECT_EQ(WaitForSingleObject(clearer, 10000), WAIT_OBJECT_0);
  CloseHandle(clearer);
  EXPECT_EQ(g_histogramCache[0].picture, nullptr);
}

// The folder tree has the keyboard focus, in every view mode and whatever pane is remembered:
// the toolbar's recycle, undo and lossless rotation find nothing to act on, nor does the mail.
TEST_F(FileListPaneTest, ActionCommandsWithTheFocusOnTheTreeLeaveTheFiles) {
  const int row = RowOfName(L"b.jpg");
  ASSERT_GE(row, 0);
  SetFocus(List());
  Select({row});
  g_cursorRow = row;
  const int32_t mode = g_viewMode;
  HWND tree = FindDescendant(g_windowSlots[kSlotNavigationPane], L"SysTreeView32");
  ASSERT_NE(tree, nullptr);
  const int32_t lines = GetActionHistoryCount();
  for (int32_t view : {1, 2, 3}) {
    g_viewMode = view;
    g_focusedPane = 0;  // as the list's and the viewer's own focus changes leave it
    g_paneEntry[0] = row;
    SetFocus(tree);
    ASSERT_EQ(GetFocus(), tree) << view;
    // The toolbar's "選択ファイルをゴミ箱へ", undo and lossless rotation.
    for (int command : {291, 295, 285}) SendMessageW(g_hwndMain, WM_COMMAND, command, 0);
    {
      BoxAnswerer cancel(IDCANCEL);
      SendSelectionByMail(Pane());
      EXPECT_TRUE(cancel.seen.empty()) << view << ": the mail asked about the cursor row's file";
    }
    EXPECT_TRUE(FileExists(photos_->File(L"b.jpg"))) << view;
    EXPECT_EQ(GetActionHistoryCount(), lines) << view;
    // The pane itself with the focus is the target again.
    if (view != 1) {
      SetFocus(GetPaneControl(0));
      ASSERT_EQ(GetFocus(), GetPaneControl(0)) << view;
      EXPECT_EQ(GetFocusedPaneRow(), row) << view;
    }
  }
  g_paneEntry[0] = -1;
  g_viewMode = mode;
}

// In view modes 1 to 3, with the keys on the list, on a pane (given by a press that pans its
// zoomed picture, or by the wheel turned over it from the list) or on the tree after a page step
// (which frames the first pane and remembers the second): the check-mark, RAW and GPS buttons
// are enabled for the picture their commands act on, status part 5 is written for it, and the
// lock goes on its pane.
TEST_F(FileListPaneTest, ButtonsStatusAndCommandsTakeOnePicture) {
  StopViewerThreads();  // nothing develops the picture made RAW here
  const int32_t mode = g_viewMode, layout = g_settings.splitLayout;
  const uint8_t latch = g_zoomHoldLatch;
  g_settings.splitLayout = 1;
  g_folderOpenDelay.pending = false;
  g_startupCompletionWindow = nullptr;
  PendingSettingsPage = -2;
  HWND tree = FindDescendant(g_windowSlots[kSlotNavigationPane], L"SysTreeView32"), pane1 = GetPaneControl(1);
  ImageEntry* first = EntryAtRow(0);
  const ImageEntry saved = *first;
  enum Focus { kList, kPan, kWheel, kTree };
  const struct { int32_t view; Focus focus; } cases[] = {{1, kList}, {1, kTree}, {2, kPan}, {2, kTree},
                                                        {3, kList}, {3, kWheel}, {3, kTree}};
  for (const auto& c : cases) {
    g_viewMode = c.view;
    SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
    Pump();
    for (int r = 0; r < g_listCount; ++r) EntryAtRow(r)->checked = r == 1;  // the second pane's
    first->info.fileTypeFlag = 0x80;                                        // the first pane's: RAW
    g_cursorRow = 0;
    SetFocus(c.view == 1 || c.focus == kList || c.focus == kWheel ? List() : GetPaneControl(0));
    MarkFlaggedEntries();
    AssignPaneEntries();
    if (c.focus == kList) Select({0});
    RECT r;
    GetClientRect(pane1, &r);
    POINT at{r.right / 2, r.bottom / 2};
    ClientToScreen(pane1, &at);
    SetCursorPos(at.x, at.y);
    if (c.focus == kPan) {
      g_zoomMode = 1;
      SendMessageW(Pane(), WM_LBUTTONDOWN, MK_LBUTTON, 0);
      RestoreSavedFocus();  // as the idle loop does
      SendMessageW(Pane(), WM_LBUTTONUP, 0, 0);
    }
    if (c.focus == kWheel) SendMessageW(List(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    if (c.focus == kTree) {
      g_rememberedPane = 1;
      SetFocus(tree);
      g_cursorRow = 1;
      ShowPreviousImage();
    }
    ASSERT_EQ(GetPaneOrderNumber(1), 1);
    const bool onPane = c.focus == kPan || c.focus == kWheel;
    ASSERT_EQ(GetFocus(), onPane ? pane1 : c.focus == kTree ? tree : List()) << c.view << c.focus;
    if (onPane) EXPECT_EQ(GetFocusedPaneRow(), 1) << c.view;  // Delete, undo, lossless rotation

    FocusRestoreWindow = nullptr;
    g_toggleViewRequest = g_navigationToggleRequest = g_fullScreenRequest = 0;
    SetStatusPartText(5, L"\tstale");
    PushStatusTexts();
    Tick();
    wchar_t part5[64] = {};
    SendMessageW(g_statusBar, SB_GETTEXTW, 5, reinterpret_cast<LPARAM>(part5));
    EXPECT_STRNE(part5, L"\tstale") << c.view << c.focus;
    UpdateToolbarButtons(8);
    ComputeCommandStates();
    int target = -1;
    for (int id : {305, 308}) {
      const int32_t enabled = AppliedCommandState(id);
      SendMessageW(g_hwndMain, WM_COMMAND, id, 0);
      bool changed = false;
      for (int row = 0; row < g_listCount; ++row) {
        if (EntryAtRow(row)->checked == (row == 1)) continue;
        changed = true;
        target = row;
        EntryAtRow(row)->checked = row == 1;
      }
      EXPECT_EQ(enabled, changed ? 1 : 0) << id << ": " << c.view << c.focus;
    }
    ASSERT_GE(target, 0) << c.view << c.focus;
    if (onPane) EXPECT_EQ(target, 1) << c.view;
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    SendMessageW(g_hwndMain, WM_COMMAND, 290, 0);
    EXPECT_NE(ClipboardText().find(L"\t" + RowText(target, 0)), std::wstring::npos) << c.view << c.focus;
    EXPECT_EQ(AppliedCommandState(556), 1) << c.view << c.focus;
    const int32_t raw = AppliedCommandState(337);
    SendMessageW(g_hwndMain, WM_COMMAND, 337, 0);
    EXPECT_EQ(raw, first->developMode == 2 ? 1 : 0) << c.view << c.focus;
    EXPECT_EQ(raw, target == 0 ? 1 : 0) << c.view << c.focus;
    first->developMode = saved.developMode;
    if (c.view != 1) {
      FocusRestoreWindow = nullptr;
      g_rightWithLeftRequest = 1;
      Tick();
      EXPECT_EQ(g_paneEntry[target], target) << c.view << c.focus;
      EXPECT_EQ(g_paneEntry[1 - target], -1) << c.view << c.focus;
      g_paneEntry[0] = g_paneEntry[1] = -1;
    }
  }
  g_zoomMode = 0;
  g_zoomHoldLatch = latch;
  FocusRestoreWindow = nullptr;
  first->info.fileTypeFlag = saved.info.fileTypeFlag;  // before the cache file keeps it
  for (int r = 0; r < g_listCount; ++r) EntryAtRow(r)->checked = 0;
  Load();
  g_settings.splitLayout = layout;
  g_viewMode = mode;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
}

// In view modes 1 to 3 with the keys on the list, on a pane or on the tree, every button and
// list-popup item whose command acts on rows is enabled exactly when its click changes
// something: the file actions (a history line of the lossless turn and of the undo, the
// wallpaper made, the mail's question) with the list or a pane holding the keys, the other
// commands (the turn, the clipboard row) on the selection or the current pane.
TEST_F(FileListPaneTest, RowCommandsAreEnabledExactlyWhenTheyAct) {
  StopViewerThreads();
  const int32_t mode = g_viewMode;
  const int row = RowOfName(L"b.jpg");
  ASSERT_GE(row, 0);
  HWND tree = FindDescendant(g_windowSlots[kSlotNavigationPane], L"SysTreeView32");
  ASSERT_NE(tree, nullptr);
  wchar_t wallpaper[kPathChars];
  ASSERT_TRUE(GetWallpaperBitmapPath(wallpaper));
  const bool menusBuilt = g_menus[2] != nullptr;  // the program builds them at its start
  if (!menusBuilt) BuildMenuBar(g_hInstance);
  auto popupEnabled = [](int id) { return (GetMenuState(g_menus[2], id, MF_BYCOMMAND) & MF_GRAYED) == 0; };
  enum Focus { kList, kPane, kTree };
  const struct { int32_t view; Focus focus; } cases[] = {{1, kList}, {1, kTree}, {2, kPane}, {2, kTree},
                                                        {3, kList}, {3, kPane}, {3, kTree}};
  for (const auto& c : cases) {
    g_viewMode = c.view;
    SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
    Pump();
    HWND keys = c.focus == kList ? List() : c.focus == kPane ? GetPaneControl(0) : tree;
    auto focus = [&] {  // a box closing leaves the focus where the test cannot rely on it
      SetFocus(keys);
      return GetFocus() == keys;
    };
    g_cursorRow = row;
    g_focusedPane = 0;
    Select({row});
    ASSERT_TRUE(focus()) << c.view << c.focus;
    AssignPaneEntries();
    ComputeCommandStates();
    UpdateToolbarButtons(8);
    PrepareListPopup();
    const bool files = AppliedCommandState(285) == 1, pictures = AppliedCommandState(326) == 1;
    EXPECT_EQ(files, c.focus != kTree) << c.view << c.focus;
    for (int id : {240, 286, 291, 295}) EXPECT_EQ(AppliedCommandState(id) == 1, files) << id << ": " << c.view << c.focus;
    for (int id : {117, 122, 125, 197, 230}) EXPECT_EQ(popupEnabled(id), files) << id << ": " << c.view << c.focus;
    for (int id : {289, 290, 310, 327, 556})
      EXPECT_EQ(AppliedCommandState(id) == 1, pictures) << id << ": " << c.view << c.focus;
    for (int id : {136, 158, 182, 183, 200, 305}) EXPECT_EQ(popupEnabled(id), pictures) << id << ": " << c.view << c.focus;

    {
      BoxAnswerer cancel(IDCANCEL);
      const int32_t lines = GetActionHistoryCount();
      for (int id : {285, 295}) {
        ASSERT_TRUE(focus());
        SendMessageW(g_hwndMain, WM_COMMAND, id, 0);
      }
      EXPECT_EQ(GetActionHistoryCount(), lines + (files ? 2 : 0)) << c.view << c.focus;
      ASSERT_TRUE(focus());
      SendSelectionByMail(Pane());
      EXPECT_EQ(cancel.seen.size(), files ? 1u : 0u) << c.view << c.focus;
    }
    {
      BoxAnswerer goAhead(IDNO);
      DeleteFileW(wallpaper);
      ASSERT_TRUE(focus());
      SendMessageW(g_hwndMain, WM_COMMAND, 286, 0);
      // Acted on: the bitmap written, or its failure reported with the picture's name.
      const bool reported = goAhead.seen.size() == 2 && goAhead.seen[1].text.find(L"b.jpg") != std::wstring::npos;
      EXPECT_EQ(FileExists(wallpaper) || reported, files) << c.view << c.focus;
    }
    std::vector<int8_t> turns;
    for (int r = 0; r < g_listCount; ++r) turns.push_back(EntryAtRow(r)->userRotation);
    ASSERT_TRUE(focus());
    SendMessageW(g_hwndMain, WM_COMMAND, 326, 0);
    bool turned = false;
    for (int r = 0; r < g_listCount; ++r) {
      turned |= EntryAtRow(r)->userRotation != turns[r];
      EntryAtRow(r)->userRotation = turns[r];
    }
    EXPECT_EQ(turned, pictures) << c.view << c.focus;
    ASSERT_TRUE(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard());
    ASSERT_TRUE(focus());
    SendMessageW(g_hwndMain, WM_COMMAND, 290, 0);
    EXPECT_EQ(!ClipboardText().empty(), pictures) << c.view << c.focus;
  }
  DeleteFileW(wallpaper);
  if (!menusBuilt) DestroyMenus();
  g_viewMode = mode;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
  Load();
}

// "選択画像だけを閲覧" shows the selected rows in the panes; when the cursor row's file is gone
// there is nothing to show, the view stays, and the panes' threads run again all the same.
TEST_F(FileListPaneTest, ViewingTheSelectionOnlyKeepsThePanesPainting) {
  const int32_t mode = g_viewMode;
  const int first = RowOfName(L"a.jpg"), second = RowOfName(L"d.jpg");
  ASSERT_GE(first, 0);
  ASSERT_GE(second, 0);
  auto focusRow = [](int row) {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  };
  g_viewMode = 1;
  Select({first, second});
  focusRow(second);
  SendMessageW(Pane(), WM_COMMAND, 120, 0);
  EXPECT_EQ(g_viewMode, 2);
  EXPECT_EQ(g_cursorRow, second);
  EXPECT_TRUE(EntryAtRow(first)->presence & kEntrySelected);
  EXPECT_TRUE(IsPaneRenderThreadRunning());

  g_viewMode = 1;
  ImageEntry* gone = EntryAtRow(first);
  const uint8_t presence = gone->presence;
  gone->presence = kEntryVanished;
  Select({first});
  focusRow(first);
  g_cursorRow = first;
  SendMessageW(Pane(), WM_COMMAND, 120, 0);
  EXPECT_EQ(g_viewMode, 1);
  EXPECT_TRUE(IsPaneRenderThreadRunning()) << "the panes stopped repainting";
  gone->presence = presence;
  StopViewerThreads();
  g_viewMode = mode;
}

// The check-mark buttons follow the selected rows while the list has the focus; the GPS button
// needs a selected row; the grid button shows the grid's state.
TEST_F(FileListPaneTest, ToolbarFollowsTheSelectionAndTheGrid) {
  const int32_t viewMode = g_viewMode;
  g_viewMode = 3;
  for (int k = 0; k < g_entryCount; ++k) EntryAt(k)->checked = 0;
  SetFocus(List());
  ASSERT_EQ(GetFocus(), List());
  g_cursorRow = 0;
  EntryAtRow(0)->checked = 1;
  Select({0, 1});
  ComputeCommandStates();
  EXPECT_EQ(AppliedCommandState(305), 1);
  EXPECT_EQ(AppliedCommandState(308), 1);
  Select({1});
  ComputeCommandStates();
  EXPECT_EQ(AppliedCommandState(305), 1);
  EXPECT_EQ(AppliedCommandState(308), 0);
  Select({});
  UpdateToolbarButtons(8);
  ComputeCommandStates();
  EXPECT_EQ(AppliedCommandState(556), 0);
  Select({2});
  UpdateToolbarButtons(8);
  ComputeCommandStates();
  EXPECT_EQ(AppliedCommandState(556), 1);
  EntryAtRow(0)->checked = 0;

  HWND toolbar = CommandToolbar();
  ASSERT_NE(toolbar, nullptr);
  ASSERT_GE(SendMessageW(toolbar, TB_COMMANDTOINDEX, 304, 0), 0);  // a default button
  for (uint8_t grid : {1, 0}) {
    g_gridShown = grid;
    UpdateToolbarButtons(2);
    EXPECT_EQ(SendMessageW(toolbar, TB_ISBUTTONCHECKED, 304, 0) != 0, grid == 1);
  }
  g_viewMode = viewMode;
}

// In the split view a locked pane's own row is selected with the others, not the row after the
// cursor.
TEST_F(FileListPaneTest, SplitViewSelectsTheRowOfALockedPane) {
  const int32_t viewMode = g_viewMode, layout = g_settings.splitLayout;
  g_viewMode = 3;
  g_settings.splitLayout = 1;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
  g_cursorRow = 0;
  g_paneEntry[1] = 3;
  SetFocus(GetPaneControl(0));
  ASSERT_EQ(GetFocus(), GetPaneControl(0));
  SyncListSelectionWithView();
  EXPECT_EQ(SelectedListRows(), (std::vector<int>{0, 3}));
  g_paneEntry[1] = -1;
  g_settings.splitLayout = layout;
  g_viewMode = viewMode;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
}

// While zoomed, each mouse move on the pane asks for a repaint, carries the loupe with the
// cursor and, during a drag, stores the drag point the picture pans by.
TEST_F(FileListPaneTest, MouseMovesWhileZoomedCarryTheLoupeAndThePan) {
  const int32_t viewMode = g_viewMode, loupe = g_settings.loupeEnabled;
  g_viewMode = 3;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
  RECT pc;
  GetClientRect(GetPaneControl(0), &pc);
  POINT origin{0, 0};
  ClientToScreen(GetPaneControl(0), &origin);
  auto moveTo = [&](int x, int y) {
    SetCursorPos(origin.x + x, origin.y + y);
    POINT p{origin.x + x, origin.y + y};
    ScreenToClient(Pane(), &p);
    SendMessageW(Pane(), WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
  };
  const int cx = pc.right / 2, cy = pc.bottom / 2;
  g_settings.loupeEnabled = 1;
  SetCursorPos(origin.x + cx, origin.y + cy);
  g_zoomMode = 1;
  FindPaneUnderCursor();
  g_redrawFlag = 0;
  moveTo(cx + 30, cy + 20);
  int32_t x = 0, y = 0;
  GetLoupeCentre(0, &x, &y);
  EXPECT_EQ(x, cx + 30);
  EXPECT_EQ(y, cy + 20);
  EXPECT_EQ(g_redrawFlag, 1);
  // With Alt held only the hovered pane's loupe follows.
  g_keyHold.counters[VK_MENU] = 1;
  moveTo(cx + 50, cy + 20);
  g_keyHold.counters[VK_MENU] = 0;
  GetLoupeCentre(0, &x, &y);
  EXPECT_EQ(x, cx + 50);
  GetLoupeCentre(1, &x, &y);
  EXPECT_EQ(x, cx + 30);

  g_settings.loupeEnabled = 0;
  g_panningActive = 1;
  g_panState = 2;
  SetCursorPos(origin.x + cx + 30, origin.y + cy + 20);
  FindPaneUnderCursor();
  moveTo(cx + 40, cy + 25);
  EXPECT_EQ(g_panState, 1);
  SetCursorPos(origin.x + cx, origin.y + cy);  // not a move the pane was told of
  int32_t dx = 0, dy = 0;
  ASSERT_TRUE(TakePanMotion(0, &dx, &dy));
  EXPECT_EQ(dx, -10);
  EXPECT_EQ(dy, -5);
  g_panningActive = 0;
  g_panState = 0;
  g_zoomMode = 0;
  g_redrawFlag = 0;
  g_settings.loupeEnabled = loupe;
  g_viewMode = viewMode;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
}

// The idle loop's slideshow step: the first picture has its time too, a movie shown holds the
// show for its length when the setting says so, and stopping closes it to its still picture.
TEST_F(FileListPaneTest, SlideshowGivesEveryPictureItsTimeAndWaitsForAMovie) {
  const int32_t viewMode = g_viewMode, layout = g_settings.splitLayout;
  const int32_t seconds = g_settings.slideshowWaitSeconds;
  const uint8_t waitMovie = g_settings.slideshowWaitForMovie;
  // Nothing the ticks would open may wait for a user: the start's once-only step asks for the
  // settings dialog.
  g_folderOpenDelay.pending = false;
  g_startupCompletionWindow = nullptr;
  PendingSettingsPage = -2;
  g_viewMode = 2;
  g_settings.splitLayout = 0;
  g_settings.slideshowWaitSeconds = 1;
  g_settings.slideshowWaitForMovie = 0;
  SetFocus(GetPaneControl(0));
  g_cursorRow = 0;
  AssignPaneEntries();
  StartSlideshow();
  g_fullScreenRequest = g_navigationToggleRequest = g_toggleViewRequest = 0;  // stays as it is
  Tick(3);
  EXPECT_EQ(g_cursorRow, 0);
  EXPECT_TRUE(WaitFor([] {
    Tick();
    return g_cursorRow == 1;
  }, 4000));

  // The list view from here: the panes would try to play the stand-in movie.
  g_viewMode = 1;
  ImageEntry* movie = EntryAtRow(1);
  const uint32_t type = movie->info.fileTypeFlag;
  const int32_t length = movie->movieValue;
  const uint16_t flags = movie->flags;
  movie->info.fileTypeFlag = kFileTypeMovie;
  movie->movieValue = 3;
  g_settings.slideshowWaitForMovie = 1;
  SlideshowStartTick = GetTickCount();
  WaitFor([] {
    Tick();
    return g_cursorRow != 1;
  }, 1800);
  EXPECT_EQ(g_cursorRow, 1);
  movie->flags |= kEntryMovieUsePosition;
  g_movieEntry = -1;
  g_viewMode = 2;
  StopSlideshow(0, 0);
  EXPECT_EQ(g_movieEntry, g_displayOrder[1]);
  EXPECT_EQ(movie->flags & kEntryMovieUsePosition, 0);
  g_fullScreenRequest = g_navigationToggleRequest = g_toggleViewRequest = 0;
  movie->info.fileTypeFlag = type;
  movie->movieValue = length;
  movie->flags = flags;
  g_settings.slideshowWaitSeconds = seconds;
  g_settings.slideshowWaitForMovie = waitMovie;
  g_settings.splitLayout = layout;
  g_viewMode = viewMode;
  SendMessageW(g_hwndMain, WM_SIZE, 0, 0);
  Pump();
}

// Runs last: it sends two of the folder's files to the Recycle Bin and puts them back.
TEST_F(FileListPaneTest, ZListCommandsAskAsTheSettingsSayAndActOnTheSelection) {
  SetFocus(List());
  ASSERT_GE(g_listCount, 4);  // earlier tests may have added files by renames
  const int rows = g_listCount;
  ASSERT_GE(RowOfName(L"c.jpg"), 0);
  ASSERT_GE(RowOfName(L"d.jpg"), 0);
  // Check-mark selection.
  for (int r = 0; r < rows; ++r) EntryAtRow(r)->checked = (r == 1 || r == 3) ? 1 : 0;
  SendMessageW(Pane(), WM_COMMAND, 137, 0);
  EXPECT_EQ(SelectedListRows(), (std::vector<int>{1, 3}));
  SendMessageW(Pane(), WM_COMMAND, 138, 0);
  std::vector<int> others;
  for (int r = 0; r < rows; ++r)
    if (r != 1 && r != 3) others.push_back(r);
  EXPECT_EQ(SelectedListRows(), others);
  SendMessageW(Pane(), WM_COMMAND, 200, 0);  // invert the check marks of the selection
  EXPECT_EQ(EntryAtRow(0)->checked, 1);
  EXPECT_EQ(EntryAtRow(1)->checked, 1);
  for (int r = 0; r < rows; ++r) EntryAtRow(r)->checked = 0;

  // Refresh: asked while the setting is on; "no" keeps the list as it is.
  g_settings.confirmRefresh = 1;
  {
    BoxAnswerer answer(IDNO);
    SendMessageW(g_hwndMain, WM_COMMAND, 303, 0);  // F5
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, L"最新の情報に更新しますか？\n※更新をすると現フォルダのアクション履歴などもクリアされます。");
    EXPECT_EQ(answer.seen[0].defaultId, IDNO);
  }
  g_settings.confirmRefresh = 0;
  {
    BoxAnswerer answer(IDNO);
    SendMessageW(Pane(), WM_COMMAND, 118, 0);
    EXPECT_TRUE(answer.seen.empty());
    ASSERT_TRUE(WaitFor([] { return g_listReadyFlag == 1; }, 20000));
    EXPECT_EQ(g_listCount, rows);
  }

  // Delete key, "ask again after a cancel" on: asked until answered yes.
  const std::wstring askAgain = L"DELキー [ ファイル削除 ] が押されました\nファイル削除実行しますか？\n\n"
                                L"※実行すると次回からこの表示はスキップされます。（表示設定で変更可）";
  g_settings.confirmAgainAfterCancel = 1;
  g_deleteConfirmPending = 1;
  SetFocus(List());
  Select({RowOfName(L"d.jpg")});
  for (int answerId : {IDNO, IDNO, IDYES}) {
    BoxAnswerer answer(answerId);
    SetFocus(List());  // a box closing leaves the focus where the test cannot rely on it
    SendMessageW(Pane(), WM_COMMAND, 117, 1);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_EQ(answer.seen[0].text, askAgain);
    if (answerId == IDNO) EXPECT_TRUE(FileExists(photos_->File(L"d.jpg")));
  }
  // That the file then goes is shown by the end-to-end test, where the list has the focus.
  EXPECT_EQ(g_deleteConfirmPending, 0);
  EXPECT_EQ(BusyFlag, 0);

  // The setting off: asked once whatever the answer; the menu command never asks.
  g_settings.confirmAgainAfterCancel = 0;
  g_deleteConfirmPending = 1;
  Select({RowOfName(L"c.jpg")});
  {
    BoxAnswerer answer(IDNO);
    SetFocus(List());
    SendMessageW(Pane(), WM_COMMAND, 117, 1);
    ASSERT_EQ(answer.seen.size(), 1u);
    EXPECT_NE(answer.seen[0].text.find(L"※以後この表示はスキップされます。"), std::wstring::npos);
    EXPECT_TRUE(FileExists(photos_->File(L"c.jpg")));
  }
  EXPECT_EQ(g_deleteConfirmPending, 0);
  {
    BoxAnswerer answer(IDNO);
    SetFocus(List());
    SendMessageW(g_hwndMain, WM_COMMAND, 291, 0);  // the menu's recycle
    EXPECT_TRUE(answer.seen.empty());
  }
  g_settings.confirmAgainAfterCancel = 1;
  g_deleteConfirmPending = 1;
  for (int k : {0, 2})  // c.jpg and d.jpg back
    ASSERT_TRUE(CopyFileW((std::wstring(kSamples) + kPictures[k]).c_str(), photos_->File(kNames[k]).c_str(), FALSE));

  // Split layouts set the layout and the histogram allowance.
  SendMessageW(Pane(), WM_COMMAND, 438, 0);
  EXPECT_EQ(g_settings.splitLayout, 3);
  EXPECT_EQ(g_histogramBudget, 3);
  SendMessageW(Pane(), WM_COMMAND, 435, 0);
  EXPECT_EQ(g_settings.splitLayout, 0);
}

}  // namespace
