// The real program on a folder of camera pictures and a movie: the movie's row shows the strip
// over the bottom of its pane with its length, plays in the pane from the strip's play button,
// pauses, plays to its end and goes back to the still frame, and paging between the movie and
// a picture while it starts neither hangs nor leaves a video window over the picture.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "support/e2e_start.h"
#include "support/remote_controls.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

constexpr int kPlay = 497, kPause = 490, kRewind = 491, kPosition = 493, kTime = 495, kLength = 496;

HWND FileListPane(HWND main) {
  for (HWND c = GetWindow(main, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (GetDlgItem(c, 313)) return c;
  return nullptr;
}

// The movie strip: the program's dialog that holds the position trackbar, shown or not.
HWND FindStrip(DWORD processId) {
  return FindTopWindowWhere(processId, [](HWND w) {
    return ClassNameOf(w) == L"#32770" && GetDlgItem(w, kPosition) && GetDlgItem(w, kPlay);
  });
}

// The video window inside a pane, when one is shown there.
HWND ShownVideoWindow(HWND pane) {
  for (HWND c = GetWindow(pane, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    if (IsWindowVisible(c)) return c;
  return nullptr;
}

// The mean colour of a screen rectangle, sampled every few pixels.
struct Mean {
  double r = 0, g = 0, b = 0;
  double DistanceTo(const Mean& o) const { return std::fabs(r - o.r) + std::fabs(g - o.g) + std::fabs(b - o.b); }
};
Mean ScreenMean(RECT area) {
  Mean m;
  HDC screen = GetDC(nullptr);
  int n = 0;
  for (int y = area.top; y < area.bottom; y += 5)
    for (int x = area.left; x < area.right; x += 5) {
      const COLORREF c = GetPixel(screen, x, y);
      m.r += GetRValue(c);
      m.g += GetGValue(c);
      m.b += GetBValue(c);
      ++n;
    }
  ReleaseDC(nullptr, screen);
  if (n) {
    m.r /= n;
    m.g /= n;
    m.b /= n;
  }
  return m;
}

bool Shown(HWND strip, int id) { return IsWindowVisible(GetDlgItem(strip, id)) != FALSE; }

// The screen centre of a row's thumbnail (LVM_GETITEMRECT through the program's memory).
POINT RowIconCentre(HANDLE process, HWND list, int row) {
  RECT r{};
  r.left = LVIR_ICON;
  auto* remote = static_cast<RECT*>(VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE));
  if (!remote) return POINT{};
  SIZE_T done = 0;
  WriteProcessMemory(process, remote, &r, sizeof r, &done);
  SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(process, remote, &r, sizeof r, &done);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT Centre(HWND window) {
  RECT r = ScreenRectOf(window);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A click with the mouse on a strip button; when the synthesised click does not arrive the
// button's command is posted as the click would send it. (On Xvfb, with no window manager, the
// strip's X window can stay below the main window's although Windows' order has it on top: the
// pointer then lands on the main window, and a screenshot does not show the strip.)
bool ClickButton(HWND strip, int id, const std::function<bool()>& took) {
  HWND button = GetDlgItem(strip, id);
  const POINT at = Centre(button);
  ClickAt(at.x, at.y);
  if (WaitFor(took, 3000)) return true;
  std::fprintf(stderr, "note: the click on button %d did not arrive; its command is posted\n", id);
  PostMessageW(strip, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return WaitFor(took, 10000);
}

bool Responds(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

TEST(MoviePaneE2E, AMovieRowPlaysInItsPaneFromTheStrip) {
  const std::wstring movies = ExeFolder() + L"\\..\\testdata\\movies\\";
  if (!FileExists(movies + L"clip.avi")) GTEST_SKIP() << "test movies missing (ffmpeg not installed)";
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), folder = dir.File(L"trip");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  // Whole camera pictures (most goexif samples stop after their Exif header).
  const std::wstring exif = L"Z:\\usr\\share\\gocode\\src\\github.com\\rwcarlsen\\goexif\\exif\\";
  const wchar_t* const kCameraFiles[] = {L"sample1.jpg", L"samples\\has-lens-info.jpg",
                                         L"samples\\geodegrees_as_string.jpg"};
  for (const wchar_t* name : kCameraFiles) {
    const std::wstring from = exif + name;
    ASSERT_TRUE(CopyFileW(from.c_str(), (folder + L"\\" + from.substr(from.find_last_of(L'\\') + 1)).c_str(), FALSE))
        << "golang-github-rwcarlsen-goexif-dev is not installed";
  }
  // A seven-second 320 x 240 MJPEG movie with PCM sound, as a camera writes it.
  ASSERT_TRUE(CopyFileW((movies + L"clip.avi").c_str(), (folder + L"\\MVI_0001.AVI").c_str(), FALSE));

  Process p;
  HWND main = StartAndAgree(p, exe, folder);
  ASSERT_NE(main, nullptr);
  HWND listPane = nullptr, list = nullptr, pane = nullptr, strip = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (listPane = FileListPane(main)) != nullptr; }, 10000));
  list = GetDlgItem(listPane, 313);
  pane = GetDlgItem(listPane, 301);
  ASSERT_NE(pane, nullptr);
  HWND status = FindWindowExW(main, nullptr, STATUSCLASSNAMEW, nullptr);
  ASSERT_NE(status, nullptr);
  CloseFirstStartSettings(p.id);
  ASSERT_TRUE(WaitFor([&] { return (strip = FindStrip(p.id)) != nullptr; }, 10000));
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, p.id);
  ASSERT_NE(process, nullptr);

  // The movie's row, once the list thread has probed it.
  int movieRow = -1;
  ASSERT_TRUE(WaitFor([&] {
    for (int row = 0; row < 4; ++row) {
      bool name = false, size = false;
      HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
      const int columns = header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
      for (int c = 0; c < columns; ++c) {
        const std::wstring t = ListCellText(list, row, c);
        name |= t == L"MVI_0001.AVI";
        size |= t == L"320*240";
      }
      if (name && size) {
        movieRow = row;
        return true;
      }
    }
    return false;
  }, 90000));
  const std::wstring fileText = L"\tFILE:" + std::to_wstring(movieRow + 1) + L"/4";
  // The middle of the pane, clear of the information lines and the strip.
  RECT paneRect = ScreenRectOf(pane), client{};
  GetClientRect(pane, &client);
  const RECT middle{paneRect.left + client.right / 4, paneRect.top + client.bottom / 4,
                    paneRect.left + client.right * 3 / 4, paneRect.top + client.bottom * 3 / 4};
  const Mean picture = ScreenMean(middle);
  // A click on the movie's thumbnail selects it; the click is tried again while the display
  // has not delivered it, and the row is stepped to with the next-picture command at last.
  for (int tries = 0; tries < 3 && StatusPartText(status, 8) != fileText; ++tries) {
    SetForegroundWindow(main);
    const POINT at = RowIconCentre(process, list, movieRow);
    ClickAt(at.x, at.y);
    WaitFor([&] { return StatusPartText(status, 8) == fileText; }, 3000);
  }
  if (StatusPartText(status, 8) != fileText) {
    std::fprintf(stderr, "note: the click on the movie's row did not arrive; stepped there instead\n");
    for (int i = 0; i < movieRow; ++i) PostMessageW(main, WM_COMMAND, 217, 0);
  }
  ASSERT_TRUE(WaitFor([&] { return StatusPartText(status, 8) == fileText; }, 20000))
      << testing::PrintToString(StatusPartText(status, 8));

  // The pane shows the movie's still frame instead of the picture.
  Mean still;
  EXPECT_TRUE(WaitFor([&] { return (still = ScreenMean(middle)).DistanceTo(picture) > 30; }, 20000))
      << "the pane still shows the picture";

  // The cursor over the bottom of the pane brings the strip there, with the movie's length and
  // the still frame's buttons: play, no position yet.
  SetCursorPos(paneRect.left + client.right / 2, paneRect.top + client.bottom - 8);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(strip) != FALSE; }, 20000)) << "no strip over the movie";
  RECT stripRect = ScreenRectOf(strip);
  EXPECT_EQ(stripRect.left, paneRect.left);
  EXPECT_EQ(stripRect.top, paneRect.bottom - 19);
  EXPECT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(strip, kLength)) == L"0:00:07"; }, 10000))
      << testing::PrintToString(WindowText(GetDlgItem(strip, kLength)));
  EXPECT_EQ(WindowText(GetDlgItem(strip, kTime)), L"0:00:00");
  EXPECT_TRUE(Shown(strip, kPlay));
  EXPECT_FALSE(Shown(strip, kPause));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(strip, kPosition)));
  EXPECT_EQ(ReadTrackbar(GetDlgItem(strip, kPosition)).max, 7 * 4285);
  EXPECT_EQ(ShownVideoWindow(pane), nullptr);
  SaveScreenshot(ExeFolder() + L"\\movie_pane_still.bmp");
  // The cursor rests on the time text: the strip stays while the buttons are pressed.
  const POINT rest = Centre(GetDlgItem(strip, kTime));
  SetCursorPos(rest.x, rest.y);

  // Play: the video window fills the pane and the position moves on.
  ASSERT_TRUE(ClickButton(strip, kPlay, [&] { return ShownVideoWindow(pane) != nullptr && Shown(strip, kPause); }))
      << "the movie does not open in the pane";
  SetCursorPos(rest.x, rest.y);
  HWND video = ShownVideoWindow(pane);
  RECT inside{};
  GetClientRect(video, &inside);
  EXPECT_EQ(inside.right, client.right);
  EXPECT_EQ(inside.bottom, client.bottom);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(strip, kPosition)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(strip, kRewind)));
  int before = 0;
  EXPECT_TRUE(WaitFor([&] { return (before = ReadTrackbar(GetDlgItem(strip, kPosition)).pos) >= 4285; }, 20000))
      << "the position does not advance: " << before;
  EXPECT_TRUE(WaitFor([&] { return WindowText(GetDlgItem(strip, kTime)) != L"0:00:00"; }, 5000));

  // Pause: the position stands still and play is offered again.
  ASSERT_TRUE(ClickButton(strip, kPause, [&] { return Shown(strip, kPlay); }));
  SetCursorPos(rest.x, rest.y);
  WaitFor([] { return false; }, 500);
  const int paused = ReadTrackbar(GetDlgItem(strip, kPosition)).pos;
  WaitFor([] { return false; }, 1500);
  EXPECT_EQ(ReadTrackbar(GetDlgItem(strip, kPosition)).pos, paused);
  EXPECT_LT(paused, 7 * 4285);
  EXPECT_EQ(ShownVideoWindow(pane), video);
  SaveScreenshot(ExeFolder() + L"\\movie_pane_paused.bmp");

  // Play on to the end: without repeat the movie closes and the still frame comes back.
  ASSERT_TRUE(ClickButton(strip, kPlay, [&] { return Shown(strip, kPause); }));
  SetCursorPos(rest.x, rest.y);
  EXPECT_TRUE(WaitFor([&] { return ShownVideoWindow(pane) == nullptr; }, 40000)) << "no end of playback";
  EXPECT_TRUE(WaitFor([&] { return Shown(strip, kPlay) && !IsWindowEnabled(GetDlgItem(strip, kPosition)); }, 10000));

  // Paging to a picture right after play asks for the movie, and back: nothing hangs, and no
  // video window stays over the picture.
  const bool last = movieRow == 3;
  const int away = last ? 216 : 217, back = last ? 217 : 216;
  for (int round = 0; round < 3; ++round) {
    ASSERT_TRUE(IsWindowVisible(strip) || WaitFor([&] { return IsWindowVisible(strip) != FALSE; }, 10000));
    PostMessageW(strip, WM_COMMAND, MAKEWPARAM(kPlay, BN_CLICKED), 0);
    if (round > 0) WaitFor([&] { return ShownVideoWindow(pane) != nullptr; }, 200 * round);
    PostMessageW(main, WM_COMMAND, away, 0);
    ASSERT_TRUE(WaitFor([&] { return StatusPartText(status, 8) != fileText; }, 20000)) << "round " << round;
    ASSERT_TRUE(Responds(main)) << "round " << round;
    EXPECT_TRUE(WaitFor([&] { return ShownVideoWindow(pane) == nullptr; }, 10000)) << "round " << round;
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(ShownVideoWindow(pane), nullptr) << "a movie opened over the picture, round " << round;
    PostMessageW(main, WM_COMMAND, back, 0);
    ASSERT_TRUE(WaitFor([&] { return StatusPartText(status, 8) == fileText; }, 20000)) << "round " << round;
    ASSERT_TRUE(Responds(main)) << "round " << round;
    SetCursorPos(rest.x, rest.y);
    // Back on the movie: its still frame, the play request gone with the step away.
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(strip) && Shown(strip, kPlay); }, 10000)) << "round " << round;
    EXPECT_EQ(ShownVideoWindow(pane), nullptr) << "round " << round;
  }
  // And it still plays.
  ASSERT_TRUE(ClickButton(strip, kPlay, [&] { return ShownVideoWindow(pane) != nullptr && Shown(strip, kPause); }));
  SetCursorPos(rest.x, rest.y);
  ASSERT_TRUE(ClickButton(strip, kRewind, [&] { return ShownVideoWindow(pane) == nullptr; }));

  CloseHandle(process);
  ExpectCleanExit(p, main);
}

}  // namespace
