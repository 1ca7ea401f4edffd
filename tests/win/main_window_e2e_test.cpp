// The real program's main window: first-start placement and its record in the settings file,
// keyboard toggles served by the idle timer, and a screenshot of the empty window.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "core/pure/scramble.h"
#include "core/pure/settings_block.h"
#include "support/win_test_support.h"
#include "viewer/pure/viewer_geometry.h"

using namespace testsupport;

namespace {

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &in[0], sizeof(INPUT));
  Sleep(250);  // held across several ticks, also while a full-screen repaint slows them
  SendInput(1, &in[1], sizeof(INPUT));
  Sleep(250);  // and seen released before the next press
}

// The file-list pane: the child dialog whose list control has id 313.
HWND FileListPane(HWND main) {
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetDlgItem(c, 313)) return c;
  return nullptr;
}

int32_t I32At(const std::vector<uint8_t>& b, size_t offset) {
  int32_t v;
  std::memcpy(&v, b.data() + offset, 4);
  return v;
}

TEST(MainWindowE2E, FirstStartPlacementKeysAndTheStoredRectangle) {
  ScratchDir dir;
  const std::wstring exe = dir.File(L"Brannomere.exe"), cfg = dir.File(L"Brannomere.cfg");
  ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\Brannomere.exe").c_str(), exe.c_str(), FALSE));
  Process p;
  ASSERT_TRUE(p.Start(exe, L""));
  HWND terms = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (terms = FindTopWindow(p.id, L"#32770", L"")) != nullptr; }, 30000));
  PostMessageW(terms, WM_COMMAND, MAKEWPARAM(424, BN_CLICKED), 0);
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = FindTopWindow(p.id, L"BRANNOMERE", L"")) != nullptr; }, 30000));
  WaitFor([] { return false; }, 800);

  RECT r = ScreenRectOf(main);
  EXPECT_EQ(r.left, 50);
  EXPECT_EQ(r.top, 50);
  EXPECT_EQ(r.right - r.left, 1820);
  EXPECT_EQ(r.bottom - r.top, 980);

  HWND pane = FileListPane(main);
  ASSERT_NE(pane, nullptr);
  auto paneLeft = [&] {
    RECT pr = ScreenRectOf(pane);
    POINT pt{pr.left, pr.top};
    ScreenToClient(main, &pt);
    return pt.x;
  };
  EXPECT_EQ(paneLeft(), 200);

  const std::wstring shot = ExeFolder() + L"\\main_window_empty.bmp";
  EXPECT_TRUE(SaveScreenshot(shot));

  SetForegroundWindow(main);
  // The first Tab puts the focus into the folder tree; from there Tab hides the navigation pane
  // and the file list moves to the left edge; Tab again brings it back.
  PressKey(VK_TAB);
  WaitFor([] { return false; }, 300);
  EXPECT_EQ(paneLeft(), 200);
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 0; }, 5000));
  PressKey(VK_TAB);
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 200; }, 5000));

  // Escape: full screen over the whole desktop, and back to the window.
  RECT desk;
  GetWindowRect(GetDesktopWindow(), &desk);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] {
    RECT f = ScreenRectOf(main);
    return f.left == desk.left && f.top == desk.top && f.right == desk.right && f.bottom == desk.bottom;
  }, 5000));
  EXPECT_EQ(GetWindowLongW(main, GWL_STYLE) & WS_CAPTION, 0);
  WaitFor([] { return false; }, 300);
  PressKey(VK_ESCAPE);
  EXPECT_TRUE(WaitFor([&] {
    RECT f = ScreenRectOf(main);
    return f.left == 50 && f.top == 50 && f.right == 1870 && f.bottom == 1030;
  }, 5000));
  EXPECT_TRUE(WaitFor([&] { return paneLeft() == 200; }, 5000));

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  ASSERT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
  std::vector<uint8_t> plain;
  ASSERT_TRUE(ReadWholeFile(cfg, &plain));
  ASSERT_EQ(plain.size(), sizeof(SettingsBlock));
  ScrambleBuffer(plain.data(), plain.size());
  EXPECT_EQ(I32At(plain, 49536), 50);
  EXPECT_EQ(I32At(plain, 49540), 50);
  EXPECT_EQ(I32At(plain, 49544), 1820);
  EXPECT_EQ(I32At(plain, 49548), 980);
  EXPECT_EQ(plain[offsetof(SettingsBlock, cleanExit)], 1);
  EXPECT_EQ(plain[offsetof(SettingsBlock, wasFullScreen)], 0);
}


