// The real program: resting the cursor on a thumbnail shows the picture enlarged beside it,
// resting it on a row's histogram cell shows the row's histogram; both stay on the desktop.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/e2e_start.h"
#include "support/remote_controls.h"
#include "support/sample_pictures.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

int Rows(HWND list) { return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
POINT Centre(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

int RowNamed(HWND list, const std::wstring& name) {
  for (int r = 0; r < Rows(list); ++r)
    if (ListCellText(list, r, 0) == name) return r;
  return -1;
}

// A camera JPEG cut right after its Exif segment, as some tools store them: only its Exif
// thumbnail can be shown.
bool WriteCutAfterExif(const std::wstring& source, const std::wstring& target) {
  std::vector<uint8_t> b;
  if (!ReadWholeFile(source, &b) || b.size() < 6 || b[0] != 0xFF || b[1] != 0xD8) return false;
  size_t at = 2;
  while (at + 4 <= b.size() && b[at] == 0xFF) {
    const uint8_t marker = b[at + 1];
    const size_t length = (static_cast<size_t>(b[at + 2]) << 8) | b[at + 3];
    at += 2 + length;
    if (marker == 0xE1) return at <= b.size() && WriteWholeFile(target, b.data(), at);
  }
  return false;
}

// The shown popups of the program other than the drag marker, by their screen rectangles.
std::vector<RECT> ShownPopups(DWORD processId, HWND main) {
  std::vector<RECT> popups;
  for (HWND w : VisibleTopWindows(processId, L"#32770")) {
    if (w == main) continue;
    const RECT r = ScreenRectOf(w);
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width > 11 && width <= 256 && height > 11 && height <= 256) popups.push_back(r);
  }
  return popups;
}

std::string Describe(const std::vector<RECT>& popups) {
  std::string text;
  for (const RECT& r : popups)
    text += "(" + std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
            std::to_string(r.bottom - r.top) + ")";
  return text.empty() ? "none" : text;
}

bool FindPopup(DWORD processId, HWND main, int width, int height, RECT* found) {
  for (const RECT& r : ShownPopups(processId, main))
    if (r.right - r.left == width && r.bottom - r.top == height) {
      *found = r;
      return true;
    }
  return false;
}

TEST(HoverPopupE2E, PreviewAndHistogramOfTheThumbnailUnderTheCursor) {
  ScratchDir program, photos;
  const std::wstring exe = CopyProgramInto(program);
  // A whole camera picture of 500 x 375, one cut after its Exif segment that carries a 160 x 120
  // thumbnail, and a 1200 x 800 CMYK JPEG, which libjpeg-turbo leaves to the system's decoder.
  ASSERT_TRUE(CopyFileW((std::wstring(kExifFolder) + L"sample1.jpg").c_str(), photos.File(L"1.jpg").c_str(), FALSE));
  ASSERT_TRUE(WriteCutAfterExif(std::wstring(kExifSamples) + L"has-lens-info.jpg", photos.File(L"2.jpg")));
  const std::vector<uint8_t> cmyk = MakeCmykJpeg(1200, 800);
  ASSERT_TRUE(WriteWholeFile(photos.File(L"3.jpg"), cmyk.data(), cmyk.size()));
  Process p;
  HWND main = nullptr, list = nullptr;
  ASSERT_TRUE(StartPastFirstDialogs(p, exe, photos.path(), 3, &main, &list));
  int whole = -1, cut = -1;
  ASSERT_TRUE(WaitFor([&] {
    whole = RowNamed(list, L"1.jpg"), cut = RowNamed(list, L"2.jpg");
    return whole >= 0 && cut >= 0;
  }, 30000));
  const int desktopWidth = GetSystemMetrics(SM_CXSCREEN);
  // Thumbnails are hovered in the thumbnail style, histograms in the detail style.
  auto detailStyle = [&] { return (GetWindowLongW(list, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT; };
  if (detailStyle()) PostMessageW(GetParent(list), WM_COMMAND, 113, 0);
  ASSERT_TRUE(WaitFor([&] { return !detailStyle(); }, 10000));

  // Rests the cursor on a point (moved there from aside, so that any shown popup goes first)
  // and waits for a popup of the size; the rest is made again while none comes, as a loaded
  // display may deliver the move before the program looks for a rest.
  auto restOn = [&](POINT at, int width, int height, RECT* popup, DWORD ms) {
    const DWORD start = GetTickCount();
    do {
      SetForegroundWindow(main);
      MoveMouseTo(at.x - 40 > 0 ? at.x - 40 : at.x + 40, at.y);
      WaitFor([&] { return ShownPopups(p.id, main).empty(); }, 3000);
      MoveMouseTo(at.x, at.y);
      if (WaitFor([&] {
            if (GetForegroundWindow() != main) SetForegroundWindow(main);
            return FindPopup(p.id, main, width, height, popup);
          }, 6000))
        return true;
    } while (GetTickCount() - start < ms);
    return false;
  };

  // The whole picture: 256 x 192 to the right of the cursor; its bottom is kept 258 or more
  // below the top of the desktop, so it is wholly visible.
  const POINT onWhole = Centre(ListItemScreenRect(list, whole, LVIR_ICON));
  RECT preview{};
  ASSERT_TRUE(restOn(onWhole, 256, 192, &preview, 30000)) << "no preview popup of the whole picture";
  EXPECT_EQ(preview.left, std::min<LONG>(onWhole.x + 8, desktopWidth - 258));
  EXPECT_EQ(preview.bottom, std::max<LONG>(onWhole.y - 2, 258));
  WaitFor([] { return false; }, 800);  // faded in
  SaveScreenshot(ExeFolder() + L"\\hover_preview_e2e.bmp");
  EXPECT_GT(ColoursOnScreen(preview), 20) << "the preview popup is blank";

  // The cut picture shows its Exif thumbnail, 160 x 120 enlarged to 256 x 192 and turned upright
  // as its orientation tag says (a quarter turn clockwise): 192 x 256.
  const POINT onCut = Centre(ListItemScreenRect(list, cut, LVIR_ICON));
  RECT cutPreview{};
  EXPECT_TRUE(restOn(onCut, 192, 256, &cutPreview, 20000)) << "no preview popup of the cut picture: " << Describe(ShownPopups(p.id, main));
  WaitFor([] { return false; }, 800);
  SaveScreenshot(ExeFolder() + L"\\hover_cut_preview_e2e.bmp");
  EXPECT_GT(ColoursOnScreen(cutPreview), 20) << "the cut picture's preview popup is blank";

  const int cmykRow = RowNamed(list, L"3.jpg");
  ASSERT_GE(cmykRow, 0);
  RECT cmykPreview{};
  EXPECT_TRUE(restOn(Centre(ListItemScreenRect(list, cmykRow, LVIR_ICON)), 256, 170, &cmykPreview, 20000))
      << "no preview popup of the CMYK picture: " << Describe(ShownPopups(p.id, main));

  // Near the right edge of the desktop the popup stays inside it.
  RECT frame = ScreenRectOf(main);
  const int shift = desktopWidth - 30 - onWhole.x;
  SetWindowPos(main, nullptr, frame.left + shift, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  const POINT atEdge = Centre(ListItemScreenRect(list, whole, LVIR_ICON));
  ASSERT_GT(atEdge.x + 8, desktopWidth - 258);
  RECT edgePreview{};
  EXPECT_TRUE(restOn(atEdge, 256, 192, &edgePreview, 20000))
      << "no preview popup near the edge: " << Describe(ShownPopups(p.id, main));
  EXPECT_EQ(edgePreview.left, desktopWidth - 258);
  SetWindowPos(main, nullptr, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

  // The detail style has the histogram column: resting on a row's histogram shows it, 256 x 64
  // above the cursor.
  if (!detailStyle()) PostMessageW(GetParent(list), WM_COMMAND, 113, 0);
  ASSERT_TRUE(WaitFor(detailStyle, 10000));
  const POINT onHistogram = Centre(ListSubItemScreenRect(list, whole, 1, LVIR_ICON));
  RECT histogram{};
  ASSERT_TRUE(restOn(onHistogram, 256, 64, &histogram, 20000)) << "no histogram popup: " << Describe(ShownPopups(p.id, main));
  EXPECT_EQ(histogram.left, onHistogram.x);
  EXPECT_EQ(histogram.top, onHistogram.y - 66);
  WaitFor([] { return false; }, 800);
  SaveScreenshot(ExeFolder() + L"\\hover_histogram_e2e.bmp");
  EXPECT_GT(ColoursOnScreen(histogram), 3) << "the histogram popup is blank";
  // The preview answers to the thumbnail cell only: it does not cover the histogram.
  EXPECT_EQ(ShownPopups(p.id, main).size(), 1u) << Describe(ShownPopups(p.id, main));
  // The cut picture's histogram is counted over its thumbnail.
  RECT cutHistogram{};
  EXPECT_TRUE(restOn(Centre(ListSubItemScreenRect(list, cut, 1, LVIR_ICON)), 256, 64, &cutHistogram, 20000))
      << "no histogram popup of the cut picture: " << Describe(ShownPopups(p.id, main));
  WaitFor([] { return false; }, 500);
  EXPECT_GT(ColoursOnScreen(cutHistogram), 3) << "the cut picture's histogram popup is blank";
  // Resting on the row's thumbnail in this style shows the preview alone.
  RECT detailPreview{};
  EXPECT_TRUE(restOn(Centre(ListItemScreenRect(list, whole, LVIR_ICON)), 256, 192, &detailPreview, 20000))
      << Describe(ShownPopups(p.id, main));
  EXPECT_EQ(ShownPopups(p.id, main).size(), 1u) << Describe(ShownPopups(p.id, main));

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
}

}  // namespace
