// The real program on a folder with a phone picture that carries GPS: the File Information
// window's GPS tab, read from outside, shows the position exiftool reads from the file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "support/e2e_start.h"
#include "support/remote_controls.h"
#include "support/sample_pictures.h"
#include "support/win_test_support.h"

using namespace testsupport;

namespace {

constexpr int kFileInfoTabControl = 305;
constexpr int kGpsList = 543;

std::wstring ValueOf(HWND list, const std::wstring& label) {
  const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < rows; ++row)
    if (ListCellText(list, row, 1) == label) return ListCellText(list, row, 0);
  return L"";
}

TEST(GpsTabE2E, ThePositionOfAPhonePicture) {
  ScratchDir dir;
  const std::wstring exe = CopyProgramInto(dir), photos = dir.File(L"photos");
  ASSERT_TRUE(CreateDirectoryW(photos.c_str(), nullptr));
  // An iPhone 4S picture; `exiftool -n -GPSLatitude -GPSLongitude` reads 59.3325472222222 and
  // 18.0649416666667, N and E, and no map datum.
  ASSERT_TRUE(CopyFileW((std::wstring(kExifSamples) + L"has-lens-info.jpg").c_str(), (photos + L"\\phone.jpg").c_str(),
                        FALSE));

  Process p;
  HWND main = nullptr;
  ASSERT_TRUE(StartPastFirstDialogs(p, exe, photos, 1, &main, nullptr, 60000));

  // The File Information command (docked in the navigation pane at first start, floating when
  // so set), then its GPS tab, the fifth, as a click on it would choose it.
  PostMessageW(main, WM_COMMAND, 243, 0);
  HWND info = nullptr, tabs = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    info = FindTopWindow(p.id, L"#32770", L"File Information");
    if (!info) info = main;
    tabs = FindDescendant(info, WC_TABCONTROLW, kFileInfoTabControl);
    return tabs && IsWindowVisible(tabs);
  }, 30000));
  SendMessageTimeoutW(tabs, TCM_SETCURFOCUS, 4, 0, SMTO_NORMAL, 5000, nullptr);
  HWND gps = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    gps = FindDescendant(info, WC_LISTVIEWW, kGpsList);
    return gps && IsWindowVisible(gps);
  }, 10000));

  std::wstring latitude;
  EXPECT_TRUE(WaitFor([&] { return (latitude = ValueOf(gps, L"緯度")).size() > 0; }, 20000));
  // 59.3325472° is 59° 19' 57.17"; 18.0649417° is 18° 3' 53.79".
  EXPECT_EQ(latitude, L"59° 19' 57.17\" [DMS]");
  EXPECT_EQ(ValueOf(gps, L"経度"), L"18° 3' 53.79\" [DMS]");
  EXPECT_EQ(ValueOf(gps, L"北緯,南緯"), L"北緯");
  EXPECT_EQ(ValueOf(gps, L"東経,西経"), L"東経");
  SaveScreenshot(ExeFolder() + L"\\gps_tab_e2e.bmp");

  if (info != main) PostMessageW(info, WM_CLOSE, 0, 0);
  PostMessageW(main, WM_CLOSE, 0, 0);
  DWORD code = 1;
  EXPECT_TRUE(p.WaitExit(20000, &code));
  EXPECT_EQ(code, 0u);
}

}  // namespace