// ---- The viewer on a folder of camera pictures ----
namespace viewer_e2e {

// Text of a status-bar part of another process, read through a buffer in that process.
std::wstring StatusPartText(HANDLE process, HWND status, int part) {
  const SIZE_T bytes = 2048 * sizeof(wchar_t);
  void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remote) return L"<no buffer>";
  std::vector<wchar_t> local(2048, 0);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(status, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 3000, &result);
  SIZE_T read = 0;
  ReadProcessMemory(process, remote, local.data(), bytes - sizeof(wchar_t), &read);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return std::wstring(local.data());
}

struct MeanColour {
  double r = 0, g = 0, b = 0, spread = 0;  // spread: mean absolute deviation, channels summed
};

// Mean colour of a screen rectangle (from the screen as Xvfb shows it).
MeanColour ScreenMean(RECT r) {
  MeanColour m;
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return m;
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = -h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, dib);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  const uint8_t* p = static_cast<const uint8_t*>(bits);
  const double n = static_cast<double>(w) * h;
  for (int i = 0; i < w * h; ++i) {
    m.b += p[i * 4];
    m.g += p[i * 4 + 1];
    m.r += p[i * 4 + 2];
  }
  m.r /= n;
  m.g /= n;
  m.b /= n;
  for (int i = 0; i < w * h; ++i)
    m.spread += std::fabs(p[i * 4] - m.b) + std::fabs(p[i * 4 + 1] - m.g) + std::fabs(p[i * 4 + 2] - m.r);
  m.spread /= n;
  SelectObject(mem, old);
  DeleteObject(dib);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return m;
}

// A JPEG of the given size: left half orange, right half blue, with a dark band to give it
// structure; its mean is the two halves' average.
bool WriteTwoColourJpeg(const std::wstring& path, int w, int h) {
  using namespace Gdiplus;
  Bitmap bitmap(w, h, PixelFormat24bppRGB);
  {
    Graphics g(&bitmap);
    SolidBrush orange(Color(255, 230, 120, 20)), blue(Color(255, 20, 60, 210));
    g.FillRectangle(&orange, 0, 0, w / 2, h);
    g.FillRectangle(&blue, w / 2, 0, w - w / 2, h);
  }
  UINT count = 0, size = 0;
  GetImageEncodersSize(&count, &size);
  std::vector<uint8_t> buffer(size);
  ImageCodecInfo* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  GetImageEncoders(count, size, codecs);
  for (UINT i = 0; i < count; ++i)
    if (std::wstring(codecs[i].MimeType) == L"image/jpeg") return bitmap.Save(path.c_str(), &codecs[i].Clsid, nullptr) == Ok;
  return false;
}

HWND Pane(HWND main, int k) {
  HWND list = FileListPane(main);
  return list ? GetDlgItem(list, 301 + k) : nullptr;
}

}  // namespace viewer_e2e

