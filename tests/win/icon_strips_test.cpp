// The picture strips linked into the program: their sizes and cell counts, the transparent
// grey in the top-left corner, and a picture in every cell that should have one.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#include "browser/icon_lists.h"
#include "core/app_globals.h"
#include "resources/resource.h"

namespace {
constexpr COLORREF kKey = RGB(0xC0, 0xC0, 0xC0);

struct StripPixels {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

StripPixels ReadStrip(int id) {
  StripPixels s;
  HBITMAP bitmap = static_cast<HBITMAP>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return s;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  s.width = info.bmWidth;
  s.height = info.bmHeight;
  s.pixels.resize(static_cast<size_t>(s.width) * s.height);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) s.pixels[static_cast<size_t>(y) * s.width + x] = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);
  return s;
}

// Pixels of one cell that are not the transparent grey, and a fingerprint of the cell.
int CellInk(const StripPixels& s, int cell, int cellWidth, uint64_t* hash) {
  int ink = 0;
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < s.height; ++y)
    for (int x = cell * cellWidth; x < (cell + 1) * cellWidth; ++x) {
      const COLORREF c = s.At(x, y);
      if (c != kKey) ++ink;
      h = (h ^ c) * 1099511628211ull;
    }
  *hash = h;
  return ink;
}
}  // namespace

TEST(IconStrips, EveryStripHasItsCellsAndAPictureInEachCell) {
  struct Strip {
    int id, cells, cellWidth, height;
    bool firstCellEmpty;  // the command strips' cell 0 means "no icon"
  } strips[] = {
      {IDB_FOLDER_COMBO, 2, 16, 16, false},        {IDB_FOLDER_COMBO_LARGE, 2, 32, 32, false},
      {IDB_ACTION_KIND_ICONS, 28, 16, 16, false},  {IDB_ACTION_KIND_ICONS_LARGE, 28, 32, 32, false},
      {IDB_MENU_ICONS, 55, 16, 16, true},          {IDB_MENU_ICONS_LARGE, 55, 32, 32, true},
      {IDB_COMMAND_ICONS, 56, 16, 16, true},       {IDB_COMMAND_ICONS_LARGE, 55, 32, 32, true},
      {IDB_TOOLBOX, 56, 16, 16, true},             {IDB_TOOLBOX_LARGE, 55, 32, 32, true},
      {IDB_BAND_IMAGES, 7, 48, 16, false},         {IDB_BAND_IMAGES_LARGE, 7, 96, 32, false},
      {IDB_LIST_SORT_MARKS, 2, 15, 10, false},     {IDB_BUTTON_CHOOSE_FOLDER, 1, 16, 16, false},
      {IDB_BUTTON_CHOOSE_FILE, 1, 16, 16, false},  {IDB_BUTTON_MOVIE_REWIND, 1, 16, 16, false},
      {IDB_BUTTON_MOVIE_PAUSE, 1, 16, 16, false},  {IDB_BUTTON_MOVIE_PLAY, 1, 16, 16, false},
      {IDB_BUTTON_MOVIE_REPEAT, 1, 16, 16, false}, {IDB_BUTTON_MOVIE_ONCE, 1, 16, 16, false},
      {IDB_MENU_BUTTON, 1, 12, 16, false},         {IDB_MENU_BUTTON_LARGE, 1, 24, 32, false},
  };
  for (const Strip& st : strips) {
    SCOPED_TRACE(st.id);
    const StripPixels s = ReadStrip(st.id);
    ASSERT_EQ(s.width, st.cells * st.cellWidth);
    ASSERT_EQ(s.height, st.height);
    EXPECT_EQ(s.At(0, 0), kKey);
    std::set<uint64_t> seen;
    int distinct = 0;
    for (int c = 0; c < st.cells; ++c) {
      uint64_t hash = 0;
      const int ink = CellInk(s, c, st.cellWidth, &hash);
      if (c == 0 && st.firstCellEmpty) {
        EXPECT_EQ(ink, 0);
        continue;
      }
      // A real picture covers a good part of its cell; the old framed squares were one hue.
      EXPECT_GT(ink, st.cellWidth * st.height / 8) << "cell " << c;
      distinct += seen.insert(hash).second ? 1 : 0;
    }
    // Cells tell their commands apart (two command cells share the sub-folder merge picture).
    const int pictured = st.cells - (st.firstCellEmpty ? 1 : 0);
    EXPECT_GE(distinct, pictured - (pictured > 40 ? 1 : 0));
  }
  // The check-mark states: cell 0 empty (no mark), cell 1 the mark.
  const StripPixels marks = ReadStrip(IDB_LIST_CHECK_MARKS);
  ASSERT_EQ(marks.width, 16);
  uint64_t hash = 0;
  EXPECT_EQ(CellInk(marks, 0, 8, &hash), 0);
  EXPECT_GT(CellInk(marks, 1, 8, &hash), 8);
}

TEST(IconStrips, ImageListsTakeTheCellsAtBothScales) {
  g_hInstance = GetModuleHandleW(nullptr);
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR token = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    g_uiScale = scale;
    LoadIconImageLists();
    struct List {
      HIMAGELIST list;
      int count, cx, cy;
    } lists[] = {
        {g_favouriteIcons, 2, 16 * scale, 16 * scale}, {g_actionKindIcons, 28, 16 * scale, 16 * scale},
        {g_toolboxIcons, 55, 16 * scale, 16 * scale},  {g_listThreadIcons, 2, 15, 10},
        {g_listThreadMarks, 2, 8, 8},                  {g_bandIcons, 7, 48 * scale, 16 * scale},
        {g_commandIcons, scale == 1 ? 56 : 55, 16 * scale, 16 * scale},
    };
    for (const List& l : lists) {
      ASSERT_NE(l.list, nullptr);
      int cx = 0, cy = 0;
      ImageList_GetIconSize(l.list, &cx, &cy);
      EXPECT_EQ(ImageList_GetImageCount(l.list), l.count);
      EXPECT_EQ(cx, l.cx);
      EXPECT_EQ(cy, l.cy);
    }
    ASSERT_NE(g_menuIconStrip, nullptr);
    EXPECT_EQ(static_cast<int>(g_menuIconStrip->GetWidth()), 55 * 16 * scale);
    for (HBITMAP b : g_buttonBitmaps) EXPECT_NE(b, nullptr);
    FreeIconImageLists();
  }
  g_uiScale = 1;
  Gdiplus::GdiplusShutdown(token);
}