TEST(MainWindowE2E, ViewerShowsCameraPicturesInEveryLayout) {
  using namespace viewer_e2e;
  Gdiplus::GdiplusStartupInput input;
  ULONG_PTR gdiplus = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplus, &input, nullptr), Gdiplus::Ok);
  ScratchDir dir;
  const std::wstring exe = dir.File(L"Brannomere.exe");
  ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\Brannomere.exe").c_str(), exe.c_str(), FALSE));
  const std::wstring pictures = dir.File(L"pictures");
  ASSERT_TRUE(CreateDirectoryW(pictures.c_str(), nullptr));
  // The generated picture sorts first; camera JPEGs from the goexif package follow.
  ASSERT_TRUE(WriteTwoColourJpeg(pictures + L"\\000_big.jpg", 4000, 3000));
  // Whole camera pictures of the goexif package (most of its samples keep only their Exif
  // header and thumbnail, which the viewer cannot show beyond the thumbnail).
  const std::wstring exif = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif";
  const wchar_t* const kCameraFiles[] = {L"\\sample1.jpg", L"\\samples\\has-lens-info.jpg",
                                         L"\\samples\\geodegrees_as_string.jpg", L"\\samples\\f6-exif.jpg"};
  int copied = 0;
  for (const wchar_t* name : kCameraFiles) {
    const std::wstring from = exif + name;
    const std::wstring to = pictures + L"\\" + from.substr(from.find_last_of(L'\\') + 1);
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) ++copied;
  }
  ASSERT_EQ(copied, 4) << "golang-github-rwcarlsen-goexif-dev is not installed";

  Process p;
  ASSERT_TRUE(p.Start(exe, L"\"" + pictures + L"\""));
  HWND terms = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (terms = FindTopWindow(p.id, L"#32770", L"")) != nullptr; }, 30000));
  PostMessageW(terms, WM_COMMAND, MAKEWPARAM(424, BN_CLICKED), 0);
  HWND main = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (main = FindTopWindow(p.id, L"BRANNOMERE", L"")) != nullptr; }, 30000));
  HWND status = FindWindowExW(main, nullptr, L"msctls_statusbar32", nullptr);
  ASSERT_NE(status, nullptr);
  HWND pane0 = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (pane0 = Pane(main, 0)) != nullptr; }, 10000));

  // The first picture: the status bar reads the fit mode and the level, and the pane shows
  // the picture's colours (its mean over the fitted rectangle), not a flat fill.
  EXPECT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 4) == L"\tFIT MODE"; }, 30000))
      << "part 4: " << testing::PrintToString(StatusPartText(p.handle, status, 4));
  EXPECT_TRUE(WaitFor([&] { return StatusPartText(p.handle, status, 5) == L"\tOriginal"; }, 10000))
      << "part 5: " << testing::PrintToString(StatusPartText(p.handle, status, 5));
  RECT client;
  GetClientRect(pane0, &client);
  const PaneRect fit = FitPictureRect(4000, 3000, client.right, client.bottom);
  POINT origin{0, 0};
  ClientToScreen(pane0, &origin);
  // The information lines sit at the top and bottom: the middle band is picture only.
  RECT band{origin.x + fit.x, origin.y + fit.y + fit.h / 4, origin.x + fit.x + fit.w, origin.y + fit.y + fit.h * 3 / 4};
  MeanColour shown;
  const bool matched = WaitFor([&] {
    shown = ScreenMean(band);
    return std::fabs(shown.r - 125) < 14 && std::fabs(shown.g - 90) < 14 && std::fabs(shown.b - 115) < 14;
  }, 20000);
  EXPECT_TRUE(matched) << "mean " << shown.r << "," << shown.g << "," << shown.b;
  EXPECT_GT(shown.spread, 20.0);  // two colours, not one fill
  SaveScreenshot(ExeFolder() + L"\\viewer_layout0.bmp");

  // Paging to the next picture (a camera JPEG) changes what the pane shows.
  SetForegroundWindow(main);
  SetFocus(pane0);
  PostMessageW(FileListPane(main), WM_RBUTTONDOWN, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
  const MeanColour first = shown;
  EXPECT_TRUE(WaitFor([&] {
    MeanColour now = ScreenMean(band);
    return std::fabs(now.r - first.r) + std::fabs(now.g - first.g) + std::fabs(now.b - first.b) > 20 &&
           StatusPartText(p.handle, status, 4) == L"\tFIT MODE";
  }, 20000));

  // Every split layout: each pane of the layout shows a picture (not the background).
  for (int layout = 1; layout <= 4; ++layout) {
    PostMessageW(main, WM_COMMAND, 338, 0);  // the next split layout
    const int panes = layout == 4 ? 4 : (layout == 3 ? 3 : 2);
    bool all = WaitFor([&] {
      for (int k = 0; k < panes; ++k) {
        HWND pane = Pane(main, k);
        if (!pane || !IsWindowVisible(pane)) return false;
        RECT r = ScreenRectOf(pane);
        InflateRect(&r, -(r.right - r.left) / 4, -(r.bottom - r.top) / 4);
        if (ScreenMean(r).spread < 8.0) return false;
      }
      return true;
    }, 30000);
    EXPECT_TRUE(all) << "layout " << layout;
    WaitFor([] { return false; }, 1500);  // settled, for the eye
    SaveScreenshot(ExeFolder() + L"\\viewer_layout" + std::to_wstring(layout) + L".bmp");
  }

  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(30000, &code));
  EXPECT_EQ(code, 0u);
  Gdiplus::GdiplusShutdown(gdiplus);
}

}  // namespace
